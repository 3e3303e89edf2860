#include "report/SystemTestFormat.h"

#include "systemtest/SystemTest.h"

#include <QLocale>

#include <cmath>

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

QString MoneyDecimalText(double value) {
  QString text = QLocale().toCurrencyString(value, QStringLiteral("€"), 2);
  text.replace(NoBreakSpace, QLatin1Char(' '));
  text = withAsciiMinus(text);
  // A value that rounds to zero shows no sign.
  if (text.startsWith(AsciiMinus) && std::abs(value) < 0.005)
    text.remove(0, 1);
  return text;
}

std::array<QString, 5> RiskTexts(const RiskFigures& risk, const QString& worstName) {
  const QString worst =
      risk.schlechteste
          ? QStringLiteral("%1 (%2)").arg(worstName, MoneyText(risk.schlechtestesErgebnis))
          : QString::fromUtf8(NoRenditeText.data(), static_cast<qsizetype>(NoRenditeText.size()));
  return {MoneyText(risk.groessterRueckgang), QString::number(risk.laengsteVerlustserie), worst,
          MoneyText(risk.tiefsterKapitalstand), MoneyDecimalText(risk.erwartung)};
}

QString PerzentilText(double perzentil) { return PercentText(perzentil) + QStringLiteral(" %"); }

std::array<QString, 13> ComparisonTexts(const RandomComparison& c) {
  std::array<QString, 13> texts{QString::number(c.replicas),     QString::number(c.seed),
                                MoneyDecimalText(c.nettoMittel), MoneyDecimalText(c.nettoStd),
                                MoneyText(c.nettoMin),           MoneyText(c.nettoMax)};
  for (size_t q = 0; q < c.quantile.size(); ++q)
    texts[6 + q] = MoneyDecimalText(c.quantile[q]);
  texts[11] = MoneyDecimalText(c.umsatzMittel);
  texts[12] = PerzentilText(c.perzentil);
  return texts;
}

QString ComparisonVerdict(double perzentil) {
  constexpr double Low = 5.0;
  constexpr double High = 95.0;
  // Even at the edges the result is one that chance gives now and then: the texts say
  // "Rand", never that the system beats the wheel.
  const QString text = perzentil < Low    ? QStringLiteral("am unteren Rand des Zufallsbereichs")
                       : perzentil > High ? QStringLiteral("am oberen Rand des Zufallsbereichs")
                                          : QStringLiteral("im Bereich des Zufalls");
  return QStringLiteral("Das Ergebnis liegt %1 (Perzentil %2)").arg(text, PerzentilText(perzentil));
}

QString ShareText(double p) { return QLocale().toString(p, 'f', 2); }

QString SearchVerdict(double p) {
  constexpr double Edge = 0.05;
  // As the random comparison's verdict, the edge is "Rand": even a best setting that few
  // replicas reach may be luck, the more so the more settings were tried.
  const QString text =
      p < Edge ? QStringLiteral("Die beste Einstellung liegt am oberen Rand dessen, was der Zufall "
                                "als beste Einstellung zeigt")
               : QStringLiteral("Die beste Einstellung ist nicht besser, als der Zufall die beste "
                                "Einstellung aussehen ließe");
  return QStringLiteral("%1 (p = %2)").arg(text, ShareText(p));
}

std::array<QString, 6> ParameterPanelTexts(const SliderPositions& sliders) {
  return {QString::number(sliders.track6 * 100), QString::number(sliders.track1),
          QString::number(sliders.track2),       QString::number(sliders.track5),
          QString::number(sliders.track3 * 100), QString::number(-sliders.track4 * 100)};
}

} // namespace kw
