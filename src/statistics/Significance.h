#pragma once

#include "core/RouletteTables.h"
#include "core/Transitions.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kw {

// Significance tests over the main table's row values (numbers 0..36, HandChangeCode,
// EmptyRowCode): could what the counts show come from a fair wheel? Hand changes are no
// coups; N is the number of coups.
//
// A statistic that cannot be computed (no observations, a variance of zero, no degree of
// freedom) is absent, and so is its p. A test is valid when none of its expected counts is
// below MinimumExpectedCount; the figures are given either way.

inline constexpr double MinimumExpectedCount = 5.0;

// A chi-square goodness-of-fit statistic with its upper-tail probability.
struct ChiSquareTest {
  std::optional<double> chi2;
  int degreesOfFreedom = 0;
  std::optional<double> p;
  bool valid = false;
};

// Numbers 0..36 against E = N / 37 each, 36 degrees of freedom.
struct NumbersTest {
  std::array<int64_t, NumberCount> observed{};
  double expected = 0;
  std::array<double, NumberCount> residuals{}; // (O - E) / sqrt(E); 0 when E is 0
  ChiSquareTest test;
};

// One simple chance against N * 18/37 (a binomial count, two-sided normal test).
struct SimpleChanceTest {
  std::string_view name; // "Rouge", "Noir", "Impair", "Pair", "Manque", "Passe"
  int64_t count = 0;
  double expected = 0;
  std::optional<double> z;
  std::optional<double> p;
  bool valid = false; // the expected hits and misses both at least 5
};

// The three dozens or columns and zero against N * 12/37, 12/37, 12/37, 1/37 (3 df).
struct ThirdChanceTest {
  std::string_view name; // "Dutzende", "Kolonnen"
  std::array<int64_t, 4> observed{};
  std::array<double, 4> expected{};
  ChiSquareTest test;
};

// Wald-Wolfowitz runs of a pair of simple chances over the coups without zeros.
struct RunsTest {
  std::string_view name;   // "Rouge/Noir", "Impair/Pair", "Manque/Passe"
  int64_t first = 0;       // n1: coups of the first chance
  int64_t second = 0;      // n2: coups of the second chance
  int64_t runs = 0;        // R
  double expected = 0;     // E(R); 0 when there is no coup
  std::optional<double> z; // absent when n1 or n2 is 0 or Var(R) is 0
  std::optional<double> p;
  bool valid = false; // E(R) at least 5 and z present
};

// Throw distances d = (wheel position of b - wheel position of a) mod 37 of a set of
// pairs of successive coups, against 37 equal shares (36 degrees of freedom).
struct DistanceTest {
  int64_t pairs = 0;
  std::array<int64_t, NumberCount> distribution{}; // index = distance 0..36
  double expected = 0;                             // pairs / 37
  ChiSquareTest test;
};

// A croupier's section: the coups between two hand changes (or before the first, or after
// the last).
// Only its figures are kept: a long table holds tens of thousands of sections.
struct SectionDistanceTest {
  int64_t firstCoup = 0; // 1-based number of its first coup among all coups
  int64_t pairs = 0;
  ChiSquareTest test; // of its throw distances against 37 equal shares
};

// Sections need at least this many pairs to get their own test.
inline constexpr int64_t MinimumSectionPairs = 37;

struct ThrowDistanceTests {
  DistanceTest all; // every pair of successive coups, across hand changes
  DistanceTest a;   // the transitions of direction A (DirectionOfTransition)
  DistanceTest b;   // the transitions of direction B
  std::vector<SectionDistanceTest> sections; // in table order, >= MinimumSectionPairs pairs
};

template <class T> using SectorTable = std::array<std::array<T, SectorCount>, SectorCount>;

// The sector transitions of one direction, [earlier sector][following sector]. The
// expected count of a cell is (transitions whose earlier number lies in S(s)) x |S(t)| / 37.
struct SectorDirectionTest {
  SectorTransitionTable observed{};
  SectorTable<double> expected{};
  SectorTable<double> residuals{}; // (O - E) / sqrt(E); 0 where E is 0
  // Over the cells with |S(t)| > 0 of rows with at least one transition; degrees of freedom
  // the sum over those rows of (non-empty sectors - 1). Only when the sectors divide the
  // wheel (every number in exactly one sector) and there is at least one degree of freedom;
  // otherwise chi2 and p are absent.
  ChiSquareTest test;
};

struct SectorTransitionTests {
  bool partition = false; // every number 0..36 in exactly one sector
  SectorDirectionTest a;
  SectorDirectionTest b;
};

struct SignificanceReport {
  int64_t coups = 0;
  NumbersTest numbers;
  std::array<SimpleChanceTest, 6> simpleChances; // Rouge, Noir, Impair, Pair, Manque, Passe
  std::array<ThirdChanceTest, 2> thirdChances;   // Dutzende, Kolonnen
  std::array<RunsTest, 3> runs;                  // Rouge/Noir, Impair/Pair, Manque/Passe
  ThrowDistanceTests throwDistances;
  std::optional<SectorTransitionTests> sectors; // only when sectors were given
};

// Every test over the row values; with sectors also their transition tests.
SignificanceReport AnalyseSignificance(std::span<const uint8_t> rowValues);
SignificanceReport AnalyseSignificance(std::span<const uint8_t> rowValues,
                                       const SectorSets& sectors);

// The parts one at a time, for windows that show only one of them.
NumbersTest TestNumbers(std::span<const uint8_t> rowValues);
ThrowDistanceTests TestThrowDistances(std::span<const uint8_t> rowValues);
SectorTransitionTests TestSectorTransitions(std::span<const uint8_t> rowValues,
                                            const SectorSets& sectors);

// The distributions the tests use (Boost.Math): the chi-square upper tail P(X >= x) with
// df > 0 degrees of freedom, and the two-sided normal p = erfc(|z| / sqrt(2)).
double ChiSquareUpperTail(double chi2, int degreesOfFreedom);
double NormalTwoSidedP(double z);

} // namespace kw
