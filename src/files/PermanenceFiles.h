#pragma once

#include "core/ParallelRun.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kw {

// The multi-file reader of the series-length analysis and the system test: every selected
// permanence file becomes one list of coups (0..36, 50 for a hand change, or whatever
// integer of one or two characters a line held, as a byte).

struct FileCoups {
  std::vector<uint8_t> coups;
  QString error; // empty when the file was read

  bool ok() const { return error.isEmpty(); }
};

// One file; markers is the hand-change list to test lines against.
FileCoups ReadPermanenceFile(const QString& path, std::span<const std::string> markers);

struct FilePermanences {
  std::vector<std::vector<uint8_t>> PermanenceData; // one coup list per file, in file order
  std::vector<std::string> PermanenceNames;         // each file's name without extension
  QString error; // the first file (in file order) that could not be read; then both are empty
  bool cancelled = false; // the progress callback stopped the reading; then both are empty

  bool ok() const { return error.isEmpty() && !cancelled; }
};

// The reading of the files of a run, the only one: in the given order, on the threads of
// `control`, telling its progress callback the files read (every `reportEvery` files) so a
// window can show it and cancel. The result does not depend on the thread count.
FilePermanences ReadPermanenceFiles(const QStringList& paths, std::span<const std::string> markers,
                                    const RunControl& control = {});
// The same with the hand-change list loaded when the reading starts.
FilePermanences ReadPermanenceFiles(const QStringList& paths, const RunControl& control = {});

} // namespace kw
