#include "files/PermanenceFiles.h"

#include "files/HandChangeMarkers.h"
#include "files/PermanenceLines.h"
#include "files/TextFile.h"

#include <QFileInfo>

#include <atomic>

namespace kw {
namespace {

// Records the failure of file i unless an earlier file failed already, so the failure
// reported is the first in file order whatever the thread count.
void noteFailure(std::atomic<qsizetype>& firstFailed, qsizetype i) {
  qsizetype failed = firstFailed;
  while (i < failed && !firstFailed.compare_exchange_weak(failed, i)) {
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
                                    const RunControl& control) {
  std::vector<FileCoups> results(static_cast<size_t>(paths.size()));
  std::atomic<qsizetype> firstFailed = paths.size();
  // After a failure only the files before the failed one are still read.
  const bool completed = RunEach(results.size(), control, [&](size_t index) {
    const auto i = static_cast<qsizetype>(index);
    if (i >= firstFailed)
      return;
    results[index] = ReadPermanenceFile(paths[i], markers);
    if (!results[index].ok())
      noteFailure(firstFailed, i);
  });

  FilePermanences permanences;
  if (firstFailed < paths.size()) {
    permanences.error = results[static_cast<size_t>(firstFailed.load())].error;
    return permanences;
  }
  if (!completed) {
    permanences.cancelled = true;
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

FilePermanences ReadPermanenceFiles(const QStringList& paths, const RunControl& control) {
  // A copy: while a window shows the progress, the settings window may change the list,
  // and the reading threads go on meanwhile.
  const std::vector<std::string> markers = HandChangeList();
  return ReadPermanenceFiles(paths, markers, control);
}

} // namespace kw
