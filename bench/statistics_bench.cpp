// Speed of the significance tests on a large synthetic permanence.
#include "core/RouletteTables.h"
#include "sectors/SectorAssignment.h"
#include "statistics/Significance.h"
#include "support/RandomPermanence.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

// Exactly `coups` coups, with a hand change about every 40 entries as in recorded tables.
std::vector<uint8_t> permanenceOfCoups(size_t coups, uint32_t seed) {
  std::vector<uint8_t> rows = kw::bench::RandomPermanence(coups + coups / 20, seed);
  size_t counted = 0;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i] != kw::HandChangeCode && ++counted == coups) {
      rows.resize(i + 1);
      break;
    }
  return rows;
}

// Everything `kesselwerk-cli statistik --muster 5x4` computes: every test with the
// nine-sector transitions of both directions.
void BM_AnalyseSignificanceWithSectors(benchmark::State& state) {
  const auto rows = permanenceOfCoups(static_cast<size_t>(state.range(0)), 1);
  const kw::SectorSets sectors =
      kw::BuildSectorAssignment(kw::PresetSectorLists(kw::SectorPreset::FiveAndEightFours)).sectors;
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::AnalyseSignificance(rows, sectors));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AnalyseSignificanceWithSectors)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Without a sector option.
void BM_AnalyseSignificance(benchmark::State& state) {
  const auto rows = permanenceOfCoups(static_cast<size_t>(state.range(0)), 2);
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::AnalyseSignificance(rows));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AnalyseSignificance)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
