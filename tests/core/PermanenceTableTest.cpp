#include "core/PermanenceTable.h"
#include "core/RouletteTables.h"

#include <gtest/gtest.h>

#include <array>

namespace kw {
namespace {

using Row = std::array<std::string, 4>;

Row rowTexts(const PermanenceTable& t, int row) {
  return {t.CellText(row, 0), t.CellText(row, 1), t.CellText(row, 2), t.CellText(row, 3)};
}

TEST(PermanenceTable, PadSequenceWritesColourColumnsAndOrdinals) {
  PermanenceTable t;
  t.SetPadHandChangeLabel("-");
  for (int code : {4, 0, 50, 32})
    t.EnterCoup("", code);
  EXPECT_EQ(rowTexts(t, 1), (Row{"1", "4", "", ""}));
  EXPECT_EQ(rowTexts(t, 2), (Row{"2", "", "0", ""}));
  EXPECT_EQ(rowTexts(t, 3), (Row{"HW", "---", "-", "---"}));
  EXPECT_EQ(rowTexts(t, 4), (Row{"3", "", "", "32"}));
  EXPECT_EQ(t.ReadRowValue(1), 4);
  EXPECT_EQ(t.ReadRowValue(2), 0);
  EXPECT_EQ(t.ReadRowValue(3), HandChangeCode);
  EXPECT_EQ(t.ReadRowValue(4), 32);
  EXPECT_EQ(t.ReadRowValue(5), EmptyRowCode);
  EXPECT_EQ(t.ReadRowValue(100000), EmptyRowCode);
  EXPECT_EQ(t.CoupCount(), 3);
  EXPECT_EQ(t.HandChangeCount(), 1);
}

TEST(PermanenceTable, HandChangeLabels) {
  struct Case {
    const char* text;
    std::optional<std::string> padLabel;
    const char* column2;
  };
  const Case cases[] = {
      {"", std::nullopt, "---"}, // pad, empty list
      {"", "-", "-"},            // pad, first list entry
      {"---", "X", "X"},         // under four characters: the list's first entry
      {"----", "X", ""},         // dashes only: nothing left
      {"--HW", std::nullopt, "HW"},
      {"- Wechsel -", std::nullopt, "Wechsel"},
      {"ÄÖÜ-", std::nullopt, "ÄÖÜ"}, // four characters, though more bytes
  };
  for (const Case& c : cases) {
    PermanenceTable t;
    t.SetPadHandChangeLabel(c.padLabel);
    t.EnterCoup(c.text, HandChangeCode);
    EXPECT_EQ(t.CellText(1, 2), c.column2) << c.text;
    EXPECT_EQ(t.CellText(1, 1), "---");
  }
}

TEST(PermanenceTable, DeleteLastTakesTheRightCounter) {
  PermanenceTable t;
  t.EnterCoup("", PermanenceTable::DeleteLastCode); // empty: nothing happens
  EXPECT_EQ(t.UsedRows(), 0);
  EXPECT_EQ(t.RowCount(), 30);

  t.EnterCoup("", 7);
  t.EnterCoup("", HandChangeCode);
  t.EnterCoup("", PermanenceTable::DeleteLastCode);
  EXPECT_EQ(t.CoupCount(), 1);
  EXPECT_EQ(t.HandChangeCount(), 0);
  EXPECT_EQ(t.ReadRowValue(2), EmptyRowCode);
  t.EnterCoup("", PermanenceTable::DeleteLastCode);
  EXPECT_EQ(t.CoupCount(), 0);
  EXPECT_EQ(rowTexts(t, 1), (Row{"", "", "", ""}));
}

TEST(PermanenceTable, GrowthAndScrollingAfterClearAll) {
  PermanenceTable t;
  t.EnterCoup("", 1);
  t.EnterCoup("", PermanenceTable::ClearAllCode);
  EXPECT_EQ(t.RowCount(), 24);
  for (int i = 0; i < 23; ++i)
    t.EnterCoup("", 5);
  EXPECT_EQ(t.RowCount(), 24);
  t.EnterCoup("", 5); // the 24th coup needs a 25th grid row
  EXPECT_EQ(t.RowCount(), 25);
  EXPECT_EQ(t.TopRow(), 1);
  t.EnterCoup("", 5);
  EXPECT_EQ(t.RowCount(), 26);
  EXPECT_EQ(t.TopRow(), 2);
}

TEST(PermanenceTable, RowCountFollowsEntriesPastTwentyFour) {
  PermanenceTable t;
  for (int i = 0; i < 24; ++i)
    t.EnterCoup("", 1);
  EXPECT_EQ(t.RowCount(), 30); // the initial rows suffice
  t.EnterCoup("", 1);
  EXPECT_EQ(t.RowCount(), 26); // the 25th entry sets exactly e + 1
  for (int i = 0; i < 5; ++i)
    t.EnterCoup("", 1);
  t.EnterCoup("", PermanenceTable::DeleteLastCode);
  EXPECT_EQ(t.UsedRows(), 29);
  EXPECT_EQ(t.RowCount(), 30);
  EXPECT_EQ(t.TopRow(), 6);
}

TEST(PermanenceTable, ClearKeepingRowsKeepsTheGridSize) {
  PermanenceTable t;
  for (int i = 0; i < 40; ++i)
    t.EnterCoup("", i % 37);
  t.ClearKeepingRows();
  EXPECT_EQ(t.RowCount(), 41);
  EXPECT_EQ(t.TopRow(), 1);
  EXPECT_EQ(t.UsedRows(), 0);
  EXPECT_EQ(t.ReadRowValue(1), EmptyRowCode);
  t.EnterCoup("", 9);
  EXPECT_EQ(t.CellText(1, 0), "1");
}

TEST(PermanenceTable, OrdinalsSkipHandChanges) {
  PermanenceTable t;
  for (int code : {1, 50, 2, 50, 50, 3})
    t.EnterCoup("", code);
  EXPECT_EQ(t.CellText(6, 0), "3");
  EXPECT_EQ(t.RowValues(), (std::vector<uint8_t>{1, 50, 2, 50, 50, 3}));
}

} // namespace
} // namespace kw
