#include "statistics/Significance.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/special_functions/erf.hpp>

#include <cmath>

namespace kw {
namespace {

// Errors of the distributions come back as NaN (checked by the callers) instead of
// exceptions: a figure that cannot be computed is shown as absent, never as a crash.
using ErrorsAsValues = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::errno_on_error>,
    boost::math::policies::pole_error<boost::math::policies::errno_on_error>,
    boost::math::policies::overflow_error<boost::math::policies::errno_on_error>,
    boost::math::policies::evaluation_error<boost::math::policies::errno_on_error>>;

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

// Wheel position of each number 0..36, as a table for the passes over a million coups.
constexpr std::array<int, NumberCount> makeWheelPositions() {
  std::array<int, NumberCount> positions{};
  for (int i = 0; i < NumberCount; ++i)
    positions[WheelOrder[i]] = i;
  return positions;
}

// WheelOrder is defined in another translation unit, so the table is filled on first use.
const std::array<int, NumberCount>& wheelPositions() {
  static const std::array<int, NumberCount> positions = makeWheelPositions();
  return positions;
}

int throwDistance(uint8_t from, uint8_t to) {
  const auto& positions = wheelPositions();
  return (positions[to] - positions[from] + NumberCount) % NumberCount;
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

// Runs of the first chance of a pair (chance set firstSet) against the second over the
// coups without zeros.
RunsTest runsTestOf(std::string_view name, int firstSet, std::span<const uint8_t> sequence) {
  RunsTest result;
  result.name = name;
  int previous = -1; // side of the last non-zero coup: 1 first chance, 0 second
  for (uint8_t number : sequence) {
    if (number == 0)
      continue;
    const int side = ChanceSets[firstSet].contains(number) ? 1 : 0;
    (side == 1 ? result.first : result.second) += 1;
    if (side != previous)
      ++result.runs;
    previous = side;
  }
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

std::array<int64_t, NumberCount> distancesOf(const NumberPairCounts& pairs) {
  std::array<int64_t, NumberCount> distribution{};
  for (int from = 0; from < NumberCount; ++from)
    for (int to = 0; to < NumberCount; ++to)
      distribution[throwDistance(static_cast<uint8_t>(from), static_cast<uint8_t>(to))] +=
          pairs[from][to];
  return distribution;
}

// The sections between hand changes with their pairs of successive coups; empty rows
// neither split a section nor count.
std::vector<SectionDistanceTest> sectionTestsOf(std::span<const uint8_t> rowValues) {
  std::vector<SectionDistanceTest> sections;
  std::array<int64_t, NumberCount> distribution{};
  int64_t pairs = 0;
  int64_t firstCoup = 0;
  int64_t coups = 0;
  int previous = -1;
  auto closeSection = [&] {
    if (pairs >= MinimumSectionPairs)
      sections.push_back({firstCoup, distanceTestOf(distribution)});
    distribution = {};
    pairs = 0;
    previous = -1;
  };
  for (uint8_t value : rowValues) {
    if (value == HandChangeCode) {
      closeSection();
      continue;
    }
    if (value >= NumberCount)
      continue;
    ++coups;
    if (previous < 0) {
      firstCoup = coups;
    } else {
      ++distribution[throwDistance(static_cast<uint8_t>(previous), value)];
      ++pairs;
    }
    previous = value;
  }
  closeSection();
  return sections;
}

ThrowDistanceTests throwDistanceTestsOf(std::span<const uint8_t> rowValues,
                                        std::span<const uint8_t> sequence,
                                        const DirectedPairCounts& pairs) {
  ThrowDistanceTests result;
  const std::array<int64_t, NumberCount> a = distancesOf(pairs.a);
  const std::array<int64_t, NumberCount> b = distancesOf(pairs.b);
  std::array<int64_t, NumberCount> all{};
  for (int d = 0; d < NumberCount; ++d)
    all[d] = a[d] + b[d];
  // The first pair belongs to neither direction but to all pairs.
  if (sequence.size() >= 2)
    ++all[throwDistance(sequence[0], sequence[1])];
  result.all = distanceTestOf(all);
  result.a = distanceTestOf(a);
  result.b = distanceTestOf(b);
  result.sections = sectionTestsOf(rowValues);
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

std::array<int64_t, NumberCount> numberCountsOf(std::span<const uint8_t> sequence) {
  std::array<int64_t, NumberCount> counts{};
  for (uint8_t number : sequence)
    ++counts[number];
  return counts;
}

SignificanceReport analyse(std::span<const uint8_t> rowValues, const SectorSets* sectors) {
  const std::vector<uint8_t> sequence = NumberSequence(rowValues);
  const DirectedPairCounts pairs = CountDirectedPairs(sequence);
  const std::array<int64_t, NumberCount> counts = numberCountsOf(sequence);
  const auto coups = static_cast<int64_t>(sequence.size());

  SignificanceReport report;
  report.coups = coups;
  report.numbers = numbersTestOf(counts, coups);
  report.simpleChances = simpleChanceTestsOf(counts, coups);
  report.thirdChances = {thirdChanceTestOf("Dutzende", 9, counts, coups),
                         thirdChanceTestOf("Kolonnen", 6, counts, coups)};
  report.runs = {runsTestOf("Rouge/Noir", 0, sequence), runsTestOf("Impair/Pair", 2, sequence),
                 runsTestOf("Manque/Passe", 4, sequence)};
  report.throwDistances = throwDistanceTestsOf(rowValues, sequence, pairs);
  if (sectors)
    report.sectors = sectorTestsOf(pairs, *sectors);
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
  const std::vector<uint8_t> sequence = NumberSequence(rowValues);
  return numbersTestOf(numberCountsOf(sequence), static_cast<int64_t>(sequence.size()));
}

ThrowDistanceTests TestThrowDistances(std::span<const uint8_t> rowValues) {
  const std::vector<uint8_t> sequence = NumberSequence(rowValues);
  return throwDistanceTestsOf(rowValues, sequence, CountDirectedPairs(sequence));
}

SectorTransitionTests TestSectorTransitions(std::span<const uint8_t> rowValues,
                                            const SectorSets& sectors) {
  return sectorTestsOf(CountDirectedPairs(NumberSequence(rowValues)), sectors);
}

} // namespace kw
