#pragma once

#include <QString>

#include "systemtest/SystemTest.h"
#include "systemtest/TestParameters.h"

#include <array>
#include <cstddef>
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

// The headings of the summary grid and the data rows it has at least.
inline constexpr std::array<const char*, 8> SummaryGridHeadings = {
    "Nr.", "Permanenz", "Minimum", "Maximum", "Umsatz", "Saldo", "Rendite", "Gesamtsaldo"};
inline constexpr size_t SummaryGridDataRows = 200;

// The texts of one row of the summary grid: "Nr.", "Permanenz", "Minimum", "Maximum",
// "Umsatz", "Saldo", "Rendite", "Gesamtsaldo" (the run's Gesamtsaldo so far).
std::array<QString, 8> SummaryRowTexts(size_t position, const QString& name,
                                       const PermanenceOutcome& outcome, int64_t startkapital,
                                       int64_t gesamtsaldoSoFar);

// The run's total fields in the order the summary workbook lists them: LPermProof,
// LSatzSignal, LSaetzeGes, LGesamtsaldo, LUmsaetzeGes, LRendite, LAbbruchP, LAbbruchM,
// LAbbruchE.
std::array<QString, 9> TotalsTexts(const SystemTestTotals& totals, const SystemTestParams& params);

// An amount with two decimals in the currency format ("-6,49 €"), for expectations and means.
QString MoneyDecimalText(double value);

// The risk figures beside the summary: captions and values in this order.
inline constexpr std::array<const char*, 5> RiskCaptions = {
    "Größter Rückgang", "Längste Verlustserie", "Schlechteste Permanenz", "Tiefster Kapitalstand",
    "Erwartung (-Umsatz/37)"};
// `worstName` is the name of the permanence that RiskFigures::schlechteste points to.
std::array<QString, 5> RiskTexts(const RiskFigures& risk, const QString& worstName);

// The random comparison: captions and values in this order.
inline constexpr std::array<const char*, 13> ComparisonCaptions = {
    "Replikate",     "Startwert",     "Netto Mittel", "Standardabweichung", "Netto Minimum",
    "Netto Maximum", "Quantil 5 %",   "Quantil 25 %", "Median (50 %)",      "Quantil 75 %",
    "Quantil 95 %",  "Umsatz Mittel", "Perzentil"};
std::array<QString, 13> ComparisonTexts(const RandomComparison& comparison);

// "62 %", "62,5 %".
QString PerzentilText(double perzentil);

// One line on where the real result stands among the replicas: within the middle 90 % of
// them (Perzentil 5 to 95) it lies "im Bereich des Zufalls", else at the lower or upper
// edge of it.
QString ComparisonVerdict(double perzentil);

// The share p (0..1) of a parameter search's reality check with two decimals: "0,46".
QString ShareText(double p);

// One line on whether the best setting of a search stands out from the best settings that
// random permanences give: only when fewer than 5 % of the replicas reach it (p < 0,05) does
// it lie at the upper edge of them.
QString SearchVerdict(double p);

// The slider panels in the order the workbooks list them: PKapital, Pup, PNach, PStueck,
// PPlus, PMinus (the minus threshold with its sign).
std::array<QString, 6> ParameterPanelTexts(const SliderPositions& sliders);

} // namespace kw
