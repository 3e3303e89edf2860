#pragma once

#include "files/HandChangeMarkers.h"

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

namespace kw {

// The settings window: hand-change markers and the files read at start-up. Its list box
// L1 is the working copy of the hand-change list; the list and the start-up files last
// beyond the run only when the window saves them.
class FOptionen : public QDialog {
  Q_OBJECT
public:
  explicit FOptionen(QWidget* parent = nullptr);

  // The entries of the list box, in order.
  std::vector<std::string> HandChangeEntries() const;
  // Shows the start-up files in effect ("...\" + file name, or empty).
  void ShowStartFiles();
  // The save dialog's marker: appended to the list box and saved when it is new.
  MarkerRegistration RegisterMarker(const std::string& marker);

  // Both "S&peichern": the start-up files into optionen.ini, the list box into HWListe.txt.
  void BSaveClick();
  void Button4Click();
  // Choose and clear the start-up permanence, stake progression and sector file.
  void Button8Click();
  void Button7Click();
  void Button10Click();
  void Button9Click();
  void Button6Click();
  void Button5Click();
  // "Eintrag &hinzufügen" and "Markierten Eintrag löschen".
  void BHinzuClick();
  void BDelClick();

private:
  void FormCreate();
  void setUpKeyboard();
  QWidget* buildBar(bool top);
  QWidget* buildMarkerGroup();
  QWidget* buildStartFileGroup();
  QWidget* buildStartFileRow(const QString& title, const QString& editName,
                             const QString& chooseName, const QString& clearName, QLineEdit** edit);
  // Writes the start-up files and these list entries; true when the list was written.
  bool SaveSettings(const std::vector<std::string>& entries);
  void SetHandChangeEntries(const std::vector<std::string>& entries);
  void HandChangeEntriesChanged();

  QListWidget* l1_ = nullptr;
  QLineEdit* e1_ = nullptr;
  QLineEdit* ePerm_ = nullptr;
  QLineEdit* eEinsatz_ = nullptr;
  QLineEdit* eSekt_ = nullptr;
};

} // namespace kw
