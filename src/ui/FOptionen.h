#pragma once

#include <QDialog>

class QLineEdit;
class QListView;

namespace kw {

class Workspace;

// The settings window: hand-change markers and the files read at start-up. Its list box
// L1 shows the workspace's hand-change working list; the list and the start-up files last
// beyond the run only when the window saves them.
class FOptionen : public QDialog {
  Q_OBJECT
public:
  explicit FOptionen(Workspace& workspace, QWidget* parent = nullptr);

  // Both "S&peichern": the start-up files into optionen.ini, the list box into HWListe.txt.
  void BSaveClick();   // "S&peichern"
  void Button4Click(); // "Sch&ließen"
  // Choose and clear the start-up permanence, stake progression and sector file.
  void Button8Click();  // "Permanenz aus...: Datei auswählen"
  void Button7Click();  // "Permanenz aus...: Eintrag leeren"
  void Button10Click(); // "Einsatzstaffelung aus...: Datei auswählen"
  void Button9Click();  // "Einsatzstaffelung aus...: Eintrag leeren"
  void Button6Click();  // "Sektoreneinteilung aus...: Datei auswählen"
  void Button5Click();  // "Sektoreneinteilung aus...: Eintrag leeren"
  // "Eintrag &hinzufügen" and "Markierten Eintrag löschen".
  void BHinzuClick(); // "Eintrag &hinzufügen"
  void BDelClick();   // "Markierten Eintrag löschen"

private:
  void FormCreate();
  void setUpKeyboard();
  QWidget* buildBar(bool top);
  QWidget* buildMarkerGroup();
  QWidget* buildStartFileGroup();
  QWidget* buildStartFileRow(const QString& title, const QString& editName,
                             const QString& chooseName, const QString& clearName, QLineEdit** edit);
  // Shows the start-up files in effect ("...\" + file name, or empty).
  void ShowStartFiles();
  // Writes the start-up files and reports an error; the list is the caller's.
  void SaveStartFiles();
  int SelectedRow() const;

  Workspace& workspace_;
  QListView* l1_ = nullptr;
  QLineEdit* e1_ = nullptr;
  QLineEdit* ePerm_ = nullptr;
  QLineEdit* eEinsatz_ = nullptr;
  QLineEdit* eSekt_ = nullptr;
};

} // namespace kw
