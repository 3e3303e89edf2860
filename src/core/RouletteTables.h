#pragma once

#include "core/NumberSet.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kw {

// Byte values that travel where a coup is stored but are no roulette numbers.
inline constexpr uint8_t HandChangeCode = 50;
inline constexpr uint8_t EmptyRowCode = 100;
inline constexpr int NumberCount = 37; // 0..36

// The 35 chance sets in their fixed order: 0 red, 1 black, 2 odd, 3 even, 4 low, 5 high,
// 6..8 columns, 9..11 dozens, 12..22 six-lines, 23..34 streets. Zero is in none.
inline constexpr int ChanceSetCount = 35;
extern const std::array<NumberSet, ChanceSetCount> ChanceSets;

// The same memberships for the series-length search, in another order: 0..2 dozens,
// 3..5 columns, 6..16 six-lines, 17..28 streets.
inline constexpr int SeriesLengthSetCount = 29;
extern const std::array<NumberSet, SeriesLengthSetCount> SeriesLengthSets;

// The pockets of the single-zero wheel, starting at zero (index = wheel position).
extern const std::array<uint8_t, NumberCount> WheelOrder;
// The same circle starting at the pocket after zero and ending with zero.
extern const std::array<uint8_t, NumberCount> WheelOrderAfterZero;

struct SeriesSector {
  std::string_view label;
  std::string_view shortLabel;
  NumberSet members;
};
// The three wheel sectors "Große Serie", "Kleine Serie", "Orphelins" (numbers 1..3).
extern const std::array<SeriesSector, 3> SeriesSectors;

// Short chance labels, indexed 0..40 (UTF-8).
inline constexpr int ChanceLabelCount = 41;
extern const std::array<std::string_view, ChanceLabelCount> ChanceLabels;

// Column titles of the series-length grid, indexed 0..34 (UTF-8).
extern const std::array<std::string_view, ChanceSetCount> SeriesLengthTitles;

bool IsInChance(int setIndex, unsigned value);
bool IsRed(unsigned n);
bool IsBlack(unsigned n);
// Index of n in WheelOrder for n in 0..36; -1 for any other value.
int WheelPosition(unsigned n);
// 1, 2 or 3 for n in 0..36; 0 for any other value.
int SeriesSectorOf(unsigned n);
std::string_view ChanceLabel(int index);
std::string_view SeriesLengthTitle(int index);

} // namespace kw
