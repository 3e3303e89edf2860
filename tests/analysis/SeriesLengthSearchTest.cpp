#include "analysis/SeriesLengthSearch.h"

#include "core/RouletteTables.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace kw {
namespace {

constexpr uint8_t HW = HandChangeCode;
constexpr uint8_t R = 1;  // red
constexpr uint8_t N = 20; // black

constexpr int RedColumn = 2;

FirstSeries At(uint32_t coup) { return {FirstSeries::Kind::Found, coup}; }
const FirstSeries NotFound{FirstSeries::Kind::NotFound, 0};
const FirstSeries TooShort{FirstSeries::Kind::TooShort, 0};

TEST(SeriesLengthSearch, FirstSeriesOfRed) {
  struct Case {
    const char* name;
    std::vector<uint8_t> entries;
    int length;
    FirstSeries result;
  };
  const Case cases[] = {
      {"hand change inside the run", {R, R, HW, R}, 3, At(1)},
      {"hand change before the run", {HW, R, R, R}, 3, At(1)},
      {"zero breaks the run", {R, 0, R, R, R}, 3, At(3)},
      {"exactly L entries", {R, R, R}, 3, TooShort},
      {"hand-change marks count for the size", {HW, R, R}, 3, TooShort},
      {"L + 1 entries are searched", {N, R, R, R}, 3, At(2)},
      {"coups are counted without hand changes", {N, HW, N, HW, R, R, R}, 3, At(3)},
      {"a longer run counts from its start", {N, R, R, R, R, R}, 3, At(2)},
      {"no run long enough", {R, R, N, R, R, 0, R}, 3, NotFound},
      {"only hand changes", {HW, HW, HW, HW}, 2, NotFound},
      {"any other value breaks the run", {R, R, 45, R, R}, 3, NotFound},
      {"empty permanence", {}, 2, TooShort},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindFirstSeries(c.entries, SeriesLengthColumnSet(RedColumn), c.length), c.result)
        << c.name;
  }
}

TEST(SeriesLengthSearch, CellTexts) {
  EXPECT_EQ(At(17).Text(), "17");
  EXPECT_EQ(NotFound.Text(), "xxx");
  EXPECT_EQ(TooShort.Text(), "---");
}

TEST(SeriesLengthSearch, ColumnsTakeTheirChancesAndGroups) {
  struct Case {
    int column;
    const NumberSet& set;
    int group;
  };
  const Case cases[] = {
      {1, ChanceSets[1], 0},   {2, ChanceSets[0], 0},   {3, ChanceSets[3], 0},
      {4, ChanceSets[2], 0},   {5, ChanceSets[4], 0},   {6, ChanceSets[5], 0},
      {7, ChanceSets[9], 1},   {10, ChanceSets[6], 1},  {12, ChanceSets[8], 1},
      {13, ChanceSets[12], 2}, {23, ChanceSets[22], 2}, {24, ChanceSets[23], 3},
      {35, ChanceSets[34], 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SeriesLengthColumnSet(c.column), c.set) << c.column;
    EXPECT_EQ(SeriesLengthColumnGroup(c.column), c.group) << c.column;
  }
}

TEST(SeriesLengthSearch, RowMatchesColumnByColumnSearch) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> number(0, 36);
  std::uniform_int_distribution<int> percent(0, 99);
  const SeriesLengths lengthSets[] = {
      {6, 5, 4, 3}, {2, 2, 2, 2}, {12, 12, 12, 12}, {1, 3, 7, 300}, {0, 40, 2, 9}};
  for (int p = 0; p < 300; ++p) {
    // Short permanences hit the size limit, long ones find most series.
    std::vector<uint8_t> entries(p % 50 == 0 ? 400 : p % 20);
    for (uint8_t& e : entries) {
      const int roll = percent(random);
      e = roll < 5 ? HW : roll < 7 ? 45 : static_cast<uint8_t>(number(random));
    }
    for (const SeriesLengths& lengths : lengthSets) {
      const SeriesLengthRow row = FindFirstSeriesRow(entries, lengths);
      for (int column = 1; column <= SeriesLengthColumnCount; ++column) {
        const FirstSeries expected = FindFirstSeries(entries, SeriesLengthColumnSet(column),
                                                     lengths[SeriesLengthColumnGroup(column)]);
        ASSERT_EQ(row[column - 1], expected)
            << "permanence " << p << " column " << column << " length "
            << lengths[SeriesLengthColumnGroup(column)];
      }
    }
  }
}

TEST(SeriesLengthSearch, RowOfAShortPermanence) {
  // Four entries: the simple and third chances (lengths 6, 5) are too short; the six-lines
  // search for 4 is too short as well; the streets search for 3.
  const std::vector<uint8_t> entries = {HW, 34, 35, 36};
  const SeriesLengthRow row = FindFirstSeriesRow(entries, {6, 5, 4, 3});
  for (int column = 1; column <= 23; ++column)
    EXPECT_EQ(row[column - 1], TooShort) << column;
  EXPECT_EQ(row[34], At(1)); // street 34-36
  EXPECT_EQ(row[33], NotFound);
}

// The run over many permanences: one row per permanence in their order, the same for every
// thread count; a cancel leaves no rows.
TEST(SeriesLengthRun, RowsInOrderForEveryThreadCountAndACancelLeavesNone) {
  std::mt19937 random(31);
  std::uniform_int_distribution<int> number(0, 36);
  std::uniform_int_distribution<size_t> length(0, 300);
  std::vector<std::vector<uint8_t>> permanences(500);
  for (auto& p : permanences) {
    p.resize(length(random));
    for (uint8_t& e : p)
      e = static_cast<uint8_t>(number(random));
  }
  const SeriesLengths lengths = {5, 4, 3, 2};
  for (int threads : {1, 2, 7}) {
    const SeriesLengthRun run =
        RunSeriesLengthSearch(permanences, lengths, {.threads = threads, .reportEvery = 3});
    ASSERT_FALSE(run.cancelled);
    ASSERT_EQ(run.rows.size(), permanences.size());
    for (size_t p = 0; p < permanences.size(); ++p)
      ASSERT_EQ(run.rows[p], FindFirstSeriesRow(permanences[p], lengths)) << p << " " << threads;

    RunControl control{.threads = threads, .reportEvery = 100};
    control.progress = [](size_t done, size_t) { return done < 200; };
    const SeriesLengthRun cancelled = RunSeriesLengthSearch(permanences, lengths, control);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.rows.empty());
  }
}

} // namespace
} // namespace kw
