// The system test's workbook export: the summary and a long protocol.
#include "report/WorkbookExport.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

std::vector<std::vector<std::string>> sampleGrid(int rows, int columns) {
  std::vector<std::vector<std::string>> grid(static_cast<size_t>(rows));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c)
      grid[static_cast<size_t>(r)].push_back(
          c == columns - 1 && r % 7 == 0 ? "Satzsignal - 1. Angriff" : std::to_string(r * 13 + c));
  return grid;
}

std::string target() {
  return (std::filesystem::temp_directory_path() / "kesselwerk-bench.xlsx").string();
}

void SummaryExport(benchmark::State& state) {
  const auto sheet = kw::SummaryWorkbook({}, sampleGrid(201, 8));
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::WriteWorkbook(sheet, target()));
}
BENCHMARK(SummaryExport)->Unit(benchmark::kMillisecond);

void ProtocolExport100000Rows(benchmark::State& state) {
  const auto sheet = kw::ProtocolWorkbook("lang", {}, {}, sampleGrid(100001, 5));
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::WriteWorkbook(sheet, target()));
}
BENCHMARK(ProtocolExport100000Rows)->Unit(benchmark::kMillisecond);

// The longest protocol a worksheet holds, written as the window writes it: with a progress
// that is asked every few thousand rows.
void ProtocolExportFullWorksheet(benchmark::State& state) {
  const auto sheet =
      kw::ProtocolWorkbook("lang", {}, {}, sampleGrid(int(kw::WorksheetRowLimit), 5));
  size_t reports = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::WriteWorkbook(sheet, target(), [&](size_t, size_t) {
      ++reports;
      return true;
    }));
  state.counters["reports"] = static_cast<double>(reports);
}
BENCHMARK(ProtocolExportFullWorksheet)->Unit(benchmark::kMillisecond)->Iterations(1);

// Copying a protocol of a million rows into the export's grid.
void ProtocolGridTextsMillion(benchmark::State& state) {
  const std::vector<kw::ProtocolRow> rows(
      1000000, kw::ProtocolRow{"123456", "17", "5", "1000", "Satzsignal - 1. Angriff"});
  for (auto _ : state)
    benchmark::DoNotOptimize(kw::ProtocolGridTexts(rows));
}
BENCHMARK(ProtocolGridTextsMillion)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
