#include "sectors/SectorFile.h"

#include "files/TextFile.h"

#include "support/BadInputMatrix.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kw {
namespace {

using test::BadInput;

QByteArray SeriesRecord() {
  SectorAssignment assignment;
  for (unsigned n = 0; n <= 36; ++n)
    assignment.sectors[n % SectorCount].insert(static_cast<uint8_t>(n));
  const auto record = EncodeSectorFile(assignment);
  return QByteArray(reinterpret_cast<const char*>(record.data()),
                    static_cast<qsizetype>(record.size()));
}

class SectorFileBadInput : public ::testing::TestWithParam<BadInput> {};

// A .sekt file as the sector window opens it: a file that cannot be read, or one shorter than
// a record, gives its message before the lists change; any other bytes give numbers 0..36.
TEST_P(SectorFileBadInput, AnswersWithTheMessageOrAnAssignmentOfWheelNumbers) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Sektoren.sekt"));
  test::MakeBadInput(GetParam(), path, SeriesRecord());
  ASSERT_FALSE(HasFatalFailure());

  const FileBytes file = ReadFileBytes(path);
  if (test::IsUnreadable(GetParam())) {
    EXPECT_TRUE(file.error.startsWith(QStringLiteral("Die Datei "))) << file.error.toStdString();
    EXPECT_TRUE(file.error.contains(QStringLiteral("Sektoren.sekt")));
    return;
  }
  ASSERT_TRUE(file.ok()) << file.error.toStdString();
  const auto decoded =
      DecodeSectorFile(std::span(reinterpret_cast<const uint8_t*>(file.bytes.constData()),
                                 static_cast<size_t>(file.bytes.size())));
  const bool shorterThanARecord = GetParam() == BadInput::Empty ||
                                  GetParam() == BadInput::BrokenUtf16 ||
                                  GetParam() == BadInput::Truncated;
  ASSERT_EQ(decoded.has_value(), !shorterThanARecord);
  if (!decoded)
    return;
  for (const NumberSet& sector : decoded->sectors)
    for (unsigned n = 37; n < 256; ++n)
      EXPECT_FALSE(sector.contains(n)) << n;
}

INSTANTIATE_TEST_SUITE_P(Matrix, SectorFileBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

} // namespace
} // namespace kw
