#pragma once

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;

namespace kw {

class Workspace;

// The save dialog of the main window's permanence: optional information lines in front of
// the coups, and a new hand-change marker to remember. It is only hidden when closed, so
// its fields keep the user's last values while the program runs.
class FSpeichern1 : public QDialog {
  Q_OBJECT
public:
  explicit FSpeichern1(Workspace& workspace, QWidget* parent = nullptr);

  // "S&peichern": asks for the file and writes the table into it.
  void BSaveClick(); // "S&peichern"

private:
  void FormCreate();
  QWidget* buildInfoGroup();

  Workspace& workspace_;
  QLineEdit* eCasino_ = nullptr;
  QLineEdit* eTisch_ = nullptr;
  QDateEdit* eDatum_ = nullptr;
  QLineEdit* eHWZ_ = nullptr;
  QLineEdit* eBemerkung_ = nullptr;
  QCheckBox* cbMitInfo_ = nullptr;
};

} // namespace kw
