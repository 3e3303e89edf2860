#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kw {

// The conventional level: a test whose p lies below 5 % is called remarkable. At this level
// about one test in twenty is remarkable on a fair wheel by chance alone.
inline constexpr double SignificanceLevel = 0.05;

// Below this p is written as a bound ("p < 0,0001") rather than a figure.
inline constexpr double SmallestShownP = 0.0001;

bool IsRemarkable(double p);

// The p-value as users read it, with a decimal comma: "p = 0,42", "p = 0,003",
// "p < 0,0001", "p = 1". Two significant digits, more where the rounded figure would fall
// on the other side of the significance level than p itself.
std::string PValueText(double p);

// One line of German verdict (UTF-8): "unauffällig (p = 0,42): mit einem fairen Kessel
// vereinbar", "auffällig (p = 0,003)", or a note when the test has no p.
std::string VerdictText(std::optional<double> p);

// Shown beside a test that has an expected count below 5: its p is only a rough guide.
inline constexpr std::string_view SmallExpectedCountNote =
    "erwartete Anzahl unter 5: der p-Wert ist nur eine grobe Näherung";

// Shown with tables of residuals: the verdict rests on the overall test.
inline constexpr std::string_view ManyCellsNote =
    "Bei vielen Zellen zeigt etwa jede zwanzigste schon durch Zufall eine Abweichung von "
    "mehr als zwei (|Residuum| > 2); maßgeblich ist der Gesamttest.";

// Shown with a list of many tests.
inline constexpr std::string_view ManyTestsNote =
    "Schwelle für „auffällig“: p < 0,05 (die übliche Konvention). Von zwanzig Tests fällt "
    "auch bei einem fairen Kessel im Mittel einer auffällig aus.";

} // namespace kw
