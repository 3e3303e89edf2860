// The main window's "Chancen-Analyse" on a table of a million coups (the analysis and
// the display of its results), and the frequency chart's fill.
#include "core/RouletteTables.h"
#include "support/WindowTestHarness.h"
#include "ui/FChart1.h"
#include "ui/FHaupt.h"

#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int Coups = 1'000'000;

// A random permanence with a hand change about every 60 coups, entered as a transfer does.
void fillTable(kw::FHaupt& main) {
  std::mt19937 random(4711);
  std::uniform_int_distribution<int> number(0, 36);
  for (int i = 0; i < Coups; ++i) {
    if (i % 60 == 59)
      main.table().EnterCoup({}, kw::HandChangeCode);
    main.table().EnterCoup({}, number(random));
  }
  main.TableChanged();
}

void click(kw::FHaupt& main, const char* name) {
  main.findChild<QPushButton*>(QLatin1String(name))->click();
}

// From the click to the painted results.
void AnalyseClickMillionCoups(benchmark::State& state) {
  kw::test::WindowTestHarness h;
  kw::FHaupt& main = *h.app().fHaupt();
  fillTable(main);
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
  fillTable(main);
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
