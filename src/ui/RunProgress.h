#pragma once

#include "core/ParallelRun.h"

#include <QProgressDialog>

#include <cstddef>

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

  // What the file reader and the analysis are run with: every core, and reports to this bar.
  RunControl reading();
  // The analysis offers no cancel when `cancellable` is false.
  RunControl analysing(bool cancellable = true);

  // Restores the cursor and closes the dialog, before a message is shown; done once.
  void finish();

private:
  RunControl reportingFrom(size_t offset);

  QProgressDialog dialog_;
  size_t files_;
  bool finished_ = false;
};

} // namespace kw
