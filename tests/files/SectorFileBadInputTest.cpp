#include "sectors/SectorFile.h"

#include "files/SectorFileReader.h"

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

// A .sekt file as the sector window and the command line open it: a file that cannot be
// read, or one shorter than a record, gives its message before the lists change; any other
// bytes give numbers 0..36. Only the record is read, so a huge file gives its first record.
TEST_P(SectorFileBadInput, AnswersWithTheMessageOrAnAssignmentOfWheelNumbers) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Sektoren.sekt"));
  test::MakeBadInput(GetParam(), path, SeriesRecord());
  ASSERT_FALSE(HasFatalFailure());

  const SectorFileLoad file = ReadSectorFile(path);
  const bool shorterThanARecord = GetParam() == BadInput::Empty ||
                                  GetParam() == BadInput::BrokenUtf16 ||
                                  GetParam() == BadInput::Truncated;
  if ((test::IsUnreadable(GetParam()) && GetParam() != BadInput::Huge) || shorterThanARecord) {
    EXPECT_TRUE(file.error.startsWith(QStringLiteral("Die Datei "))) << file.error.toStdString();
    EXPECT_TRUE(file.error.contains(QStringLiteral("Sektoren.sekt")));
    if (test::IsSpecialFile(GetParam())) {
      EXPECT_TRUE(file.error.contains(QString::fromUtf8(test::SpecialFileReason)));
    }
    if (shorterThanARecord) {
      EXPECT_TRUE(file.error.contains(QStringLiteral("Versuch hinter dem Dateiende zu lesen")));
    }
    return;
  }
  ASSERT_TRUE(file.ok()) << file.error.toStdString();
  for (const NumberSet& sector : file.assignment.sectors)
    for (unsigned n = 37; n < 256; ++n)
      EXPECT_FALSE(sector.contains(n)) << n;
  if (GetParam() == BadInput::Huge) { // its record holds only zero bytes
    for (const NumberSet& sector : file.assignment.sectors)
      EXPECT_TRUE(sector.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Matrix, SectorFileBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

} // namespace
} // namespace kw
