// The ranges of a search as users write them: what they expand to, and the German message
// for each way of writing one wrongly.
#include "search/SearchRange.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

std::vector<std::string> texts(const SearchRange& range) {
  std::vector<std::string> values;
  for (const ScriptParameter& v : range.values)
    values.push_back(v.isInteger ? std::to_string(v.integer) : std::to_string(v.number));
  return values;
}

const std::vector<ScriptParameter> ScriptParameters = {
    {.name = "seit", .isInteger = true, .integer = 8, .number = 0.0},
    {.name = "faktor", .isInteger = false, .integer = 0, .number = 1.5}};

// Expands a range text as the built-in system (no script parameters given) or a script.
RangeExpansion expand(const std::string& text, bool script) {
  const RangeReading reading = ParseRangeText(text);
  if (!reading.bounds)
    return {.range = std::nullopt, .error = reading.error};
  return script ? ExpandScriptRange(*reading.bounds, ScriptParameters)
                : ExpandSystemTestRange(*reading.bounds);
}

TEST(SearchRange, ExpandsTheValuesUsersMean) {
  struct Case {
    const char* text;
    bool script;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"vorlauf=2..24", false, {}}, // checked by count below
      {"angriffe=1..10:4", false, {"1", "5", "9"}},
      {"plus=100..500", false, {"100", "200", "300", "400", "500"}},
      {"minus=500..1000:200", false, {"500", "700", "900"}},
      {"vorlauf=6..6", false, {"6"}},
      {"seit=-2..2:2", true, {"-2", "0", "2"}},
      {"faktor=0,1..0,5:0.1", true, {"0.100000", "0.200000", "0.300000", "0.400000", "0.500000"}},
      {"faktor=1..2:0,5", true, {"1.000000", "1.500000", "2.000000"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const RangeExpansion e = expand(c.text, c.script);
    ASSERT_TRUE(e.range) << e.error;
    if (!c.values.empty()) {
      EXPECT_EQ(texts(*e.range), c.values);
    }
  }
  EXPECT_EQ(expand("vorlauf=2..24", false).range->values.size(), 23u);
  // Decimal values lie on the grid the user means, not a hair off it.
  EXPECT_EQ(expand("faktor=0.1..0.3:0.1", true).range->values[2].number, 0.3);
}

TEST(SearchRange, RefusesWhatIsWrittenWronglyWithAGermanMessage) {
  struct Case {
    const char* text;
    bool script;
    const char* message;
  };
  const Case cases[] = {
      {"vorlauf", false, "Bereich \"vorlauf\": erwartet NAME=VON..BIS oder NAME=VON..BIS:SCHRITT"},
      {"=2..5", false, "Bereich \"=2..5\": erwartet NAME=VON..BIS oder NAME=VON..BIS:SCHRITT"},
      {"vorlauf=2-5", false,
       "Bereich \"vorlauf=2-5\": erwartet NAME=VON..BIS oder "
       "NAME=VON..BIS:SCHRITT"},
      {"vorlauf=a..5", false, "Bereich vorlauf: \"a\" ist keine Zahl"},
      {"vorlauf=2..", false, "Bereich vorlauf: \"\" ist keine Zahl"},
      {"vorlauf=2..5:x", false, "Bereich vorlauf: \"x\" ist keine Zahl"},
      {"tempo=2..5", false,
       "Unbekannter Parameter \"tempo\" (möglich: vorlauf, angriffe, plus, "
       "minus)"},
      {"vorlauf=8..2", false, "Bereich vorlauf: VON (8) liegt über BIS (2)"},
      {"vorlauf=2..8:0", false, "Bereich vorlauf: SCHRITT muss größer als 0 sein (angegeben: 0)"},
      {"vorlauf=2..8:-1", false, "Bereich vorlauf: SCHRITT muss größer als 0 sein (angegeben: -1)"},
      {"vorlauf=2,5..8", false, "Bereich vorlauf: nur ganze Zahlen (angegeben: 2,5..8)"},
      {"vorlauf=1..8", false, "Bereich vorlauf: Werte von 2 bis 24 (angegeben: 1..8)"},
      {"angriffe=1..101", false, "Bereich angriffe: Werte von 1 bis 100 (angegeben: 1..101)"},
      {"plus=150..500", false, "Bereich plus: VON und SCHRITT in Hunderten (angegeben: 150..500)"},
      {"minus=500..1000:50", false,
       "Bereich minus: VON und SCHRITT in Hunderten (angegeben: 500..1000:50)"},
      {"tempo=1..2", true, "Das Skript hat keinen Parameter \"tempo\" (es hat: seit, faktor)"},
      {"seit=1..1000000", true, "Bereich seit: mehr als 100000 Werte"},
      {"faktor=2..1", true, "Bereich faktor: VON (2) liegt über BIS (1)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const RangeExpansion e = expand(c.text, c.script);
    EXPECT_FALSE(e.range);
    EXPECT_EQ(e.error, c.message);
  }
}

TEST(SearchRange, CombinationsRunWithTheFirstRangeSlowestAndAreLimited) {
  const std::vector<SearchRange> ranges = {*expand("vorlauf=2..4", false).range,
                                           *expand("angriffe=1..2", false).range};
  ASSERT_EQ(CombinationCount(ranges), 6u);
  EXPECT_EQ(CombinationIndices(ranges, 0), (std::vector<size_t>{0, 0}));
  EXPECT_EQ(CombinationIndices(ranges, 1), (std::vector<size_t>{0, 1}));
  EXPECT_EQ(CombinationIndices(ranges, 5), (std::vector<size_t>{2, 1}));
  EXPECT_EQ(CheckSearchRanges(ranges), "");

  const std::vector<SearchRange> twice = {ranges[0], ranges[0]};
  EXPECT_EQ(CheckSearchRanges(twice), "Parameter \"vorlauf\" ist mehrfach als Bereich angegeben");
  EXPECT_EQ(CheckSearchRanges({}),
            "Keine Parameter angegeben: mindestens ein Bereich (NAME=VON..BIS) ist nötig");
  const std::vector<SearchRange> huge = {*expand("seit=1..1000", true).range,
                                         *expand("faktor=1..1000", true).range};
  EXPECT_EQ(CheckSearchRanges(huge), "Die Bereiche ergeben mehr als 100000 Kombinationen; bitte "
                                     "enger fassen oder größere Schritte wählen");
}

} // namespace
} // namespace kw
