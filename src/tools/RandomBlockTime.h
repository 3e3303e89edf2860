#pragma once

#include <QDateTime>
#include <QLocale>

#include <string>

namespace kw {

// The second heading line of a generated block: the date in the locale's short format
// and the time in its long format, as the system's clock shows them (without a time
// zone name, which the long format of some locales appends).
std::string RandomBlockDateTime(const QDateTime& moment, const QLocale& locale = QLocale());

} // namespace kw
