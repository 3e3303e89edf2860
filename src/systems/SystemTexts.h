#pragma once

#include "systems/SystemHost.h"

#include <array>
#include <string>
#include <string_view>

namespace kw {

// Euros with a decimal comma and always two places, no grouping: "1002,50", "-2,50".
std::string EuroText(Cents cents);

// A parameter's value as users read it: "8", "2,5".
std::string ParameterText(const ScriptParameter& parameter);

// The protocol of a permanence: one row per coup and hand change.
inline constexpr int SystemProtocolColumnCount = 7;
inline constexpr std::array<std::string_view, SystemProtocolColumnCount> SystemProtocolHeadings = {
    "Nr.", "Coup", "Sätze", "Einsatz", "Gewinn", "Kapital", "Hinweis"};
using SystemProtocolTexts = std::array<std::string, SystemProtocolColumnCount>;

// A row's cells: the coup's running number and number ("HW" for a hand change), the bets,
// their stake and net result in euros (empty without bets), the capital after the coup and
// why play ended there.
SystemProtocolTexts ProtocolRowTexts(const SystemProtocolRow& row);

} // namespace kw
