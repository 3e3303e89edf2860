#pragma once

#include "core/NumberSet.h"
#include "core/Transitions.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// The numbers of the nine sectors. A number may stand in several sectors or in none;
// the evaluation needs every number 0..36 to stand in at least one.
struct SectorAssignment {
  SectorSets sectors{};

  // The numbers 0..36 that stand in no sector.
  NumberSet Unassigned() const;
  bool IsComplete() const { return Unassigned().empty(); }
  bool operator==(const SectorAssignment&) const = default;
};

// The entries of the nine sector lists, each in the order shown.
using SectorListEntries = std::array<std::vector<std::string>, SectorCount>;
// The numbers of the nine sector lists, each in the order shown.
using SectorListNumbers = std::array<std::vector<uint8_t>, SectorCount>;

// Whether a list entry stands for a number: the label " n" of an empty list does not,
// because it carries a leading blank.
bool IsNumberEntry(std::string_view entry);

// The assignment the lists hold: every number entry 0..36 counts, labels do not.
SectorAssignment BuildSectorAssignment(const SectorListEntries& lists);
SectorAssignment BuildSectorAssignment(const SectorListNumbers& lists);

// The label an empty sector list shows: a blank followed by the sector number (1..9).
std::string SectorLabel(int sectorNumber);

enum class SectorPreset {
  RouletteSeries,    // "Roulette-Serien"
  SevenAndFiveSixes, // "1 x 7 u. 5 x 6 Sektoren"
  FiveAndEightFours, // "1 x 5 u. 8 x 4 Sektoren"
};
inline constexpr std::array<SectorPreset, 3> SectorPresets = {
    SectorPreset::RouletteSeries, SectorPreset::SevenAndFiveSixes, SectorPreset::FiveAndEightFours};

// The caption of the preset's button.
std::string_view SectorPresetCaption(SectorPreset preset);

// The numbers a preset puts into the nine lists, in the order they are appended; the
// sectors it does not fill are empty.
SectorListNumbers PresetSectorLists(SectorPreset preset);

// The lists an opened sector file yields: each sector's members in ascending order.
SectorListNumbers SectorListsOf(const SectorAssignment& assignment);

// Questions and notes of the sector window (a '\r' is a line break).
inline constexpr std::string_view SaveIncompleteQuestion =
    "Sie haben nicht alle Nummern Sektoren zugewiesen.\r\rIch kann die Zuordnung zwar "
    "speichern, aber eine Auswertung ist damit nicht möglich!\r\rWollen Sie den "
    "Speichervorgang fortsetzen?";
inline constexpr std::string_view OpenOverwriteQuestion =
    "Die Sektorenfelder werden mit dem Inhalt der zu öffnenden Datei überschrieben. Soll "
    "ich fortfahren?";
inline constexpr std::string_view OpenedIncompleteNote =
    "Nicht alle Nummern wurden Sektoren zugewiesen.\r\rEine Auswertung ist so nicht möglich.";

} // namespace kw
