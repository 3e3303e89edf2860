#pragma once

#include <QDateTime>
#include <QLocale>

#include <string>

namespace kw {

// The locale's short date format with the year always in four digits: a date written into
// a permanence must still tell 1999 from 2099.
QString FullYearDateFormat(const QLocale& locale = QLocale());

// The second heading line of a generated block: the date in the locale's short format (with
// a four-digit year) and the time in its long format, as the system's clock shows them (without a
// time zone name, which the long format of some locales appends).
std::string RandomBlockDateTime(const QDateTime& moment, const QLocale& locale = QLocale());

} // namespace kw
