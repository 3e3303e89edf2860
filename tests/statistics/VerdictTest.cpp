#include "statistics/Verdict.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace kw {
namespace {

TEST(Verdict, PValuesAreWrittenAsUsersReadThem) {
  struct Case {
    double p;
    const char* text;
  };
  const Case cases[] = {
      {0.42, "p = 0,42"},
      {0.4, "p = 0,4"},
      {0.123, "p = 0,12"},
      {0.0996, "p = 0,1"},
      {0.003, "p = 0,003"},
      {0.0034567, "p = 0,0035"},
      {0.0001, "p = 0,0001"},
      {0.0000999, "p < 0,0001"},
      {0.0, "p < 0,0001"},
      {0.05, "p = 0,05"},
      // Rounded to two digits these would cross the level or reach 1.
      {0.049996, "p = 0,049996"},
      {0.9996, "p = 0,9996"},
      {1.0, "p = 1"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PValueText(c.p), c.text) << c.p;
}

TEST(Verdict, FivePercentDividesRemarkableFromUnremarkable) {
  struct Case {
    std::optional<double> p;
    const char* text;
  };
  const Case cases[] = {
      {0.42, "unauffällig (p = 0,42): mit einem fairen Kessel vereinbar"},
      {0.05, "unauffällig (p = 0,05): mit einem fairen Kessel vereinbar"},
      {0.049996, "auffällig (p = 0,049996)"},
      {0.003, "auffällig (p = 0,003)"},
      {1e-30, "auffällig (p < 0,0001)"},
      {std::nullopt, "keine Aussage möglich: zu wenige Coups"},
      {std::nan(""), "keine Aussage möglich: zu wenige Coups"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VerdictText(c.p), c.text) << c.text;
}

} // namespace
} // namespace kw
