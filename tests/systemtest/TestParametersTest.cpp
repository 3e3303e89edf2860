#include "systemtest/TestParameters.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

const std::string StakesMissing =
    "Bitte tragen Sie in die Tabelle rechts oben so viele Stücke ein, wie Sie Angriffe "
    "vorgesehen haben. \r\rIch breche ab.";
const std::string MinusCorrected =
    "Der Schwellenwert für das höchst zulässige Tages-Minus darf nicht höher sein als Ihr "
    "Startkapital.\r\rEs wurde eine Korrektur vorgenommen.";

std::vector<std::string> defaultCells() {
  return {"1", "1", "1", "1", "2", "2", "2", "3", "3", "4", "6", "9"};
}

TEST(ReadTestParameters, DefaultSlidersAndProgression) {
  const TestParametersReading r = ReadTestParameters(SliderPositions{}, defaultCells());
  ASSERT_TRUE(r.params);
  EXPECT_EQ(r.params->vorlauf, 6);
  EXPECT_EQ(r.params->angriffe, 6);
  EXPECT_EQ(r.params->stueckgroesse, 5);
  EXPECT_EQ(r.params->stakes, (std::vector<int64_t>{5, 5, 5, 5, 10, 10}));
  EXPECT_EQ(r.params->startkapital, 1000);
  EXPECT_EQ(r.params->gewinnziel, 1500);
  EXPECT_EQ(r.params->verlustgrenze, 200);
  EXPECT_TRUE(r.errorMessage.empty());
  EXPECT_TRUE(r.informationMessage.empty());
  EXPECT_FALSE(r.track4Position);
}

TEST(ReadTestParameters, RefusesATableThatDoesNotCoverTheAttack) {
  SliderPositions sliders;
  sliders.track2 = 3;
  sliders.track4 = 200; // the refusal comes before any correction
  const std::vector<std::vector<std::string>> refused = {
      {"1", "", "1"},    {"1", "x", "1"},
      {"1", "1", "0"},   {"-2", "1", "1"},
      {"1", "1"},        {},
      {"1", "2.5", "1"}, {"1", "99999999999", "1"}};
  for (const auto& cells : refused) {
    const TestParametersReading r = ReadTestParameters(sliders, cells);
    EXPECT_FALSE(r.params) << ::testing::PrintToString(cells);
    EXPECT_EQ(r.errorMessage, StakesMissing);
    EXPECT_TRUE(r.informationMessage.empty());
  }
  // Columns after the attack's last coup are not looked at.
  const TestParametersReading ok = ReadTestParameters(sliders, {{"2", " 3", "+4", "x", "0"}});
  ASSERT_TRUE(ok.params);
  EXPECT_EQ(ok.params->stakes, (std::vector<int64_t>{10, 15, 20}));
}

TEST(ReadTestParameters, MinusAboveStartCapitalIsCorrected) {
  SliderPositions sliders;
  sliders.track4 = 8; // minus 800
  sliders.track6 = 5; // Startkapital 500
  const TestParametersReading r = ReadTestParameters(sliders, defaultCells());
  ASSERT_TRUE(r.params);
  EXPECT_EQ(r.informationMessage, MinusCorrected);
  EXPECT_EQ(r.track4Position, 5);
  EXPECT_EQ(r.params->verlustgrenze, 0);
  EXPECT_EQ(r.params->gewinnziel, 1000);

  sliders.track4 = 5; // minus equal to Startkapital is allowed as it is
  const TestParametersReading equal = ReadTestParameters(sliders, defaultCells());
  EXPECT_TRUE(equal.informationMessage.empty());
  EXPECT_FALSE(equal.track4Position);
  EXPECT_EQ(equal.params->verlustgrenze, 0);
}

TEST(ParseWholeNumber, AcceptsSignedDecimalsOnly) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"7", 7},    {" 12 ", 12},       {"+3", 3},    {"-4", -4},  {"0", 0},
      {"", {}},    {"  ", {}},         {"3a", {}},   {"1 2", {}}, {"+", {}},
      {"+-5", {}}, {"2147483648", {}}, {"0x1F", {}}, {"1,5", {}}, {"2147483647", 2147483647},
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(ParseWholeNumber(text), value) << '"' << text << '"';
}

TEST(SystemTestSliders, PositionsFromTheSettingsAreClamped) {
  EXPECT_EQ(ClampSliderPosition(5, 0), 5); // Track6
  EXPECT_EQ(ClampSliderPosition(5, 250), 200);
  EXPECT_EQ(ClampSliderPosition(0, 1), 2);   // Track1
  EXPECT_EQ(ClampSliderPosition(1, 42), 42); // Track2
}

} // namespace
} // namespace kw
