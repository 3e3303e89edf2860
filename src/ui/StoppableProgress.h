#pragma once

#include <QProgressDialog>

#include <atomic>

namespace kw {

// The modal progress of long work on a worker thread. "Abbrechen", Escape and the window's
// close button all ask the worker to stop (through `stop`) and keep the dialog up until it
// has, so the window stays blocked while anything is still being written or removed.
class StoppableProgressDialog : public QProgressDialog {
public:
  StoppableProgressDialog(std::atomic<bool>& stop, const QString& label,
                          const QString& stoppingText, int maximum, QWidget* parent);

protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

private:
  void requestStop();

  std::atomic<bool>& stop_;
  QString stoppingText_;
};

} // namespace kw
