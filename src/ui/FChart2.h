#pragma once

#include "systemtest/RiskFigures.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <span>

class QChart;
class QChartView;

namespace kw {

// A picture of a system-test run in its own window: the running net result over the
// permanences, the capital over the coups of one permanence, or the histogram of the random
// comparison's results with the real one marked. "Als PNG speichern..." writes what it
// shows. The charting calls of the system test stay in this window.
class FChart2 : public QWidget {
  Q_OBJECT
public:
  explicit FChart2(QWidget* parent = nullptr);

  // The amounts given are cents (users' own systems) rather than whole euros (the system
  // test); the pictures show euros either way.
  void SetAmountsInCents(bool cents) { perEuro_ = cents ? 100.0 : 1.0; }

  // The running sum of the permanences' results, from 0 before the first.
  void ShowRunningNet(std::span<const int64_t> results);
  // The capital course of one permanence (the start capital, then after every coup), with
  // the start capital, the profit target and the loss limit as lines.
  void ShowCapitalCourse(const QString& name, std::span<const int64_t> course, int64_t startkapital,
                         int64_t gewinnziel, int64_t verlustgrenze);
  // The replicas' net results as classes, the real net result as a vertical line.
  void ShowHistogram(const RandomComparison& comparison, int64_t realNetto);

  QChartView* chartView() const { return view_; }
  QChart* chart() const;

  // Saves the picture as a PNG file chosen in the save dialog.
  void BSpeichernClick(); // "Als &PNG speichern..."

private:
  void replaceChart(QChart* chart);
  // An amount as the picture's axes take it: euros.
  double euros(double amount) const { return amount / perEuro_; }

  QChartView* view_ = nullptr;
  double perEuro_ = 1.0;
};

} // namespace kw
