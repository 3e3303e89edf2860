#include "ui/StoppableProgress.h"

#include <QCloseEvent>
#include <QPushButton>

namespace kw {

StoppableProgressDialog::StoppableProgressDialog(std::atomic<bool>& stop, const QString& label,
                                                 const QString& stoppingText, int maximum,
                                                 QWidget* parent)
    : QProgressDialog(label, QStringLiteral("Abbrechen"), 0, maximum, parent), stop_(stop),
      stoppingText_(stoppingText) {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  setWindowModality(Qt::ApplicationModal);
  setMinimumDuration(0);
  setAutoClose(false);
  setAutoReset(false);
  disconnect(this, &QProgressDialog::canceled, this, &QProgressDialog::cancel);
  connect(this, &QProgressDialog::canceled, this, [this] { requestStop(); });
}

void StoppableProgressDialog::reject() { requestStop(); }

void StoppableProgressDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  requestStop();
}

void StoppableProgressDialog::requestStop() {
  if (stop_.exchange(true))
    return;
  setLabelText(stoppingText_);
  for (QPushButton* button : findChildren<QPushButton*>())
    button->setEnabled(false);
}

} // namespace kw
