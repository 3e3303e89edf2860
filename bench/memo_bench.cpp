// The main window's text box at a million lines: setting and reading the text, painting a
// screen of it, and the whole way of a permanence file through "Datei(en) öffnen..." and
// "In Tabelle übertragen" into the table.
#include "support/WindowTestHarness.h"
#include "ui/FHaupt.h"
#include "ui/MemoEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

constexpr int Lines = 1'000'000;

// A permanence as the files hold it: two information lines, then numbers with a hand-change
// marker now and then.
QString PermanenceText(const QString& lineEnd) {
  QString text = QStringLiteral("Spielbank Köln") + lineEnd + QStringLiteral("Tisch 3");
  text.reserve(Lines * (2 + lineEnd.size()) + 64);
  uint32_t state = 4711;
  for (int i = 2; i < Lines; ++i) {
    state = state * 134775813u + 1u;
    text += lineEnd;
    text += i % 97 == 0 ? QStringLiteral("HW") : QString::number((state >> 16) % 37);
  }
  return text;
}

void SetPlainTextMillion(benchmark::State& state) {
  const QString text = PermanenceText(QStringLiteral("\r\n"));
  kw::MemoEdit memo;
  for (auto _ : state) {
    state.PauseTiming();
    memo.clear();
    state.ResumeTiming();
    memo.setPlainText(text);
  }
  state.counters["lines"] = memo.lineCount();
}
BENCHMARK(SetPlainTextMillion)->Unit(benchmark::kMillisecond)->UseRealTime();

void ToPlainTextMillion(benchmark::State& state) {
  kw::MemoEdit memo;
  memo.setPlainText(PermanenceText(QStringLiteral("\n")));
  for (auto _ : state)
    benchmark::DoNotOptimize(memo.toPlainText());
}
BENCHMARK(ToPlainTextMillion)->Unit(benchmark::kMillisecond)->UseRealTime();

// One scroll step and a full repaint of the box as it sits in the main window.
void ScrollAndPaintScreen(benchmark::State& state) {
  kw::MemoEdit memo;
  memo.setPlainText(PermanenceText(QStringLiteral("\n")));
  memo.resize(200, 560);
  memo.show();
  memo.selectAll(); // the selected lines are the dearer ones to paint
  QApplication::processEvents();
  int line = 0;
  for (auto _ : state) {
    line = (line + 30) % (Lines - 40);
    memo.verticalScrollBar()->setValue(line);
    benchmark::DoNotOptimize(memo.viewport()->grab());
  }
}
BENCHMARK(ScrollAndPaintScreen)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A million-line .prm chosen in the (scripted) file dialog, read into M1, transferred into
// the empty table and the window repainted.
void OpenAndTransferMillionLinePrm(benchmark::State& state) {
  kw::test::WindowTestHarness h;
  const QString path = h.dataDir() + QStringLiteral("million.prm");
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
      state.SkipWithError("cannot write the permanence file");
      return;
    }
    file.write(PermanenceText(QStringLiteral("\r\n")).toLatin1() + "\r\n");
  }
  kw::FHaupt& main = *h.app().fHaupt();
  main.show();
  QApplication::processEvents();
  QElapsedTimer clock;
  double openMs = 0;
  double transferMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    main.BDel2Click();
    main.memo()->clear();
    QApplication::processEvents();
    state.ResumeTiming();
    clock.start();
    h.dialogs().openAnswers.enqueue(QStringList{path});
    main.findChild<QPushButton*>(QStringLiteral("BOpen"))->click();
    QApplication::processEvents();
    openMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    clock.start();
    main.BTransferClick();
    QApplication::processEvents();
    transferMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  }
  state.counters["open_ms"] = openMs;
  state.counters["transfer_ms"] = transferMs;
  state.counters["memo_lines"] = main.memo()->lineCount();
  state.counters["table_rows"] = static_cast<double>(main.table().UsedRows());
  main.hide();
}
BENCHMARK(OpenAndTransferMillionLinePrm)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
