// Speed of the analysis engines on synthetic permanences: the chance analysis of a large
// table and the series-length search over many files.
#include "analysis/ChanceAnalysis.h"
#include "analysis/SeriesLengthSearch.h"
#include "support/RandomPermanence.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using kw::bench::RandomPermanence;

void BM_AnalyseChances(benchmark::State& state) {
  const auto rows = RandomPermanence(static_cast<size_t>(state.range(0)), 1);
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::AnalyseChances(rows));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AnalyseChances)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

std::vector<std::vector<uint8_t>> RandomPermanences(int files, size_t entries) {
  std::vector<std::vector<uint8_t>> out;
  for (int f = 0; f < files; ++f)
    out.push_back(RandomPermanence(entries, static_cast<uint32_t>(f + 100)));
  return out;
}

// The whole grid: 35 columns for every file, with the default slider lengths.
void BM_FindFirstSeriesRow(benchmark::State& state) {
  const auto permanences =
      RandomPermanences(static_cast<int>(state.range(0)), static_cast<size_t>(state.range(1)));
  const kw::SeriesLengths lengths = {6, 5, 4, 3};
  for (auto _ : state)
    for (const auto& p : permanences)
      benchmark::DoNotOptimize(kw::FindFirstSeriesRow(p, lengths));
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_FindFirstSeriesRow)
    ->Args({10'000, 370})
    ->Args({100, 100'000})
    ->Unit(benchmark::kMillisecond);

// The same grid searched column by column.
void BM_FindFirstSeriesByColumn(benchmark::State& state) {
  const auto permanences =
      RandomPermanences(static_cast<int>(state.range(0)), static_cast<size_t>(state.range(1)));
  const kw::SeriesLengths lengths = {6, 5, 4, 3};
  for (auto _ : state)
    for (const auto& p : permanences)
      for (int column = 1; column <= kw::SeriesLengthColumnCount; ++column)
        benchmark::DoNotOptimize(kw::FindFirstSeries(p, kw::SeriesLengthColumnSet(column),
                                                     lengths[kw::SeriesLengthColumnGroup(column)]));
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_FindFirstSeriesByColumn)
    ->Args({10'000, 370})
    ->Args({100, 100'000})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
