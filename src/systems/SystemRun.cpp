#include "systems/SystemRun.h"

#include "core/RouletteTables.h"

#include <algorithm>
#include <mutex>
#include <random>
#include <thread>

namespace kw {
namespace {

size_t threadCount(int threads, size_t permanences) {
  const size_t wanted = threads > 0 ? static_cast<size_t>(threads)
                                    : std::max(1u, std::thread::hardware_concurrency());
  return std::clamp<size_t>(wanted, 1, std::max<size_t>(1, permanences));
}

// What the workers of one run share; every member after `mutex` is guarded by it.
class RunBoard {
public:
  RunBoard(SystemRunResult& run, size_t count, int64_t totalEntries,
           const SystemRunCallbacks& callbacks)
      : run_(run), callbacks_(callbacks), total_(totalEntries), printed_(count), finished_(count) {}

  // The next permanence to play, or NoPermanence when there is none or the run stops.
  size_t take() {
    if (callbacks_.cancel != nullptr && callbacks_.cancel->load()) {
      std::lock_guard lock(mutex_);
      run_.cancelled = true;
      stopped_ = true;
      return NoPermanence;
    }
    const size_t i = next_.fetch_add(1);
    if (i >= finished_.size() || i > firstError_.load() || stopped_.load())
      return NoPermanence;
    return i;
  }

  void progress(int64_t entries) {
    if (!callbacks_.progress)
      return;
    std::lock_guard lock(mutex_);
    done_ += entries;
    callbacks_.progress(done_, total_);
  }

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
      if (callbacks_.print)
        for (const PrintLine& line : printed_[delivered_])
          callbacks_.print(line);
      printed_[delivered_] = {};
      ++delivered_;
    }
  }

  SystemRunResult& run_;
  const SystemRunCallbacks& callbacks_;
  const int64_t total_;
  std::atomic<size_t> next_{0};
  std::atomic<size_t> firstError_{NoPermanence};
  std::atomic<bool> stopped_{false};
  std::mutex mutex_;
  int64_t done_ = 0;
  size_t delivered_ = 0;
  std::vector<std::vector<PrintLine>> printed_;
  std::vector<char> finished_;
};

void work(RunBoard& board, SystemRunResult& run, const SystemScript& script,
          const SystemSettings& settings, std::span<const std::vector<uint8_t>> permanences,
          std::span<const std::string> names, uint64_t seed, const SystemRunCallbacks& callbacks) {
  try {
    SystemHost host(script, settings, callbacks.cancel);
    if (!host.ok()) {
      board.fail(host.errorMessage());
      return;
    }
    host.setProgress([&board](int64_t entries) { board.progress(entries); });
    for (size_t i = board.take(); i != NoPermanence; i = board.take()) {
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
      if (status != SystemHost::Status::Done)
        return;
    }
  } catch (const std::bad_alloc&) {
    board.fail(std::string(SystemOutOfMemoryText));
  }
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
                          std::span<const std::string> names, uint64_t seed, int threads,
                          const SystemRunCallbacks& callbacks) {
  SystemRunResult run;
  run.permanences.resize(permanences.size());
  int64_t totalEntries = 0;
  for (const auto& p : permanences)
    totalEntries += static_cast<int64_t>(p.size());
  RunBoard board(run, permanences.size(), totalEntries, callbacks);

  const size_t count = threadCount(threads, permanences.size());
  auto worker = [&] { work(board, run, script, settings, permanences, names, seed, callbacks); };
  std::vector<std::thread> pool;
  for (size_t t = 1; t < count; ++t)
    pool.emplace_back(worker);
  worker();
  for (std::thread& thread : pool)
    thread.join();

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
