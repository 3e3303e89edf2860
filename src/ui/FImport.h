#pragma once

#include "files/PermanenceImport.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace kw {

class Workspace;

// The import dialog "Permanenz importieren": what was found in lists and tables from elsewhere
// (the format, the column of results, the first values as they are read, the counts with the
// first skipped values and the double zeros), and the two ways on: the lines into the main
// window's text box M1, from where "In Tabelle übertragen" takes them as usual, or permanence
// files in the permanence folder, whole or in files of N coups. Several files are shown in one
// dialog and taken together: into M1 one after another, as files all of them or none.
class FImport : public QDialog {
  Q_OBJECT
public:
  enum class Outcome { None, Memo, Files };

  // The analyses must all be ok.
  FImport(Workspace& workspace, std::vector<ImportAnalysis> analyses, QWidget* parent = nullptr);

  const std::vector<ImportAnalysis>& analyses() const { return analyses_; }
  Outcome outcome() const { return outcome_; }

  // "Importieren": into M1 or into files, as chosen.
  void BImportierenClick();

private:
  void FormCreate();
  QWidget* buildSourceArea();
  QWidget* buildCountsArea();
  QWidget* buildTargetArea();
  void showFile(int index);
  void fillColumns(const ImportAnalysis& analysis);
  void fillPreview(const ImportParse& parse);
  void fillCounts(const ImportAnalysis& analysis);
  void columnChosen(int comboIndex);
  void targetChanged();
  ImportWriteOptions writeOptions() const;
  bool takeIntoMemo();
  bool saveAsFiles();

  Workspace& workspace_;
  std::vector<ImportAnalysis> analyses_;
  int current_ = 0;
  Outcome outcome_ = Outcome::None;

  QListWidget* lDateien_ = nullptr;
  QLabel* lQuelle_ = nullptr;
  QLabel* lFormat_ = nullptr;
  QComboBox* cbSpalte_ = nullptr;
  QTableWidget* gVorschau_ = nullptr;
  QLabel* lCoups_ = nullptr;
  QLabel* lHandwechsel_ = nullptr;
  QLabel* lUebersprungen_ = nullptr;
  QLabel* lBeispiele_ = nullptr;
  QLabel* lDoppelnull_ = nullptr;
  QLabel* lFehler_ = nullptr;
  QRadioButton* rbTextfeld_ = nullptr;
  QRadioButton* rbDateien_ = nullptr;
  QCheckBox* cbTeilen_ = nullptr;
  QSpinBox* seCoups_ = nullptr;
  QLabel* lAusgabe_ = nullptr;
  QPushButton* bImportieren_ = nullptr;
};

// The main window's import of the files chosen under "Datei → Importieren..." or dropped onto
// it: every file is read first (a large one with its progress and "Abbrechen"; a cancel ends the
// import), those that cannot be imported are named in one message, and the others are shown in
// the import dialog. Returns what the user did with them.
FImport::Outcome ImportPermanenceFiles(QWidget* parent, Workspace& workspace,
                                       const QStringList& paths);

} // namespace kw
