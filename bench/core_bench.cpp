// The permanence table at a million rows: entering coups, the memory it takes, and the
// table view scrolling and repainting over it.
#include "core/PermanenceTable.h"
#include "core/RouletteTables.h"
#include "ui/PermanenceTableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int Rows = 1'000'000;

void fill(kw::PermanenceTable& table) {
  for (int i = 0; i < Rows; ++i)
    table.EnterCoup({}, i % 97 == 0 ? kw::HandChangeCode : i % 37);
}

void EnterCoupMillion(benchmark::State& state) {
  for (auto _ : state) {
    kw::PermanenceTable table;
    fill(table);
    benchmark::DoNotOptimize(table.UsedRows());
  }
  state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(EnterCoupMillion)->Unit(benchmark::kMillisecond);

void MemoryForMillionRows(benchmark::State& state) {
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    auto table = std::make_unique<kw::PermanenceTable>();
    fill(*table);
    const size_t after = mallinfo2().uordblks;
    state.counters["MB"] = static_cast<double>(after - before) / (1024.0 * 1024.0);
  }
}
BENCHMARK(MemoryForMillionRows)->Unit(benchmark::kMillisecond)->Iterations(1);

// One scroll step and a full repaint of the view over a million rows.
void ScrollAndRepaintMillionRows(benchmark::State& state) {
  kw::PermanenceTable table;
  fill(table);
  kw::PermanenceTableModel model(table, nullptr);
  QTableView view;
  view.setModel(&model);
  view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view.verticalHeader()->setDefaultSectionSize(16);
  view.resize(180, 420);
  view.show();
  int row = 0;
  for (auto _ : state) {
    row = (row + 24) % (Rows - 24);
    view.verticalScrollBar()->setValue(row);
    benchmark::DoNotOptimize(view.viewport()->grab()); // paints the visible rows
  }
}
BENCHMARK(ScrollAndRepaintMillionRows)->Unit(benchmark::kMicrosecond);

} // namespace
