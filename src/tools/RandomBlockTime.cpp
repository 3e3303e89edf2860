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

std::string RandomBlockDateTime(const QDateTime& moment, const QLocale& locale) {
  const QString date = locale.toString(moment.date(), QLocale::ShortFormat);
  const QString time =
      locale.toString(moment.time(), timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
  return (date + QLatin1Char(' ') + time).toStdString();
}

} // namespace kw
