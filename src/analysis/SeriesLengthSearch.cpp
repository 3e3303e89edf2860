#include "analysis/SeriesLengthSearch.h"

#include "core/RouletteTables.h"

#include <algorithm>

namespace kw {
namespace {

// Columns 1..6 take black, red, even, odd, low, high from the main chance table.
constexpr std::array<int, 6> SimpleChanceSets = {1, 0, 3, 2, 4, 5};

// The single-pass search keeps one run counter per column in a byte lane; lengths beyond a
// byte go through the column-by-column search instead.
constexpr int Lanes = 48;
constexpr int MaxLaneLength = 255;

using LaneBytes = std::array<uint8_t, Lanes>;

// For every entry value, 0xFF in the lanes of the columns it belongs to.
const std::array<LaneBytes, 256>& MemberLanes() {
  static const std::array<LaneBytes, 256> table = [] {
    std::array<LaneBytes, 256> t{};
    for (int value = 0; value < 256; ++value)
      for (int column = 1; column <= SeriesLengthColumnCount; ++column)
        if (SeriesLengthColumnSet(column).contains(static_cast<unsigned>(value)))
          t[value][column - 1] = 0xFF;
    return t;
  }();
  return table;
}

int EffectiveLength(int length) { return std::max(length, 1); }

bool TooShort(std::span<const uint8_t> entries, int length) {
  return entries.size() <= static_cast<size_t>(length);
}

} // namespace

std::string FirstSeries::Text() const {
  switch (kind) {
  case Kind::Found:
    return std::to_string(coup);
  case Kind::TooShort:
    return "---";
  case Kind::NotFound:
    break;
  }
  return "xxx";
}

FirstSeries FindFirstSeries(std::span<const uint8_t> entries, const NumberSet& chance, int length) {
  length = EffectiveLength(length);
  if (TooShort(entries, length))
    return {FirstSeries::Kind::TooShort, 0};
  int run = 0;
  uint32_t coup = 0;
  for (uint8_t entry : entries) {
    if (entry == HandChangeCode)
      continue;
    ++coup;
    run = chance.contains(entry) ? run + 1 : 0;
    if (run == length)
      return {FirstSeries::Kind::Found, coup - static_cast<uint32_t>(length) + 1};
  }
  return {FirstSeries::Kind::NotFound, 0};
}

const NumberSet& SeriesLengthColumnSet(int column) {
  static const NumberSet none;
  if (column < 1 || column > SeriesLengthColumnCount)
    return none;
  if (column <= 6)
    return ChanceSets[SimpleChanceSets[column - 1]];
  return SeriesLengthSets[column - 7];
}

int SeriesLengthColumnGroup(int column) {
  if (column <= 6)
    return 0;
  if (column <= 12)
    return 1;
  return column <= 23 ? 2 : 3;
}

SeriesLengthRow FindFirstSeriesRow(std::span<const uint8_t> entries, const SeriesLengths& lengths) {
  SeriesLengthRow row{};
  // Lanes that do not search keep their run at 0, which never equals a length (1..255).
  LaneBytes length;
  length.fill(0xFF);
  LaneBytes active{}; // 0xFF while a column still searches
  int searching = 0;
  for (int column = 1; column <= SeriesLengthColumnCount; ++column) {
    const int l = EffectiveLength(lengths[SeriesLengthColumnGroup(column)]);
    if (l > MaxLaneLength) {
      row[column - 1] = FindFirstSeries(entries, SeriesLengthColumnSet(column), l);
      continue;
    }
    if (TooShort(entries, l)) {
      row[column - 1] = {FirstSeries::Kind::TooShort, 0};
      continue;
    }
    length[column - 1] = static_cast<uint8_t>(l);
    active[column - 1] = 0xFF;
    ++searching;
  }

  const auto& members = MemberLanes();
  LaneBytes run{};
  uint32_t coup = 0;
  for (size_t k = 0; k < entries.size() && searching > 0; ++k) {
    const uint8_t entry = entries[k];
    if (entry == HandChangeCode)
      continue;
    ++coup;
    const LaneBytes& member = members[entry];
    uint8_t anyReached = 0;
    for (int i = 0; i < Lanes; ++i) {
      run[i] = static_cast<uint8_t>((run[i] + 1) & member[i] & active[i]);
      anyReached |= static_cast<uint8_t>(run[i] == length[i]);
    }
    if (anyReached == 0)
      continue;
    for (int i = 0; i < SeriesLengthColumnCount; ++i) {
      if (active[i] != 0 && run[i] == length[i]) {
        row[i] = {FirstSeries::Kind::Found, coup - length[i] + 1};
        active[i] = 0;
        run[i] = 0;
        length[i] = 0xFF;
        --searching;
      }
    }
  }
  return row;
}

SeriesLengthRun RunSeriesLengthSearch(std::span<const std::vector<uint8_t>> permanences,
                                      const SeriesLengths& lengths, const RunControl& control) {
  SeriesLengthRun run;
  run.rows.resize(permanences.size());
  if (!RunEach(permanences.size(), control,
               [&](size_t i) { run.rows[i] = FindFirstSeriesRow(permanences[i], lengths); }))
    return {.cancelled = true};
  return run;
}

} // namespace kw
