#include "search/SearchRange.h"

#include "systems/SystemTexts.h"
#include "systemtest/TestParameters.h"

#include <algorithm>
#include <cmath>

namespace kw {
namespace {

constexpr int64_t Hundreds = 100;
// Decimal values are cut to this grid, so that 0.1 + 2 x 0.1 is 0.3 and not 0.30000000000000004.
constexpr double DecimalGrid = 1e9;
// A decimal range may end a hair below its upper bound through rounding of the step.
constexpr double RoundingSlack = 1e-9;

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string usageMessage(std::string_view text) {
  return "Bereich " + quoted(text) + ": erwartet NAME=VON..BIS oder NAME=VON..BIS:SCHRITT";
}

std::string prefix(const RangeBounds& bounds) { return "Bereich " + bounds.name + ": "; }

ScriptParameter integerValue(const std::string& name, int64_t value) {
  return {.name = name, .isInteger = true, .integer = value, .number = 0.0};
}

// How many values from..to in steps of `step` holds, at most `cap` + 1 (so that a huge
// count never has to be represented).
size_t valueCount(double from, double to, double step, size_t cap) {
  const double steps = std::floor((to - from) / step + RoundingSlack);
  if (steps >= static_cast<double>(cap))
    return cap + 1;
  return static_cast<size_t>(steps) + 1;
}

std::string tooManyValuesMessage(const RangeBounds& bounds) {
  return prefix(bounds) + "mehr als " + std::to_string(MostSearchCombinations) + " Werte";
}

// The checks every range shares: the order of its bounds and a positive step.
std::string orderError(const RangeBounds& bounds, const ScriptParameter& step) {
  if (bounds.from.asDouble() > bounds.to.asDouble())
    return prefix(bounds) + "VON (" + ParameterText(bounds.from) + ") liegt über BIS (" +
           ParameterText(bounds.to) + ")";
  if (step.asDouble() <= 0.0)
    return prefix(bounds) + "SCHRITT muss größer als 0 sein (angegeben: " + ParameterText(step) +
           ")";
  return {};
}

} // namespace

const std::array<SystemTestSearchParameter, 4> SystemTestSearchParameters = {{
    {"vorlauf", SystemTestSliders[0].minimum, SystemTestSliders[0].maximum, 1},
    {"angriffe", SystemTestSliders[1].minimum, SystemTestSliders[1].maximum, 1},
    {"plus", SystemTestSliders[2].minimum* Hundreds, SystemTestSliders[2].maximum* Hundreds,
     Hundreds},
    {"minus", SystemTestSliders[3].minimum* Hundreds, SystemTestSliders[3].maximum* Hundreds,
     Hundreds},
}};

RangeReading ParseRangeText(std::string_view text) {
  RangeReading reading;
  const size_t equals = text.find('=');
  const size_t dots = text.find("..", equals == std::string_view::npos ? 0 : equals);
  if (equals == std::string_view::npos || equals == 0 || dots == std::string_view::npos) {
    reading.error = usageMessage(text);
    return reading;
  }
  RangeBounds bounds;
  bounds.name = std::string(text.substr(0, equals));
  const std::string_view fromText = text.substr(equals + 1, dots - equals - 1);
  std::string_view toText = text.substr(dots + 2);
  std::optional<std::string_view> stepText;
  if (const size_t colon = toText.find(':'); colon != std::string_view::npos) {
    stepText = toText.substr(colon + 1);
    toText = toText.substr(0, colon);
  }
  const auto number = [&](std::string_view part) {
    const auto value = ParseParameterValue(part);
    if (!value && reading.error.empty())
      reading.error = "Bereich " + bounds.name + ": " + quoted(part) + " ist keine Zahl";
    return value;
  };
  const auto from = number(fromText);
  const auto to = number(toText);
  const auto step = stepText ? number(*stepText) : std::nullopt;
  if (!reading.error.empty())
    return reading;
  bounds.from = *from;
  bounds.to = *to;
  bounds.step = step;
  for (ScriptParameter* value : {&bounds.from, &bounds.to})
    value->name = bounds.name;
  if (bounds.step)
    bounds.step->name = bounds.name;
  reading.bounds = std::move(bounds);
  return reading;
}

std::string RangeText(const RangeBounds& bounds) {
  std::string text = ParameterText(bounds.from) + ".." + ParameterText(bounds.to);
  if (bounds.step)
    text += ":" + ParameterText(*bounds.step);
  return text;
}

RangeExpansion ExpandSystemTestRange(const RangeBounds& bounds) {
  RangeExpansion expansion;
  const auto known =
      std::find_if(SystemTestSearchParameters.begin(), SystemTestSearchParameters.end(),
                   [&](const SystemTestSearchParameter& p) { return p.name == bounds.name; });
  if (known == SystemTestSearchParameters.end()) {
    expansion.error = "Unbekannter Parameter " + quoted(bounds.name) +
                      " (möglich: vorlauf, angriffe, plus, minus)";
    return expansion;
  }
  const ScriptParameter step = bounds.step.value_or(integerValue(bounds.name, known->unit));
  if (!bounds.from.isInteger || !bounds.to.isInteger || !step.isInteger) {
    expansion.error = prefix(bounds) + "nur ganze Zahlen (angegeben: " + RangeText(bounds) + ")";
    return expansion;
  }
  if (std::string error = orderError(bounds, step); !error.empty()) {
    expansion.error = std::move(error);
    return expansion;
  }
  const int64_t from = bounds.from.integer;
  const int64_t to = bounds.to.integer;
  if (from < known->minimum || to > known->maximum) {
    expansion.error = prefix(bounds) + "Werte von " + std::to_string(known->minimum) + " bis " +
                      std::to_string(known->maximum) + " (angegeben: " + RangeText(bounds) + ")";
    return expansion;
  }
  if (from % known->unit != 0 || step.integer % known->unit != 0) {
    expansion.error =
        prefix(bounds) + "VON und SCHRITT in Hunderten (angegeben: " + RangeText(bounds) + ")";
    return expansion;
  }
  SearchRange range{bounds.name, {}};
  for (int64_t value = from; value <= to; value += step.integer)
    range.values.push_back(integerValue(bounds.name, value));
  expansion.range = std::move(range);
  return expansion;
}

RangeExpansion ExpandScriptRange(const RangeBounds& bounds,
                                 std::span<const ScriptParameter> declared) {
  RangeExpansion expansion;
  const bool known = std::any_of(declared.begin(), declared.end(),
                                 [&](const ScriptParameter& p) { return p.name == bounds.name; });
  if (!known) {
    std::string names;
    for (const ScriptParameter& p : declared)
      names += (names.empty() ? "" : ", ") + p.name;
    expansion.error = "Das Skript hat keinen Parameter " + quoted(bounds.name) +
                      (names.empty() ? " (es hat keine)" : " (es hat: " + names + ")");
    return expansion;
  }
  const ScriptParameter step = bounds.step.value_or(integerValue(bounds.name, 1));
  if (std::string error = orderError(bounds, step); !error.empty()) {
    expansion.error = std::move(error);
    return expansion;
  }
  const double from = bounds.from.asDouble();
  const double stepSize = step.asDouble();
  const size_t count = valueCount(from, bounds.to.asDouble(), stepSize, MostSearchCombinations);
  if (count > MostSearchCombinations) {
    expansion.error = tooManyValuesMessage(bounds);
    return expansion;
  }
  SearchRange range{bounds.name, {}};
  const bool integers = bounds.from.isInteger && bounds.to.isInteger && step.isInteger;
  for (size_t k = 0; k < count; ++k) {
    const auto kk = static_cast<int64_t>(k);
    if (integers) {
      range.values.push_back(integerValue(bounds.name, bounds.from.integer + kk * step.integer));
      continue;
    }
    const double value = from + static_cast<double>(k) * stepSize;
    range.values.push_back({.name = bounds.name,
                            .isInteger = false,
                            .integer = 0,
                            .number = std::round(value * DecimalGrid) / DecimalGrid});
  }
  expansion.range = std::move(range);
  return expansion;
}

size_t CombinationCount(std::span<const SearchRange> ranges) {
  size_t count = 1;
  for (const SearchRange& range : ranges) {
    if (range.values.empty())
      return 0;
    // Saturating, so that a product beyond any limit still compares as too large.
    count = count > MostSearchCombinations ? count : count * range.values.size();
  }
  return count;
}

std::string CheckSearchRanges(std::span<const SearchRange> ranges) {
  if (ranges.empty())
    return "Keine Parameter angegeben: mindestens ein Bereich (NAME=VON..BIS) ist nötig";
  for (size_t i = 0; i < ranges.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (ranges[i].name == ranges[j].name)
        return "Parameter " + quoted(ranges[i].name) + " ist mehrfach als Bereich angegeben";
  const size_t count = CombinationCount(ranges);
  if (count > MostSearchCombinations)
    return "Die Bereiche ergeben mehr als " + std::to_string(MostSearchCombinations) +
           " Kombinationen; bitte enger fassen oder größere Schritte wählen";
  return {};
}

std::vector<size_t> CombinationIndices(std::span<const SearchRange> ranges, size_t index) {
  std::vector<size_t> indices(ranges.size());
  for (size_t r = ranges.size(); r-- > 0;) {
    const size_t size = ranges[r].values.size();
    indices[r] = index % size;
    index /= size;
  }
  return indices;
}

} // namespace kw
