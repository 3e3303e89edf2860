#include "tools/UpdateCheck.h"

#include "files/TextFile.h"

#include "support/BadInputMatrix.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kw {
namespace {

using test::BadInput;

QByteArray VersionRecord(std::string_view version) {
  QByteArray record(VersionRecordSize, '\0');
  record[8] = static_cast<char>(version.size());
  std::copy(version.begin(), version.end(), record.begin() + 9);
  return record;
}

class VersionFileBadInput : public ::testing::TestWithParam<BadInput> {};

// The downloaded version file as the update window reads it: a file that cannot be read
// gives the system's message, any other bytes a status with its message, never a version.
TEST_P(VersionFileBadInput, AnswersWithTheMessageAndNoVersion) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("version.ver"));
  test::MakeBadInput(GetParam(), path, VersionRecord("1.2.0.0") + VersionRecord("1.3.2.0"));
  ASSERT_FALSE(HasFatalFailure());

  const FileBytes file = ReadFileBytes(path);
  if (test::IsUnreadable(GetParam())) {
    EXPECT_TRUE(file.error.startsWith(QStringLiteral("Die Datei "))) << file.error.toStdString();
    EXPECT_TRUE(file.error.contains(QStringLiteral("version.ver")));
    if (test::IsSpecialFile(GetParam())) {
      EXPECT_TRUE(file.error.contains(QString::fromUtf8(test::SpecialFileReason)));
    }
    return;
  }
  ASSERT_TRUE(file.ok()) << file.error.toStdString();
  const VersionFileResult result =
      ParseVersionFile(std::span(reinterpret_cast<const uint8_t*>(file.bytes.constData()),
                                 static_cast<size_t>(file.bytes.size())));
  const VersionFileStatus expected =
      GetParam() == BadInput::Empty ? VersionFileStatus::Empty : VersionFileStatus::Truncated;
  EXPECT_EQ(result.status, expected);
  EXPECT_FALSE(result.message.empty());
  EXPECT_TRUE(result.published.empty());
}

INSTANTIATE_TEST_SUITE_P(Matrix, VersionFileBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

} // namespace
} // namespace kw
