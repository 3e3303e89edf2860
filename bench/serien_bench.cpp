// The series-length analysis over many files: reading and searching as the command line
// does it, and the window's run from the click to the filled grid.
#include "analysis/SeriesLengthSearch.h"
#include "files/PermanenceFiles.h"
#include "support/WindowTestHarness.h"
#include "ui/FAnalyse1.h"
#include "ui/FileSelector.h"
#include "ui/SeriesLengthModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A folder of `files` permanences of `coups` lines each, made once per shape.
const QString& folderOf(int files, int coups) {
  static std::map<std::pair<int, int>, std::unique_ptr<QTemporaryDir>> folders;
  auto& dir = folders[{files, coups}];
  if (!dir) {
    dir = std::make_unique<QTemporaryDir>();
    QRandomGenerator random(files * 7 + coups);
    for (int f = 0; f < files; ++f) {
      QByteArray text;
      for (int c = 0; c < coups; ++c)
        text += QByteArray::number(random.bounded(37)) + "\r\n";
      QFile file(dir->filePath(QStringLiteral("p%1.prm").arg(f, 5, 10, QLatin1Char('0'))));
      file.open(QIODevice::WriteOnly);
      file.write(text);
    }
  }
  static QString path;
  path = dir->path();
  return path;
}

QStringList pathsIn(const QString& folder) {
  QStringList paths;
  for (const QString& name :
       QDir(folder).entryList({QStringLiteral("*.prm")}, QDir::Files, QDir::Name))
    paths << folder + QLatin1Char('/') + name;
  return paths;
}

void ReadAndSearchAllCores(benchmark::State& state) {
  const QStringList paths =
      pathsIn(folderOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
  for (auto _ : state) {
    const kw::FilePermanences read = kw::ReadPermanenceFiles(paths);
    const kw::SeriesLengthRun run = kw::RunSeriesLengthSearch(read.PermanenceData, {6, 5, 4, 3});
    benchmark::DoNotOptimize(run.rows.data());
  }
}
BENCHMARK(ReadAndSearchAllCores)
    ->Args({10000, 370})
    ->Args({100, 100000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void WindowRunFromClickToGrid(benchmark::State& state) {
  const QString folder =
      folderOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  kw::test::WindowTestHarness h;
  kw::FAnalyse1* w = h.app().fAnalyse1();
  w->fileSelector()->setDirectory(folder);
  w->fileSelector()->fileList()->selectAll();
  for (auto _ : state) {
    w->BAnalyseClick();
    benchmark::DoNotOptimize(w->results()->rowCount());
  }
}
BENCHMARK(WindowRunFromClickToGrid)
    ->Args({10000, 370})
    ->Args({100, 100000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
