#pragma once

#include "systems/SystemScript.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// A parameter the search varies and the values it takes, in ascending order. Values keep
// Lua's two kinds of numbers, so that a script sees an integer where the user wrote one.
struct SearchRange {
  std::string name;
  std::vector<ScriptParameter> values; // each named `name`
};

// What the user gave for one range: from, to and the step (1 when none was given).
struct RangeBounds {
  std::string name;
  ScriptParameter from;
  ScriptParameter to;
  std::optional<ScriptParameter> step;
};

// The combinations a search may hold at most: beyond them a run would take days.
inline constexpr size_t MostSearchCombinations = 100'000;

// "NAME=VON..BIS" or "NAME=VON..BIS:SCHRITT" (decimals with a point or a comma) as bounds;
// nothing, with the German message why, for anything else.
struct RangeReading {
  std::optional<RangeBounds> bounds;
  std::string error;
};
RangeReading ParseRangeText(std::string_view text);

// The bounds as the user reads them: "2..24", "0,5..2,5:0,5".
std::string RangeText(const RangeBounds& bounds);

// The built-in system's parameters a search varies, with the values their sliders allow:
// minimum..maximum in steps of `unit` (plus and minus move in hundreds).
struct SystemTestSearchParameter {
  std::string_view name;
  int64_t minimum;
  int64_t maximum;
  int64_t unit;
};
extern const std::array<SystemTestSearchParameter, 4> SystemTestSearchParameters;

struct RangeExpansion {
  std::optional<SearchRange> range;
  std::string error; // German, names the parameter
};

// The values of a range of the built-in system (vorlauf, angriffe, plus, minus): whole
// numbers within the slider's limits, from and step in its unit. The step defaults to the unit.
RangeExpansion ExpandSystemTestRange(const RangeBounds& bounds);

// The values of a range of a script's parameter (one the script declares): integers when
// from, to and step are integers, else from + k * step as decimals. The step defaults to 1.
RangeExpansion ExpandScriptRange(const RangeBounds& bounds,
                                 std::span<const ScriptParameter> declared);

// Checks the ranges of one search together: no parameter twice, at least one range, and at
// most MostSearchCombinations combinations. The German message, empty when they fit.
std::string CheckSearchRanges(std::span<const SearchRange> ranges);

// The number of combinations of the ranges (their product).
size_t CombinationCount(std::span<const SearchRange> ranges);

// The value index of every range for combination `index`, the first range varying slowest.
std::vector<size_t> CombinationIndices(std::span<const SearchRange> ranges, size_t index);

} // namespace kw
