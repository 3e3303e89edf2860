#include "files/PermanenceFiles.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <thread>

namespace kw {
namespace {

int threadCount(int requested, qsizetype files) {
  int count = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(count, 1, static_cast<int>(std::max<qsizetype>(files, 1)));
}

// Reads files[i] into results[i], taking the next index from a shared counter. After a
// failure only the files before the failed one are still read, so the reported failure is
// the first in file order whatever the thread count.
void readFiles(const QStringList& paths, std::span<const std::string> markers,
               std::vector<FileCoups>& results, std::atomic<qsizetype>& next,
               std::atomic<qsizetype>& firstFailed) {
  for (qsizetype i = next++; i < firstFailed; i = next++) {
    FileCoups& result = results[static_cast<size_t>(i)];
    result = ReadPermanenceFile(paths[i], markers);
    if (result.ok())
      continue;
    qsizetype failed = firstFailed;
    while (i < failed && !firstFailed.compare_exchange_weak(failed, i)) {
    }
  }
}

} // namespace

FileCoups ReadPermanenceFile(const QString& path, std::span<const std::string> markers) {
  const FileBytes file = ReadFileBytes(path);
  if (!file.ok())
    return {{}, file.error};
  return {PermanenceCoups(DecodeText(file.bytes).text, markers), {}};
}

FilePermanences ReadPermanenceFiles(const QStringList& paths, std::span<const std::string> markers,
                                    int threads) {
  std::vector<FileCoups> results(static_cast<size_t>(paths.size()));
  std::atomic<qsizetype> next = 0;
  std::atomic<qsizetype> firstFailed = paths.size();
  const int count = threadCount(threads, paths.size());
  {
    std::vector<std::jthread> workers;
    for (int t = 1; t < count; ++t)
      workers.emplace_back([&] { readFiles(paths, markers, results, next, firstFailed); });
    readFiles(paths, markers, results, next, firstFailed);
  }

  FilePermanences permanences;
  if (firstFailed < paths.size()) {
    permanences.error = results[static_cast<size_t>(firstFailed.load())].error;
    return permanences;
  }
  permanences.PermanenceData.reserve(results.size());
  permanences.PermanenceNames.reserve(results.size());
  for (qsizetype i = 0; i < paths.size(); ++i) {
    permanences.PermanenceData.push_back(std::move(results[static_cast<size_t>(i)].coups));
    permanences.PermanenceNames.push_back(QFileInfo(paths[i]).completeBaseName().toStdString());
  }
  return permanences;
}

FilePermanences ReadPermanenceFiles(const QStringList& paths, int threads) {
  return ReadPermanenceFiles(paths, HandChangeList(), threads);
}

} // namespace kw
