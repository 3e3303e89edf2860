// The table's journal: entering a million coups through the workspace with the journal
// recording against the same without it, and a transfer of a million rows recorded in one
// piece.
#include "core/RouletteTables.h"
#include "files/PermanenceLines.h"
#include "workspace/TableJournal.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

constexpr int Rows = 1'000'000;

int CodeOf(int i) { return i % 97 == 0 ? kw::HandChangeCode : i % 37; }

// A million coups on the pad, one EnterCoup each; with a journal recording when asked.
double EnterMillion(bool journalOn) {
  QTemporaryDir dir;
  kw::Workspace workspace;
  std::unique_ptr<kw::TableJournal> journal;
  if (journalOn)
    journal = std::make_unique<kw::TableJournal>(workspace, dir.filePath("Tabelle.journal"));
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < Rows; ++i)
    workspace.EnterCoup({}, CodeOf(i));
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  benchmark::DoNotOptimize(workspace.table().UsedRows());
  return took.count();
}

void EnterCoupMillionWorkspace(benchmark::State& state) {
  for (auto _ : state)
    state.SetIterationTime(EnterMillion(state.range(0) != 0) / 1000.0);
  state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(EnterCoupMillionWorkspace)
    ->ArgName("journal")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The time with the journal divided by the time without, both measured in every iteration
// (the bound: at most 2).
void EnterCoupMillionJournalRatio(benchmark::State& state) {
  double without = 0;
  double with = 0;
  for (auto _ : state) {
    without += EnterMillion(false);
    with += EnterMillion(true);
  }
  state.counters["ratio"] = with / without;
  state.counters["without_ms"] = without / static_cast<double>(state.iterations());
  state.counters["with_ms"] = with / static_cast<double>(state.iterations());
}
BENCHMARK(EnterCoupMillionJournalRatio)->Unit(benchmark::kMillisecond)->Iterations(5);

// A transfer of a million rows: one record of about one byte a row, not a million records.
void TransferMillionRowsJournal(benchmark::State& state) {
  std::vector<kw::CoupEntry> entries;
  for (int i = 0; i < Rows; ++i)
    entries.push_back({CodeOf(i) == kw::HandChangeCode ? "----" : "", CodeOf(i)});
  qint64 bytes = 0;
  for (auto _ : state) {
    QTemporaryDir dir;
    kw::Workspace workspace;
    kw::TableJournal journal(workspace, dir.filePath("Tabelle.journal"));
    const qint64 before = journal.size();
    workspace.AppendRows(entries);
    bytes = journal.size() - before;
  }
  state.counters["bytes_per_row"] = static_cast<double>(bytes) / Rows;
  state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(TransferMillionRowsJournal)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
