#include "analysis/ChanceAnalysis.h"

#include <algorithm>

namespace kw {
namespace {

// Positions of the groups in ChanceSets.
constexpr int FirstColumnSet = 6;
constexpr int FirstDozenSet = 9;
constexpr int FirstSixLineSet = 12;
constexpr int SixLineCount = 11;

bool IsRouletteNumber(unsigned value) { return value <= 36; }

// Adds `coups` coups of one number to the chance counters.
void AddCoups(uint8_t number, uint32_t coups, ChanceCounts& chances) {
  if (!IsRouletteNumber(number))
    return;
  if (IsBlack(number))
    chances.colours[0] += coups;
  else if (IsRed(number))
    chances.colours[2] += coups;
  else
    chances.colours[1] += coups;
  chances.wheelSeries[SeriesSectorOf(number) - 1] += coups;
  if (number == 0)
    return;
  for (int k = 0; k < 3; ++k) {
    if (IsInChance(FirstColumnSet + k, number))
      chances.columns[k] += coups;
    if (IsInChance(FirstDozenSet + k, number))
      chances.dozens[k] += coups;
  }
  for (int k = 0; k < SixLineCount; ++k)
    if (IsInChance(FirstSixLineSet + k, number))
      chances.sixLines[k] += coups;
  chances.streets[(number - 1) / 3] += coups;
  chances.manquePasse[number <= 18 ? 0 : 1] += coups;
  chances.impairPair[number % 2 == 1 ? 0 : 1] += coups;
}

// The five series scans in their order: even groups 1..3, then third groups 1..2.
constexpr int ScanCount = 5;
constexpr int EvenScanCount = 3;

int ScanValue(int scan, uint8_t rowValue) {
  return scan < EvenScanCount ? EvenChanceValue(scan + 1, rowValue)
                              : ThirdChanceValue(scan - EvenScanCount + 1, rowValue);
}

std::string_view ScanLabel(int scan, int value) {
  return ChanceLabel(scan < EvenScanCount ? value - 1 : value + 5);
}

// Chance value of every byte in every scan, looked up once per row.
using ScanValueTable = std::array<std::array<uint8_t, ScanCount>, 256>;

const ScanValueTable& ScanValues() {
  static const ScanValueTable table = [] {
    ScanValueTable t{};
    for (int b = 0; b < 256; ++b)
      for (int scan = 0; scan < ScanCount; ++scan)
        t[b][scan] = static_cast<uint8_t>(ScanValue(scan, static_cast<uint8_t>(b)));
    return t;
  }();
  return table;
}

// Series counts per scan, chance value 0..6 and length 0..101. Value 0 and length 0 collect
// the "series" of rows outside every chance; length 101 collects every over-long series.
// Recording into these dummy buckets instead of branching keeps the scan free of
// mispredicted jumps.
constexpr int TooLong = MaxSeriesLength + 1;
using GroupHistogram = std::array<std::array<uint32_t, TooLong + 1>, 7>;
using ScanHistogram = std::array<GroupHistogram, ScanCount>;

struct OnePass {
  std::array<uint32_t, 256> rowsByValue{};
  ScanHistogram series{};
};

// The series scan of one group takes one row, a number or a non-number but never a hand
// change. A row of the running series' chance extends it; any other row ends it (recorded
// under the series' chance and length) and starts the next one, or none for a zero or an
// empty row. Arithmetic instead of branches: whether a series ends is a coin toss per row.
struct GroupScan {
  uint32_t value = 0;
  uint32_t length = 0; // stops growing at TooLong

  void take(uint32_t v, GroupHistogram& series) {
    const uint32_t ends = v != value;
    series[value][length] += ends;
    length = std::min<uint32_t>((length & (ends - 1)) + (v != 0), TooLong);
    value = v;
  }
};

// Counts the row values and runs all five series scans in a single pass. Hand changes
// neither end nor extend a series.
OnePass CountAndScan(std::span<const uint8_t> rows) {
  const ScanValueTable& values = ScanValues();
  OnePass pass;
  GroupScan even1, even2, even3, third1, third2;
  for (uint8_t row : rows) {
    ++pass.rowsByValue[row];
    if (row == HandChangeCode)
      continue;
    const auto& v = values[row];
    even1.take(v[0], pass.series[0]);
    even2.take(v[1], pass.series[1]);
    even3.take(v[2], pass.series[2]);
    third1.take(v[3], pass.series[3]);
    third2.take(v[4], pass.series[4]);
  }
  // The last series of every scan ends with the table.
  even1.take(0, pass.series[0]);
  even2.take(0, pass.series[1]);
  even3.take(0, pass.series[2]);
  third1.take(0, pass.series[3]);
  third2.take(0, pass.series[4]);
  return pass;
}

// The chance value of the first series longer than MaxSeriesLength in one scan, 0 if none.
int FirstTooLongSeries(std::span<const uint8_t> rows, int scan) {
  int value = 0;
  int length = 0;
  for (uint8_t row : rows) {
    if (row == HandChangeCode)
      continue;
    const int v = ScanValue(scan, row);
    if (v != 0 && v == value) {
      if (++length > MaxSeriesLength)
        return value;
    } else {
      value = v;
      length = v != 0 ? 1 : 0;
    }
  }
  return 0;
}

std::optional<std::string> RefusalFor(std::span<const uint8_t> rows, const ScanHistogram& h) {
  for (int scan = 0; scan < ScanCount; ++scan) {
    bool tooLong = false;
    for (int v = 1; v <= 6; ++v)
      tooLong = tooLong || h[scan][v][TooLong] != 0;
    if (tooLong)
      return TooLongSeriesMessage(ScanLabel(scan, FirstTooLongSeries(rows, scan)));
  }
  return std::nullopt;
}

// Scans name their chances by the values of their series table, so a table is the sum of
// its scans' histograms.
void AddSeries(const ScanHistogram& h, int scan, SeriesTable& table) {
  for (int v = 1; v <= SeriesChanceCount; ++v)
    for (int length = 1; length <= MaxSeriesLength; ++length)
      table.add(v, length, h[scan][v][length]);
}

} // namespace

int LongestSeries(const SeriesTable& table) {
  for (int length = MaxSeriesLength; length >= 1; --length)
    for (int chance = 1; chance <= SeriesChanceCount; ++chance)
      if (table.at(chance, length) != 0)
        return length;
  return 0;
}

int ShownSeriesLengths(const SeriesTable& table) { return std::max(10, LongestSeries(table)); }

void CountCoup(uint8_t number, NumberCounts& numbers, ChanceCounts& chances) {
  if (!IsRouletteNumber(number))
    return;
  ++numbers[number];
  AddCoups(number, 1, chances);
}

int EvenChanceValue(int group, uint8_t rowValue) {
  // ChanceSets 0..5 are Rouge..Passe, the chances 1..6 of the even scans.
  if (group < 1 || group > 3)
    return 0;
  const int first = 2 * (group - 1);
  if (IsInChance(first, rowValue))
    return first + 1;
  if (IsInChance(first + 1, rowValue))
    return first + 2;
  return 0;
}

int ThirdChanceValue(int group, uint8_t rowValue) {
  // Group 1 the dozens (chances 1..3), group 2 the columns (chances 4..6).
  if (group < 1 || group > 2)
    return 0;
  const int firstSet = group == 1 ? FirstDozenSet : FirstColumnSet;
  for (int k = 0; k < 3; ++k)
    if (IsInChance(firstSet + k, rowValue))
      return 3 * (group - 1) + k + 1;
  return 0;
}

std::string TooLongSeriesMessage(std::string_view label) {
  std::string message = "Die ";
  message += label;
  message += "-Serie ist bereits 100 Coups lang. Es handelt sich offensichtlich nicht um eine "
             "Roulette-Permanenz.\r\rIch breche ab.";
  return message;
}

ChanceAnalysis AnalyseChances(std::span<const uint8_t> rows) {
  const OnePass pass = CountAndScan(rows);
  ChanceAnalysis result;
  result.handChanges = pass.rowsByValue[HandChangeCode];
  for (int n = 0; n < NumberCount; ++n) {
    result.numberCounts[n] = pass.rowsByValue[n];
    result.coups += pass.rowsByValue[n];
    AddCoups(static_cast<uint8_t>(n), pass.rowsByValue[n], result.chanceCounts);
  }
  result.refusal = RefusalFor(rows, pass.series);
  if (result.refusal)
    return result;
  for (int scan = 0; scan < ScanCount; ++scan)
    AddSeries(pass.series, scan,
              scan < EvenScanCount ? result.evenChanceSeries : result.thirdChanceSeries);
  return result;
}

} // namespace kw
