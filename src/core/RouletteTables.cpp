#include "core/RouletteTables.h"

namespace kw {
namespace {

constexpr NumberSet range(int first, int last, int step = 1) {
  NumberSet s;
  for (int n = first; n <= last; n += step)
    s.insert(static_cast<uint8_t>(n));
  return s;
}

constexpr NumberSet Red{1, 3, 5, 7, 9, 12, 14, 16, 18, 19, 21, 23, 25, 27, 30, 32, 34, 36};
constexpr NumberSet Black{2, 4, 6, 8, 10, 11, 13, 15, 17, 20, 22, 24, 26, 28, 29, 31, 33, 35};

constexpr NumberSet column(int k) { return range(k, 34 + k - 1, 3); } // k = 1..3
constexpr NumberSet dozen(int k) { return range(12 * (k - 1) + 1, 12 * k); }
constexpr NumberSet sixLine(int k) { return range(3 * k + 1, 3 * k + 6); }
constexpr NumberSet street(int k) { return range(3 * k + 1, 3 * k + 3); }

constexpr std::array<NumberSet, ChanceSetCount> makeChanceSets() {
  std::array<NumberSet, ChanceSetCount> sets{};
  sets[0] = Red;
  sets[1] = Black;
  sets[2] = range(1, 35, 2);
  sets[3] = range(2, 36, 2);
  sets[4] = range(1, 18);
  sets[5] = range(19, 36);
  for (int k = 0; k < 3; ++k) {
    sets[6 + k] = column(k + 1);
    sets[9 + k] = dozen(k + 1);
  }
  for (int k = 0; k <= 10; ++k)
    sets[12 + k] = sixLine(k);
  for (int k = 0; k <= 11; ++k)
    sets[23 + k] = street(k);
  return sets;
}

constexpr std::array<NumberSet, SeriesLengthSetCount> makeSeriesLengthSets() {
  std::array<NumberSet, SeriesLengthSetCount> sets{};
  for (int k = 0; k < 3; ++k) {
    sets[k] = dozen(k + 1);
    sets[3 + k] = column(k + 1);
  }
  for (int k = 0; k <= 10; ++k)
    sets[6 + k] = sixLine(k);
  for (int k = 0; k <= 11; ++k)
    sets[17 + k] = street(k);
  return sets;
}

} // namespace

constinit const std::array<NumberSet, ChanceSetCount> ChanceSets = makeChanceSets();
constinit const std::array<NumberSet, SeriesLengthSetCount> SeriesLengthSets =
    makeSeriesLengthSets();

constinit const std::array<uint8_t, NumberCount> WheelOrder = {
    0, 32, 15, 19, 4, 21, 2,  25, 17, 34, 6,  27, 13, 36, 11, 30, 8, 23, 10,
    5, 24, 16, 33, 1, 20, 14, 31, 9,  22, 18, 29, 7,  28, 12, 35, 3, 26};

constinit const std::array<uint8_t, NumberCount> WheelOrderAfterZero = {
    32, 15, 19, 4, 21, 2,  25, 17, 34, 6,  27, 13, 36, 11, 30, 8, 23, 10, 5,
    24, 16, 33, 1, 20, 14, 31, 9,  22, 18, 29, 7,  28, 12, 35, 3, 26, 0};

constinit const std::array<SeriesSector, 3> SeriesSectors = {{
    {"Große Serie", "Große",
     NumberSet{0, 2, 3, 4, 7, 12, 15, 18, 19, 21, 22, 25, 26, 28, 29, 32, 35}},
    {"Kleine Serie", "Kleine", NumberSet{5, 8, 10, 11, 13, 16, 23, 24, 27, 30, 33, 36}},
    {"Orphelins", "Orphel.", NumberSet{1, 6, 9, 14, 17, 20, 31, 34}},
}};

constinit const std::array<std::string_view, ChanceLabelCount> ChanceLabels = {
    "Rouge",       "Noir",         "Impair",    "Pair",    "Manque",  "Passe",  "1. Dutz.",
    "2. Dutz.",    "3. Dutz.",     "1. Kol.",   "2. Kol.", "3. Kol.", "1-3",    "4-6",
    "7-9",         "10-12",        "13-15",     "16-18",   "19-21",   "22-24",  "25-27",
    "28-30",       "31-33",        "34-36",     "1-6",     "4-9",     "7-12",   "10-15",
    "13-18",       "16-21",        "19-24",     "22-27",   "25-30",   "28-33",  "31-36",
    "Große Serie", "Kleine Serie", "Orphelins", "Große",   "Kleine",  "Orphel."};

constinit const std::array<std::string_view, ChanceSetCount> SeriesLengthTitles = {
    "Schwarz",  "Rot",      "Pair",     "Impair",   "Manque",   "Passe",    "1. Dutz.",
    "2. Dutz.", "3. Dutz.", "1. Kol.",  "2. Kol.",  "3. Kol.",  "TS 1-6",   "TS 4-9",
    "TS 7-12",  "TS 10-15", "TS 13-18", "TS 16-21", "TS 19-24", "TS 22-27", "TS 25-30",
    "TS 28-33", "TS 31-36", "TP 1-3",   "TP 4-6",   "TP 7-9",   "TP 10-12", "TP 13-15",
    "TP 16-18", "TP 19-21", "TP 22-24", "TP 25-27", "TP 28-30", "TP 31-33", "TP 34-36"};

bool IsInChance(int setIndex, unsigned value) {
  return setIndex >= 0 && setIndex < ChanceSetCount && ChanceSets[setIndex].contains(value);
}

bool IsRed(unsigned n) { return ChanceSets[0].contains(n); }
bool IsBlack(unsigned n) { return ChanceSets[1].contains(n); }

int WheelPosition(unsigned n) {
  for (int i = 0; i < NumberCount; ++i)
    if (WheelOrder[i] == n)
      return i;
  return -1;
}

int SeriesSectorOf(unsigned n) {
  for (int i = 0; i < 3; ++i)
    if (SeriesSectors[i].members.contains(n))
      return i + 1;
  return 0;
}

std::string_view ChanceLabel(int index) {
  return index >= 0 && index < ChanceLabelCount ? ChanceLabels[index] : std::string_view{};
}

std::string_view SeriesLengthTitle(int index) {
  return index >= 0 && index < ChanceSetCount ? SeriesLengthTitles[index] : std::string_view{};
}

} // namespace kw
