#pragma once

#include <QDialog>

namespace kw {

// The save dialog of the main window's permanence.
class FSpeichern1 : public QDialog {
  Q_OBJECT
public:
  explicit FSpeichern1(QWidget* parent = nullptr);

private:
  void FormCreate();
};

} // namespace kw
