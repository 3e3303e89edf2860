#include "ui/SystemTestFormat.h"

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

} // namespace kw
