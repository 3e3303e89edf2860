// Throughput of the system-test engine: a run over 10,000 permanences of 370 entries and
// one long permanence, each with and without building the protocol texts. Items are the
// entries actually played (play ends at a stop); "input" counts every entry handed in.

#include "core/RouletteTables.h"
#include "systemtest/SystemTest.h"

#include <benchmark/benchmark.h>

#include <limits>
#include <random>
#include <span>

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

const std::vector<uint8_t>& longPermanence() {
  static const auto data = [] {
    std::mt19937 rng(1);
    return randomPermanence(rng, LongLength);
  }();
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

void runOver370(benchmark::State& state, const SystemTestParams& params, ProtocolMode mode) {
  const auto& data = permanences370();
  int64_t played = 0;
  for (auto _ : state) {
    const kw::SystemTestRun run = kw::RunSystemTest(data, params, mode);
    for (const auto& t : run.tested)
      played += static_cast<int64_t>(t.result.outcome.rowsReached);
    benchmark::DoNotOptimize(run.totals.gesamtsaldo);
  }
  state.SetItemsProcessed(played);
  state.counters["input"] = benchmark::Counter(static_cast<double>(data.size() * 370) *
                                                   static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

void runLong(benchmark::State& state, ProtocolMode mode, size_t length) {
  const auto data = std::span<const uint8_t>(longPermanence()).first(length);
  const SystemTestParams params = unlimitedParams();
  int64_t played = 0;
  for (auto _ : state) {
    const kw::PermanenceResult r = kw::SimulatePermanence(data, params, mode);
    played += static_cast<int64_t>(r.outcome.rowsReached);
    benchmark::DoNotOptimize(r.outcome.finalCapital);
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
void BM_Long20M_Summary(benchmark::State& s) { runLong(s, ProtocolMode::Skip, LongLength); }
void BM_Long1M_Protocol(benchmark::State& s) {
  runLong(s, ProtocolMode::Write, LongProtocolLength);
}

BENCHMARK(BM_Run10000x370_Summary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run10000x370_Summary_NoStops)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run10000x370_Protocol)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run10000x370_Protocol_NoStops)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Long20M_Summary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Long1M_Protocol)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
