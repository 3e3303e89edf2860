#include "systemtest/StakeProgression.h"
#include "systemtest/TestParameters.h"

#include "files/TextFile.h"

#include "support/BadInputMatrix.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kw {
namespace {

using test::BadInput;

class StakeFileBadInput : public ::testing::TestWithParam<BadInput> {};

// A .set file as the system test window loads it: read whole first, so a file that cannot be
// read gives its message and leaves the table as it was; any other bytes give 100 cells.
TEST_P(StakeFileBadInput, AnswersWithTheMessageOrTheWholeTable) {
  KW_SKIP_IF_NOT_MAKEABLE(GetParam());
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Staffel.set"));
  test::MakeBadInput(GetParam(), path, QByteArray("1\r\n2\r\n4\r\n8\r\n16\r\n"));
  ASSERT_FALSE(HasFatalFailure());

  const FileBytes file = ReadFileBytes(path);
  if (test::IsUnreadable(GetParam())) {
    EXPECT_TRUE(file.error.startsWith(QStringLiteral("Die Datei "))) << file.error.toStdString();
    EXPECT_TRUE(file.error.contains(QStringLiteral("Staffel.set")));
    if (test::IsSpecialFile(GetParam())) {
      EXPECT_TRUE(file.error.contains(QString::fromUtf8(test::SpecialFileReason)));
    }
    EXPECT_TRUE(file.bytes.isEmpty());
    return;
  }
  ASSERT_TRUE(file.ok()) << file.error.toStdString();
  const std::vector<std::string> cells =
      StakeCellsFromLines(SplitStakeFileText(DecodeText(file.bytes).text));
  ASSERT_EQ(cells.size(), static_cast<size_t>(StakeTableColumns));
  switch (GetParam()) {
  case BadInput::Empty:
    EXPECT_EQ(cells, std::vector<std::string>(StakeTableColumns));
    break;
  case BadInput::MegabyteLine:
    EXPECT_EQ(cells[0], "17");
    EXPECT_EQ(cells[1].size(), size_t{1} << 20);
    EXPECT_EQ(cells[2], "5");
    EXPECT_EQ(CollectStakeLines(cells), (std::vector<std::string>{"17", "5"}));
    break;
  case BadInput::Truncated: // 10 bytes: "1\r\n2\r\n4\r\n8\r"
    EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.begin() + 6),
              (std::vector<std::string>{"1", "2", "4", "8", "", ""}));
    break;
  default:
    break;
  }
}

INSTANTIATE_TEST_SUITE_P(Matrix, StakeFileBadInput, ::testing::ValuesIn(test::BadInputs),
                         test::BadInputParamName());

} // namespace
} // namespace kw
