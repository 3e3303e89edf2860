#pragma once

#include "analysis/ChanceAnalysis.h"

#include <array>
#include <cstdint>

namespace kw {

// The number shown in each of the 37 slots of the number-frequency strip (slot 0 at the top,
// then rows of three).
using NumberSlots = std::array<uint8_t, NumberCount>;

// Table order: number x in slot x, the layout of the betting table.
NumberSlots TableOrder();

// Frequency order: the most frequent number first, equal counts in ascending order of the
// number.
NumberSlots FrequencyOrder(const NumberCounts& counts);

// The count each number is expected to reach in `coups` coups by chance: coups / 37 rounded
// to the nearest integer (a quotient by 37 is never exactly halfway).
uint32_t ExpectedCount(uint32_t coups);

} // namespace kw
