#include "core/RouletteTables.h"

#include <gtest/gtest.h>

#include <set>

namespace kw {
namespace {

TEST(RouletteTables, ZeroAndMarkersBelongToNoChance) {
  for (int set = 0; set < ChanceSetCount; ++set) {
    EXPECT_FALSE(IsInChance(set, 0)) << set;
    EXPECT_FALSE(IsInChance(set, HandChangeCode)) << set;
    EXPECT_FALSE(IsInChance(set, EmptyRowCode)) << set;
    EXPECT_FALSE(IsInChance(set, 37)) << set;
  }
  EXPECT_EQ(SeriesSectorOf(0), 1);
  EXPECT_EQ(WheelPosition(0), 0);
  EXPECT_EQ(WheelPosition(HandChangeCode), -1);
  EXPECT_EQ(SeriesSectorOf(EmptyRowCode), 0);
}

TEST(RouletteTables, ChanceSetSizesAndMemberships) {
  struct Case {
    int set;
    int size;
    std::set<int> someMembers;
    std::set<int> someOutsiders;
  };
  const Case cases[] = {
      {0, 18, {1, 3, 12, 19, 36}, {2, 10, 11, 28, 29}},
      {1, 18, {2, 10, 11, 28, 29, 35}, {1, 36}},
      {2, 18, {1, 35}, {2, 36}},
      {3, 18, {2, 36}, {1, 35}},
      {4, 18, {1, 18}, {19}},
      {5, 18, {19, 36}, {18}},
      {6, 12, {1, 4, 34}, {2, 3}},
      {7, 12, {2, 35}, {1, 36}},
      {8, 12, {3, 36}, {1, 2}},
      {9, 12, {1, 12}, {13}},
      {11, 12, {25, 36}, {24}},
      {12, 6, {1, 6}, {7}},     // six-line 1-6
      {13, 6, {4, 9}, {3, 10}}, // six-line 4-9
      {22, 6, {31, 36}, {30}},  // six-line 31-36
      {23, 3, {1, 3}, {4}},     // street 1-3
      {34, 3, {34, 36}, {33}},  // street 34-36
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChanceSets[c.set].count(), c.size) << c.set;
    for (int n : c.someMembers)
      EXPECT_TRUE(IsInChance(c.set, n)) << c.set << " " << n;
    for (int n : c.someOutsiders)
      EXPECT_FALSE(IsInChance(c.set, n)) << c.set << " " << n;
  }
}

TEST(RouletteTables, SixLinesOverlapOnlyInside) {
  auto sixLinesOf = [](int n) {
    std::set<int> lines;
    for (int set = 12; set <= 22; ++set)
      if (IsInChance(set, n))
        lines.insert(set);
    return lines;
  };
  EXPECT_EQ(sixLinesOf(4), (std::set<int>{12, 13}));
  EXPECT_EQ(sixLinesOf(1), (std::set<int>{12}));
  EXPECT_EQ(sixLinesOf(36), (std::set<int>{22}));
}

TEST(RouletteTables, CompactSetsPutDozensBeforeColumns) {
  EXPECT_EQ(SeriesLengthSets[0], ChanceSets[9]);   // 1st dozen
  EXPECT_EQ(SeriesLengthSets[3], ChanceSets[6]);   // 1st column
  EXPECT_EQ(SeriesLengthSets[6], ChanceSets[12]);  // first six-line
  EXPECT_EQ(SeriesLengthSets[28], ChanceSets[34]); // last street
}

TEST(RouletteTables, SeriesSectorsPartitionTheWheelIntoArcs) {
  EXPECT_EQ(SeriesSectors[0].members.count() + SeriesSectors[1].members.count() +
                SeriesSectors[2].members.count(),
            37);
  for (int n = 0; n <= 36; ++n) {
    int sectors = 0;
    for (const auto& s : SeriesSectors)
      sectors += s.members.contains(n) ? 1 : 0;
    EXPECT_EQ(sectors, 1) << n;
  }
  // Sector 2 is wheel positions 11..22; sector 3 is 8..10 and 23..27.
  for (int pos = 0; pos < 37; ++pos) {
    const int expected = (pos >= 11 && pos <= 22)                                ? 2
                         : ((pos >= 8 && pos <= 10) || (pos >= 23 && pos <= 27)) ? 3
                                                                                 : 1;
    EXPECT_EQ(SeriesSectorOf(WheelOrder[pos]), expected) << pos;
    EXPECT_EQ(WheelPosition(WheelOrder[pos]), pos);
  }
}

TEST(RouletteTables, WheelOrderAfterZeroReadBackwards) {
  const uint8_t start[] = {0, 26, 3, 35};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(WheelOrderAfterZero[36 - i], start[i]);
  EXPECT_EQ(WheelOrderAfterZero[2], 19);
  EXPECT_EQ(WheelOrderAfterZero[1], 15);
  EXPECT_EQ(WheelOrderAfterZero[0], 32);
}

TEST(RouletteTables, LabelsInTheirOrders) {
  EXPECT_EQ(ChanceLabel(0), "Rouge");
  EXPECT_EQ(ChanceLabel(12), "1-3"); // streets before six-lines
  EXPECT_EQ(ChanceLabel(24), "1-6");
  EXPECT_EQ(ChanceLabel(38), "Große");
  EXPECT_EQ(ChanceLabel(41), "");
  EXPECT_EQ(SeriesLengthTitle(0), "Schwarz"); // black before red
  EXPECT_EQ(SeriesLengthTitle(12), "TS 1-6");
  EXPECT_EQ(SeriesLengthTitle(34), "TP 34-36");
}

TEST(NumberSet, BytesRoundTripAndCount) {
  NumberSet s{0, 3, 7, 12, 36, 255};
  EXPECT_EQ(s.count(), 6);
  const auto bytes = s.bytes();
  EXPECT_EQ(bytes[0], 0x89);  // 0, 3, 7
  EXPECT_EQ(bytes[31], 0x80); // 255
  EXPECT_EQ(NumberSet::fromBytes(bytes), s);
  s.erase(255);
  EXPECT_FALSE(s.contains(255));
  EXPECT_FALSE(s.contains(1000));
}

} // namespace
} // namespace kw
