// The random generator window with a million lines in its list: generating them, saving
// them as a permanence file and handing them to the main window's text box.
#include "support/WindowTestHarness.h"
#include "ui/FHaupt.h"
#include "ui/FZufall.h"
#include "ui/MemoEdit.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

namespace {

// Ten blocks of the largest count the field takes: 1 000 020 lines.
constexpr int Blocks = 10;

void fillList(kw::FZufall& window) {
  window.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("99999"));
  for (int i = 0; i < Blocks; ++i)
    window.Button3Click();
}

// From the clicks to the painted list.
void GenerateMillionLines(benchmark::State& state) {
  kw::test::WindowTestHarness h;
  kw::FZufall& window = *h.app().fZufall();
  window.show();
  for (auto _ : state) {
    state.PauseTiming();
    window.BDelClick();
    QApplication::processEvents();
    state.ResumeTiming();
    fillList(window);
    QApplication::processEvents();
  }
  state.counters["lines"] = static_cast<double>(window.lines().size());
  window.hide();
}
BENCHMARK(GenerateMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();

void SaveMillionLines(benchmark::State& state) {
  kw::test::WindowTestHarness h;
  kw::FZufall& window = *h.app().fZufall();
  fillList(window);
  for (auto _ : state) {
    h.dialogs().saveAnswers.enqueue(h.dataDir() + QStringLiteral("zufall.prm"));
    window.Button5Click();
  }
}
BENCHMARK(SaveMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// Into an empty text box, so no question is asked.
void TransferMillionLines(benchmark::State& state) {
  kw::test::WindowTestHarness h;
  kw::FZufall& window = *h.app().fZufall();
  fillList(window);
  kw::MemoEdit* m1 = h.app().fHaupt()->memo();
  for (auto _ : state) {
    state.PauseTiming();
    m1->clear();
    state.ResumeTiming();
    window.Button6Click();
  }
}
BENCHMARK(TransferMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
