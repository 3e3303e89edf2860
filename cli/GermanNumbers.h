#pragma once

#include <QLocale>

#include <optional>
#include <string>

namespace kw::cli {

// The command line's text tables are German whatever the system's language: decimal comma,
// no thousands separator ("-712,50"); "-0,00" is written "0,00".
std::string GermanDecimal(double value, int decimals = 2);
// A Rendite with two decimals and " %" ("414,29 %"), or "–" when nothing was bet.
std::string GermanRendite(std::optional<double> rendite);

// While it lives, the texts the windows share with the command line (verdicts, percentiles,
// Rendite fields) come out in German, as the rest of the command line's German output.
class GermanTexts {
public:
  GermanTexts();
  ~GermanTexts();
  GermanTexts(const GermanTexts&) = delete;
  GermanTexts& operator=(const GermanTexts&) = delete;

private:
  QLocale previous_;
};

} // namespace kw::cli
