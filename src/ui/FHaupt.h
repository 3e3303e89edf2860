#pragma once

#include "core/PermanenceTable.h"

#include <QMainWindow>

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace kw {

class MemoEdit;
class PermanenceTableModel;
class WindowChrome;

// The main window "Zentrale": the input pages (files and the number pad), the
// permanence table `GNum` and the chance-analysis results. Closing it ends the program.
class FHaupt : public QMainWindow {
  Q_OBJECT
public:
  explicit FHaupt(QWidget* parent = nullptr);
  ~FHaupt() override;

  PermanenceTable& table() { return table_; }
  const PermanenceTable& table() const { return table_; }
  WindowChrome* chrome() const { return chrome_; }
  MemoEdit* memo() const { return m1_; }

  // The single entry of coups into the table; the view is told at once.
  void EnterCoup(const QString& text, int code);
  // Tells the view about rows appended directly to the table (a transfer of many lines).
  void TableChanged();

  void BNumClickClick();
  void BDel2Click();

  // The file page (FHauptFiles.cpp): open files into M1, empty it, transfer it.
  void BOpenClick();
  void BDelClick();
  void BTransferClick();
  // Entries of the hand-change list loaded at creation; the settings window fills its list
  // box only when there were any.
  int LoadedHandChangeCount() const { return loadedHandChangeCount_; }

  // The chance analysis and its display (FHauptAnalysis.cpp).
  void BAnalyseClick();
  void ResetChanceResults();
  void BWechselClick();
  void BChart1Click();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void FormCreate();
  QWidget* buildInputArea();
  QWidget* buildTableArea();
  QWidget* buildResultArea();
  void BuildNumberPad();
  QPushButton* CreatePadButton(int i, int j, int code, const QString& caption);
  void scrollToTopRow();
  // Start-up: the start-up permanence file into M1 (FHauptFiles.cpp).
  void LoadStartPermanence();
  // Builds the number panels and the result grids into the result area
  // (FHauptAnalysis.cpp).
  void CreateNumberPanels(QWidget* panelArea);
  void CreateResultGrids(QGroupBox* group);

  // What the analysis part keeps of its controls and results (FHauptAnalysis.cpp).
  struct AnalysisView;
  std::unique_ptr<AnalysisView> analysis_;

  PermanenceTable table_;
  PermanenceTableModel* model_ = nullptr;
  WindowChrome* chrome_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QWidget* pNum_ = nullptr;
  MemoEdit* m1_ = nullptr;
  QTableView* gNum_ = nullptr;
  QWidget* pNumAnzBasis_ = nullptr;
  QWidget* pButtons_ = nullptr;
  QGroupBox* ergebnis_ = nullptr;
  int loadedHandChangeCount_ = 0;
};

} // namespace kw
