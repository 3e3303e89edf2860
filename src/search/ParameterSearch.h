#pragma once

#include "core/ParallelRun.h"
#include "search/SearchRange.h"
#include "systems/SystemRun.h"
#include "systemtest/RiskFigures.h"
#include "systemtest/SystemTest.h"
#include "systemtest/TestParameters.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kw {

// The parameter search ("Parameter-Suche"): a system played with every combination of the
// values of its ranges over the same permanences, and the reality check of its best result
// against random permanences. Every combination is played by the system's own run path, so
// its figures are those of a single run with the same settings.

// The figures of one combination. Money in the system's unit: whole euros for the built-in
// system test, cents for a script.
struct SearchCombination {
  std::vector<ScriptParameter> values{}; // one per range, in range order
  int64_t permanenzen = 0;               // permanences played (the system test: tested)
  int64_t netto = 0;
  int64_t umsatz = 0;
  int64_t abbruchPlus = 0;  // stopped at the profit target
  int64_t abbruchMinus = 0; // stopped at the loss limit
  // Built-in: stopped because the permanence was about to end; script: the capital did not
  // cover the bets.
  int64_t abbruchE = 0;

  // Netto per Umsatz in percent, as the system test's Umsatzrendite; none without bets.
  std::optional<double> rendite() const { return Rendite(netto, umsatz); }
};

// The quantiles of the replicas' best results that are shown, in percent.
inline constexpr std::array<int, 3> RealityCheckQuantiles = {5, 50, 95};

// "Zufallsvergleich der Suche": the whole search run again on K replicas of the
// permanences, each replaced by random coups as many as it holds, and the best Netto of
// each replica kept.
struct SearchRealityCheck {
  int replicas = 0;
  uint64_t seed = 0;
  std::vector<int64_t> bestNetto{}; // per replica, in replica order
  double mittel = 0.0;
  std::array<double, RealityCheckQuantiles.size()> quantile{};
  // The share (0..1) of replicas whose best is at least the real best.
  double p = 0.0;
};

struct SearchResult {
  std::vector<SearchRange> ranges{};
  std::vector<SearchCombination> combinations{}; // the first range varying slowest
  size_t best = 0;                               // the highest Netto, the first of equals
  size_t worst = 0;                              // the lowest Netto, the first of equals
  bool inCents = false;                          // money of a script system
  std::optional<SearchRealityCheck> realityCheck{};
  bool cancelled = false;
  std::string error{}; // a script's error: the search stopped
  bool ok() const { return error.empty() && !cancelled; }
};

// The best Netto-Ergebnis of every pair of values of the first two ranges over the values of
// the others (the heat map's cells): row by row along the first range; absent where no
// combination has that pair; empty with fewer than two ranges.
std::vector<std::optional<int64_t>> BestNettoOfFirstTwoRanges(const SearchResult& result);

struct SearchOptions {
  // Threads, and progress counted in permanences played (a permanence with one combination),
  // the replicas' included. Returning false from progress cancels the search.
  RunControl run{};
  std::optional<RandomComparisonRequest> realityCheck{};
};

// The built-in system: `base` holds the fixed settings and a stake for every attack coup the
// angriffe range reaches; ranges name vorlauf, angriffe, plus, minus (see ExpandSystemTestRange).
// Throws std::invalid_argument when they do not fit together (too few stakes, a loss limit
// below zero).
SearchResult SearchSystemTest(std::span<const std::vector<uint8_t>> permanences,
                              const SystemTestParams& base, std::span<const SearchRange> ranges,
                              const SearchOptions& options = {});

// A script: `base` holds the money, the zero rule and the parameters not varied; `seed`
// starts math.random as in a single run. The first script error stops the search.
SearchResult SearchSystem(const SystemScript& script, const SystemSettings& base,
                          std::span<const std::vector<uint8_t>> permanences,
                          std::span<const std::string> names, uint64_t seed,
                          std::span<const SearchRange> ranges, const SearchOptions& options = {});

// The fixed settings of a search of the built-in system, read as the system test window
// reads its sliders and stake table: the sliders of ranged parameters only stand for their
// range, so the stake table is checked against the largest attack count of an angriffe
// range, and a minus range is checked by CheckMinusRange instead of being corrected.
TestParametersReading ReadSearchBase(SliderPositions sliders,
                                     std::span<const std::string> stakeCells,
                                     std::span<const SearchRange> ranges);

// A minus range must stay within the start capital (a loss limit below zero would be
// corrected to zero, making several combinations one); the German message, empty when it does.
std::string CheckMinusRange(std::span<const SearchRange> ranges, int64_t startkapital);

// The settings of one combination.
SystemTestParams SystemTestParamsFor(const SystemTestParams& base,
                                     std::span<const ScriptParameter> values);
SystemSettings SystemSettingsFor(const SystemSettings& base,
                                 std::span<const ScriptParameter> values);

// The summary of the replicas' best results against the real best.
SearchRealityCheck SummariseRealityCheck(const RandomComparisonRequest& request,
                                         std::vector<int64_t> bestNetto, int64_t realBest);

} // namespace kw
