#include "files/PermanenceWriter.h"

#include "core/PermanenceTable.h"
#include "core/RouletteTables.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"

#include <algorithm>

namespace kw {
namespace {

constexpr std::string_view Dashes = "---";

void appendInfoLines(const PermanenceInfo& info, std::vector<std::string>& lines) {
  lines.push_back(info.casino);
  lines.push_back("Tisch " + info.table);
  lines.push_back(info.date);
  if (CharacterCount(info.remark) > 2)
    lines.push_back(info.remark);
}

std::string handChangeLine(const std::string& label) {
  return label == Dashes ? std::string(Dashes) : std::string(Dashes) + label;
}

} // namespace

std::vector<std::string> PermanenceFileLines(const PermanenceTable& table,
                                             const std::optional<PermanenceInfo>& info) {
  std::vector<std::string> lines;
  if (info)
    appendInfoLines(*info, lines);
  const int lastRow = std::max(table.RowCount() - 1, table.UsedRows());
  lines.reserve(lines.size() + static_cast<size_t>(table.UsedRows()));
  for (int row = 1; row <= lastRow; ++row) {
    const uint8_t value = table.ReadRowValue(row);
    if (value <= 36)
      lines.push_back(std::to_string(value));
    else if (value == HandChangeCode)
      lines.push_back(handChangeLine(table.CellText(row, PermanenceTable::ZeroColumn)));
  }
  return lines;
}

QString WritePermanenceFile(const QString& path, const PermanenceTable& table,
                            const std::optional<PermanenceInfo>& info) {
  return WriteTextLines(path, PermanenceFileLines(table, info));
}

} // namespace kw
