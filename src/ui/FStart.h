#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kw {

// The start window: picture, version and "Weiter". Closing it cross-fades to the main
// window (mainWindowOpacity rises as this window fades), then it frees itself.
class FStart : public QDialog {
  Q_OBJECT
public:
  explicit FStart(QWidget* parent = nullptr);

  void EnableWeiter();
  void BWeiterClick(); // "Weiter"

signals:
  // The main window's opacity at each step of the cross-fade, 1 at the end.
  void mainWindowOpacity(qreal opacity);

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void crossFadeToMainWindow();

  QPushButton* weiter_;
  bool fading_ = false;
};

} // namespace kw
