#pragma once

#include "core/Transitions.h"
#include "sectors/SectorAssignment.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

struct ThrowDistanceCounts {
  SectorTransitionTable a{}; // direction A: the earlier coup at an even position 2, 4, ...
  SectorTransitionTable b{}; // direction B: the earlier coup at an odd position 3, 5, ...
  bool operator==(const ThrowDistanceCounts&) const = default;
};

enum class ThrowDistanceStatus {
  Counted,
  TooFewCoups,          // the grid keeps what it shows
  IncompleteAssignment, // the grid's data cells are emptied
};

struct ThrowDistanceResult {
  ThrowDistanceStatus status = ThrowDistanceStatus::Counted;
  std::string_view message; // the refusal shown to the user; empty when counted
  size_t coups = 0;         // numbers in the sequence
  ThrowDistanceCounts counts;
};

inline constexpr std::string_view TooFewCoupsMessage =
    "Es gibt keine oder zu wenig Coups für eine Auswertung.\r\rLaden Sie im Hauptfenster eine "
    "Permanenz und übertragen Sie diese in die dortige Tabelle.\r\rDer Vorgang wird "
    "abgebrochen!";
inline constexpr std::string_view IncompleteAssignmentMessage =
    "Sie haben nicht alle Nummern Sektoren zugewiesen.\r\rDer Vorgang wird abgebrochen!";

// Counts every transition of the sequence by direction (DirectionOfTransition) into every
// pair of sectors its two numbers belong to. The first pair (positions 1 -> 2) is never
// counted.
ThrowDistanceCounts CountTransitions(std::span<const uint8_t> sequence,
                                     const SectorAssignment& assignment);

// The whole evaluation of the main table's row values: refuses fewer than three numbers
// first, then an incomplete assignment, else counts.
ThrowDistanceResult EvaluateThrowDistances(std::span<const uint8_t> rowValues,
                                           const SectorAssignment& assignment);

// The result grid: 11 columns x 19 rows, the first two columns and the first row fixed.
inline constexpr int SectorGridColumns = 11;
inline constexpr int SectorGridRows = 19;
// Cell texts indexed [row][column].
using SectorGridTexts = std::array<std::array<std::string, SectorGridColumns>, SectorGridRows>;

// The fixed cells' texts with empty data cells: the grid before any evaluation and after
// a refused incomplete assignment.
SectorGridTexts InitialSectorGridTexts();

// The grid after a counted evaluation: earlier sector s owns row 2s - 1 (A) and row 2s
// (B); following sector t is column t + 1; a count of 0 shows "-".
SectorGridTexts SectorGridTextsOf(const ThrowDistanceCounts& counts);

} // namespace kw
