// Speed of the permanence readers: the multi-file reader over 10,000 files of 370 lines
// (against `wc -l` over the same files), decoding plus the transfer rules of a memo of
// a million lines, and the import of the real comma list of 1,089,156 coups into permanence
// files (against `cat` of the same file).
#include "files/PermanenceFiles.h"
#include "files/PermanenceImport.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

const std::vector<std::string> Markers = {"-", "--", "---", "----", "HW"};

// A file as the save dialog writes it: four information lines, then coups with a hand
// change about every 40 lines.
QByteArray PermanenceText(int lines, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> number(0, 36);
  std::uniform_int_distribution<int> handChange(0, 39);
  QByteArray text = "Spielbank Wiesbaden\r\nTisch 1\r\n24.04.2019\r\nAbend\r\n";
  for (int i = 4; i < lines; ++i)
    text += handChange(random) == 0 ? QByteArray("----\r\n")
                                    : QByteArray::number(number(random)) + "\r\n";
  return text;
}

// 10,000 files of 370 lines in a temporary folder, written once for all benchmarks.
struct PermanenceFolder {
  QTemporaryDir dir;
  QStringList paths;

  PermanenceFolder() {
    for (int f = 0; f < 10'000; ++f) {
      const QString path =
          dir.filePath(QStringLiteral("perm%1.prm").arg(f, 5, 10, QLatin1Char('0')));
      QFile file(path);
      if (!file.open(QIODevice::WriteOnly) ||
          file.write(PermanenceText(370, static_cast<uint32_t>(f))) < 0)
        std::abort();
      paths << path;
    }
  }
};

const PermanenceFolder& Folder() {
  static const PermanenceFolder folder;
  return folder;
}

// Argument: the thread count (0: one per core).
void BM_ReadPermanenceFiles(benchmark::State& state) {
  const PermanenceFolder& folder = Folder();
  for (auto _ : state) {
    const kw::FilePermanences read = kw::ReadPermanenceFiles(
        folder.paths, Markers, {.threads = static_cast<int>(state.range(0))});
    if (!read.ok() || read.PermanenceData.size() != 10'000u)
      state.SkipWithError("files not read");
    benchmark::DoNotOptimize(read);
  }
  state.SetItemsProcessed(state.iterations() * 10'000);
}
BENCHMARK(BM_ReadPermanenceFiles)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: counting the lines of the same files with wc.
void BM_WcLines(benchmark::State& state) {
  const PermanenceFolder& folder = Folder();
  const std::string command =
      "cd '" + folder.dir.path().toStdString() + "' && wc -l -- *.prm > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0)
      state.SkipWithError("wc failed");
  state.SetItemsProcessed(state.iterations() * 10'000);
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// A memo of a million lines read from a file and transferred: decoding, line splitting and
// the transfer rules.
void BM_DecodeAndTransfer(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  QByteArray bytes = PermanenceText(lines, 7);
  bytes.replace("Spielbank", "Spielbank \xE4"); // one non-ASCII byte: the full decoder runs
  size_t entries = 0;
  for (auto _ : state) {
    const kw::DecodedText decoded = kw::DecodeText(bytes);
    const auto transferred = kw::TransferEntries(kw::SplitLines(decoded.text), Markers);
    entries = transferred.size();
    benchmark::DoNotOptimize(transferred);
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_DecodeAndTransfer)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

const QString& WiesbadenT2() {
  static const QString path =
      kw::test::SharedDataFile(QStringLiteral("spielbank-wiesbaden_t2_190424.txt"));
  return path;
}

// Argument: coups per file (0: one file per source). Reading, recognising and writing, as the
// command line and the window do it; the written files are removed between iterations, untimed.
void BM_ImportListIntoPermanenceFiles(benchmark::State& state) {
  QTemporaryDir output;
  const kw::ImportWriteOptions options{output.path(), static_cast<int>(state.range(0)), false};
  size_t coups = 0;
  qsizetype files = 0;
  for (auto _ : state) {
    const kw::ImportAnalysis analysis =
        kw::AnalysePermanenceImport(WiesbadenT2(), kw::ImportRequest{Markers, {}});
    const kw::ImportWriteResult written =
        kw::WritePermanenceImports(std::span(&analysis, 1), options);
    if (!analysis.ok() || !written.ok()) {
      state.SkipWithError("not imported");
      break;
    }
    coups = static_cast<size_t>(analysis.parse.coups);
    files = written.outputs[0].size();
    state.PauseTiming();
    for (const QString& file : written.outputs[0])
      QFile::remove(file);
    state.ResumeTiming();
  }
  state.counters["coups"] = static_cast<double>(coups);
  state.counters["files"] = static_cast<double>(files);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(coups));
}
BENCHMARK(BM_ImportListIntoPermanenceFiles)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same split into files of 370 coups (2,944 files): every file is synced to the disk as it
// is written (QSaveFile), which takes most of the time.
void BM_ImportListIntoSplitFiles(benchmark::State& state) {
  BM_ImportListIntoPermanenceFiles(state);
}
BENCHMARK(BM_ImportListIntoSplitFiles)->Arg(370)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: reading the same file with cat.
void BM_CatImportList(benchmark::State& state) {
  const std::string command = "cat '" + WiesbadenT2().toStdString() + "' > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0)
      state.SkipWithError("cat failed");
}
BENCHMARK(BM_CatImportList)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
