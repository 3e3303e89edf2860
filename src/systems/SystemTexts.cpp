#include "systems/SystemTexts.h"

#include "core/RouletteTables.h"

#include <cstdio>
#include <cstdlib>

namespace kw {

std::string EuroText(Cents cents) {
  char text[48];
  const unsigned long long magnitude = cents < 0 ? 0ull - static_cast<unsigned long long>(cents)
                                                 : static_cast<unsigned long long>(cents);
  std::snprintf(text, sizeof text, "%s%llu,%02llu", cents < 0 ? "-" : "", magnitude / 100,
                magnitude % 100);
  return text;
}

std::string ParameterText(const ScriptParameter& parameter) {
  if (parameter.isInteger)
    return std::to_string(parameter.integer);
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", parameter.number);
  std::string result = text;
  for (char& c : result)
    if (c == '.')
      c = ',';
  return result;
}

SystemProtocolTexts ProtocolRowTexts(const SystemProtocolRow& row) {
  SystemProtocolTexts texts;
  if (row.entry == HandChangeCode) {
    texts[1] = "HW";
    return texts;
  }
  texts[0] = std::to_string(row.nr);
  texts[1] = std::to_string(row.entry);
  texts[2] = row.saetze;
  if (!row.saetze.empty())
    texts[3] = EuroText(row.einsatz);
  if (row.bet)
    texts[4] = EuroText(row.gewinn);
  texts[5] = EuroText(row.kapital);
  if (row.end)
    texts[6] = SystemEndText(*row.end);
  return texts;
}

} // namespace kw
