#include "sectors/ThrowDistance.h"

#include "core/RouletteTables.h"

namespace kw {
namespace {

using PairCounts = std::array<std::array<int64_t, NumberCount>, NumberCount>;

// Spreads counts per pair of numbers onto every pair of sectors the numbers belong to.
// Counting number pairs first keeps the pass over the sequence free of sector look-ups.
void addToSectors(const PairCounts& pairs, const SectorAssignment& assignment,
                  SectorTransitionTable& table) {
  for (int from = 0; from < NumberCount; ++from)
    for (int to = 0; to < NumberCount; ++to) {
      const int64_t count = pairs[from][to];
      if (count == 0)
        continue;
      for (int s = 0; s < SectorCount; ++s) {
        if (!assignment.sectors[s].contains(static_cast<unsigned>(from)))
          continue;
        for (int t = 0; t < SectorCount; ++t)
          if (assignment.sectors[t].contains(static_cast<unsigned>(to)))
            table[s][t] += count;
      }
    }
}

std::string countText(int64_t count) { return count == 0 ? "-" : std::to_string(count); }

} // namespace

std::vector<uint8_t> NumberSequence(std::span<const uint8_t> rowValues) {
  std::vector<uint8_t> sequence;
  sequence.reserve(rowValues.size());
  for (uint8_t value : rowValues)
    if (value < NumberCount)
      sequence.push_back(value);
  return sequence;
}

ThrowDistanceCounts CountTransitions(std::span<const uint8_t> sequence,
                                     const SectorAssignment& assignment) {
  PairCounts pairsA{};
  PairCounts pairsB{};
  // Index i is position i + 1: odd i starts a transition of direction A, even i >= 2 one
  // of direction B, so the pair at index 0 -> 1 stays out.
  for (size_t i = 1; i + 1 < sequence.size(); ++i) {
    const uint8_t from = sequence[i];
    const uint8_t to = sequence[i + 1];
    if (from >= NumberCount || to >= NumberCount)
      continue;
    PairCounts& pairs = (i % 2 == 1) ? pairsA : pairsB;
    ++pairs[from][to];
  }
  ThrowDistanceCounts counts;
  addToSectors(pairsA, assignment, counts.a);
  addToSectors(pairsB, assignment, counts.b);
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
