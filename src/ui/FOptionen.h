#pragma once

#include <QDialog>

namespace kw {

// The settings window: hand-change markers and the files read at start-up.
class FOptionen : public QDialog {
  Q_OBJECT
public:
  explicit FOptionen(QWidget* parent = nullptr);

private:
  void FormCreate();
};

} // namespace kw
