#include "statistics/Significance.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/special_functions/erf.hpp>

#include <cmath>
#include <utility>

namespace kw {
namespace {

// Errors of the distributions come back as NaN (checked by the callers) instead of
// exceptions: a figure that cannot be computed is shown as absent, never as a crash.
using ErrorsAsValues = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::errno_on_error>,
    boost::math::policies::pole_error<boost::math::policies::errno_on_error>,
    boost::math::policies::overflow_error<boost::math::policies::errno_on_error>,
    boost::math::policies::evaluation_error<boost::math::policies::errno_on_error>,
    // Double precision throughout: p is shown to a few digits, and a long table has tens
    // of thousands of croupier sections to test.
    boost::math::policies::promote_double<false>>;

std::optional<double> finiteOrAbsent(double value) {
  if (!std::isfinite(value))
    return std::nullopt;
  return value;
}

double residualOf(double observed, double expected) {
  return expected > 0 ? (observed - expected) / std::sqrt(expected) : 0.0;
}

// Adds up (O - E)^2 / E over the cells of a test and remembers whether an expected count
// fell below the minimum.
class ChiSquareSum {
public:
  void add(double observed, double expected) {
    if (expected < MinimumExpectedCount)
      smallExpected_ = true;
    if (expected > 0) {
      const double difference = observed - expected;
      sum_ += difference * difference / expected;
      cells_ = true;
    }
  }

  // The finished test; without any cell of positive expectation or without a degree of
  // freedom there is nothing to test.
  ChiSquareTest test(int degreesOfFreedom) const {
    ChiSquareTest result;
    result.degreesOfFreedom = degreesOfFreedom;
    if (!cells_ || degreesOfFreedom <= 0)
      return result;
    result.chi2 = sum_;
    result.p = finiteOrAbsent(ChiSquareUpperTail(sum_, degreesOfFreedom));
    result.valid = result.p.has_value() && !smallExpected_;
    return result;
  }

private:
  double sum_ = 0;
  bool cells_ = false;
  bool smallExpected_ = false;
};

// The throw distance (position of b - position of a) mod 37 along WheelOrder for every
// pair of numbers [a][b], looked up in the passes over a million coups. WheelOrder is
// defined in another translation unit, so the table is filled on first use.
using DistanceTable = std::array<std::array<uint8_t, NumberCount>, NumberCount>;

const DistanceTable& throwDistances() {
  static const DistanceTable table = [] {
    std::array<int, NumberCount> positions{};
    for (int i = 0; i < NumberCount; ++i)
      positions[WheelOrder[i]] = i;
    DistanceTable distances{};
    for (int a = 0; a < NumberCount; ++a)
      for (int b = 0; b < NumberCount; ++b)
        distances[a][b] =
            static_cast<uint8_t>((positions[b] - positions[a] + NumberCount) % NumberCount);
    return distances;
  }();
  return table;
}

// The pairs of simple chances whose runs are tested: Rouge/Noir, Impair/Pair, Manque/Passe,
// by the chance set of their first chance.
constexpr std::array<int, 3> RunsFirstChanceSets = {0, 2, 4};

// Bit g of a number's entry is set when the number belongs to the first chance of runs
// pair g.
std::array<uint8_t, NumberCount> runsSides() {
  std::array<uint8_t, NumberCount> sides{};
  for (int n = 1; n < NumberCount; ++n)
    for (int g = 0; g < 3; ++g)
      if (ChanceSets[RunsFirstChanceSets[g]].contains(static_cast<unsigned>(n)))
        sides[n] |= static_cast<uint8_t>(1u << g);
  return sides;
}

DistanceTest distanceTestOf(const std::array<int64_t, NumberCount>& distribution) {
  DistanceTest result;
  result.distribution = distribution;
  for (int64_t count : distribution)
    result.pairs += count;
  result.expected = static_cast<double>(result.pairs) / NumberCount;
  ChiSquareSum sum;
  for (int64_t count : distribution)
    sum.add(static_cast<double>(count), result.expected);
  result.test = sum.test(NumberCount - 1);
  return result;
}

// Everything the tests count, gathered in one pass over the row values.
struct CoupTally {
  int64_t coups = 0;
  std::array<int64_t, NumberCount> numbers{};
  DirectedPairCounts pairs;                  // the transitions by DirectionOfTransition
  int firstPairDistance = -1;                // of the pair of coups 1 -> 2, when there is one
  std::array<int64_t, 3> runs{};             // by RunsFirstChanceSets, zeros left out
  std::vector<SectionDistanceTest> sections; // with at least MinimumSectionPairs pairs
};

// A croupier's section while the pass runs through it.
struct OpenSection {
  int64_t firstCoup = 0;
  int64_t pairs = 0;
  int previous = -1; // the section's last number so far
  std::array<int64_t, NumberCount> distribution{};
};

void closeSection(OpenSection& section, std::vector<SectionDistanceTest>& sections) {
  if (section.pairs >= MinimumSectionPairs)
    sections.push_back(
        {section.firstCoup, section.pairs, distanceTestOf(section.distribution).test});
  section = OpenSection{};
}

// Hand changes split sections but not the sequence of coups; empty rows do neither.
CoupTally tally(std::span<const uint8_t> rowValues) {
  const DistanceTable& distances = throwDistances();
  const std::array<uint8_t, NumberCount> sides = runsSides();
  CoupTally t;
  // Every section with a test holds at least 38 rows; reserving for the most keeps the
  // results from being copied as they grow.
  t.sections.reserve(rowValues.size() / (MinimumSectionPairs + 1) + 1);
  OpenSection section;
  int previous = -1;  // the last number of the sequence so far
  int lastSides = -1; // sides of the last non-zero coup; -1 before the first
  for (uint8_t value : rowValues) {
    if (value >= NumberCount) {
      if (value == HandChangeCode)
        closeSection(section, t.sections);
      continue;
    }
    ++t.numbers[value];
    if (previous >= 0) {
      // The earlier number of this transition is coup t.coups at index t.coups - 1.
      switch (DirectionOfTransition(static_cast<size_t>(t.coups - 1))) {
      case ThrowDirection::A:
        ++t.pairs.a[previous][value];
        break;
      case ThrowDirection::B:
        ++t.pairs.b[previous][value];
        break;
      case ThrowDirection::None:
        t.firstPairDistance = distances[previous][value];
        break;
      }
    }
    ++t.coups;
    previous = value;

    if (section.previous < 0) {
      section.firstCoup = t.coups;
    } else {
      ++section.distribution[distances[section.previous][value]];
      ++section.pairs;
    }
    section.previous = value;

    if (value != 0) {
      // A run ends where the side changes; counted without branches, as sides change at
      // random.
      const int changed = lastSides < 0 ? 7 : (sides[value] ^ lastSides);
      for (int g = 0; g < 3; ++g)
        t.runs[g] += (changed >> g) & 1;
      lastSides = sides[value];
    }
  }
  closeSection(section, t.sections);
  return t;
}

NumbersTest numbersTestOf(const std::array<int64_t, NumberCount>& counts, int64_t coups) {
  NumbersTest result;
  result.observed = counts;
  result.expected = static_cast<double>(coups) / NumberCount;
  ChiSquareSum sum;
  for (int n = 0; n < NumberCount; ++n) {
    const auto observed = static_cast<double>(counts[n]);
    result.residuals[n] = residualOf(observed, result.expected);
    sum.add(observed, result.expected);
  }
  result.test = sum.test(NumberCount - 1);
  return result;
}

int64_t countIn(const std::array<int64_t, NumberCount>& counts, int chanceSet) {
  int64_t total = 0;
  for (int n = 1; n < NumberCount; ++n)
    if (ChanceSets[chanceSet].contains(static_cast<unsigned>(n)))
      total += counts[n];
  return total;
}

constexpr std::array<std::string_view, 6> SimpleChanceNames = {"Rouge", "Noir",   "Impair",
                                                               "Pair",  "Manque", "Passe"};

// Chance sets 0..5 are Rouge, Noir, Impair, Pair, Manque, Passe: a win pays 18 of 37.
std::array<SimpleChanceTest, 6> simpleChanceTestsOf(const std::array<int64_t, NumberCount>& counts,
                                                    int64_t coups) {
  constexpr double hit = 18.0 / 37.0;
  constexpr double miss = 19.0 / 37.0;
  const auto n = static_cast<double>(coups);
  const double deviation = std::sqrt(n * hit * miss);
  std::array<SimpleChanceTest, 6> tests;
  for (int c = 0; c < 6; ++c) {
    SimpleChanceTest& test = tests[c];
    test.name = SimpleChanceNames[c];
    test.count = countIn(counts, c);
    test.expected = n * 18.0 / 37.0;
    if (deviation > 0) {
      test.z = (static_cast<double>(test.count) - test.expected) / deviation;
      test.p = finiteOrAbsent(NormalTwoSidedP(*test.z));
    }
    // The expected misses (19/37) are always more than the expected hits.
    test.valid = test.p.has_value() && n * hit >= MinimumExpectedCount;
  }
  return tests;
}

// The dozens are chance sets 9..11, the columns 6..8; zero is the fourth category.
ThirdChanceTest thirdChanceTestOf(std::string_view name, int firstSet,
                                  const std::array<int64_t, NumberCount>& counts, int64_t coups) {
  ThirdChanceTest result;
  result.name = name;
  const auto n = static_cast<double>(coups);
  for (int k = 0; k < 3; ++k) {
    result.observed[k] = countIn(counts, firstSet + k);
    result.expected[k] = n * 12.0 / 37.0;
  }
  result.observed[3] = counts[0];
  result.expected[3] = n / 37.0;
  ChiSquareSum sum;
  for (int k = 0; k < 4; ++k)
    sum.add(static_cast<double>(result.observed[k]), result.expected[k]);
  result.test = sum.test(3);
  return result;
}

// Runs of pair g of simple chances over the coups without zeros, from the tally.
RunsTest runsTestOf(std::string_view name, int g, const CoupTally& t) {
  RunsTest result;
  result.name = name;
  result.first = countIn(t.numbers, RunsFirstChanceSets[g]);
  result.second = countIn(t.numbers, RunsFirstChanceSets[g] + 1);
  result.runs = t.runs[g];
  const auto n1 = static_cast<double>(result.first);
  const auto n2 = static_cast<double>(result.second);
  const double n = n1 + n2;
  if (n == 0)
    return result;
  result.expected = 2 * n1 * n2 / n + 1;
  if (result.first == 0 || result.second == 0)
    return result;
  // Var(R) is 0 for n1 = n2 = 1: the two coups always form two runs.
  const double variance = 2 * n1 * n2 * (2 * n1 * n2 - n1 - n2) / (n * n * (n - 1));
  if (!(variance > 0))
    return result;
  result.z = (static_cast<double>(result.runs) - result.expected) / std::sqrt(variance);
  result.p = finiteOrAbsent(NormalTwoSidedP(*result.z));
  result.valid = result.p.has_value() && result.expected >= MinimumExpectedCount;
  return result;
}

std::array<int64_t, NumberCount> distancesOf(const NumberPairCounts& pairs) {
  const DistanceTable& distances = throwDistances();
  std::array<int64_t, NumberCount> distribution{};
  for (int from = 0; from < NumberCount; ++from)
    for (int to = 0; to < NumberCount; ++to)
      distribution[distances[from][to]] += pairs[from][to];
  return distribution;
}

// Takes the tally's sections over.
ThrowDistanceTests throwDistanceTestsOf(CoupTally& t) {
  ThrowDistanceTests result;
  const std::array<int64_t, NumberCount> a = distancesOf(t.pairs.a);
  const std::array<int64_t, NumberCount> b = distancesOf(t.pairs.b);
  std::array<int64_t, NumberCount> all{};
  for (int d = 0; d < NumberCount; ++d)
    all[d] = a[d] + b[d];
  // The first pair belongs to neither direction but to all pairs.
  if (t.firstPairDistance >= 0)
    ++all[t.firstPairDistance];
  result.all = distanceTestOf(all);
  result.a = distanceTestOf(a);
  result.b = distanceTestOf(b);
  result.sections = std::move(t.sections);
  return result;
}

std::array<int, SectorCount> sectorSizes(const SectorSets& sectors) {
  std::array<int, SectorCount> sizes{};
  for (int s = 0; s < SectorCount; ++s)
    for (int n = 0; n < NumberCount; ++n)
      if (sectors[s].contains(static_cast<unsigned>(n)))
        ++sizes[s];
  return sizes;
}

bool dividesTheWheel(const SectorSets& sectors) {
  for (int n = 0; n < NumberCount; ++n) {
    int memberships = 0;
    for (const NumberSet& sector : sectors)
      memberships += sector.contains(static_cast<unsigned>(n)) ? 1 : 0;
    if (memberships != 1)
      return false;
  }
  return true;
}

SectorDirectionTest sectorDirectionTestOf(const NumberPairCounts& pairs, const SectorSets& sectors,
                                          bool partition) {
  SectorDirectionTest result;
  result.observed = SpreadOverSectors(pairs, sectors);
  const std::array<int, SectorCount> sizes = sectorSizes(sectors);
  int nonEmptySectors = 0;
  for (int size : sizes)
    nonEmptySectors += size > 0 ? 1 : 0;

  ChiSquareSum sum;
  int degreesOfFreedom = 0;
  for (int s = 0; s < SectorCount; ++s) {
    // Transitions whose earlier number lies in the sector, each counted once however many
    // sectors its following number belongs to.
    int64_t transitions = 0;
    for (int from = 0; from < NumberCount; ++from)
      if (sectors[s].contains(static_cast<unsigned>(from)))
        for (int to = 0; to < NumberCount; ++to)
          transitions += pairs[from][to];
    for (int t = 0; t < SectorCount; ++t) {
      const double expected = static_cast<double>(transitions) * sizes[t] / NumberCount;
      const auto observed = static_cast<double>(result.observed[s][t]);
      result.expected[s][t] = expected;
      result.residuals[s][t] = residualOf(observed, expected);
      if (transitions > 0 && sizes[t] > 0)
        sum.add(observed, expected);
    }
    if (transitions > 0)
      degreesOfFreedom += nonEmptySectors - 1;
  }
  if (partition)
    result.test = sum.test(degreesOfFreedom);
  return result;
}

SectorTransitionTests sectorTestsOf(const DirectedPairCounts& pairs, const SectorSets& sectors) {
  SectorTransitionTests result;
  result.partition = dividesTheWheel(sectors);
  result.a = sectorDirectionTestOf(pairs.a, sectors, result.partition);
  result.b = sectorDirectionTestOf(pairs.b, sectors, result.partition);
  return result;
}

SignificanceReport analyse(std::span<const uint8_t> rowValues, const SectorSets* sectors) {
  CoupTally t = tally(rowValues);
  SignificanceReport report;
  report.coups = t.coups;
  report.numbers = numbersTestOf(t.numbers, t.coups);
  report.simpleChances = simpleChanceTestsOf(t.numbers, t.coups);
  report.thirdChances = {thirdChanceTestOf("Dutzende", 9, t.numbers, t.coups),
                         thirdChanceTestOf("Kolonnen", 6, t.numbers, t.coups)};
  report.runs = {runsTestOf("Rouge/Noir", 0, t), runsTestOf("Impair/Pair", 1, t),
                 runsTestOf("Manque/Passe", 2, t)};
  report.throwDistances = throwDistanceTestsOf(t);
  if (sectors)
    report.sectors = sectorTestsOf(t.pairs, *sectors);
  return report;
}

} // namespace

double ChiSquareUpperTail(double chi2, int degreesOfFreedom) {
  if (degreesOfFreedom <= 0 || !(chi2 >= 0) || !std::isfinite(chi2))
    return std::nan("");
  const boost::math::chi_squared_distribution<double, ErrorsAsValues> distribution(
      degreesOfFreedom);
  return boost::math::cdf(boost::math::complement(distribution, chi2));
}

double NormalTwoSidedP(double z) {
  if (std::isnan(z))
    return z;
  return boost::math::erfc(std::fabs(z) / std::sqrt(2.0), ErrorsAsValues());
}

SignificanceReport AnalyseSignificance(std::span<const uint8_t> rowValues) {
  return analyse(rowValues, nullptr);
}

SignificanceReport AnalyseSignificance(std::span<const uint8_t> rowValues,
                                       const SectorSets& sectors) {
  return analyse(rowValues, &sectors);
}

NumbersTest TestNumbers(std::span<const uint8_t> rowValues) {
  const CoupTally t = tally(rowValues);
  return numbersTestOf(t.numbers, t.coups);
}

ThrowDistanceTests TestThrowDistances(std::span<const uint8_t> rowValues) {
  CoupTally t = tally(rowValues);
  return throwDistanceTestsOf(t);
}

SectorTransitionTests TestSectorTransitions(std::span<const uint8_t> rowValues,
                                            const SectorSets& sectors) {
  return sectorTestsOf(tally(rowValues).pairs, sectors);
}

} // namespace kw
