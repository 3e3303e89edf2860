#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kw {

// The start window: picture, version and "Weiter". Closing it cross-fades to the main
// window, then it frees itself.
class FStart : public QDialog {
  Q_OBJECT
public:
  explicit FStart(QWidget* parent = nullptr);

  void EnableWeiter();
  void BWeiterClick();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void crossFadeToMainWindow();

  QPushButton* weiter_;
  bool fading_ = false;
};

} // namespace kw
