#include "GermanNumbers.h"

#include "systemtest/SystemTest.h"

#include <algorithm>
#include <cstdio>

namespace kw::cli {

std::string GermanDecimal(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string result = text;
  std::replace(result.begin(), result.end(), '.', ',');
  if (result.front() == '-' && result.find_first_not_of("-0,") == std::string::npos)
    result.erase(0, 1);
  return result;
}

std::string GermanRendite(std::optional<double> rendite) {
  if (!rendite)
    return std::string(NoRenditeText);
  return GermanDecimal(*rendite) + " %";
}

GermanTexts::GermanTexts() : previous_(QLocale()) {
  QLocale german(QLocale::German, QLocale::Germany);
  german.setNumberOptions(QLocale::OmitGroupSeparator);
  QLocale::setDefault(german);
}

GermanTexts::~GermanTexts() { QLocale::setDefault(previous_); }

} // namespace kw::cli
