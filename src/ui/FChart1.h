#pragma once

#include "analysis/ChanceAnalysis.h"
#include "analysis/FrequencyChart.h"
#include "ui/FrequencySource.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QChartView;
class QLabel;
class QPieSeries;
class QTableView;

namespace kw {

class WindowChrome;
class ValueTableModel;

// The frequency chart of the main window's permanence: a pie with one slice per number,
// the value table `GAnz` and the legend strip, all coloured by the deviation of each count
// from the expected count. Every charting call of the program stays in this window.
class FChart1 : public QMainWindow {
  Q_OBJECT
public:
  explicit FChart1(QWidget* parent = nullptr);
  ~FChart1() override;

  WindowChrome* chrome() const { return chrome_; }

  // "Diagramm" in the main window: the counts' source and the expected count per number,
  // the first colouring, filled and shown.
  void ShowFrequencies(const FrequencySource& source, uint32_t expected);

  // Where the counts and the coups come from; read afresh at every fill.
  void SetCountSource(std::function<FrequencyInput()> source);
  // The expected count per number, handed over by "Diagramm".
  void SetExpected(uint32_t expected) { expected_ = expected; }
  uint32_t expected() const { return expected_; }
  // Selects an item of RG1 (0 whole deviations, 1 halved) without filling.
  void SelectColouring(int item);

  // RG1's handler: ranges for the selected item, then fill and show.
  void RG1Click(); // "Färbung nach Standardabweichung ..."
  void FillFrequencyChart();

  // What the last fill showed.
  const FrequencyChart& shown() const { return shown_; }

private:
  void FormCreate();
  QWidget* buildChart(QWidget* parent);
  QWidget* buildValueTable(QWidget* parent);
  QWidget* buildLegend(QWidget* parent);

  WindowChrome* chrome_ = nullptr;
  QChartView* chart1_ = nullptr;
  QPieSeries* series1_ = nullptr;
  QButtonGroup* rg1_ = nullptr;
  QTableView* gAnz_ = nullptr;
  ValueTableModel* values_ = nullptr;
  std::array<QLabel*, ColourRangeCount> legend_{};
  std::function<FrequencyInput()> source_;
  uint32_t expected_ = 0;
  int q_ = 1;
  FrequencyChart shown_;
};

} // namespace kw
