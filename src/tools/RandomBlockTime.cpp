#include "tools/RandomBlockTime.h"

namespace kw {
namespace {

// The long time format without its time-zone field ('t'); quoted literals stay whole.
QString timeFormatWithoutZone(const QString& format) {
  QString result;
  bool quoted = false;
  for (QChar c : format) {
    if (c == QLatin1Char('\''))
      quoted = !quoted;
    if (!quoted && c == QLatin1Char('t'))
      continue;
    result += c;
  }
  return result.trimmed();
}

} // namespace

QString FullYearDateFormat(const QLocale& locale) {
  QString format = locale.dateFormat(QLocale::ShortFormat);
  if (!format.contains(QLatin1String("yyyy")))
    format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
  return format;
}

std::string RandomBlockDateTime(const QDateTime& moment, const QLocale& locale) {
  const QString date = locale.toString(moment.date(), FullYearDateFormat(locale));
  const QString time =
      locale.toString(moment.time(), timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
  return (date + QLatin1Char(' ') + time).toStdString();
}

} // namespace kw
