#pragma once

#include "core/NumberSet.h"
#include "core/RouletteTables.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kw {

// The numbers 0..36 among the table's row values, in table order: hand changes and empty
// rows drop out, so the numbers on both sides of a hand change follow each other.
std::vector<uint8_t> NumberSequence(std::span<const uint8_t> rowValues);

// The croupier throws alternately in two directions. Which one a transition between two
// successive numbers of the sequence belongs to depends on the position of its earlier
// number: A for the positions 2, 4, 6, ..., B for 3, 5, 7, ...; the first transition
// (positions 1 -> 2) belongs to neither.
enum class ThrowDirection : uint8_t { None, A, B };

// The direction of the transition from sequence[earlierIndex] to sequence[earlierIndex + 1]
// (indices from 0, so index i is position i + 1).
constexpr ThrowDirection DirectionOfTransition(size_t earlierIndex) {
  if (earlierIndex == 0)
    return ThrowDirection::None;
  return earlierIndex % 2 == 1 ? ThrowDirection::A : ThrowDirection::B;
}

// How often each number was followed by each number, [earlier][following].
using NumberPairCounts = std::array<std::array<int64_t, NumberCount>, NumberCount>;

struct DirectedPairCounts {
  NumberPairCounts a{};
  NumberPairCounts b{};
};

// The transitions of a number sequence (values 0..36) counted per pair of numbers and
// split by direction; the first transition is in neither table.
DirectedPairCounts CountDirectedPairs(std::span<const uint8_t> sequence);

// The wheel can be divided into at most nine sectors, numbered 1..9 (index 0..8 here).
// A number may stand in several sectors or in none.
inline constexpr int SectorCount = 9;
using SectorSets = std::array<NumberSet, SectorCount>;

// Transition counts [earlier sector][following sector], sectors 1..9 at index 0..8.
using SectorTransitionTable = std::array<std::array<int64_t, SectorCount>, SectorCount>;

// Spreads counts per pair of numbers onto every pair of sectors the two numbers belong
// to: with disjoint sectors each transition lands in one cell, with overlapping ones in
// every cell of its numbers' sectors.
SectorTransitionTable SpreadOverSectors(const NumberPairCounts& pairs, const SectorSets& sectors);

} // namespace kw
