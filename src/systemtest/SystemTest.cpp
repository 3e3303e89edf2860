#include "systemtest/SystemTest.h"

#include "systemtest/RandomCoups.h"

#include <algorithm>
#include <stdexcept>

namespace kw {
namespace {

constexpr uint8_t HighestNumber = 36;
constexpr uint8_t HandChange = 50;
constexpr int64_t WinFactor = 36; // the stake on the hit number comes back 36-fold

constexpr std::string_view SignalText = "Satzsignal";
constexpr std::string_view WinText = "Gewinn";
constexpr std::string_view FirstCoupWinSuffix = ", sofort Gewinn";
constexpr std::string_view AttackExhaustedText = "Ende des Angriffs";
constexpr std::string_view LossLimitText = "Verlustobergrenze erreicht - Abbruch";
constexpr std::string_view ProfitTargetText = "Gewinnziel erreicht - Ende";
constexpr std::string_view NearEndText = "Permanenzende naht - Abbruch";

void checkParams(const SystemTestParams& params) {
  if (params.angriffe < 1 || params.stakes.size() < static_cast<size_t>(params.angriffe))
    throw std::invalid_argument("system test: fewer stakes than attack coups");
  if (params.vorlauf < 1)
    throw std::invalid_argument("system test: a signal needs at least one number");
}

// The fallen numbers of a lead-in; only 0..36 ever enter it, so one word holds them.
struct FallenNumbers {
  uint64_t mask = 0;
  int count = 0;

  bool contains(uint8_t n) const { return (mask >> n) & 1u; }
  void add(uint8_t n) {
    mask |= uint64_t{1} << n;
    ++count;
  }
  void clear() {
    mask = 0;
    count = 0;
  }
  NumberSet asNumberSet() const {
    NumberSet set;
    for (uint8_t n = 0; n <= HighestNumber; ++n)
      if (contains(n))
        set.insert(n);
    return set;
  }
};

// The stop reason is read off the capital in this order, so the counter a stop goes to is
// always the reason its "Hinweis" shows.
StopReason stopReason(int64_t capital, bool nearEnd, const SystemTestParams& params) {
  if (capital <= params.verlustgrenze)
    return StopReason::LossLimit;
  if (capital >= params.gewinnziel)
    return StopReason::ProfitTarget;
  return nearEnd ? StopReason::NearEnd : StopReason::None;
}

std::string_view stopText(StopReason reason) {
  switch (reason) {
  case StopReason::LossLimit:
    return LossLimitText;
  case StopReason::ProfitTarget:
    return ProfitTargetText;
  case StopReason::NearEnd:
    return NearEndText;
  case StopReason::None:
    break;
  }
  return {};
}

// One loop for both modes; the summary-only run compiles without any text work.
template <bool WithProtocol>
PermanenceOutcome play(std::span<const uint8_t> entries, const SystemTestParams& params,
                       std::vector<ProtocolRow>& rows, std::vector<int64_t>& course) {
  const size_t n = entries.size();
  const int attacks = params.angriffe;
  const int vorlauf = params.vorlauf;
  const int64_t* const stakes = params.stakes.data();
  // A lead-in coup followed by fewer than A + 3 entries ends the permanence.
  const size_t tail = static_cast<size_t>(attacks) + 3;
  const size_t nearEndFrom = n > tail ? n - tail : 0;

  PermanenceOutcome out;
  int64_t capital = params.startkapital;
  out.lowestCapital = capital;
  FallenNumbers fallen;
  bool inAttack = false;
  int step = 0; // 0-based place of the coup in the running attack
  std::string betText;
  size_t reached = n;

  for (size_t i = 0; i < n; ++i) {
    const uint8_t entry = entries[i];
    if (entry > HighestNumber)
      continue;
    bool stop = false;
    bool nearEnd = false;
    std::string* hinweis = nullptr;
    if constexpr (WithProtocol)
      hinweis = &rows[i][HinweisColumn];

    if (inAttack) {
      const int64_t stake = stakes[step];
      const int64_t bet = stake * vorlauf;
      if constexpr (WithProtocol) {
        rows[i][EinsatzColumn] = std::to_string(bet);
        if (step == 0)
          *hinweis = betText;
      }
      capital -= bet;
      out.umsatz += bet;
      ++out.einsaetze;
      if (fallen.contains(entry)) {
        capital += WinFactor * stake;
        if constexpr (WithProtocol)
          *hinweis =
              hinweis->empty() ? std::string(WinText) : *hinweis + std::string(FirstCoupWinSuffix);
        out.maximum = std::max(out.maximum, capital);
        stop = capital >= params.gewinnziel;
        fallen.clear();
        inAttack = false;
      } else if (++step == attacks) {
        // The exhausting loss is not tested against the loss limit.
        out.lowestCapital = std::min(out.lowestCapital, capital);
        fallen.clear();
        inAttack = false;
        if constexpr (WithProtocol)
          *hinweis = AttackExhaustedText;
      } else {
        out.minimum = std::min(out.minimum, capital);
        out.lowestCapital = std::min(out.lowestCapital, capital);
        stop = capital <= params.verlustgrenze;
      }
    } else {
      // A repeated number breaks the lead-in and is not kept in it.
      if (fallen.contains(entry))
        fallen.clear();
      else
        fallen.add(entry);
      if (fallen.count == vorlauf) {
        inAttack = true;
        step = 0;
        ++out.satzsignale;
        if constexpr (WithProtocol) {
          *hinweis = SignalText;
          betText = NumbersText(fallen.asNumberSet(), vorlauf);
        }
      }
      nearEnd = i >= nearEndFrom;
      stop = nearEnd;
    }

    if constexpr (WithProtocol) {
      rows[i][SaldoColumn] = std::to_string(capital);
      course.push_back(capital);
    }
    if (stop) {
      out.stop = stopReason(capital, nearEnd, params);
      if constexpr (WithProtocol)
        *hinweis = stopText(out.stop);
      reached = i + 1;
      break;
    }
  }

  out.finalCapital = capital;
  out.rowsReached = reached;
  return out;
}

} // namespace

int CountNumbers(const NumberSet& set) { return set.count(); }

std::string NumbersText(const NumberSet& set, int count) {
  std::string text;
  int written = 0;
  for (unsigned n = 0; n <= HighestNumber && written < count; ++n) {
    if (!set.contains(n))
      continue;
    if (written++ > 0)
      text += ' ';
    text += std::to_string(n);
  }
  return text;
}

std::vector<ProtocolRow> FillProtocolGrid(std::span<const uint8_t> entries) {
  std::vector<ProtocolRow> rows(entries.size());
  int64_t ordinal = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == HandChange) {
      rows[i][CoupColumn] = "HW";
      continue;
    }
    rows[i][NrColumn] = std::to_string(++ordinal);
    rows[i][CoupColumn] = std::to_string(entries[i]);
  }
  return rows;
}

PermanenceResult SimulatePermanence(std::span<const uint8_t> entries,
                                    const SystemTestParams& params, ProtocolMode mode) {
  checkParams(params);
  PermanenceResult result;
  if (mode == ProtocolMode::Skip) {
    result.outcome = play<false>(entries, params, result.protocol, result.capitalCourse);
    return result;
  }
  result.protocol = FillProtocolGrid(entries);
  result.capitalCourse.reserve(entries.size() + 1);
  result.capitalCourse.push_back(params.startkapital);
  result.outcome = play<true>(entries, params, result.protocol, result.capitalCourse);
  result.protocol.resize(result.outcome.rowsReached);
  return result;
}

PermanenceOutcome PlaySummary(std::span<const uint8_t> entries, const SystemTestParams& params) {
  checkParams(params);
  std::vector<ProtocolRow> noRows;
  std::vector<int64_t> noCourse;
  return play<false>(entries, params, noRows, noCourse);
}

bool IsLongEnoughToTest(size_t entryCount, const SystemTestParams& params) {
  return entryCount >= 2 * static_cast<size_t>(std::max(params.angriffe, 0)) + 4;
}

void AddToTotals(SystemTestTotals& totals, const PermanenceOutcome& outcome) {
  ++totals.tested;
  totals.einsaetze += outcome.einsaetze;
  totals.satzsignale += outcome.satzsignale;
  totals.umsatz += outcome.umsatz;
  totals.gesamtsaldo += outcome.finalCapital;
  switch (outcome.stop) {
  case StopReason::LossLimit:
    ++totals.abbruchMinus;
    break;
  case StopReason::ProfitTarget:
    ++totals.abbruchPlus;
    break;
  case StopReason::NearEnd:
    ++totals.abbruchE;
    break;
  case StopReason::None:
    break;
  }
}

int64_t NetResult(const SystemTestTotals& totals, const SystemTestParams& params) {
  return totals.gesamtsaldo - totals.tested * params.startkapital;
}

std::optional<double> Rendite(int64_t net, int64_t umsatz) {
  if (umsatz == 0)
    return std::nullopt;
  return static_cast<double>(net) / static_cast<double>(umsatz) * 100.0;
}

size_t CoupCount(std::span<const uint8_t> entries) {
  return static_cast<size_t>(
      std::count_if(entries.begin(), entries.end(), [](uint8_t e) { return e <= HighestNumber; }));
}

namespace {

RiskFigures riskOf(const SystemTestRun& run, const SystemTestParams& params) {
  std::vector<int64_t> results;
  std::vector<int64_t> lowest;
  results.reserve(run.tested.size());
  lowest.reserve(run.tested.size());
  for (const TestedPermanence& tested : run.tested) {
    results.push_back(tested.result.outcome.finalCapital - params.startkapital);
    lowest.push_back(tested.result.outcome.lowestCapital);
  }
  return ComputeRiskFigures(results, lowest, run.totals.umsatz, params.startkapital);
}

// Progress of the comparison: each replica counts as many permanences as the run tested,
// after the run's own.
RunControl replicaControl(const RunControl& run, size_t tested, size_t replicas) {
  RunControl control{.threads = run.threads, .reportEvery = 1, .progress = {}};
  if (run.progress)
    control.progress = [progress = run.progress, tested, replicas](size_t done, size_t) {
      return progress(tested * (done + 1), tested * (replicas + 1));
    };
  return control;
}

// Plays the replicas; false when the progress callback cancelled them.
bool playReplicas(SystemTestRun& run, std::span<const std::vector<uint8_t>> permanences,
                  const SystemTestParams& params, const SystemTestOptions& options) {
  const RandomComparisonRequest& request = *options.comparison;
  const auto replicas = static_cast<size_t>(request.replicas);
  std::vector<size_t> coups;
  coups.reserve(run.tested.size());
  for (const TestedPermanence& tested : run.tested)
    coups.push_back(CoupCount(permanences[tested.position]));
  const size_t longest = coups.empty() ? 0 : *std::max_element(coups.begin(), coups.end());
  const RunControl control = replicaControl(options.run, coups.size(), replicas);

  // One buffer per thread, made before the run: a replica allocates nothing.
  std::vector<std::vector<uint8_t>> buffers(
      static_cast<size_t>(RunThreads(control.threads, replicas)), std::vector<uint8_t>(longest));
  std::vector<int64_t> netto(replicas);
  std::vector<int64_t> umsatz(replicas);
  const int64_t stakeIn = static_cast<int64_t>(coups.size()) * params.startkapital;
  const bool completed = RunEachOnThreads(replicas, control, [&](size_t replica, int thread) {
    RandomCoups random(request.seed, replica);
    std::vector<uint8_t>& buffer = buffers[static_cast<size_t>(thread)];
    std::vector<ProtocolRow> noRows;
    std::vector<int64_t> noCourse;
    int64_t gesamtsaldo = 0;
    int64_t bet = 0;
    for (size_t count : coups) {
      const std::span<uint8_t> entries(buffer.data(), count);
      random.fill(entries);
      const PermanenceOutcome outcome = play<false>(entries, params, noRows, noCourse);
      gesamtsaldo += outcome.finalCapital;
      bet += outcome.umsatz;
    }
    netto[replica] = gesamtsaldo - stakeIn;
    umsatz[replica] = bet;
  });
  if (!completed)
    return false;
  run.comparison = SummariseReplicas(request, std::move(netto), std::move(umsatz),
                                     NetResult(run.totals, params));
  return true;
}

} // namespace

SystemTestRun RunSystemTest(std::span<const std::vector<uint8_t>> permanences,
                            const SystemTestParams& params, const SystemTestOptions& options) {
  checkParams(params);
  if (options.comparison && options.comparison->replicas < 1)
    throw std::invalid_argument("random comparison: no replicas");
  const auto testable = [&params](const std::vector<uint8_t>& entries) {
    return IsLongEnoughToTest(entries.size(), params);
  };
  SystemTestRun run;
  run.tested.reserve(
      static_cast<size_t>(std::count_if(permanences.begin(), permanences.end(), testable)));
  for (size_t position = 0; position < permanences.size(); ++position)
    if (testable(permanences[position]))
      run.tested.push_back({position, {}, 0});

  RunControl control = options.run;
  if (options.comparison && control.progress) {
    const size_t replicas = static_cast<size_t>(std::max(options.comparison->replicas, 0));
    control.progress = [progress = options.run.progress, replicas](size_t done, size_t total) {
      return progress(done, total * (replicas + 1));
    };
  }
  // Each permanence is played into its own place; the sums follow in selection order.
  const bool completed = RunEach(run.tested.size(), control, [&](size_t k) {
    TestedPermanence& tested = run.tested[k];
    tested.result = SimulatePermanence(permanences[tested.position], params, options.protocol);
  });
  if (!completed)
    return {.cancelled = true};
  for (TestedPermanence& tested : run.tested) {
    AddToTotals(run.totals, tested.result.outcome);
    tested.gesamtsaldoAfter = run.totals.gesamtsaldo;
  }
  run.risk = riskOf(run, params);
  if (options.comparison && !playReplicas(run, permanences, params, options))
    return {.cancelled = true};
  return run;
}

} // namespace kw
