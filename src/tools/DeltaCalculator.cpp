#include "tools/DeltaCalculator.h"

#include <charconv>
#include <cmath>

namespace kw {

const std::array<DeltaChance, DeltaChanceCount> DeltaChances = {{
    {"Einf. Chance", 18},
    {"Kol./Dutzend", 12},
    {"Transv. simple", 6},
    {"Carré", 4},
    {"Transv. pleine", 3},
    {"Cheval", 2},
    {"Zahl", 1},
    {"Große Serie", 17},
    {"Kleine Serie", 12},
    {"Orphelins", 8},
}};

namespace {

// Shown instead of a negative lower bound; it keeps its point in every locale.
constexpr std::string_view NegativeLowerBoundText = "0.00";

std::string lowerBoundText(double bound, std::string_view decimalSeparator) {
  return bound < 0 ? std::string(NegativeLowerBoundText)
                   : FormatTwoDecimals(bound, decimalSeparator);
}

} // namespace

DeltaResult CalculateDelta(int chanceIndex, uint32_t coups) {
  const long double k = DeltaChances.at(static_cast<size_t>(chanceIndex)).winningNumbers;
  const long double n = coups;
  // The count and the spread are worked out in extended precision and kept as doubles.
  DeltaResult r;
  r.expected = static_cast<double>(n * k / 37.0L);
  r.sigma = static_cast<double>(std::sqrt(n * ((k / 37.0L) * (37.0L - k) / 37.0L)));
  r.lower1 = r.expected - r.sigma;
  r.upper1 = r.expected + r.sigma;
  r.lower3 = r.expected - 3 * r.sigma;
  r.upper3 = r.expected + 3 * r.sigma;
  return r;
}

std::optional<uint32_t> DeltaCoupsOf(std::string_view text) {
  uint32_t coups = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, coups);
  if (text.empty() || ec != std::errc() || ptr != end || coups > MaxDeltaCoups)
    return std::nullopt;
  return coups;
}

std::string FormatTwoDecimals(double value, std::string_view decimalSeparator) {
  char buffer[64];
  auto [ptr, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  std::string text(buffer, ec == std::errc() ? ptr : buffer);
  if (const size_t point = text.find('.'); point != std::string::npos)
    text.replace(point, 1, decimalSeparator);
  return text;
}

DeltaPanelTexts FormatDeltaPanels(const DeltaResult& r, std::string_view decimalSeparator) {
  DeltaPanelTexts texts;
  texts.expected = FormatTwoDecimals(r.expected, decimalSeparator);
  texts.lower1 = lowerBoundText(r.lower1, decimalSeparator);
  texts.deviation1 = FormatTwoDecimals(r.sigma, decimalSeparator);
  texts.upper1 = FormatTwoDecimals(r.upper1, decimalSeparator);
  texts.lower3 = lowerBoundText(r.lower3, decimalSeparator);
  texts.deviation3 = FormatTwoDecimals(3 * r.sigma, decimalSeparator);
  texts.upper3 = FormatTwoDecimals(r.upper3, decimalSeparator);
  return texts;
}

} // namespace kw
