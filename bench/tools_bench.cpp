// Speed of the tools: the random generator's blocks and the delta calculation.
#include "tools/DeltaCalculator.h"
#include "tools/RandomGenerator.h"

#include <benchmark/benchmark.h>

namespace {

// A whole block of lines as the generator window appends it.
void BM_GenerateRandomBlock(benchmark::State& state) {
  const std::string count = std::to_string(state.range(0));
  kw::RandomGenerator generator(1);
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::GenerateRandomBlock(generator, count, "01.06.2024 12:00:00"));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GenerateRandomBlock)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The bare draws, without turning them into text.
void BM_DrawNumbers(benchmark::State& state) {
  kw::RandomGenerator generator(1);
  for (auto _ : state) {
    unsigned sum = 0;
    for (int64_t i = 0; i < state.range(0); ++i)
      sum += generator.DrawNumber();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DrawNumbers)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_DeltaPanels(benchmark::State& state) {
  uint32_t coups = 0;
  for (auto _ : state) {
    coups = (coups + 7919) % kw::MaxDeltaCoups;
    benchmark::DoNotOptimize(kw::FormatDeltaPanels(kw::CalculateDelta(0, coups), ","));
  }
}
BENCHMARK(BM_DeltaPanels);

} // namespace

BENCHMARK_MAIN();
