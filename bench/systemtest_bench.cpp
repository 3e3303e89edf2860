// Throughput of the system-test engine's run: over 10,000 permanences of 370 entries and
// over one long permanence, each with and without building the protocol texts, on one
// thread (the engine's own speed) and on every core (what the window and the command line
// get). Items are the entries actually played (play ends at a stop); "input" counts every
// entry handed in.
// The random comparison: 1,000 replicas of the run over 10,000 permanences of 370 coups on
// every core (the real run included), items the coups drawn; and on one thread with 20
// replicas for the rate per core.

#include "core/RouletteTables.h"
#include "systemtest/SystemTest.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>

namespace {

using kw::ProtocolMode;
using kw::SystemTestParams;

// Random coups with a hand change about every 40 entries, as in recorded permanences.
std::vector<uint8_t> randomPermanence(std::mt19937& rng, size_t length) {
  std::uniform_int_distribution<int> coup(0, 36);
  std::uniform_int_distribution<int> handChange(0, 39);
  std::vector<uint8_t> entries(length);
  for (uint8_t& e : entries)
    e = handChange(rng) == 0 ? kw::HandChangeCode : static_cast<uint8_t>(coup(rng));
  return entries;
}

const std::vector<std::vector<uint8_t>>& permanences370() {
  static const auto data = [] {
    std::mt19937 rng(370);
    std::vector<std::vector<uint8_t>> all(10'000);
    for (auto& p : all)
      p = randomPermanence(rng, 370);
    return all;
  }();
  return data;
}

// 20 million entries for the summary; the protocol of one row per entry is kept to the
// first million, which already holds some 160 MB of texts.
constexpr size_t LongLength = 20'000'000;
constexpr size_t LongProtocolLength = 1'000'000;

// The first `length` entries of one long random permanence, made once per length.
const std::vector<std::vector<uint8_t>>& longPermanence(size_t length) {
  static std::map<size_t, std::vector<std::vector<uint8_t>>> made;
  auto& data = made[length];
  if (data.empty()) {
    std::mt19937 rng(1);
    data.push_back(randomPermanence(rng, LongLength));
    data.front().resize(length);
    data.front().shrink_to_fit();
  }
  return data;
}

// The window's defaults: V 6, A 6, pieces 1 1 1 1 2 2 x 5, capital 1000, +500, -800.
SystemTestParams defaultParams() {
  SystemTestParams p;
  p.stakes = {5, 5, 5, 5, 10, 10};
  return p;
}

// Limits that are never reached, so every entry is played.
SystemTestParams unlimitedParams() {
  SystemTestParams p = defaultParams();
  p.gewinnziel = std::numeric_limits<int64_t>::max();
  p.verlustgrenze = std::numeric_limits<int64_t>::min();
  return p;
}

int64_t playedEntries(const kw::SystemTestRun& run) {
  int64_t played = 0;
  for (const auto& t : run.tested)
    played += static_cast<int64_t>(t.result.outcome.rowsReached);
  return played;
}

void runOver370(benchmark::State& state, const SystemTestParams& params, ProtocolMode mode,
                int threads = 1) {
  const auto& data = permanences370();
  int64_t played = 0;
  for (auto _ : state) {
    const kw::SystemTestRun run =
        kw::RunSystemTest(data, params, {.protocol = mode, .run = {.threads = threads}});
    played += playedEntries(run);
    benchmark::DoNotOptimize(run.totals.gesamtsaldo);
  }
  state.SetItemsProcessed(played);
  state.counters["input"] = benchmark::Counter(static_cast<double>(data.size() * 370) *
                                                   static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

void runLong(benchmark::State& state, ProtocolMode mode, size_t length) {
  const auto& data = longPermanence(length);
  const SystemTestParams params = unlimitedParams();
  int64_t played = 0;
  for (auto _ : state) {
    const kw::SystemTestRun run =
        kw::RunSystemTest(data, params, {.protocol = mode, .run = {.threads = 1}});
    played += playedEntries(run);
    benchmark::DoNotOptimize(run.totals.gesamtsaldo);
  }
  state.SetItemsProcessed(played);
}

void BM_Run10000x370_Summary(benchmark::State& s) {
  runOver370(s, defaultParams(), ProtocolMode::Skip);
}
void BM_Run10000x370_Summary_NoStops(benchmark::State& s) {
  runOver370(s, unlimitedParams(), ProtocolMode::Skip);
}
void BM_Run10000x370_Protocol(benchmark::State& s) {
  runOver370(s, defaultParams(), ProtocolMode::Write);
}
void BM_Run10000x370_Protocol_NoStops(benchmark::State& s) {
  runOver370(s, unlimitedParams(), ProtocolMode::Write);
}
void BM_Run10000x370_Summary_AllCores(benchmark::State& s) {
  runOver370(s, defaultParams(), ProtocolMode::Skip, 0);
}
void BM_Run10000x370_Protocol_AllCores(benchmark::State& s) {
  runOver370(s, defaultParams(), ProtocolMode::Write, 0);
}
void BM_Long20M_Summary(benchmark::State& s) { runLong(s, ProtocolMode::Skip, LongLength); }
void BM_Long1M_Protocol(benchmark::State& s) {
  runLong(s, ProtocolMode::Write, LongProtocolLength);
}

// The window's defaults with 1,000 replicas (drawn: 3.7 billion coups).
void randomComparison(benchmark::State& state, int replicas, int threads) {
  const auto& data = permanences370();
  size_t coups = 0;
  for (const auto& p : data)
    coups +=
        static_cast<size_t>(std::count_if(p.begin(), p.end(), [](uint8_t e) { return e <= 36; }));
  for (auto _ : state) {
    const kw::SystemTestRun run = kw::RunSystemTest(
        data, defaultParams(),
        {.protocol = ProtocolMode::Skip,
         .run = {.threads = threads},
         .comparison = kw::RandomComparisonRequest{.replicas = replicas, .seed = 1}});
    benchmark::DoNotOptimize(run.comparison->nettoMittel);
  }
  state.SetItemsProcessed(static_cast<int64_t>(coups) * replicas * state.iterations());
}

void BM_RandomComparison1000x10000x370_AllCores(benchmark::State& s) {
  randomComparison(s, 1000, 0);
}
void BM_RandomComparison20x10000x370_OneThread(benchmark::State& s) { randomComparison(s, 20, 1); }

// CPU is the time of every thread of the process, so that on a loaded machine the time the
// run would take on two free cores can be read off it.
BENCHMARK(BM_RandomComparison1000x10000x370_AllCores)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_RandomComparison20x10000x370_OneThread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run10000x370_Summary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run10000x370_Summary_NoStops)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run10000x370_Protocol)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run10000x370_Protocol_NoStops)->Unit(benchmark::kMillisecond);
// Several threads: items per second of wall-clock time.
BENCHMARK(BM_Run10000x370_Summary_AllCores)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Run10000x370_Protocol_AllCores)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Long20M_Summary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Long1M_Protocol)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
