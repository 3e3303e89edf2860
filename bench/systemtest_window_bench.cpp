// The system test window's run over many files, from the click to every result tab being
// present, and the cost of showing one tab's frame afterwards. Peak memory is read from
// /proc/self/status (VmHWM) and reported with the growth of the resident set.
#include "support/WindowTestHarness.h"
#include "ui/FAnalyse3.h"
#include "ui/FileSelector.h"
#include "ui/ResultTabs.h"
#include "ui/SystemTestModels.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A folder of `files` permanences of `coups` lines each (a hand change now and then).
QString folderOf(int files, int coups) {
  static std::map<std::pair<int, int>, std::unique_ptr<QTemporaryDir>> folders;
  auto& dir = folders[{files, coups}];
  if (!dir) {
    dir = std::make_unique<QTemporaryDir>();
    QRandomGenerator random(files * 13 + coups);
    for (int f = 0; f < files; ++f) {
      QByteArray text;
      for (int c = 0; c < coups; ++c)
        text += random.bounded(60) == 0 ? QByteArray("HW\r\n")
                                        : QByteArray::number(random.bounded(37)) + "\r\n";
      QFile file(dir->filePath(QStringLiteral("p%1.prm").arg(f, 5, 10, QLatin1Char('0'))));
      file.open(QIODevice::WriteOnly);
      file.write(text);
    }
  }
  return dir->path();
}

// A value of /proc/self/status in megabytes ("VmHWM", "VmRSS").
double statusMegabytes(const char* key) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith(key))
      return line.mid(static_cast<int>(qstrlen(key)) + 1).trimmed().split(' ').value(0).toDouble() /
             1024.0;
  return 0;
}

std::unique_ptr<kw::FAnalyse3> windowOn(kw::Workspace& workspace, const QString& folder) {
  auto window = std::make_unique<kw::FAnalyse3>(workspace);
  window->show();
  window->fileSelector()->setDirectory(folder);
  window->fileSelector()->fileList()->selectAll();
  return window;
}

void WindowRunWithEveryTab(benchmark::State& state) {
  const QString folder =
      folderOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  kw::test::WindowTestHarness h;
  double grown = 0;
  int tabs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<kw::FAnalyse3> window = windowOn(h.app().workspace(), folder);
    QApplication::processEvents();
    const double before = statusMegabytes("VmRSS:");
    state.ResumeTiming();
    window->BAnalyseClick();
    QApplication::processEvents(); // the tab bar lays itself out once shown
    state.PauseTiming();
    grown = statusMegabytes("VmRSS:") - before;
    tabs = window->PC1()->count();
    window.reset();
    state.ResumeTiming();
  }
  state.counters["tabs"] = tabs;
  state.counters["summary_rows"] = static_cast<double>(state.range(0));
  state.counters["rss_growth_MB"] = grown;
  state.counters["peak_VmHWM_MB"] = statusMegabytes("VmHWM:");
}
BENCHMARK(WindowRunWithEveryTab)
    ->Args({10000, 370})
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// After the run: showing a tab that was not shown yet builds its frame and replays its
// permanence.
void ShowOneResultTab(benchmark::State& state) {
  const QString folder =
      folderOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  kw::test::WindowTestHarness h;
  std::unique_ptr<kw::FAnalyse3> window = windowOn(h.app().workspace(), folder);
  window->BAnalyseClick();
  int next = 0;
  for (auto _ : state) {
    window->PC1()->setCurrentIndex(next);
    QApplication::processEvents();
    next = (next + 97) % window->PC1()->count();
  }
}
BENCHMARK(ShowOneResultTab)->Args({10000, 370})->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
