#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kw {

// A chance of the delta calculator: its caption and how many of the 37 numbers win it.
struct DeltaChance {
  std::string_view caption;
  int winningNumbers;
};
inline constexpr int DeltaChanceCount = 10;
extern const std::array<DeltaChance, DeltaChanceCount> DeltaChances;

// At most eight digits can be typed.
inline constexpr uint32_t MaxDeltaCoups = 99'999'999;

// The expected count of a chance in n coups and its spread.
struct DeltaResult {
  double expected = 0;           // n * k / 37
  double sigma = 0;              // sqrt(n * p * q), p = k / 37, q = (37 - k) / 37
  double lower1 = 0, upper1 = 0; // expected -/+ sigma
  double lower3 = 0, upper3 = 0; // expected -/+ 3 sigma
};

// chanceIndex 0..9 into DeltaChances.
DeltaResult CalculateDelta(int chanceIndex, uint32_t coups);

// The count typed into the field, or nothing when there is nothing to calculate: an empty
// field, or a pasted text that is no whole number of at most eight digits.
std::optional<uint32_t> DeltaCoupsOf(std::string_view text);

// The seven result panels, named after the window's panels.
struct DeltaPanelTexts {
  std::string expected;   // Panel3
  std::string lower1;     // Panel4
  std::string deviation1; // Panel8
  std::string upper1;     // Panel2
  std::string lower3;     // Panel5
  std::string deviation3; // Panel9
  std::string upper3;     // Panel7
  bool operator==(const DeltaPanelTexts&) const = default;
};

// A value with two decimals, rounded, with the given decimal separator and no grouping.
std::string FormatTwoDecimals(double value, std::string_view decimalSeparator);

// The panel texts in the user's decimal separator. A negative lower bound shows the fixed
// text "0.00" (with a point whatever the separator); a bound of exactly 0 is formatted.
DeltaPanelTexts FormatDeltaPanels(const DeltaResult& result, std::string_view decimalSeparator);

} // namespace kw
