#include "report/SystemTestFormat.h"

#include "systemtest/SystemTest.h"

#include <QLocale>

namespace kw {
namespace {

constexpr QChar AsciiMinus = QLatin1Char('-');
constexpr QChar NoBreakSpace = QChar(0x00A0);

// Some locales write a typographic minus; stored texts and exports expect the plain one.
QString withAsciiMinus(QString text) {
  const QString sign = QLocale().negativeSign();
  if (sign != QString(AsciiMinus))
    text.replace(sign, QString(AsciiMinus));
  return text;
}

} // namespace

QString IntegerText(int64_t value) {
  return withAsciiMinus(QLocale().toString(static_cast<qlonglong>(value)));
}

QString PercentText(double value) {
  const QLocale locale;
  QString text = withAsciiMinus(locale.toString(value, 'f', 2));
  const QString decimal = locale.decimalPoint();
  if (text.contains(decimal)) {
    while (text.endsWith(QLatin1Char('0')))
      text.chop(1);
    if (text.endsWith(decimal))
      text.chop(decimal.size());
  }
  // A value that rounds to zero shows no sign.
  if (text == QStringLiteral("-0"))
    text = QStringLiteral("0");
  return text;
}

QString RenditeText(std::optional<double> rendite) {
  if (!rendite)
    return QString::fromUtf8(NoRenditeText.data(), static_cast<qsizetype>(NoRenditeText.size()));
  return PercentText(*rendite) + QStringLiteral(" %");
}

// The currency text uses an ordinary blank before the symbol, as the application's
// messages and exports always have.
QString MoneyText(int64_t value) {
  if (value == 0)
    return QStringLiteral("0 €");
  QString text = QLocale().toCurrencyString(static_cast<qlonglong>(value), QStringLiteral("€"));
  if (text.isEmpty())
    return QStringLiteral("0 €");
  text.replace(NoBreakSpace, QLatin1Char(' '));
  return withAsciiMinus(text);
}

std::array<QString, 8> SummaryRowTexts(size_t position, const QString& name,
                                       const PermanenceOutcome& outcome, int64_t startkapital,
                                       int64_t gesamtsaldoSoFar) {
  const int64_t net = outcome.finalCapital - startkapital;
  return {QString::number(position + 1),
          name,
          IntegerText(outcome.minimum),
          IntegerText(outcome.maximum),
          IntegerText(outcome.umsatz),
          IntegerText(outcome.finalCapital),
          RenditeText(Rendite(net, outcome.umsatz)),
          IntegerText(gesamtsaldoSoFar)};
}

std::array<QString, 9> TotalsTexts(const SystemTestTotals& totals, const SystemTestParams& params) {
  const int64_t net = NetResult(totals, params);
  return {QString::number(totals.tested),
          QString::number(totals.satzsignale),
          QString::number(totals.einsaetze),
          MoneyText(net),
          MoneyText(totals.umsatz),
          RenditeText(Rendite(net, totals.umsatz)),
          QString::number(totals.abbruchPlus),
          QString::number(totals.abbruchMinus),
          QString::number(totals.abbruchE)};
}

std::array<QString, 6> ParameterPanelTexts(const SliderPositions& sliders) {
  return {QString::number(sliders.track6 * 100), QString::number(sliders.track1),
          QString::number(sliders.track2),       QString::number(sliders.track5),
          QString::number(sliders.track3 * 100), QString::number(-sliders.track4 * 100)};
}

} // namespace kw
