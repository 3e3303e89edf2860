#pragma once

#include "analysis/ChanceAnalysis.h"

#include <array>
#include <cstdint>
#include <string>

namespace kw {

// The seven colour ranges of the number-frequency chart, from far above the expected count
// (index 0) to far below it (index 6).
inline constexpr int ColourRangeCount = 7;

// Range limits measured in standard deviations of a number's count around the expected
// count. `q` is 1 for whole deviations (1, 2, 3 sigma) and 2 for halved ones.
struct ColourRanges {
  uint32_t expected = 0; // E
  double sigma = 0;      // sqrt(N * 36 / 37^2)
  int q = 1;
  std::array<int64_t, 3> deviations{}; // d1..d3: sigma * k / q, rounded
  // T0..T6: E + d3, E + d2, E + d1, E, E - d1, E - d2, E - d3; the lower three never below 0.
  std::array<int64_t, ColourRangeCount> thresholds{};
};

// The ranges for `coups` coups (hand changes not counted) around the expected count handed
// over when the chart was opened. A q below 1 is taken as 1.
ColourRanges ComputeColourRanges(uint32_t coups, uint32_t expected, int q);

// The range (0..6) a count falls into; the ranges cover every count without overlap.
int RangeColour(const ColourRanges& ranges, uint32_t count);

// The texts of the seven legend panels, in range order ("> 19", "17 - 19", ..., "< 1").
std::array<std::string, ColourRangeCount> LegendTexts(const ColourRanges& ranges);

struct ChartSlice {
  uint8_t number = 0;
  uint32_t count = 0;
  int colour = 0; // range index
};

// Everything the chart window shows for one fill.
struct FrequencyChart {
  ColourRanges ranges;
  // Pie slices: zero first, then the wheel in the opposite direction (26, 3, 35, ...).
  std::array<ChartSlice, NumberCount> slices{};
  // The value table's colour of each number's count, indexed by the number.
  std::array<int, NumberCount> numberColours{};
  std::array<std::string, ColourRangeCount> legend;
};

FrequencyChart BuildFrequencyChart(const NumberCounts& counts, uint32_t coups, uint32_t expected,
                                   int q);

} // namespace kw
