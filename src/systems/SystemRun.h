#pragma once

#include "core/ParallelRun.h"
#include "systems/SystemHost.h"
#include "systemtest/RiskFigures.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kw {

struct SystemTotals {
  int64_t permanenzen = 0;
  int64_t einsaetze = 0;
  Cents umsatz = 0;
  Cents umsatzEinfach = 0; // bet on simple chances
  Cents netto = 0;         // sum of (saldo - Startkapital)
};

struct SystemRunResult {
  std::vector<SystemPermanenceResult> permanences; // one per permanence, in file order
  SystemTotals totals;
  // The risk of the run, money in cents; its expectation counts the zero rule.
  RiskFigures risk;
  // The random comparison when the options asked for one, money in cents.
  std::optional<RandomComparison> comparison;
  std::string error; // the message of the first failing permanence in file order
  size_t errorPermanence = NoPermanence;
  bool cancelled = false;

  bool ok() const { return error.empty() && !cancelled; }
};

struct SystemRunOptions {
  // Threads, and progress counted in permanences; a cancel also ends the permanences being
  // played at their next instruction check.
  RunControl run{};
  // The lines the script printed, in file order; called one at a time, from any thread.
  // What the script prints while playing the comparison's replicas is not passed on.
  std::function<void(const PrintLine&)> print{};
  // K replicas of the run after it: every permanence replaced by as many random coups as it
  // holds (hand changes are not drawn). Replica r draws its coups from RandomCoups(seed, r)
  // and plays permanence i with math.random seeded from ReplicaPermanenceSeed(seed, r, i),
  // so the replicas too give the same figures for every thread count. Progress then counts
  // the permanences of the run once more for every replica.
  std::optional<RandomComparisonRequest> comparison{};
};

// Plays every permanence with the script on the threads of `options.run`, each thread with
// its own Lua state. Permanence i starts from a fresh script state with math.random seeded
// from (seed, i), so the result is the same for every thread count. The first error in
// file order stops the run.
SystemRunResult RunSystem(const SystemScript& script, const SystemSettings& settings,
                          std::span<const std::vector<uint8_t>> permanences,
                          std::span<const std::string> names, uint64_t seed,
                          const SystemRunOptions& options = {});

SystemTotals SumSystemRun(std::span<const SystemPermanenceResult> permanences, Cents startkapital);

// What bets of `umsatz` in all, `umsatzEinfach` of them on simple chances, are expected to
// give on a single-zero wheel, in the unit of the amounts: every bet loses 1/37 of its
// stake on average, a simple-chance bet under ZeroRule::Halb only 1/74.
double ExpectedSystemNet(Cents umsatz, Cents umsatzEinfach, ZeroRule rule);

// The seed of math.random for permanence i of replica r in a comparison with `seed`; none
// of them equals a seed of the real run's permanences but by chance.
uint64_t ReplicaPermanenceSeed(uint64_t seed, uint64_t replica, uint64_t index);

// "Prüfen": loads the script and plays it once over a random permanence of `coups` coups;
// the German message of what went wrong, empty when nothing did.
std::string CheckSystemScript(const SystemScript& script, const SystemSettings& settings,
                              uint64_t seed, int coups = 370);

} // namespace kw
