// The parameter search of the built-in system: Vorlauf 2..24 x Angriffe 1..100 (2,300
// combinations) over 10,000 permanences of 370 entries, on every core (what the window and the
// command line get) and on one thread for the rate per core. Items are the entries handed in
// per combination (2,300 x 3.7 million); play ends earlier at a stop.

#include "search/ParameterSearch.h"
#include "support/RandomPermanence.h"
#include "systemtest/StakeProgression.h"

#include <benchmark/benchmark.h>

#include <limits>

namespace {

const std::vector<std::vector<uint8_t>>& permanences370() {
  static const auto data = [] {
    std::vector<std::vector<uint8_t>> all(10'000);
    for (size_t k = 0; k < all.size(); ++k)
      all[k] = kw::bench::RandomPermanence(370, static_cast<uint32_t>(k + 1));
    return all;
  }();
  return data;
}

// The window's defaults (capital 1000, +500, -800, 5 per piece) with the default progression
// 1 1 1 1 2 2 2 3 3 4 6 9, continued with 9 pieces up to the 100th attack coup.
kw::SystemTestParams defaultParams() {
  kw::SystemTestParams p;
  for (int k = 0; k < 100; ++k)
    p.stakes.push_back(5 * kw::DefaultStakeProgression[static_cast<size_t>(std::min(
                               k, static_cast<int>(kw::DefaultStakeProgression.size()) - 1))]);
  return p;
}

// Limits that are never reached, so every entry of every permanence is played.
kw::SystemTestParams unlimitedParams() {
  kw::SystemTestParams p = defaultParams();
  p.gewinnziel = std::numeric_limits<int64_t>::max() / 2;
  p.verlustgrenze = std::numeric_limits<int64_t>::min() / 2;
  return p;
}

std::vector<kw::SearchRange> vorlaufTimesAngriffe() {
  std::vector<kw::SearchRange> ranges = {{"vorlauf", {}}, {"angriffe", {}}};
  for (int64_t v = 2; v <= 24; ++v)
    ranges[0].values.push_back({.name = "vorlauf", .isInteger = true, .integer = v, .number = 0});
  for (int64_t a = 1; a <= 100; ++a)
    ranges[1].values.push_back({.name = "angriffe", .isInteger = true, .integer = a, .number = 0});
  return ranges;
}

void search(benchmark::State& state, const kw::SystemTestParams& params, int threads) {
  const auto& data = permanences370();
  const auto ranges = vorlaufTimesAngriffe();
  for (auto _ : state) {
    const kw::SearchResult result =
        kw::SearchSystemTest(data, params, ranges, {.run = {.threads = threads}});
    benchmark::DoNotOptimize(result.combinations[result.best].netto);
  }
  state.SetItemsProcessed(static_cast<int64_t>(data.size()) * 370 * 2300 * state.iterations());
}

void BM_Search2300x10000x370_AllCores(benchmark::State& s) { search(s, defaultParams(), 0); }
void BM_Search2300x10000x370_OneThread(benchmark::State& s) { search(s, defaultParams(), 1); }
void BM_Search2300x10000x370_NoStops_AllCores(benchmark::State& s) {
  search(s, unlimitedParams(), 0);
}

// CPU is the time of every thread of the process, so that on a loaded machine the time the
// search would take on two free cores can be read off it.
BENCHMARK(BM_Search2300x10000x370_AllCores)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_Search2300x10000x370_OneThread)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Search2300x10000x370_NoStops_AllCores)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
