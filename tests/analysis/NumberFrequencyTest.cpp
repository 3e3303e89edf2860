#include "analysis/NumberFrequency.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(NumberFrequency, FrequencyOrderSortsByCountThenNumber) {
  NumberCounts counts{};
  for (int x = 0; x < NumberCount; ++x)
    counts[x] = x % 4; // many ties below the leaders
  counts[17] = 5;
  counts[3] = 5;
  counts[0] = 6;
  const NumberSlots slots = FrequencyOrder(counts);
  EXPECT_EQ(slots[0], 0);
  EXPECT_EQ(slots[1], 3);
  EXPECT_EQ(slots[2], 17);
  EXPECT_EQ(slots[3], 7); // first of the numbers with count 3
  EXPECT_EQ(slots[4], 11);
  for (int s = 1; s < NumberCount; ++s) {
    const uint8_t before = slots[s - 1];
    const uint8_t after = slots[s];
    EXPECT_TRUE(counts[before] > counts[after] ||
                (counts[before] == counts[after] && before < after))
        << s;
  }
}

TEST(NumberFrequency, AllCountsEqualKeepTableOrder) {
  EXPECT_EQ(FrequencyOrder(NumberCounts{}), TableOrder());
  for (int x = 0; x < NumberCount; ++x)
    EXPECT_EQ(TableOrder()[x], x);
}

TEST(NumberFrequency, ExpectedCountRoundsToNearest) {
  const std::pair<uint32_t, uint32_t> cases[] = {
      {0, 0}, {18, 0}, {19, 1}, {55, 1}, {56, 2}, {74, 2}, {370, 10}, {4294967295u, 116080197u}};
  for (auto [coups, expected] : cases)
    EXPECT_EQ(ExpectedCount(coups), expected) << coups;
}

} // namespace
} // namespace kw
