#include "sectors/ThrowDistance.h"

#include "core/RouletteTables.h"

namespace kw {
namespace {

std::string countText(int64_t count) { return count == 0 ? "-" : std::to_string(count); }

} // namespace

ThrowDistanceCounts CountTransitions(std::span<const uint8_t> sequence,
                                     const SectorAssignment& assignment) {
  const DirectedPairCounts pairs = CountDirectedPairs(sequence);
  ThrowDistanceCounts counts;
  counts.a = SpreadOverSectors(pairs.a, assignment.sectors);
  counts.b = SpreadOverSectors(pairs.b, assignment.sectors);
  return counts;
}

ThrowDistanceResult EvaluateThrowDistances(std::span<const uint8_t> rowValues,
                                           const SectorAssignment& assignment) {
  ThrowDistanceResult result;
  const std::vector<uint8_t> sequence = NumberSequence(rowValues);
  result.coups = sequence.size();
  if (sequence.size() < 3) {
    result.status = ThrowDistanceStatus::TooFewCoups;
    result.message = TooFewCoupsMessage;
    return result;
  }
  if (!assignment.IsComplete()) {
    result.status = ThrowDistanceStatus::IncompleteAssignment;
    result.message = IncompleteAssignmentMessage;
    return result;
  }
  result.counts = CountTransitions(sequence, assignment);
  return result;
}

SectorGridTexts InitialSectorGridTexts() {
  SectorGridTexts cells;
  cells[0][0] = "Vor-Sektor";
  cells[0][1] = "Richtung";
  for (int c = 2; c < SectorGridColumns; ++c)
    cells[0][c] = "     " + std::to_string(c - 1);
  for (int s = 1; s <= SectorCount; ++s) {
    cells[2 * s - 1][0] = "         " + std::to_string(s);
    cells[2 * s - 1][1] = "      A";
    cells[2 * s][1] = "      B";
  }
  return cells;
}

SectorGridTexts SectorGridTextsOf(const ThrowDistanceCounts& counts) {
  SectorGridTexts cells = InitialSectorGridTexts();
  for (int s = 1; s <= SectorCount; ++s)
    for (int t = 1; t <= SectorCount; ++t) {
      cells[2 * s - 1][t + 1] = countText(counts.a[s - 1][t - 1]);
      cells[2 * s][t + 1] = countText(counts.b[s - 1][t - 1]);
    }
  return cells;
}

} // namespace kw
