#include "ui/RunProgress.h"

#include "ui/Dialogs.h"

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace kw {
namespace {

// Files or permanences between two looks at the dialog.
constexpr size_t ItemsPerStep = 250;
constexpr int ShowAfterMilliseconds = 500;
// Each half of the bar in steps, whatever the count of the files: a long run over few files
// (a random comparison) still moves the bar.
constexpr size_t StepsPerHalf = 1000;
// While the bar stands still the dialog still answers (it shows, "Abbrechen" is heard).
constexpr qint64 EventsEveryMilliseconds = 50;

} // namespace

RunProgress::RunProgress(QWidget* window, const QString& label, size_t /*files*/)
    : window_(window),
      dialog_(label, QStringLiteral("Abbrechen"), 0, static_cast<int>(StepsPerHalf) * 2, window) {
  events_.start();
  dialog_.setWindowTitle(QStringLiteral("Kesselwerk"));
  dialog_.setWindowModality(Qt::WindowModal);
  dialog_.setMinimumDuration(ShowAfterMilliseconds);
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

RunProgress::~RunProgress() { finish(); }

std::optional<FilePermanences> RunProgress::readFiles(const QStringList& paths) {
  FilePermanences read = ReadPermanenceFiles(paths, reportingFrom(0));
  if (read.ok())
    return read;
  finish();
  if (!read.cancelled)
    Dialogs::instance().error(window_, read.error);
  return std::nullopt;
}

RunControl RunProgress::analysing(bool cancellable) {
  if (!cancellable)
    dialog_.setCancelButton(nullptr);
  return reportingFrom(StepsPerHalf);
}

RunControl RunProgress::reportingFrom(size_t offset) {
  RunControl control{.threads = 0, .reportEvery = ItemsPerStep};
  // Each half of the bar stands for the files, whatever the count of the items.
  control.progress = [this, offset](size_t done, size_t total) {
    dialog_.setValue(
        static_cast<int>(offset + (total == 0 ? StepsPerHalf : done * StepsPerHalf / total)));
    if (events_.elapsed() >= EventsEveryMilliseconds) {
      QApplication::processEvents();
      events_.restart();
    }
    return !dialog_.wasCanceled();
  };
  return control;
}

void RunProgress::finish() {
  if (finished_)
    return;
  finished_ = true;
  QApplication::restoreOverrideCursor();
  dialog_.reset();
}

} // namespace kw
