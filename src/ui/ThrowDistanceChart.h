#pragma once

#include "core/RouletteTables.h"

#include <QWidget>

#include <array>
#include <cstdint>

class QChartView;
class QBarSet;
class QLineSeries;
class QValueAxis;

namespace kw {

// The bar chart of the 37 throw-distance counts with a line at the expected count. The
// significance window's only charting part: every Qt Charts call of that window is here.
class ThrowDistanceChart : public QWidget {
  Q_OBJECT
public:
  explicit ThrowDistanceChart(QWidget* parent = nullptr);

  // The counts of the distances 0..36 and the count each would have on a fair wheel.
  void showDistances(const std::array<int64_t, NumberCount>& counts, double expected);

private:
  QChartView* view_ = nullptr;
  QBarSet* counts_ = nullptr;
  QLineSeries* expected_ = nullptr;
  QValueAxis* axisY_ = nullptr;
};

} // namespace kw
