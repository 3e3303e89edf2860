#include "tools/DeltaCalculator.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(DeltaCalculator, ChancesCoverTheirWinningNumbers) {
  const std::array<int, DeltaChanceCount> expected = {18, 12, 6, 4, 3, 2, 1, 17, 12, 8};
  for (int i = 0; i < DeltaChanceCount; ++i)
    EXPECT_EQ(DeltaChances[static_cast<size_t>(i)].winningNumbers,
              expected[static_cast<size_t>(i)]);
  EXPECT_EQ(DeltaChances[0].caption, "Einf. Chance");
  EXPECT_EQ(DeltaChances[3].caption, "Carré");
  EXPECT_EQ(DeltaChances[7].caption, "Große Serie");
}

TEST(DeltaCalculator, PanelTextsInTheUsersDecimalSeparator) {
  struct Case {
    int chance;
    uint32_t coups;
    DeltaPanelTexts texts; // E, E - s, s, E + s, E - 3s, 3s, E + 3s
  };
  const Case cases[] = {
      {0, 37, {"18,00", "14,96", "3,04", "21,04", "8,88", "9,12", "27,12"}},
      // A negative lower bound shows the fixed text with its point.
      {6, 100, {"2,70", "1,08", "1,62", "4,32", "0.00", "4,86", "7,57"}},
      {7, 370, {"170,00", "160,41", "9,59", "179,59", "141,24", "28,76", "198,76"}},
      // The largest count still multiplies without overflow.
      {0,
       MaxDeltaCoups,
       {"48648648,16", "48643649,99", "4998,17", "48653646,34", "48633653,64", "14994,52",
        "48663642,68"}},
      // A lower bound of exactly 0 is formatted like every other value.
      {2, 0, {"0,00", "0,00", "0,00", "0,00", "0,00", "0,00", "0,00"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatDeltaPanels(CalculateDelta(c.chance, c.coups), ","), c.texts)
        << c.chance << " " << c.coups;

  EXPECT_EQ(FormatDeltaPanels(CalculateDelta(0, 37), ".").lower1, "14.96");
}

TEST(DeltaCalculator, ValuesKeepFullPrecision) {
  const DeltaResult r = CalculateDelta(6, 100);
  EXPECT_DOUBLE_EQ(r.expected, 100.0 / 37.0);
  EXPECT_DOUBLE_EQ(r.sigma, 60.0 / 37.0); // sqrt(100 * 1 * 36) / 37
  EXPECT_LT(r.lower3, 0);
  EXPECT_DOUBLE_EQ(r.upper3 - r.lower3, 6 * r.sigma);
}

TEST(DeltaCalculator, OnlyWholeCountsOfEightDigitsAreCalculated) {
  EXPECT_EQ(DeltaCoupsOf("0"), 0u);
  EXPECT_EQ(DeltaCoupsOf("00000370"), 370u);
  EXPECT_EQ(DeltaCoupsOf("99999999"), MaxDeltaCoups);
  for (std::string_view text : {"", "100000000", "12a", "-1", " 5", "1.5"})
    EXPECT_FALSE(DeltaCoupsOf(text).has_value()) << text;
}

} // namespace
} // namespace kw
