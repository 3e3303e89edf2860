#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace kw {

// How the system test window writes its figures, in the user's locale (German: thousands
// point, decimal comma). Negative values always carry the ASCII minus sign.

// Integer format "#,#0": grouped thousands (12345 -> "12.345").
QString IntegerText(int64_t value);
// Percentage format "#0.##": at most two decimals, trailing zeros and a bare decimal
// separator left out, thousands grouped (12.5 -> "12,5", 12 -> "12", -3.456 -> "-3,46").
QString PercentText(double value);
// A Rendite field: the percentage followed by " %", or "–" when nothing was bet.
QString RenditeText(std::optional<double> rendite);
// The locale's currency format without decimals ("1.234 €"); "0 €" for 0.
QString MoneyText(int64_t value);

} // namespace kw
