#pragma once

#include "systemtest/SystemTest.h"
#include "systemtest/TestParameters.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <string>
#include <vector>

class QGridLayout;
class QLabel;
class QSlider;
class QTableView;
class QTableWidget;

namespace kw {

class FileSelector;
class ResultPage;
class ResultTabs;
class SummaryModel;
class WindowChrome;
class Workspace;
class frFrAnalyse2;

// The system test after the two-thirds law: the parameter area (six sliders, the stake
// table with its stake files), the file selection, one result tab per tested permanence
// and the run's summary.
class FAnalyse3 : public QMainWindow {
  Q_OBJECT
public:
  explicit FAnalyse3(Workspace& workspace, QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }
  FileSelector* fileSelector() const { return fileSelector_; }
  ResultTabs* PC1() const { return pc1_; }
  QTableView* GZus() const { return gZus_; }
  SummaryModel* summary() const { return summary_; }
  QTableWidget* GSaetze() const { return gSaetze_; }

  // The stake table's row 1, columns 1..100.
  std::vector<std::string> StakeCells() const;
  void SetStakeCells(const std::vector<std::string>& cells);
  // The workspace's current stake file.
  const QString& CurrentStakeFile() const;
  SliderPositions Sliders() const;

  // The result page at a tab index and its frame (made when first asked for).
  ResultPage* resultPage(int tabIndex) const;
  frFrAnalyse2* resultFrame(int tabIndex) const;

  // Stake files.
  void BOpenClick();          // "Öffnen..."
  void BSaveClick();          // "Speichern..."
  void Bsave1Click(int slot); // "Quicksave: 1 … 4"
  void BLoad1Click(int slot); // "Quickopen: 1 … 4"
  void BTrashClick();         // "Tabelle leeren"
  void BFileSaveClick();      // "Als Standard-Staffelung merken"
  void SatzStaffelungLaden(const QString& path);
  // Stores the six slider positions.
  void Button2Click(); // "Positionen der Schie- beregler speichern"

  void BAnalyseClick(); // "Analyse &starten"
  // The summary workbook export (built separately).
  void BExcelClick(); // "Excel-Export..."

private:
  void FormCreate();
  QWidget* buildParameterArea(QWidget* parent);
  QWidget* buildSliders(QWidget* parent);
  QWidget* buildStakeArea(QWidget* parent);
  QWidget* buildSummary(QWidget* parent);
  void placeSlider(int index, QWidget* parent, QGridLayout* grid, int row, int column);
  void commitStakeEditing();
  void setCurrentStakeFile(const QString& path);
  void saveStakes(const QString& path, bool chosenFile);
  void showTotals(const SystemTestTotals& totals, const SystemTestParams& params);

  Workspace& workspace_;
  WindowChrome* chrome_ = nullptr;
  std::array<QSlider*, 6> sliders_{};
  std::array<QLabel*, 6> panels_{};
  QTableWidget* gSaetze_ = nullptr;
  QLabel* lFile_ = nullptr;
  FileSelector* fileSelector_ = nullptr;
  ResultTabs* pc1_ = nullptr;
  SummaryModel* summary_ = nullptr;
  QTableView* gZus_ = nullptr;
  int tabsMade_ = 0;
};

} // namespace kw
