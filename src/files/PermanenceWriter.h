#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace kw {

class PermanenceTable;

// The information lines the save dialog can put in front of the coups (UTF-8 texts as the
// dialog shows them; the date already in the user's short date format).
struct PermanenceInfo {
  std::string casino;
  std::string table;
  std::string date;
  std::string remark;
};

// The lines of a saved permanence: the information lines when given (the casino as it
// stands, "Tisch " + table, the date, the remark only from three characters on), then one
// line per row: the number, or "---" followed by the row's hand-change label ("---" alone
// when the label is "---" itself); free rows give none.
std::vector<std::string> PermanenceFileLines(const PermanenceTable& table,
                                             const std::optional<PermanenceInfo>& info);

// Writes those lines as a permanence file, replacing an existing one. Returns the German
// error message, or an empty text when the file was written.
[[nodiscard]] QString WritePermanenceFile(const QString& path, const PermanenceTable& table,
                                          const std::optional<PermanenceInfo>& info);

} // namespace kw
