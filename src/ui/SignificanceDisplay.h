#pragma once

#include "statistics/Significance.h"

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

namespace kw {

// How the windows show the figures of the significance tests: decimal comma, the
// chi-square line with its verdict, and the colour scale of standardised residuals.

// A figure with the given decimals and a decimal comma, without thousands points, as the
// counts beside it; "-0,00" is written "0,00". An absent figure is "–".
QString DecimalText(double value, int decimals = 2);
QString DecimalText(std::optional<double> value, int decimals = 2);

// "χ² = 46,44 (36 Freiheitsgrade)", or empty when the test has no statistic.
QString ChiSquareText(const ChiSquareTest& test);

// The one-line German verdict of a p-value (see VerdictText), marked with " *" when the
// test has an expected count below 5.
QString VerdictCell(std::optional<double> p, bool valid);

// "χ² = … (… Freiheitsgrade): verdict", with " *" for an invalid test; the verdict alone when
// there is no statistic.
QString ChiSquareVerdict(const ChiSquareTest& test);

// The footnote that explains " *".
QString SmallExpectedFootnote();

// The colour of a standardised residual on the scale of seven steps: within ±1 white, then
// paler to deeper red above the expectation and blue below it, from ±3 on the deepest.
// Black text stays readable on every step.
inline constexpr int ResidualSteps = 7;
int ResidualStep(double residual);
QColor ResidualStepColour(int step);
inline QColor ResidualColour(double residual) { return ResidualStepColour(ResidualStep(residual)); }

// The legend of the scale: a caption and the seven steps with their ranges, in a row or a
// column. The step labels are named "<name>1" … "<name>7".
QWidget* ResidualLegend(const QString& name, QWidget* parent,
                        Qt::Orientation orientation = Qt::Horizontal);

} // namespace kw
