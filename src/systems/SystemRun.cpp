#include "systems/SystemRun.h"

#include "core/RouletteTables.h"
#include "systemtest/RandomCoups.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>

namespace kw {
namespace {

// What the threads of one run share besides the results: the first failure in file order,
// and the printed lines waiting for the permanences before them. Every member after `mutex_`
// is guarded by it.
class RunBoard {
public:
  RunBoard(SystemRunResult& run, size_t count, const SystemRunOptions& options)
      : run_(run), options_(options), printed_(count), finished_(count) {}

  // Whether permanence i is still to be played: nothing after a failure before it, nothing
  // once the script could not be loaded or a permanence was cancelled.
  bool wanted(size_t i) const { return !stopped_.load() && i <= firstError_.load(); }

  void finish(size_t i, SystemHost::Status status, const std::string& error,
              std::vector<PrintLine> printed) {
    std::lock_guard lock(mutex_);
    if (status == SystemHost::Status::Failed && i < firstError_.load()) {
      firstError_ = i;
      run_.error = error;
      run_.errorPermanence = i;
    }
    if (status == SystemHost::Status::Cancelled) {
      run_.cancelled = true;
      stopped_ = true;
    }
    printed_[i] = std::move(printed);
    finished_[i] = 1;
    deliverPrinted();
  }

  // A failure outside any permanence (the script does not compile): the run stops.
  void fail(const std::string& error) {
    std::lock_guard lock(mutex_);
    if (run_.error.empty())
      run_.error = error;
    stopped_ = true;
  }

private:
  // Hands the printed lines over in file order, up to and including a failing permanence.
  void deliverPrinted() {
    while (delivered_ < finished_.size() && finished_[delivered_] != 0 &&
           delivered_ <= firstError_.load()) {
      if (options_.print)
        for (const PrintLine& line : printed_[delivered_])
          options_.print(line);
      printed_[delivered_] = {};
      ++delivered_;
    }
  }

  SystemRunResult& run_;
  const SystemRunOptions& options_;
  std::atomic<size_t> firstError_{NoPermanence};
  std::atomic<bool> stopped_{false};
  std::mutex mutex_;
  size_t delivered_ = 0;
  std::vector<std::vector<PrintLine>> printed_;
  std::vector<char> finished_;
};

// Plays permanence i on the host of its thread.
void play(RunBoard& board, SystemHost& host, SystemRunResult& run,
          std::span<const std::vector<uint8_t>> permanences, std::span<const std::string> names,
          uint64_t seed, size_t i) {
  const std::string_view name = i < names.size() ? std::string_view(names[i]) : "";
  SystemHost::Status status = SystemHost::Status::Failed;
  std::string error;
  try {
    status = host.play(permanences[i], i, name, PermanenceSeed(seed, i), run.permanences[i]);
    error = host.errorMessage();
  } catch (const std::bad_alloc&) {
    error = SystemOutOfMemoryText;
  }
  board.finish(i, status, error, host.takePrinted());
}

// The risk figures of a run that played every permanence, money in cents.
RiskFigures riskOf(const SystemRunResult& run, const SystemSettings& settings) {
  std::vector<int64_t> results;
  std::vector<int64_t> lowest;
  results.reserve(run.permanences.size());
  lowest.reserve(run.permanences.size());
  for (const SystemPermanenceResult& p : run.permanences) {
    results.push_back(p.saldo - settings.money.startkapital);
    lowest.push_back(p.minimum);
  }
  RiskFigures risk =
      ComputeRiskFigures(results, lowest, run.totals.umsatz, settings.money.startkapital);
  risk.erwartung =
      ExpectedSystemNet(run.totals.umsatz, run.totals.umsatzEinfach, settings.zeroRule);
  return risk;
}

// The name a replica's permanence carries in a message: which replica, which permanence.
std::string replicaName(size_t replica, std::string_view name) {
  return "Zufallsvergleich, Replikat " + std::to_string(replica + 1) +
         (name.empty() ? std::string() : " statt " + std::string(name));
}

// Plays the comparison's replicas after the run; false when cancelled or when the script
// failed on a replica (the run then carries the message of the first such replica).
bool playReplicas(SystemRunResult& run, const SystemScript& script, const SystemSettings& settings,
                  std::span<const std::string> names, uint64_t seed,
                  const SystemRunOptions& options) {
  const RandomComparisonRequest& request = *options.comparison;
  const auto replicas = static_cast<size_t>(request.replicas);
  const size_t count = run.permanences.size();
  std::vector<size_t> coups(count);
  for (size_t i = 0; i < count; ++i)
    coups[i] = static_cast<size_t>(run.permanences[i].coups);
  const size_t longest = coups.empty() ? 0 : *std::max_element(coups.begin(), coups.end());

  std::atomic<bool> cancel{false};
  RunControl control{.threads = options.run.threads, .reportEvery = 1, .progress = {}};
  if (options.run.progress)
    control.progress = [&](size_t done, size_t) {
      if (options.run.progress(count * (done + 1), count * (replicas + 1)))
        return true;
      cancel = true;
      return false;
    };
  SystemSettings played = settings;
  played.protocol = false;
  const auto threads = static_cast<size_t>(RunThreads(control.threads, replicas));
  std::vector<std::optional<SystemHost>> hosts(threads);
  std::vector<std::vector<uint8_t>> buffers(threads, std::vector<uint8_t>(longest));
  std::vector<int64_t> netto(replicas);
  std::vector<int64_t> umsatz(replicas);
  // The first failing replica in replica order gives the message, whatever the threads:
  // replicas after it are left out, those before it still played.
  std::mutex failure;
  std::atomic<size_t> firstFailed{NoPermanence};
  std::string error;
  const auto fail = [&](size_t replica, const std::string& message) {
    std::lock_guard lock(failure);
    if (replica < firstFailed.load()) {
      firstFailed = replica;
      error = message;
    }
  };
  const bool completed = RunEachOnThreads(replicas, control, [&](size_t replica, int thread) {
    if (replica > firstFailed.load())
      return;
    try {
      std::optional<SystemHost>& host = hosts[static_cast<size_t>(thread)];
      if (!host)
        host.emplace(script, played, &cancel);
      RandomCoups random(request.seed, replica);
      std::vector<uint8_t>& buffer = buffers[static_cast<size_t>(thread)];
      SystemPermanenceResult result;
      for (size_t i = 0; i < count; ++i) {
        const std::span<uint8_t> entries(buffer.data(), coups[i]);
        random.fill(entries);
        const std::string_view name = i < names.size() ? std::string_view(names[i]) : "";
        const SystemHost::Status status =
            host->play(entries, i, replicaName(replica, name),
                       ReplicaPermanenceSeed(seed, replica, i), result);
        host->takePrinted();
        if (status == SystemHost::Status::Cancelled)
          return;
        if (status == SystemHost::Status::Failed) {
          fail(replica, host->errorMessage());
          return;
        }
        netto[replica] += result.saldo - settings.money.startkapital;
        umsatz[replica] += result.umsatz;
      }
    } catch (const std::bad_alloc&) {
      fail(replica, std::string(SystemOutOfMemoryText));
    }
  });
  if (!error.empty()) {
    run.error = error;
    return false;
  }
  if (!completed || cancel.load()) {
    run.cancelled = true;
    return false;
  }
  run.comparison =
      SummariseReplicas(request, std::move(netto), std::move(umsatz), run.totals.netto);
  return true;
}

} // namespace

double ExpectedSystemNet(Cents umsatz, Cents umsatzEinfach, ZeroRule rule) {
  if (rule == ZeroRule::Keine)
    return ExpectedNet(static_cast<double>(umsatz));
  return ExpectedNet(static_cast<double>(umsatz - umsatzEinfach)) +
         ExpectedNet(static_cast<double>(umsatzEinfach)) / 2.0;
}

uint64_t ReplicaPermanenceSeed(uint64_t seed, uint64_t replica, uint64_t index) {
  // The real run's permanences take PermanenceSeed(seed, i); a replica's start from the
  // complement of the seed, mixed with the replica's number.
  return PermanenceSeed(PermanenceSeed(~seed, replica), index);
}

SystemTotals SumSystemRun(std::span<const SystemPermanenceResult> permanences, Cents startkapital) {
  SystemTotals totals;
  for (const SystemPermanenceResult& p : permanences) {
    ++totals.permanenzen;
    totals.einsaetze += p.einsaetze;
    totals.umsatz += p.umsatz;
    totals.umsatzEinfach += p.umsatzEinfach;
    totals.netto += p.saldo - startkapital;
  }
  return totals;
}

SystemRunResult RunSystem(const SystemScript& script, const SystemSettings& settings,
                          std::span<const std::vector<uint8_t>> permanences,
                          std::span<const std::string> names, uint64_t seed,
                          const SystemRunOptions& options) {
  SystemRunResult run;
  run.permanences.resize(permanences.size());
  RunBoard board(run, permanences.size(), options);

  // A cancel reaches the permanences being played through their hosts, so a long one
  // ends at once rather than at its last coup.
  std::atomic<bool> cancel{false};
  if (options.comparison && options.comparison->replicas < 1)
    throw std::invalid_argument("random comparison: no replicas");
  const size_t rounds =
      options.comparison ? static_cast<size_t>(options.comparison->replicas) + 1 : 1;
  RunControl control = options.run;
  if (options.run.progress)
    control.progress = [&](size_t done, size_t total) {
      if (options.run.progress(done, total * rounds))
        return true;
      cancel = true;
      return false;
    };
  // Each thread loads the script into its own Lua state once, at its first permanence.
  std::vector<std::optional<SystemHost>> hosts(
      static_cast<size_t>(RunThreads(control.threads, permanences.size())));
  const bool completed = RunEachOnThreads(permanences.size(), control, [&](size_t i, int thread) {
    if (!board.wanted(i))
      return;
    try {
      std::optional<SystemHost>& host = hosts[static_cast<size_t>(thread)];
      if (!host)
        host.emplace(script, settings, &cancel);
      if (!host->ok()) {
        board.fail(host->errorMessage());
        return;
      }
      play(board, *host, run, permanences, names, seed, i);
    } catch (const std::bad_alloc&) {
      board.fail(std::string(SystemOutOfMemoryText));
    }
  });
  if (!completed)
    run.cancelled = true;

  if (!run.error.empty() && run.errorPermanence != NoPermanence)
    run.permanences.resize(run.errorPermanence);
  if (!run.ok())
    return run;
  run.totals = SumSystemRun(run.permanences, settings.money.startkapital);
  run.risk = riskOf(run, settings);
  if (options.comparison)
    playReplicas(run, script, settings, names, seed, options);
  return run;
}

std::string CheckSystemScript(const SystemScript& script, const SystemSettings& settings,
                              uint64_t seed, int coups) {
  const ScriptLoad load = LoadSystemScript(script, seed);
  if (!load.info)
    return load.error;
  SystemSettings checked = settings;
  checked.zeroRule = load.info->zeroRule;
  checked.protocol = false;
  checked.parameters = load.info->parameters;
  for (ScriptParameter& p : checked.parameters)
    for (const ScriptParameter& given : settings.parameters)
      if (given.name == p.name)
        p = given;

  std::mt19937_64 random(seed);
  std::uniform_int_distribution<int> number(0, 36);
  std::vector<uint8_t> permanence(static_cast<size_t>(std::max(coups, 0)));
  for (uint8_t& n : permanence)
    n = static_cast<uint8_t>(number(random));
  SystemHost host(script, checked);
  SystemPermanenceResult result;
  if (host.play(permanence, 0, "Probelauf", PermanenceSeed(seed, 0), result) !=
      SystemHost::Status::Done)
    return host.errorMessage();
  return {};
}

} // namespace kw
