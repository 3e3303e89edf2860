#pragma once

#include "analysis/ChanceAnalysis.h"
#include "analysis/FrequencyChart.h"

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

// What the chart reads at every fill: the counts of the last chance analysis and the coups
// of the main window's table (hand changes not counted).
struct FrequencyInput {
  NumberCounts counts{};
  uint32_t coups = 0;
};

// The frequency chart of the main window's permanence: a pie with one slice per number,
// the value table `GAnz` and the legend strip, all coloured by the deviation of each count
// from the expected count. Every charting call of the program stays in this window.
class FChart1 : public QMainWindow {
  Q_OBJECT
public:
  explicit FChart1(QWidget* parent = nullptr);
  ~FChart1() override;

  WindowChrome* chrome() const { return chrome_; }

  // Where the counts and the coups come from; read afresh at every fill.
  void SetCountSource(std::function<FrequencyInput()> source);
  // The expected count per number, handed over by "Diagramm".
  void SetExpected(uint32_t expected) { expected_ = expected; }
  uint32_t expected() const { return expected_; }
  // Selects an item of RG1 (0 whole deviations, 1 halved) without filling.
  void SelectColouring(int item);

  // RG1's handler: ranges for the selected item, then fill and show.
  void RG1Click();
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
