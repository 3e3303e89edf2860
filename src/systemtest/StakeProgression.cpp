#include "systemtest/StakeProgression.h"

#include "systemtest/TestParameters.h"

#include <algorithm>

namespace kw {

std::vector<std::string> DefaultStakeCells() {
  std::vector<std::string> cells(StakeTableColumns);
  std::transform(DefaultStakeProgression.begin(), DefaultStakeProgression.end(), cells.begin(),
                 [](int pieces) { return std::to_string(pieces); });
  return cells;
}

std::vector<std::string> CollectStakeLines(std::span<const std::string> cells) {
  std::vector<std::string> lines;
  for (const std::string& cell : cells.first(std::min<size_t>(cells.size(), StakeTableColumns))) {
    const auto pieces = ParseWholeNumber(cell);
    if (!pieces)
      continue;
    if (*pieces <= 0)
      break;
    lines.push_back(cell);
  }
  return lines;
}

std::string StakeFileText(std::span<const std::string> lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> SplitStakeFileText(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n')
      ++start;
  }
  return lines;
}

std::vector<std::string> StakeCellsFromLines(std::span<const std::string> lines) {
  std::vector<std::string> cells(StakeTableColumns);
  std::copy_n(lines.begin(), std::min<size_t>(lines.size(), StakeTableColumns), cells.begin());
  return cells;
}

bool LoadNeedsOverwriteQuestion(std::span<const std::string> cells) {
  return !cells.empty() && !cells.front().empty();
}

std::string QuickSaveFileName(int slot) { return "FixFile" + std::to_string(slot) + ".set"; }

bool IsReservedStakeFileName(std::string_view fileName) {
  for (int slot = 1; slot <= QuickSaveSlotCount; ++slot)
    if (fileName == QuickSaveFileName(slot))
      return true;
  return false;
}

StakeSavePlan PlanStakeSave(std::string_view fileName, std::span<const std::string> cells,
                            StakeSaveTarget target) {
  StakeSavePlan plan;
  if (target == StakeSaveTarget::ChosenFile && IsReservedStakeFileName(fileName)) {
    plan.errorMessage = ReservedStakeFileNameMessage(fileName);
    return plan;
  }
  const std::vector<std::string> lines = CollectStakeLines(cells);
  if (lines.empty()) {
    // No file was written, so the name must not become the current stake file: making it
    // the default would point the next start at a file that does not exist.
    plan.informationMessage = NothingToSaveMessage;
    return plan;
  }
  plan.fileText = StakeFileText(lines);
  plan.becomesCurrentFile = true;
  return plan;
}

std::string StakeFileNotFoundMessage(std::string_view fileName) {
  return "Ich konnte die Datei " + std::string(fileName) + " nicht finden, muss daher abbrechen.";
}

std::string ReservedStakeFileNameMessage(std::string_view fileName) {
  return std::string(fileName) +
         " ist ein Dateiname, der für die Schnellspeicherung reserviert ist. "
         "Bitte wählen Sie einen anderen Dateinamen.\r\rIch breche ab.";
}

} // namespace kw
