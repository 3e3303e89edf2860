#pragma once

#include "core/PermanenceTable.h"
#include "ui/FrequencySource.h"

#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace kw {

class MemoEdit;
class PermanenceTableModel;
class WindowChrome;
class Workspace;

// The main window "Zentrale": the input pages (files and the number pad), the
// permanence table `GNum` and the chance-analysis results. Closing it ends the program.
// The table is the workspace's: `GNum` shows it and follows every change of it.
class FHaupt : public QMainWindow {
  Q_OBJECT
public:
  explicit FHaupt(Workspace& workspace, QWidget* parent = nullptr);
  ~FHaupt() override;

  const PermanenceTable& table() const;
  WindowChrome* chrome() const { return chrome_; }
  MemoEdit* memo() const { return m1_; }

  // The pad's entry of coups into the table.
  void EnterCoup(const QString& text, int code);

  void BNumClickClick(); // the number pad: 0 … 36, hand change, delete last, clear all
  void BDel2Click();     // "Tabelle leeren"

  // The file page (FHauptFiles.cpp): open files into M1, empty it, transfer it.
  void BOpenClick();     // "Datei(en) öffnen..."
  void BDelClick();      // "Textfeld leeren"
  void BTransferClick(); // "In Tabelle übertragen"
  // "Datei -> Importieren...": lists and tables from elsewhere, through the import dialog;
  // files dropped onto the window go the same way.
  void BImportClick();
  void ImportFiles(const QStringList& paths);

  // The chance analysis and its display (FHauptAnalysis.cpp).
  void BAnalyseClick(); // "Chancen-Analyse"
  void ResetChanceResults();
  void BWechselClick(); // "Sortiermodus"
  void BChart1Click();  // "Diagramm"

signals:
  // "Diagramm": the chart of the last analysis' counts is wanted.
  void chartRequested(const FrequencySource& source, uint32_t expected);

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void FormCreate();
  QWidget* buildInputArea();
  QWidget* buildTableArea();
  QWidget* buildResultArea();
  void BuildNumberPad();
  QPushButton* CreatePadButton(int i, int j, int code, const QString& caption);
  // Refreshes `GNum` after any change of the table and scrolls to its top row.
  void TableChanged();
  void scrollToTopRow();
  void takeMemoLines(const std::vector<std::string>& lines);
  // Start-up: the start-up permanence file into M1 (FHauptFiles.cpp).
  void LoadStartPermanence();
  // Builds the number panels and the result grids into the result area
  // (FHauptAnalysis.cpp).
  void CreateNumberPanels(QWidget* panelArea);
  void CreateResultGrids(QGroupBox* group);

  // What the analysis part keeps of its controls and results (FHauptAnalysis.cpp).
  struct AnalysisView;
  std::unique_ptr<AnalysisView> analysis_;

  Workspace& workspace_;
  PermanenceTableModel* model_ = nullptr;
  WindowChrome* chrome_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QWidget* pNum_ = nullptr;
  MemoEdit* m1_ = nullptr;
  QTableView* gNum_ = nullptr;
  QWidget* pNumAnzBasis_ = nullptr;
  QWidget* pButtons_ = nullptr;
  QGroupBox* ergebnis_ = nullptr;
};

} // namespace kw
