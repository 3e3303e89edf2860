// Speed of users' own systems: the shipped Martingale on Rouge over 10,000 permanences of
// 370 entries, on every core and on one. Items are the coups played (a permanence ends at
// its stop), per second of real time; "per_core" counts them per second of processor time
// of all threads together, which other work on a shared machine does not distort; "input"
// counts every entry.
#include "support/RandomPermanence.h"
#include "systems/SystemRun.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace {

const std::vector<std::vector<uint8_t>>& permanences() {
  static const auto data = [] {
    std::vector<std::vector<uint8_t>> all(10'000);
    for (size_t i = 0; i < all.size(); ++i)
      all[i] = kw::bench::RandomPermanence(370, static_cast<uint32_t>(i + 1));
    return all;
  }();
  return data;
}

// Processor time of the whole process (all threads), in seconds.
double processorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

kw::SystemScript martingale() {
  const std::string file = "Martingale auf Rouge.lua";
  std::ifstream in(std::string(KESSELWERK_SYSTEMS_DIR) + "/" + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return {text.str(), file};
}

void runMartingale(benchmark::State& state, const kw::SystemMoney& money) {
  const kw::SystemScript script = martingale();
  const kw::ScriptLoad load = kw::LoadSystemScript(script, 1);
  if (!load.info) {
    state.SkipWithError(load.error.c_str());
    return;
  }
  kw::SystemSettings settings;
  settings.money = money;
  settings.parameters = load.info->parameters;
  settings.zeroRule = load.info->zeroRule;
  const int threads = state.range(0) > 0 ? static_cast<int>(state.range(0))
                                         : static_cast<int>(std::thread::hardware_concurrency());
  const auto& data = permanences();
  int64_t played = 0;
  double processor = 0.0;
  for (auto _ : state) {
    const double before = processorSeconds();
    const kw::SystemRunResult run =
        kw::RunSystem(script, settings, data, {}, 1, {.run = {.threads = threads}});
    if (!run.ok()) {
      state.SkipWithError(run.error.c_str());
      return;
    }
    processor += processorSeconds() - before;
    for (const kw::SystemPermanenceResult& p : run.permanences)
      played += p.gespielt;
  }
  state.SetItemsProcessed(played);
  state.counters["threads"] = threads;
  state.counters["per_core"] = static_cast<double>(played) / processor;
  state.counters["input"] = benchmark::Counter(static_cast<double>(data.size() * 370) *
                                                   static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

// The money of the window's defaults: 5 euros a piece, 1,000 capital, +500, -800.
void BM_SystemMartingale10000x370(benchmark::State& state) {
  runMartingale(state, kw::SystemMoneyFromEuros(5, 1000, 500, 800));
}
// A capital that never runs out and limits never reached: every coup is played.
void BM_SystemMartingale10000x370_NoStops(benchmark::State& state) {
  runMartingale(state, kw::SystemMoneyFromEuros(5, 1'000'000'000, 1'000'000'000, 2'000'000'000));
}

// The random comparison of the same run: 100 replicas, each of the 10,000 permanences
// replaced by 370 random coups, on every core. "per_core" counts the coups the replicas
// played per processor second.
void BM_SystemRandomComparison100x10000x370(benchmark::State& state) {
  const kw::SystemScript script = martingale();
  const kw::ScriptLoad load = kw::LoadSystemScript(script, 1);
  if (!load.info) {
    state.SkipWithError(load.error.c_str());
    return;
  }
  kw::SystemSettings settings;
  settings.money = kw::SystemMoneyFromEuros(5, 1000, 500, 800);
  settings.parameters = load.info->parameters;
  settings.zeroRule = load.info->zeroRule;
  constexpr int Replicas = 100;
  const auto& data = permanences();
  double processor = 0.0;
  double replicaCoups = 0.0;
  for (auto _ : state) {
    const double before = processorSeconds();
    const kw::SystemRunResult run = kw::RunSystem(
        script, settings, data, {}, 1,
        {.run = {.threads = 0}, .print = {}, .comparison = {{.replicas = Replicas, .seed = 1}}});
    if (!run.ok() || !run.comparison) {
      state.SkipWithError(run.error.c_str());
      return;
    }
    processor += processorSeconds() - before;
    // Counted: the coups drawn for the replicas (a permanence stops before its end, so
    // fewer are played).
    replicaCoups += static_cast<double>(Replicas) * static_cast<double>(data.size() * 370);
  }
  state.counters["threads"] = static_cast<double>(std::thread::hardware_concurrency());
  state.counters["processor_s"] = processor / static_cast<double>(state.iterations());
  state.counters["drawn_per_core"] = replicaCoups / processor;
}

BENCHMARK(BM_SystemMartingale10000x370)
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SystemMartingale10000x370_NoStops)
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SystemRandomComparison100x10000x370)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
