#pragma once

#include "core/ParallelRun.h"
#include "systems/SystemHost.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kw {

struct SystemTotals {
  int64_t permanenzen = 0;
  int64_t einsaetze = 0;
  Cents umsatz = 0;
  Cents netto = 0; // sum of (saldo - Startkapital)
};

struct SystemRunResult {
  std::vector<SystemPermanenceResult> permanences; // one per permanence, in file order
  SystemTotals totals;
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
  std::function<void(const PrintLine&)> print{};
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

// "Prüfen": loads the script and plays it once over a random permanence of `coups` coups;
// the German message of what went wrong, empty when nothing did.
std::string CheckSystemScript(const SystemScript& script, const SystemSettings& settings,
                              uint64_t seed, int coups = 370);

} // namespace kw
