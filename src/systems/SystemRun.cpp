#include "systems/SystemRun.h"

#include "core/RouletteTables.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <random>

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

} // namespace

SystemTotals SumSystemRun(std::span<const SystemPermanenceResult> permanences, Cents startkapital) {
  SystemTotals totals;
  for (const SystemPermanenceResult& p : permanences) {
    ++totals.permanenzen;
    totals.einsaetze += p.einsaetze;
    totals.umsatz += p.umsatz;
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
  RunControl control = options.run;
  if (options.run.progress)
    control.progress = [&](size_t done, size_t total) {
      if (options.run.progress(done, total))
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
  if (run.ok())
    run.totals = SumSystemRun(run.permanences, settings.money.startkapital);
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
