#pragma once

#include "core/NumberSet.h"
#include "core/ParallelRun.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kw {

// Where the first series of a chosen length began in one permanence.
struct FirstSeries {
  enum class Kind : uint8_t {
    Found,    // at coup `coup`, counted from 1 without hand changes
    NotFound, // no series of that length ran ("xxx")
    TooShort, // the permanence has no more entries than the length ("---")
  };
  Kind kind = Kind::NotFound;
  uint32_t coup = 0;

  // The cell text: the coup in decimal, "xxx" or "---".
  std::string Text() const;
  bool operator==(const FirstSeries&) const = default;
};

// Searches a permanence (numbers and HandChangeCode marks, as the multi-file reader delivers
// them) for the first run of `length` coups in `chance`. Hand-change marks neither break a
// run nor count as coups; any other non-member, zero included, breaks it. A permanence with
// no more entries than `length`, marks included, is too short. A length below 1 is taken as 1.
FirstSeries FindFirstSeries(std::span<const uint8_t> entries, const NumberSet& chance, int length);

// The 35 chance columns of the series-length grid, 1..35: black, red, even, odd, 1-18,
// 19-36; the three dozens and the three columns; the eleven six-lines; the twelve streets.
inline constexpr int SeriesLengthColumnCount = 35;
const NumberSet& SeriesLengthColumnSet(int column);
// The chance group (0 simple, 1 third, 2 six-lines, 3 streets) whose length a column uses.
int SeriesLengthColumnGroup(int column);

// Series lengths of the four chance groups, in group order.
using SeriesLengths = std::array<int, 4>;
// The results of columns 1..35 at indices 0..34.
using SeriesLengthRow = std::array<FirstSeries, SeriesLengthColumnCount>;

// All 35 columns of one permanence in a single pass; the same results as FindFirstSeries
// column by column.
SeriesLengthRow FindFirstSeriesRow(std::span<const uint8_t> entries, const SeriesLengths& lengths);

struct SeriesLengthRun {
  std::vector<SeriesLengthRow> rows{}; // one per permanence, in their order
  bool cancelled = false;              // the progress callback stopped it; then rows is empty
};

// The series-length search over many permanences, the only one: every row on the threads
// of `control`, counted in permanences; the rows do not depend on the thread count.
SeriesLengthRun RunSeriesLengthSearch(std::span<const std::vector<uint8_t>> permanences,
                                      const SeriesLengths& lengths, const RunControl& control = {});

} // namespace kw
