#include "core/Transitions.h"

namespace kw {

std::vector<uint8_t> NumberSequence(std::span<const uint8_t> rowValues) {
  std::vector<uint8_t> sequence;
  sequence.reserve(rowValues.size());
  for (uint8_t value : rowValues)
    if (value < NumberCount)
      sequence.push_back(value);
  return sequence;
}

DirectedPairCounts CountDirectedPairs(std::span<const uint8_t> sequence) {
  DirectedPairCounts pairs;
  for (size_t i = 0; i + 1 < sequence.size(); ++i) {
    const uint8_t from = sequence[i];
    const uint8_t to = sequence[i + 1];
    if (from >= NumberCount || to >= NumberCount)
      continue;
    switch (DirectionOfTransition(i)) {
    case ThrowDirection::A:
      ++pairs.a[from][to];
      break;
    case ThrowDirection::B:
      ++pairs.b[from][to];
      break;
    case ThrowDirection::None:
      break;
    }
  }
  return pairs;
}

// Counting number pairs first keeps the pass over the sequence free of sector look-ups.
SectorTransitionTable SpreadOverSectors(const NumberPairCounts& pairs, const SectorSets& sectors) {
  SectorTransitionTable table{};
  for (int from = 0; from < NumberCount; ++from)
    for (int to = 0; to < NumberCount; ++to) {
      const int64_t count = pairs[from][to];
      if (count == 0)
        continue;
      for (int s = 0; s < SectorCount; ++s) {
        if (!sectors[s].contains(static_cast<unsigned>(from)))
          continue;
        for (int t = 0; t < SectorCount; ++t)
          if (sectors[t].contains(static_cast<unsigned>(to)))
            table[s][t] += count;
      }
    }
  return table;
}

} // namespace kw
