#include "ui/ThrowDistanceChart.h"

#include <QCursor>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace kw {
namespace {

// The expected line runs across the whole width: the category axis puts distance d at d,
// its bar from d - 0.5 to d + 0.5.
constexpr double LineStart = -0.5;
constexpr double LineEnd = NumberCount - 0.5;

} // namespace

ThrowDistanceChart::ThrowDistanceChart(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ChartWurfweiten"));
  auto* chart = new QChart;
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(4, 4, 4, 4));
  chart->legend()->setAlignment(Qt::AlignBottom);

  counts_ = new QBarSet(QStringLiteral("beobachtete Anzahl"));
  counts_->setObjectName(QStringLiteral("SetAnzahl"));
  counts_->setColor(QColor(0x59, 0x78, 0xB2));
  counts_->setBorderColor(QColor(0x59, 0x78, 0xB2));
  auto* bars = new QBarSeries;
  bars->setObjectName(QStringLiteral("SeriesWurfweiten"));
  bars->setBarWidth(0.8);
  bars->append(counts_);
  chart->addSeries(bars);

  expected_ = new QLineSeries;
  expected_->setObjectName(QStringLiteral("SeriesErwartet"));
  expected_->setName(QStringLiteral("erwartete Anzahl (fairer Kessel)"));
  QPen pen(QColor(0xE1, 0x00, 0x00));
  pen.setWidth(2);
  expected_->setPen(pen);
  chart->addSeries(expected_);

  // A value axis labelled at every second distance: 37 two-digit labels side by side are
  // shortened to "..." at this width. Distance d stands at d, its bar from d - 0.5 to
  // d + 0.5; a bar under the mouse names its distance and count.
  auto* axisX = new QValueAxis;
  axisX->setTitleText(QStringLiteral("Wurfweite (Fächer im Kessel vom Vorcoup zum Folgecoup)"));
  axisX->setRange(LineStart, LineEnd);
  axisX->setTickType(QValueAxis::TicksDynamic);
  axisX->setTickAnchor(0);
  axisX->setTickInterval(2);
  axisX->setLabelFormat(QStringLiteral("%d"));
  axisX->setGridLineVisible(false);
  QFont small = axisX->labelsFont();
  small.setPointSize(7);
  axisX->setLabelsFont(small);
  chart->addAxis(axisX, Qt::AlignBottom);
  bars->attachAxis(axisX);
  expected_->attachAxis(axisX);

  axisY_ = new QValueAxis;
  axisY_->setTitleText(QStringLiteral("Anzahl"));
  axisY_->setLabelFormat(QStringLiteral("%d"));
  axisY_->setLabelsFont(small);
  chart->addAxis(axisY_, Qt::AlignLeft);
  bars->attachAxis(axisY_);
  expected_->attachAxis(axisY_);

  connect(counts_, &QBarSet::hovered, this, [this](bool entered, int distance) {
    if (!entered) {
      QToolTip::hideText();
      return;
    }
    QToolTip::showText(QCursor::pos(), QStringLiteral("Wurfweite %1: %2 Paare")
                                           .arg(distance)
                                           .arg(static_cast<qint64>(counts_->at(distance))));
  });

  view_ = new QChartView(chart, this);
  view_->setObjectName(QStringLiteral("ChartViewWurfweiten"));
  view_->setRenderHint(QPainter::Antialiasing);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  showDistances({}, 0);
}

void ThrowDistanceChart::showDistances(const std::array<int64_t, NumberCount>& counts,
                                       double expected) {
  QList<qreal> values;
  values.reserve(NumberCount);
  for (int64_t count : counts)
    values.append(static_cast<qreal>(count));
  if (counts_->count() > 0)
    counts_->remove(0, counts_->count());
  counts_->append(values);
  expected_->replace(QList<QPointF>{{LineStart, expected}, {LineEnd, expected}});
  const double highest =
      std::max(expected, values.isEmpty() ? 0.0 : *std::max_element(values.begin(), values.end()));
  axisY_->setRange(0, highest > 0 ? highest * 1.1 : 1);
  axisY_->applyNiceNumbers();
}

} // namespace kw
