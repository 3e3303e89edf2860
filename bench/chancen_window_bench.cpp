// The main window's "Chancen-Analyse" on a table of a million coups (the analysis and
// the display of its results), and the frequency chart's fill.
#include "core/RouletteTables.h"
#include "support/WindowTestHarness.h"
#include "ui/FChart1.h"
#include "ui/FHaupt.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int Coups = 1'000'000;

// A random permanence with a hand change about every 60 coups, entered as a transfer does.
void fillTable(kw::Workspace& workspace) {
  std::mt19937 random(4711);
  std::uniform_int_distribution<int> number(0, 36);
  std::vector<kw::CoupEntry> rows;
  for (int i = 0; i < Coups; ++i) {
    if (i % 60 == 59)
      rows.push_back({{}, kw::HandChangeCode});
    rows.push_back({{}, number(random)});
  }
  workspace.AppendRows(rows);
}

void click(kw::FHaupt& main, const char* name) {
  main.findChild<QPushButton*>(QLatin1String(name))->click();
}

// From the click to the painted results.
void AnalyseClickMillionCoups(benchmark::State& state) {
  kw::test::WindowTestHarness h;
  kw::FHaupt& main = *h.app().fHaupt();
  fillTable(h.app().workspace());
  main.show();
  QApplication::processEvents();
  for (auto _ : state) {
    click(main, "BAnalyse");
    QApplication::processEvents();
  }
  state.counters["coups"] = main.table().CoupCount();
  main.hide();
}
BENCHMARK(AnalyseClickMillionCoups)->Unit(benchmark::kMillisecond)->UseRealTime();

// RG1Click: colour ranges, 37 slices, the value table and the legend, painted.
void ChartFill(benchmark::State& state) {
  kw::test::WindowTestHarness h;
  kw::FHaupt& main = *h.app().fHaupt();
  fillTable(h.app().workspace());
  click(main, "BAnalyse");
  click(main, "BChart1");
  kw::FChart1& chart = *h.app().fChart1();
  QApplication::processEvents();
  for (auto _ : state) {
    chart.RG1Click();
    QApplication::processEvents();
  }
  chart.hide();
}
BENCHMARK(ChartFill)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
