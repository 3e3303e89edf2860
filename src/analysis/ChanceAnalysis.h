#pragma once

#include "core/RouletteTables.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kw {

// How often each number 0..36 fell.
using NumberCounts = std::array<uint32_t, NumberCount>;

// How often each chance fell, every group in the order the result grids show it.
struct ChanceCounts {
  std::array<uint32_t, 3> colours{};     // Noir, Zero, Rouge
  std::array<uint32_t, 3> columns{};     // 1st, 2nd, 3rd column
  std::array<uint32_t, 3> dozens{};      // 1-12, 13-24, 25-36
  std::array<uint32_t, 3> wheelSeries{}; // Große Serie (with zero), Kleine Serie, Orphelins
  std::array<uint32_t, 2> manquePasse{}; // 1-18, 19-36
  std::array<uint32_t, 2> impairPair{};
  std::array<uint32_t, 11> sixLines{}; // 1-6, 4-9, ..., 31-36
  std::array<uint32_t, 12> streets{};  // 1-3, 4-6, ..., 34-36

  bool operator==(const ChanceCounts&) const = default;
};

// Series longer than this are refused: no roulette permanence runs that long.
inline constexpr int MaxSeriesLength = 100;
// Chances per series table: Rouge..Passe, or the three dozens and the three columns.
inline constexpr int SeriesChanceCount = 6;

// How many complete series of each chance ran exactly L coups (L = 1..100). Counted in
// 32 bits: a long table can hold more than 65,535 series of one length.
class SeriesTable {
public:
  // chance 1..6, length 1..MaxSeriesLength
  uint32_t at(int chance, int length) const { return counts_[chance - 1][length - 1]; }
  void add(int chance, int length, uint32_t series = 1) {
    counts_[chance - 1][length - 1] += series;
  }
  void clear() { counts_ = {}; }
  bool operator==(const SeriesTable&) const = default;

private:
  std::array<std::array<uint32_t, MaxSeriesLength>, SeriesChanceCount> counts_{};
};

// The greatest length with a recorded series in any chance of the table; 0 when empty.
int LongestSeries(const SeriesTable& table);
// How many length rows a series grid shows for the table: at least 1..10, more when a
// longer series ran.
int ShownSeriesLengths(const SeriesTable& table);

// Adds one coup (0..36) to the number and chance counters; any other value counts nothing.
void CountCoup(uint8_t number, NumberCounts& numbers, ChanceCounts& chances);

// The chance a row value takes in a group of the series scans, 0 for zero, a hand change,
// an empty row or any other non-number. Even groups: 1 Rouge 1 / Noir 2, 2 Impair 3 /
// Pair 4, 3 Manque 5 / Passe 6. Third groups: 1 the dozens 1..3, 2 the columns 4..6.
int EvenChanceValue(int group, uint8_t rowValue);
int ThirdChanceValue(int group, uint8_t rowValue);

// The message that refuses a table with a series longer than 100 coups; label names the
// chance of that series ("Rouge" ... "3. Kol.").
std::string TooLongSeriesMessage(std::string_view label);

// Everything the chance analysis of a table shows. A default-constructed value is the state
// after a reset: every counter 0, no series.
struct ChanceAnalysis {
  uint32_t coups = 0;       // rows holding a number 0..36
  uint32_t handChanges = 0; // hand-change rows
  NumberCounts numberCounts{};
  ChanceCounts chanceCounts{};
  SeriesTable evenChanceSeries;  // Rouge, Noir, Impair, Pair, Manque, Passe
  SeriesTable thirdChanceSeries; // 1st..3rd dozen, 1st..3rd column
  // Set when a series ran longer than 100 coups: the message naming the first such series
  // in scan order (even groups 1..3, then third groups 1..2). The counts stay valid; both
  // series tables are then empty and must not be shown.
  std::optional<std::string> refusal;
};

// Analyses the row values of a table (0..36, HandChangeCode, EmptyRowCode) in one pass.
ChanceAnalysis AnalyseChances(std::span<const uint8_t> rows);

} // namespace kw
