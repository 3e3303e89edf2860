#include "statistics/Verdict.h"

#include <charconv>
#include <cmath>

namespace kw {
namespace {

// p (0 < p < 1) rounded to the given significant digits, with a decimal point whatever
// the process's locale, trailing zeros removed.
std::string significantDigits(double p, int digits) {
  char buffer[64];
  const int decimals = digits - 1 - static_cast<int>(std::floor(std::log10(p)));
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, p, std::chars_format::fixed, decimals);
  std::string text(buffer, written.ptr);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
      text.pop_back();
  }
  return text;
}

std::string withDecimalComma(std::string text) {
  for (char& c : text)
    if (c == '.')
      c = ',';
  return text;
}

} // namespace

bool IsRemarkable(double p) { return p < SignificanceLevel; }

std::string PValueText(double p) {
  if (std::isnan(p))
    return "p nicht bestimmbar";
  if (p < SmallestShownP)
    return "p < 0,0001";
  if (p >= 1)
    return "p = 1";
  // Round to two significant digits, but never so that the figure crosses the level
  // (0.04996 is not written 0,05) or reaches 1 (0.9996 is not written 1).
  for (int digits = 2; digits <= 6; ++digits) {
    const std::string text = significantDigits(p, digits);
    double shown = 0;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    if (IsRemarkable(shown) == IsRemarkable(p) && shown < 1)
      return "p = " + withDecimalComma(text);
  }
  return "p > 0,99999";
}

std::string VerdictText(std::optional<double> p) {
  if (!p || std::isnan(*p))
    return "keine Aussage möglich: zu wenige Coups";
  if (IsRemarkable(*p))
    return "auffällig (" + PValueText(*p) + ")";
  return "unauffällig (" + PValueText(*p) + "): mit einem fairen Kessel vereinbar";
}

} // namespace kw
