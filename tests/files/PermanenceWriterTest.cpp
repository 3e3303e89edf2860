#include "files/PermanenceWriter.h"

#include "core/PermanenceTable.h"
#include "files/PermanenceFiles.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kw {
namespace {

using Lines = std::vector<std::string>;

PermanenceInfo info(std::string remark) { return {"Spielbank", "XX", "28.04.2013", remark}; }

// 17, 0, a hand change from the pad (label "-"), one read from "----" (no label), one from
// "--HW" (label "HW"), one from the pad with an empty hand-change list (label "---"), 32.
PermanenceTable sampleTable() {
  PermanenceTable table;
  table.SetPadHandChangeLabel("-");
  table.EnterCoup("17", 17);
  table.EnterCoup("0", 0);
  table.EnterCoup("", 50);
  table.EnterCoup("----", 50);
  table.EnterCoup("--HW", 50);
  table.SetPadHandChangeLabel(std::nullopt);
  table.EnterCoup("", 50);
  table.EnterCoup("32", 32);
  return table;
}

TEST(PermanenceFileLines, OneLinePerRowWithHandChangeLabelsAfterDashes) {
  EXPECT_EQ(PermanenceFileLines(sampleTable(), std::nullopt),
            (Lines{"17", "0", "----", "---", "---HW", "---", "32"}));
}

TEST(PermanenceFileLines, InformationLinesWithARemarkOfThreeCharactersOrMore) {
  const PermanenceTable table = sampleTable();
  const Lines lines = PermanenceFileLines(table, info("ab"));
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4),
            (Lines{"Spielbank", "Tisch XX", "28.04.2013", "17"}));
  EXPECT_EQ(PermanenceFileLines(table, info("äöü")).at(3), "äöü");
  EXPECT_EQ(PermanenceFileLines(PermanenceTable(), PermanenceInfo{"", "", "1.1.2020", "xyz"}),
            (Lines{"", "Tisch ", "1.1.2020", "xyz"}));
}

TEST(PermanenceFileLines, ClearedAndFreeRowsGiveNoLine) {
  PermanenceTable table;
  for (int n : {5, 6, 7})
    table.EnterCoup(std::to_string(n), n);
  table.ClearRow(2);
  EXPECT_EQ(PermanenceFileLines(table, std::nullopt), (Lines{"5", "7"}));
  EXPECT_TRUE(PermanenceFileLines(PermanenceTable(), std::nullopt).empty());
}

class PermanenceWriterTest : public ::testing::Test {
protected:
  QString path() const { return dir_.filePath(QStringLiteral("saved.prm")); }
  QTemporaryDir dir_;
};

TEST_F(PermanenceWriterTest, WritesAFileThatReadsBackAsTheSameRows) {
  const PermanenceTable table = sampleTable();
  ASSERT_EQ(WritePermanenceFile(path(), table, info("Bemerkung")), QString());
  EXPECT_EQ(test::ReadBytes(path()),
            QByteArray("Spielbank\r\nTisch XX\r\n28.04.2013\r\nBemerkung\r\n"
                       "17\r\n0\r\n----\r\n---\r\n---HW\r\n---\r\n32\r\n"));
  const std::vector<std::string> markers = {"-", "--", "---", "----", "---HW"};
  const FilePermanences read = ReadPermanenceFiles({path()}, markers, {.threads = 1});
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.PermanenceData.at(0), table.RowValues());
}

TEST_F(PermanenceWriterTest, ALabelWindows1252CannotHoldLeavesTheOldFile) {
  ASSERT_TRUE(test::WriteBytes(path(), "1\r\n"));
  PermanenceTable table;
  table.EnterCoup("3", 3);
  table.EnterCoup("---→", 50);
  const QString error = WritePermanenceFile(path(), table, std::nullopt);
  EXPECT_TRUE(error.contains(QStringLiteral("→"))) << error.toStdString();
  EXPECT_EQ(test::ReadBytes(path()), QByteArray("1\r\n"));
}

} // namespace
} // namespace kw
