// Speed of the throw-distance evaluation on a large synthetic permanence.
#include "core/RouletteTables.h"
#include "sectors/SectorAssignment.h"
#include "sectors/SectorFile.h"
#include "sectors/ThrowDistance.h"
#include "support/RandomPermanence.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using kw::bench::RandomPermanence;

// The whole evaluation with the nine-sector preset: sequence, checks and both tables.
void BM_EvaluateThrowDistances(benchmark::State& state) {
  const auto rows = RandomPermanence(static_cast<size_t>(state.range(0)), 1);
  const kw::SectorAssignment assignment =
      kw::BuildSectorAssignment(kw::PresetSectorLists(kw::SectorPreset::FiveAndEightFours));
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::EvaluateThrowDistances(rows, assignment));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EvaluateThrowDistances)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Overlapping sectors: every number in three of them.
void BM_EvaluateOverlappingSectors(benchmark::State& state) {
  const auto rows = RandomPermanence(static_cast<size_t>(state.range(0)), 2);
  kw::SectorAssignment assignment;
  for (int n = 0; n < kw::NumberCount; ++n)
    for (int k = 0; k < 3; ++k)
      assignment.sectors[static_cast<size_t>((n + k) % kw::SectorCount)].insert(
          static_cast<uint8_t>(n));
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::EvaluateThrowDistances(rows, assignment));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EvaluateOverlappingSectors)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Filling the grid texts after an evaluation.
void BM_SectorGridTexts(benchmark::State& state) {
  const auto rows = RandomPermanence(10'000, 3);
  const auto result = kw::EvaluateThrowDistances(
      rows, kw::BuildSectorAssignment(kw::PresetSectorLists(kw::SectorPreset::RouletteSeries)));
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::SectorGridTextsOf(result.counts));
}
BENCHMARK(BM_SectorGridTexts)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
