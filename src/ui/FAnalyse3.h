#pragma once

#include "systemtest/SystemTest.h"
#include "systemtest/TestParameters.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QTableView;
class QTableWidget;

namespace kw {

class FChart2;
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

  // The pictures of the last run: the running net result and the random comparison's
  // histogram (only after a run with a comparison).
  void BVerlaufClick();    // "&Verlauf..."
  void BHistogrammClick(); // "Histo&gramm..."
  FChart2* verlaufChart() const { return verlauf_; }
  FChart2* histogrammChart() const { return histogramm_; }

  // The random comparison's controls: whether the next run makes one, with how many
  // replicas and from which seed (empty: a new one each run).
  QCheckBox* CBZufall() const { return cbZufall_; }
  QLineEdit* EReplikate() const { return eReplikate_; }
  QLineEdit* ESeed() const { return eSeed_; }

private:
  void FormCreate();
  QWidget* buildParameterArea(QWidget* parent);
  QWidget* buildSliders(QWidget* parent);
  QWidget* buildStakeArea(QWidget* parent);
  QWidget* buildSummary(QWidget* parent);
  QWidget* buildRisk(QWidget* parent);
  QWidget* buildComparison(QWidget* parent);
  // The comparison the controls ask for; nothing when none is asked for, and false (after
  // its message) when they are not valid.
  bool readComparison(std::optional<RandomComparisonRequest>& request);
  void showRisk(const SystemTestRun& run, const std::vector<std::string>& names);
  void showComparison(const std::optional<RandomComparison>& comparison);
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
  QCheckBox* cbZufall_ = nullptr;
  QLineEdit* eReplikate_ = nullptr;
  QLineEdit* eSeed_ = nullptr;
  FChart2* verlauf_ = nullptr;
  FChart2* histogramm_ = nullptr;
  // The last run's results per tested permanence, its net result and its comparison.
  std::vector<int64_t> lastResults_;
  int64_t lastNetto_ = 0;
  std::optional<RandomComparison> lastComparison_;
};

} // namespace kw
