#include "sectors/ThrowDistance.h"

#include "core/RouletteTables.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace kw {
namespace {

using Transitions = std::vector<std::pair<int, int>>; // (earlier sector, following sector)

// Sectors 1..8 hold exactly the number of their own name; sector 9 holds every other
// number. Transitions between 1..8 can then be read straight off the tables.
SectorAssignment oneNumberSectors() {
  SectorAssignment assignment;
  for (int n = 0; n < NumberCount; ++n) {
    const int sector = (n >= 1 && n <= 8) ? n : 9;
    assignment.sectors[static_cast<size_t>(sector - 1)].insert(static_cast<uint8_t>(n));
  }
  return assignment;
}

SectorTransitionTable tableOf(const Transitions& transitions) {
  SectorTransitionTable table{};
  for (auto [s, t] : transitions)
    ++table[static_cast<size_t>(s - 1)][static_cast<size_t>(t - 1)];
  return table;
}

TEST(ThrowDistance, WorkedExampleFillsEveryDataCell) {
  const std::vector<uint8_t> rows = {0, 32, 15, 19, 4, 21, 2};
  const ThrowDistanceResult result = EvaluateThrowDistances(
      rows, BuildSectorAssignment(PresetSectorLists(SectorPreset::FiveAndEightFours)));
  ASSERT_EQ(result.status, ThrowDistanceStatus::Counted);
  EXPECT_TRUE(result.message.empty());
  EXPECT_EQ(result.coups, 7u);

  const SectorGridTexts cells = SectorGridTextsOf(result.counts);
  for (int row = 1; row < SectorGridRows; ++row)
    for (int column = 2; column < SectorGridColumns; ++column) {
      std::string expected = "-";
      if ((row == 1 && column == 2) || (row == 2 && column == 3) || (row == 4 && column == 3))
        expected = "1";
      if (row == 3 && column == 3)
        expected = "2";
      EXPECT_EQ(cells[row][column], expected) << "row " << row << " column " << column;
    }
}

TEST(ThrowDistance, DirectionsAlternateFromTheSecondCoup) {
  struct Case {
    std::vector<uint8_t> rows;
    Transitions a;
    Transitions b;
  };
  const Case cases[] = {
      {{1, 2, 3}, {{2, 3}}, {}},
      {{1, 2, 3, 4}, {{2, 3}}, {{3, 4}}},
      {{1, 2, 3, 4, 5, 6}, {{2, 3}, {4, 5}}, {{3, 4}, {5, 6}}},
      // A hand change and empty rows neither break the sequence nor shift the directions.
      {{1, 2, HandChangeCode, 3, 4, EmptyRowCode, EmptyRowCode}, {{2, 3}}, {{3, 4}}},
      {{HandChangeCode, 1, HandChangeCode, 2, 3, 4, 5}, {{2, 3}, {4, 5}}, {{3, 4}}},
  };
  for (const Case& c : cases) {
    const ThrowDistanceResult result = EvaluateThrowDistances(c.rows, oneNumberSectors());
    ASSERT_EQ(result.status, ThrowDistanceStatus::Counted) << c.rows.size();
    EXPECT_EQ(result.counts.a, tableOf(c.a)) << c.rows.size();
    EXPECT_EQ(result.counts.b, tableOf(c.b)) << c.rows.size();
  }
}

TEST(ThrowDistance, FewerThanThreeNumbersAreRefusedFirst) {
  const std::vector<std::vector<uint8_t>> tables = {
      {}, {7}, {7, HandChangeCode, 8}, {HandChangeCode, EmptyRowCode, 0, 36, HandChangeCode}};
  for (const auto& rows : tables) {
    // Refused for the coups even when the assignment is also incomplete.
    const ThrowDistanceResult result = EvaluateThrowDistances(rows, SectorAssignment{});
    EXPECT_EQ(result.status, ThrowDistanceStatus::TooFewCoups);
    EXPECT_EQ(result.message,
              "Es gibt keine oder zu wenig Coups für eine Auswertung.\r\rLaden Sie im "
              "Hauptfenster eine Permanenz und übertragen Sie diese in die dortige Tabelle."
              "\r\rDer Vorgang wird abgebrochen!");
  }
}

TEST(ThrowDistance, IncompleteAssignmentIsRefused) {
  SectorAssignment assignment = oneNumberSectors();
  assignment.sectors[8].erase(36);
  const std::vector<uint8_t> rows = {1, 2, 3, 4};
  const ThrowDistanceResult result = EvaluateThrowDistances(rows, assignment);
  EXPECT_EQ(result.status, ThrowDistanceStatus::IncompleteAssignment);
  EXPECT_EQ(result.message,
            "Sie haben nicht alle Nummern Sektoren zugewiesen.\r\rDer Vorgang wird abgebrochen!");
  EXPECT_EQ(result.counts, ThrowDistanceCounts{});
}

TEST(ThrowDistance, NumberInTwoSectorsCountsInBothRows) {
  SectorAssignment assignment = oneNumberSectors();
  assignment.sectors[6].insert(2); // 2 now stands in sectors 2 and 7
  const std::vector<uint8_t> rows = {9, 2, 3, 2};
  const ThrowDistanceResult result = EvaluateThrowDistances(rows, assignment);
  EXPECT_EQ(result.counts.a, tableOf({{2, 3}, {7, 3}}));
  EXPECT_EQ(result.counts.b, tableOf({{3, 2}, {3, 7}}));
}

TEST(ThrowDistance, EmptySectorShowsDashes) {
  SectorAssignment assignment = oneNumberSectors();
  assignment.sectors[8].insert(5);
  assignment.sectors[4].clear(); // sector 5 is empty; 5 moved to sector 9
  const std::vector<uint8_t> rows = {1, 5, 5, 5, 5, 3};
  const ThrowDistanceResult result = EvaluateThrowDistances(rows, assignment);
  ASSERT_EQ(result.status, ThrowDistanceStatus::Counted);
  const SectorGridTexts cells = SectorGridTextsOf(result.counts);
  for (int column = 2; column < SectorGridColumns; ++column) {
    EXPECT_EQ(cells[9][column], "-");
    EXPECT_EQ(cells[10][column], "-");
  }
  for (int row = 1; row < SectorGridRows; ++row)
    EXPECT_EQ(cells[row][6], "-");
  EXPECT_EQ(cells[17][10], "2"); // A: 5 -> 5 twice, in sector 9
  EXPECT_EQ(cells[18][4], "1");  // B: 5 -> 3
  EXPECT_EQ(cells[18][10], "1"); // B: 5 -> 5
}

TEST(ThrowDistance, GridTextsKeepTheirBlanks) {
  const SectorGridTexts cells = InitialSectorGridTexts();
  EXPECT_EQ(cells[0][0], "Vor-Sektor");
  EXPECT_EQ(cells[0][1], "Richtung");
  EXPECT_EQ(cells[0][2], "     1");
  EXPECT_EQ(cells[0][10], "     9");
  EXPECT_EQ(cells[1][0], "         1");
  EXPECT_EQ(cells[2][0], "");
  EXPECT_EQ(cells[17][0], "         9");
  EXPECT_EQ(cells[1][1], "      A");
  EXPECT_EQ(cells[2][1], "      B");
  EXPECT_EQ(cells[18][1], "      B");
  for (int row = 1; row < SectorGridRows; ++row)
    for (int column = 2; column < SectorGridColumns; ++column)
      EXPECT_EQ(cells[row][column], "");
  EXPECT_EQ(SectorGridTextsOf({})[0], cells[0]);
}

} // namespace
} // namespace kw
