#include "analysis/FrequencyChart.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using Thresholds = std::array<int64_t, ColourRangeCount>;
using Legend = std::array<std::string, ColourRangeCount>;

TEST(FrequencyChart, ThresholdsAndLegends) {
  struct Case {
    uint32_t coups;
    uint32_t expected;
    int q;
    Thresholds thresholds;
    Legend legend;
  };
  const Case cases[] = {
      {370,
       10,
       1,
       {19, 16, 13, 10, 7, 4, 1},
       {"> 19", "17 - 19", "14 - 16", "7 - 13", "4 - 6", "1 - 3", "< 1"}},
      {370,
       10,
       2,
       {15, 13, 12, 10, 8, 7, 5},
       {"> 15", "14 - 15", "13 - 13", "8 - 12", "7 - 7", "5 - 6", "< 5"}},
      // d = 0, 1, 1: empty ranges show as "3 - 2" and "0 - -1".
      {37,
       1,
       2,
       {2, 2, 1, 1, 1, 0, 0},
       {"> 2", "3 - 2", "2 - 2", "1 - 1", "0 - 0", "0 - -1", "< 0"}},
      {0,
       0,
       1,
       {0, 0, 0, 0, 0, 0, 0},
       {"> 0", "1 - 0", "1 - 0", "0 - 0", "0 - -1", "0 - -1", "< 0"}},
      // Lower thresholds clamp at 0.
      {370,
       2,
       1,
       {11, 8, 5, 2, 0, 0, 0},
       {"> 11", "9 - 11", "6 - 8", "0 - 5", "0 - -1", "0 - -1", "< 0"}},
  };
  for (const Case& c : cases) {
    const ColourRanges r = ComputeColourRanges(c.coups, c.expected, c.q);
    EXPECT_EQ(r.thresholds, c.thresholds) << c.coups << " q=" << c.q;
    EXPECT_EQ(LegendTexts(r), c.legend) << c.coups << " q=" << c.q;
  }
}

TEST(FrequencyChart, RangeColourMatchesTheLegendBounds) {
  const ColourRanges r = ComputeColourRanges(370, 10, 1); // 19, 16, 13, 10, 7, 4, 1
  const std::pair<uint32_t, int> cases[] = {{1000, 0}, {20, 0}, {19, 1}, {17, 1}, {16, 2},
                                            {14, 2},   {13, 3}, {7, 3},  {6, 4},  {4, 4},
                                            {3, 5},    {1, 5},  {0, 6}};
  for (auto [count, colour] : cases)
    EXPECT_EQ(RangeColour(r, count), colour) << count;

  // With nothing counted every number lies in the middle range.
  EXPECT_EQ(RangeColour(ComputeColourRanges(0, 0, 1), 0), 3);
}

TEST(FrequencyChart, SlicesFollowTheWheelBackwardsFromZero) {
  NumberCounts counts{};
  for (int x = 0; x < NumberCount; ++x)
    counts[x] = 10;
  counts[26] = 25; // above T0 for 370 coups
  counts[32] = 0;
  const FrequencyChart chart = BuildFrequencyChart(counts, 370, 10, 1);

  EXPECT_EQ(chart.slices[0].number, 0);
  EXPECT_EQ(chart.slices[1].number, 26);
  EXPECT_EQ(chart.slices[2].number, 3);
  EXPECT_EQ(chart.slices[36].number, 32);
  EXPECT_EQ(chart.slices[1].count, 25u);
  EXPECT_EQ(chart.slices[1].colour, 0);
  EXPECT_EQ(chart.numberColours[26], 0);
  EXPECT_EQ(chart.slices[36].colour, 6);
  EXPECT_EQ(chart.numberColours[32], 6);
  EXPECT_EQ(chart.numberColours[5], 3);
  EXPECT_EQ(chart.legend[0], "> 19");
}

} // namespace
} // namespace kw
