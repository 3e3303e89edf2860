#include "sectors/SectorAssignment.h"

#include "core/RouletteTables.h"

#include <charconv>

namespace kw {
namespace {

bool isTrimmedAway(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The number an entry names, or -1 when it names none of 0..36.
int entryNumber(std::string_view entry) {
  int value = -1;
  const char* end = entry.data() + entry.size();
  auto [ptr, ec] = std::from_chars(entry.data(), end, value);
  if (ec != std::errc() || ptr != end || value < 0 || value >= NumberCount)
    return -1;
  return value;
}

// The run of `length` pockets starting at wheel position `first` (wrapping past zero).
std::vector<uint8_t> wheelRun(int first, int length) {
  std::vector<uint8_t> run;
  for (int i = 0; i < length; ++i)
    run.push_back(WheelOrder[static_cast<size_t>((first + i) % NumberCount)]);
  return run;
}

} // namespace

NumberSet SectorAssignment::Unassigned() const {
  NumberSet unassigned;
  for (int n = 0; n < NumberCount; ++n)
    unassigned.insert(static_cast<uint8_t>(n));
  for (const NumberSet& sector : sectors)
    for (int n = 0; n < NumberCount; ++n)
      if (sector.contains(static_cast<unsigned>(n)))
        unassigned.erase(static_cast<uint8_t>(n));
  return unassigned;
}

bool IsNumberEntry(std::string_view entry) {
  return entry.empty() || (!isTrimmedAway(entry.front()) && !isTrimmedAway(entry.back()));
}

SectorAssignment BuildSectorAssignment(const SectorListEntries& lists) {
  SectorAssignment assignment;
  for (int s = 0; s < SectorCount; ++s)
    for (const std::string& entry : lists[s]) {
      if (!IsNumberEntry(entry))
        continue;
      if (int n = entryNumber(entry); n >= 0)
        assignment.sectors[s].insert(static_cast<uint8_t>(n));
    }
  return assignment;
}

SectorAssignment BuildSectorAssignment(const SectorListNumbers& lists) {
  SectorAssignment assignment;
  for (int s = 0; s < SectorCount; ++s)
    for (uint8_t n : lists[s])
      if (n < NumberCount)
        assignment.sectors[s].insert(n);
  return assignment;
}

std::string SectorLabel(int sectorNumber) { return " " + std::to_string(sectorNumber); }

std::string_view SectorPresetCaption(SectorPreset preset) {
  switch (preset) {
  case SectorPreset::RouletteSeries:
    return "Roulette-Serien";
  case SectorPreset::SevenAndFiveSixes:
    return "1 x 7 u. 5 x 6 Sektoren";
  case SectorPreset::FiveAndEightFours:
    return "1 x 5 u. 8 x 4 Sektoren";
  }
  return {};
}

SectorListNumbers PresetSectorLists(SectorPreset preset) {
  SectorListNumbers lists;
  switch (preset) {
  case SectorPreset::RouletteSeries:
    // The three wheel series, each in ascending numeric order.
    for (int s = 0; s < 3; ++s)
      for (int n = 0; n < NumberCount; ++n)
        if (SeriesSectors[s].members.contains(static_cast<unsigned>(n)))
          lists[s].push_back(static_cast<uint8_t>(n));
    break;
  case SectorPreset::SevenAndFiveSixes:
    // Consecutive wheel runs: seven pockets centred on zero, then five runs of six.
    lists[0] = wheelRun(34, 7);
    for (int s = 2; s <= 6; ++s)
      lists[s - 1] = wheelRun(6 * s - 8, 6);
    break;
  case SectorPreset::FiveAndEightFours:
    // Five pockets centred on zero, then eight runs of four.
    lists[0] = wheelRun(35, 5);
    for (int s = 2; s <= 9; ++s)
      lists[s - 1] = wheelRun(4 * s - 5, 4);
    break;
  }
  return lists;
}

SectorListNumbers SectorListsOf(const SectorAssignment& assignment) {
  SectorListNumbers lists;
  for (int s = 0; s < SectorCount; ++s)
    for (int n = 0; n < NumberCount; ++n)
      if (assignment.sectors[s].contains(static_cast<unsigned>(n)))
        lists[s].push_back(static_cast<uint8_t>(n));
  return lists;
}

} // namespace kw
