#include "analysis/ChanceAnalysis.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace kw {
namespace {

constexpr uint8_t HW = HandChangeCode;

// The recorded series of both tables as (chance label, length) -> count; the twelve labels
// "Rouge" ... "3. Kol." are distinct, so one map describes both tables.
using SeriesMap = std::map<std::pair<std::string, int>, uint32_t>;

SeriesMap RecordedSeries(const ChanceAnalysis& a) {
  SeriesMap map;
  for (int chance = 1; chance <= SeriesChanceCount; ++chance)
    for (int length = 1; length <= MaxSeriesLength; ++length) {
      if (uint32_t n = a.evenChanceSeries.at(chance, length))
        map[{std::string(ChanceLabel(chance - 1)), length}] = n;
      if (uint32_t n = a.thirdChanceSeries.at(chance, length))
        map[{std::string(ChanceLabel(chance + 5)), length}] = n;
    }
  return map;
}

TEST(ChanceAnalysis, CountsNumbersAndEveryChanceGroup) {
  const std::vector<uint8_t> rows = {0, 4, 1, 34, 36, HW, 19, 0, EmptyRowCode};
  const ChanceAnalysis a = AnalyseChances(rows);

  EXPECT_EQ(a.coups, 7u);
  EXPECT_EQ(a.handChanges, 1u);
  NumberCounts numbers{};
  numbers[0] = 2;
  numbers[1] = numbers[4] = numbers[19] = numbers[34] = numbers[36] = 1;
  EXPECT_EQ(a.numberCounts, numbers);

  ChanceCounts expected;
  expected.colours = {1, 2, 4};
  expected.columns = {4, 0, 1};
  expected.dozens = {2, 1, 2};
  expected.wheelSeries = {4, 1, 2}; // zero twice in Große Serie
  expected.manquePasse = {2, 3};
  expected.impairPair = {2, 3};
  expected.sixLines = {2, 1, 0, 0, 0, 1, 1, 0, 0, 0, 2}; // 4 in 1-6 and 4-9, 19 in 16-21 and 19-24
  expected.streets = {1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2};
  EXPECT_EQ(a.chanceCounts, expected);

  // Coup by coup the same counts; hand changes and empty rows count nothing.
  NumberCounts byCoup{};
  ChanceCounts chancesByCoup;
  for (uint8_t row : rows)
    CountCoup(row, byCoup, chancesByCoup);
  EXPECT_EQ(byCoup, numbers);
  EXPECT_EQ(chancesByCoup, expected);
}

TEST(ChanceAnalysis, ChanceValuesOfTheSeriesScans) {
  struct Case {
    uint8_t row;
    std::array<int, 5> values; // even groups 1..3, third groups 1..2
  };
  const Case cases[] = {
      {1, {1, 3, 5, 1, 4}},
      {20, {2, 4, 6, 2, 5}},
      {36, {1, 4, 6, 3, 6}},
      {13, {2, 3, 5, 2, 4}},
      {0, {0, 0, 0, 0, 0}},
      {HW, {0, 0, 0, 0, 0}},
      {EmptyRowCode, {0, 0, 0, 0, 0}},
      {37, {0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const std::array<int, 5> got = {EvenChanceValue(1, c.row), EvenChanceValue(2, c.row),
                                    EvenChanceValue(3, c.row), ThirdChanceValue(1, c.row),
                                    ThirdChanceValue(2, c.row)};
    EXPECT_EQ(got, c.values) << int(c.row);
  }
}

TEST(ChanceAnalysis, SeriesScans) {
  struct Case {
    const char* name;
    std::vector<uint8_t> rows;
    SeriesMap series;
  };
  const Case cases[] = {
      {"empty table", {}, {}},
      {"zeros, hand changes and empty rows only", {0, HW, 0, EmptyRowCode, HW}, {}},
      {"hand change inside, zero ends",
       {1, 1, HW, 1, 0, 2, 2, 1},
       {{{"Rouge", 3}, 1},
        {{"Noir", 2}, 1},
        {{"Rouge", 1}, 1},
        {{"Impair", 3}, 1},
        {{"Pair", 2}, 1},
        {{"Impair", 1}, 1},
        {{"Manque", 3}, 2},
        {{"1. Dutz.", 3}, 2},
        {{"1. Kol.", 3}, 1},
        {{"2. Kol.", 2}, 1},
        {{"1. Kol.", 1}, 1}}},
      {"hand changes neither end nor lengthen",
       {1, HW, 3, HW, 5},
       {{{"Rouge", 3}, 1},
        {{"Impair", 3}, 1},
        {{"Manque", 3}, 1},
        {{"1. Dutz.", 3}, 1},
        {{"1. Kol.", 1}, 1},
        {{"3. Kol.", 1}, 1},
        {{"2. Kol.", 1}, 1}}},
      {"leading zeros and hand changes, series ends with the table",
       {HW, 0, HW, 36},
       {{{"Rouge", 1}, 1},
        {{"Pair", 1}, 1},
        {{"Passe", 1}, 1},
        {{"3. Dutz.", 1}, 1},
        {{"3. Kol.", 1}, 1}}},
      {"an empty row ends a series like a zero",
       {1, 1, EmptyRowCode, 1},
       {{{"Rouge", 2}, 1},
        {{"Rouge", 1}, 1},
        {{"Impair", 2}, 1},
        {{"Impair", 1}, 1},
        {{"Manque", 2}, 1},
        {{"Manque", 1}, 1},
        {{"1. Dutz.", 2}, 1},
        {{"1. Dutz.", 1}, 1},
        {{"1. Kol.", 2}, 1},
        {{"1. Kol.", 1}, 1}}},
  };
  for (const Case& c : cases) {
    const ChanceAnalysis a = AnalyseChances(c.rows);
    EXPECT_FALSE(a.refusal) << c.name;
    EXPECT_EQ(RecordedSeries(a), c.series) << c.name;
  }
}

TEST(ChanceAnalysis, LongestSeriesSetsTheShownLengths) {
  std::vector<uint8_t> rows(14, 1); // 14 reds
  rows.push_back(20);
  const ChanceAnalysis a = AnalyseChances(rows);
  EXPECT_EQ(LongestSeries(a.evenChanceSeries), 14);
  EXPECT_EQ(ShownSeriesLengths(a.evenChanceSeries), 14);

  const ChanceAnalysis empty = AnalyseChances({});
  EXPECT_EQ(LongestSeries(empty.thirdChanceSeries), 0);
  EXPECT_EQ(ShownSeriesLengths(empty.thirdChanceSeries), 10);
}

std::vector<uint8_t> Repeat(std::initializer_list<uint8_t> pattern, int times) {
  std::vector<uint8_t> rows;
  for (int i = 0; i < times; ++i)
    rows.insert(rows.end(), pattern);
  return rows;
}

TEST(ChanceAnalysis, SeriesOfExactlyHundredCoupsIsRecorded) {
  const ChanceAnalysis a = AnalyseChances(Repeat({1, HW}, 100));
  EXPECT_FALSE(a.refusal);
  EXPECT_EQ(a.evenChanceSeries.at(1, 100), 1u);
  EXPECT_EQ(LongestSeries(a.evenChanceSeries), 100);
}

TEST(ChanceAnalysis, RefusesTheFirstTooLongSeriesInScanOrder) {
  auto join = [](std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> rows;
    const char* label;
  };
  const Case cases[] = {
      {"101 reds", Repeat({1}, 101), "Rouge"},
      // Passe runs too long first in the table, but the colours are scanned first.
      {"colour before an earlier Passe", join(Repeat({19, 20}, 60), Repeat({1}, 101)), "Rouge"},
      // Manque and Passe stay at 100 each; the 2nd dozen runs 200.
      {"dozen", join(Repeat({13, 14}, 50), Repeat({19, 20}, 50)), "2. Dutz."},
      // 1, 4, ..., 34 repeated: every even chance and dozen alternates within 6 coups.
      {"column", Repeat({1, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31, 34}, 9), "1. Kol."},
  };
  for (const Case& c : cases) {
    const ChanceAnalysis a = AnalyseChances(c.rows);
    ASSERT_TRUE(a.refusal) << c.name;
    EXPECT_EQ(*a.refusal, std::string("Die ") + c.label +
                              "-Serie ist bereits 100 Coups lang. Es handelt sich "
                              "offensichtlich nicht um eine Roulette-Permanenz.\r\rIch breche ab.")
        << c.name;
    // The counts of the whole table stand; no series table is shown.
    EXPECT_EQ(a.coups, c.rows.size()) << c.name;
    EXPECT_EQ(LongestSeries(a.evenChanceSeries), 0) << c.name;
    EXPECT_EQ(LongestSeries(a.thirdChanceSeries), 0) << c.name;
  }
}

TEST(ChanceAnalysis, SeriesCountersDoNotWrapPast16Bits) {
  // 1 and 20 differ in every chance: each coup is a series of length 1.
  const ChanceAnalysis a = AnalyseChances(Repeat({1, 20}, 70000));
  for (int chance = 1; chance <= SeriesChanceCount; ++chance) {
    EXPECT_EQ(a.evenChanceSeries.at(chance, 1), 70000u) << chance;
  }
  EXPECT_EQ(a.thirdChanceSeries.at(1, 1), 70000u); // 1st dozen
  EXPECT_EQ(a.thirdChanceSeries.at(5, 1), 70000u); // 2nd column
}

// The scan of one group step by step, for comparison with the one-pass engine.
SeriesMap ReferenceSeries(const std::vector<uint8_t>& rows) {
  SeriesMap map;
  auto scan = [&](auto valueOf, int labelOffset) {
    size_t r = 0;
    auto nextNumber = [&](size_t from) {
      while (from < rows.size() && (rows[from] == HW || valueOf(rows[from]) == 0))
        ++from;
      return from;
    };
    for (r = nextNumber(0); r < rows.size(); r = nextNumber(r + 1)) {
      const int v = valueOf(rows[r]);
      int length = 1;
      while (r + 1 < rows.size() && (rows[r + 1] == HW || valueOf(rows[r + 1]) == v)) {
        ++r;
        length += rows[r] == HW ? 0 : 1;
      }
      ++map[{std::string(ChanceLabel(v + labelOffset)), length}];
    }
  };
  for (int g = 1; g <= 3; ++g)
    scan([g](uint8_t row) { return EvenChanceValue(g, row); }, -1);
  for (int g = 1; g <= 2; ++g)
    scan([g](uint8_t row) { return ThirdChanceValue(g, row); }, 5);
  return map;
}

TEST(ChanceAnalysis, OnePassMatchesGroupByGroupScanOnRandomTables) {
  std::mt19937 random(20240611);
  // Few distinct values make long series, hand changes and zeros common.
  const std::vector<uint8_t> pool = {0, 1, 3, 5, 2, 36, 19, HW, HW, 13};
  std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
  for (int table = 0; table < 200; ++table) {
    std::vector<uint8_t> rows(table * 3);
    for (uint8_t& row : rows)
      row = pool[pick(random)];
    const ChanceAnalysis a = AnalyseChances(rows);
    ASSERT_FALSE(a.refusal);
    ASSERT_EQ(RecordedSeries(a), ReferenceSeries(rows)) << "table " << table;
  }
}

} // namespace
} // namespace kw
