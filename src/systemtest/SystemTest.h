#pragma once

#include "core/NumberSet.h"
#include "core/ParallelRun.h"
#include "systemtest/RiskFigures.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// The system test after the two-thirds law: after a lead-in of `vorlauf` different
// numbers, bet those numbers for at most `angriffe` coups along a stake progression until
// one of them hits; stop a permanence at the profit target, at the loss limit, or when it
// is about to end. Money amounts are whole currency units, kept in 64 bits so that large
// stakes or long runs cannot overflow.

// The run parameters (see TestParameters.h for how the window's controls give them).
struct SystemTestParams {
  int vorlauf = 6;             // V: different numbers that make a signal; numbers bet per coup
  int angriffe = 6;            // A: maximum betting coups per attack
  int stueckgroesse = 5;       // money value of one piece
  std::vector<int64_t> stakes; // stake per number on coup k + 1 of an attack (size >= A)
  int64_t startkapital = 1000; // capital at the start of every permanence
  int64_t gewinnziel = 1500;   // stop when the capital reaches it after a win
  int64_t verlustgrenze = 200; // stop when the capital falls to it after a non-final loss
};

// Why a permanence stopped; the reason is the one its "Hinweis" shows.
enum class StopReason { None, LossLimit, ProfitTarget, NearEnd };

struct PermanenceOutcome {
  int64_t finalCapital = 0;
  int64_t umsatz = 0;           // all money bet
  int64_t einsaetze = 0;        // coups with a bet
  int64_t satzsignale = 0;      // attacks started
  int64_t minimum = 10'000'000; // lowest capital after a loss that does not end its attack
  int64_t maximum = 100;        // highest capital after a win
  // The lowest capital after any coup, an attack's exhausting loss included; the start
  // capital when no bet lost.
  int64_t lowestCapital = 0;
  StopReason stop = StopReason::None;
  size_t rowsReached = 0; // entries up to and including the one where play ended
};

// Totals over a run of many permanences.
struct SystemTestTotals {
  int64_t einsaetze = 0;
  int64_t satzsignale = 0;
  int64_t umsatz = 0;
  int64_t gesamtsaldo = 0; // sum of the final capitals of every tested permanence
  int64_t tested = 0;
  int64_t abbruchMinus = 0; // stops at the loss limit
  int64_t abbruchPlus = 0;  // stops at the profit target
  int64_t abbruchE = 0;     // stops because the permanence is about to end
};

// The protocol grid of one permanence: one row per entry, five cell texts each.
enum ProtocolColumn { NrColumn, CoupColumn, EinsatzColumn, SaldoColumn, HinweisColumn };
inline constexpr int ProtocolColumnCount = 5;
using ProtocolRow = std::array<std::string, ProtocolColumnCount>;
inline constexpr std::array<std::string_view, ProtocolColumnCount> ProtocolHeadings = {
    "Nr.", "Coup", "Einsatz", "Saldo", "Hinweis"};

enum class ProtocolMode { Write, Skip };

struct PermanenceResult {
  PermanenceOutcome outcome;
  std::vector<ProtocolRow> protocol; // cut after the stop; empty with ProtocolMode::Skip
  // The start capital, then the capital after every coup played (entries above 36 are no
  // coups); empty with ProtocolMode::Skip.
  std::vector<int64_t> capitalCourse;
};

// The number of members of a number set.
int CountNumbers(const NumberSet& set);

// The members 0..36 in ascending order, separated by single blanks, at most `count` of them.
std::string NumbersText(const NumberSet& set, int count);

// Columns "Nr." and "Coup" of every entry; the other cells stay empty.
std::vector<ProtocolRow> FillProtocolGrid(std::span<const uint8_t> entries);

// Plays one permanence. Entries above 36 (hand changes included) are passed over.
// Throws std::invalid_argument when the parameters do not fit together (angriffe < 1 or
// fewer stakes than angriffe).
PermanenceResult SimulatePermanence(std::span<const uint8_t> entries,
                                    const SystemTestParams& params,
                                    ProtocolMode mode = ProtocolMode::Write);

// The run path's play of one permanence without its protocol, as the run plays it with
// ProtocolMode::Skip: for a search or a replica, which need only the outcome. Allocates
// nothing. Throws std::invalid_argument as SimulatePermanence.
PermanenceOutcome PlaySummary(std::span<const uint8_t> entries, const SystemTestParams& params);

// The coups among the entries (0..36; hand changes and other codes are none).
size_t CoupCount(std::span<const uint8_t> entries);

// Whether a permanence is long enough to be tested: 2A + 4 entries, hand changes included.
bool IsLongEnoughToTest(size_t entryCount, const SystemTestParams& params);

// Adds a tested permanence to the totals: its figures, its final capital to Gesamtsaldo
// (whether it stopped or ran to its end) and its stop under the counter of its reason.
void AddToTotals(SystemTestTotals& totals, const PermanenceOutcome& outcome);

// The run's result: Gesamtsaldo minus one start capital per tested permanence.
int64_t NetResult(const SystemTestTotals& totals, const SystemTestParams& params);

// Net result per money bet, in percent; nothing when nothing was bet.
std::optional<double> Rendite(int64_t net, int64_t umsatz);
// What a Rendite field shows when there is no Rendite.
inline constexpr std::string_view NoRenditeText = "\u2013";

struct TestedPermanence {
  size_t position = 0; // index of the permanence in the selection
  PermanenceResult result;
  int64_t gesamtsaldoAfter = 0; // the run's Gesamtsaldo once this permanence was added
};

struct SystemTestRun {
  SystemTestTotals totals{};
  std::vector<TestedPermanence> tested{}; // in selection order; too short ones are absent
  RiskFigures risk{};
  std::optional<RandomComparison> comparison{}; // when the options asked for one
  bool cancelled = false; // the progress callback stopped it; nothing else is set
};

struct SystemTestOptions {
  ProtocolMode protocol = ProtocolMode::Write;
  // Threads and progress. Progress is counted in permanences played: the tested ones, and
  // with a comparison as many again for every replica.
  RunControl run{};
  std::optional<RandomComparisonRequest> comparison{};
};

// The run of the system test, the only one: plays every permanence long enough to be
// tested (on the threads of options.run) and sums the run in selection order, so the
// figures are the same for every thread count. With a comparison it then plays K replicas
// of the run, each tested permanence replaced by random coups, as many as it holds (hand
// changes are not drawn), under the same parameters; replica r draws its coups from
// RandomCoups(seed, r), so the replicas too do not depend on the threads.
SystemTestRun RunSystemTest(std::span<const std::vector<uint8_t>> permanences,
                            const SystemTestParams& params, const SystemTestOptions& options = {});

} // namespace kw
