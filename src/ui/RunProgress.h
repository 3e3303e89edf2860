#pragma once

#include "core/ParallelRun.h"
#include "files/PermanenceFiles.h"

#include <QElapsedTimer>
#include <QProgressDialog>

#include <cstddef>
#include <optional>

class QString;
class QWidget;

namespace kw {

// The progress of a window's run over many files, window-modal: reading the files fills the
// first half of the bar, the analysis the second; the wait cursor shows meanwhile. The
// dialog appears only when the run takes longer than half a second. "Abbrechen" stops the
// run at the next report.
class RunProgress {
public:
  RunProgress(QWidget* window, const QString& label, size_t files);
  ~RunProgress();
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

  // Reads the files of the run into the first half of the bar. Nothing when it was
  // cancelled or a file could not be read (its message shown, the dialog closed first).
  std::optional<FilePermanences> readFiles(const QStringList& paths);
  // What the analysis is run with: every core, and reports to the second half of the bar.
  // It offers no cancel when `cancellable` is false.
  RunControl analysing(bool cancellable = true);

  // Restores the cursor and closes the dialog, before a message is shown; done once.
  void finish();

private:
  RunControl reportingFrom(size_t offset);

  QWidget* window_;
  QProgressDialog dialog_;
  QElapsedTimer events_;
  bool finished_ = false;
};

} // namespace kw
