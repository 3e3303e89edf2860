// Money and protocol cells as users read them.
#include "systems/SystemTexts.h"

#include "core/RouletteTables.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(SystemTexts, EurosWithTwoPlacesAndADecimalComma) {
  const std::pair<Cents, const char*> cases[] = {
      {0, "0,00"},
      {5, "0,05"},
      {-5, "-0,05"},
      {250, "2,50"},
      {-250, "-2,50"},
      {100000, "1000,00"},
      {100250, "1002,50"},
      {-123456789, "-1234567,89"},
      {INT64_MIN, "-92233720368547758,08"},
  };
  for (const auto& [cents, text] : cases)
    EXPECT_EQ(EuroText(cents), text) << cents;
}

TEST(SystemTexts, ProtocolCells) {
  SystemProtocolRow coup{17, 3, "plein 17 \u00d7 1", true, 500, 17500, 117500, std::nullopt};
  EXPECT_EQ(ProtocolRowTexts(coup),
            (SystemProtocolTexts{"3", "17", "plein 17 \u00d7 1", "5,00", "175,00", "1175,00", ""}));
  SystemProtocolRow quiet{4, 5, "", false, 0, 0, 99750, SystemEnd::Permanenzende};
  EXPECT_EQ(ProtocolRowTexts(quiet),
            (SystemProtocolTexts{"5", "4", "", "", "", "997,50", "Permanenzende"}));
  SystemProtocolRow refused{9, 6,     "rouge \u00d7 300",           false, 150000,
                            0, 99750, SystemEnd::KapitalReichtNicht};
  EXPECT_EQ(ProtocolRowTexts(refused), (SystemProtocolTexts{"6", "9", "rouge \u00d7 300", "1500,00",
                                                            "", "997,50", "Kapital reicht nicht"}));
  SystemProtocolRow handChange{HandChangeCode, 0, "", false, 0, 0, 99750, std::nullopt};
  EXPECT_EQ(ProtocolRowTexts(handChange), (SystemProtocolTexts{"", "HW", "", "", "", "", ""}));
}

TEST(SystemTexts, ParameterValues) {
  EXPECT_EQ(ParameterText({"a", true, 8, 0.0}), "8");
  EXPECT_EQ(ParameterText({"a", true, -3, 0.0}), "-3");
  EXPECT_EQ(ParameterText({"a", false, 0, 2.5}), "2,5");
  EXPECT_EQ(ParameterText({"a", false, 0, 0.1}), "0,1");
}

} // namespace
} // namespace kw
