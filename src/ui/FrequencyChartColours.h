#pragma once

#include "analysis/FrequencyChart.h"

#include <array>
#include <cstdint>

namespace kw {

// How the frequency chart paints its seven colour ranges (index 0 far above the expected
// count, 6 far below it), as 0xRRGGBB: the slices, the value table's counts and the legend
// panels.
inline constexpr std::array<uint32_t, ColourRangeCount> RangeColourRgb = {
    0x004080, 0x8F8FCB, 0xCACAE6, 0x9BFF9B, 0xFF8484, 0xFF0000, 0x800000};
// The text of the legend panels: white on the dark ranges, black on the light ones.
inline constexpr std::array<uint32_t, ColourRangeCount> LegendTextRgb = {
    0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF};

} // namespace kw
