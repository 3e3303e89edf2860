#include "ui/FChart2.h"

#include "report/SystemTestFormat.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/PictureFile.h"

#include <QLocale>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace kw {
namespace {

constexpr int WindowWidth = 760;
constexpr int WindowHeight = 480;

const QColor LineColour(0x1f, 0x4e, 0x9a);
const QColor RealColour(0xc0, 0x00, 0x00);
const QColor LimitColour(0x80, 0x80, 0x80);

QValueAxis* axis(const QString& title, QChart* chart, Qt::Alignment alignment) {
  auto* a = new QValueAxis(chart);
  a->setTitleText(title);
  a->setLabelFormat(QStringLiteral("%.0f"));
  chart->addAxis(a, alignment);
  return a;
}

void attach(QAbstractSeries* series, QChart* chart, QValueAxis* x, QValueAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

QChart* newChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setLocalizeNumbers(true);
  return chart;
}

QLineSeries* line(const QString& name, const QColor& colour, Qt::PenStyle style, int width = 2) {
  auto* series = new QLineSeries;
  series->setName(name);
  QPen pen(colour);
  pen.setWidth(width);
  pen.setStyle(style);
  series->setPen(pen);
  return series;
}

// A horizontal line across the x range, for a limit of the capital.
QLineSeries* level(const QString& name, double y, double xFrom, double xTo, const QColor& colour) {
  QLineSeries* series = line(name, colour, Qt::DashLine, 1);
  series->append(xFrom, y);
  series->append(xTo, y);
  return series;
}

// Room above and below the values so no line runs along the frame.
void fitY(QValueAxis* y, double low, double high) {
  const double margin = std::max((high - low) * 0.05, 1.0);
  y->setRange(low - margin, high + margin);
  y->applyNiceNumbers();
}

} // namespace

FChart2::FChart2(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FChart2"));
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, help::SystemTestPictures);
  auto* layout = new QVBoxLayout(this);
  view_ = new QChartView(new QChart, this);
  view_->setObjectName(QStringLiteral("ChartBild"));
  view_->setRenderHint(QPainter::Antialiasing);
  layout->addWidget(view_, 1);
  layout->addLayout(PictureButtons(this, [this] { BSpeichernClick(); }));
  resize(WindowWidth, WindowHeight);
}

QChart* FChart2::chart() const { return view_->chart(); }

void FChart2::replaceChart(QChart* chart) {
  QChart* old = view_->chart();
  view_->setChart(chart);
  delete old;
}

void FChart2::ShowRunningNet(std::span<const int64_t> results) {
  QChart* chart = newChart(QStringLiteral("Netto-Ergebnis im Verlauf der Permanenzen"));
  QLineSeries* sum =
      line(QStringLiteral("Netto-Ergebnis nach der Permanenz"), LineColour, Qt::SolidLine);
  int64_t running = 0;
  int64_t low = 0;
  int64_t high = 0;
  sum->append(0, 0);
  for (size_t i = 0; i < results.size(); ++i) {
    running += results[i];
    low = std::min(low, running);
    high = std::max(high, running);
    sum->append(static_cast<double>(i + 1), euros(static_cast<double>(running)));
  }
  const double last = std::max<double>(1.0, static_cast<double>(results.size()));
  QValueAxis* x = axis(QStringLiteral("Permanenz"), chart, Qt::AlignBottom);
  QValueAxis* y = axis(QStringLiteral("Netto-Ergebnis (€)"), chart, Qt::AlignLeft);
  x->setRange(0, last);
  x->applyNiceNumbers();
  fitY(y, euros(static_cast<double>(low)), euros(static_cast<double>(high)));
  QLineSeries* zero = level(QString(), 0, 0, x->max(), LimitColour);
  attach(zero, chart, x, y);
  chart->legend()->markers(zero).constFirst()->setVisible(false);
  attach(sum, chart, x, y);
  replaceChart(chart);
}

void FChart2::ShowCapitalCourse(const QString& name, std::span<const int64_t> course,
                                int64_t startkapital, int64_t gewinnziel, int64_t verlustgrenze) {
  QChart* chart = newChart(QStringLiteral("Kapital im Verlauf der Permanenz %1").arg(name));
  QLineSeries* capital = line(QStringLiteral("Kapital nach dem Coup"), LineColour, Qt::SolidLine);
  int64_t low = std::min(startkapital, verlustgrenze);
  int64_t high = std::max(startkapital, gewinnziel);
  for (size_t i = 0; i < course.size(); ++i) {
    low = std::min(low, course[i]);
    high = std::max(high, course[i]);
    capital->append(static_cast<double>(i), euros(static_cast<double>(course[i])));
  }
  const double last = std::max<double>(1.0, static_cast<double>(course.size()) - 1.0);
  QValueAxis* x = axis(QStringLiteral("Coup"), chart, Qt::AlignBottom);
  QValueAxis* y = axis(QStringLiteral("Kapital (€)"), chart, Qt::AlignLeft);
  x->setRange(0, last);
  x->applyNiceNumbers();
  fitY(y, euros(static_cast<double>(low)), euros(static_cast<double>(high)));
  attach(level(QStringLiteral("Gewinnziel"), euros(static_cast<double>(gewinnziel)), 0, x->max(),
               QColor(0x00, 0x80, 0x00)),
         chart, x, y);
  attach(level(QStringLiteral("Startkapital"), euros(static_cast<double>(startkapital)), 0,
               x->max(), LimitColour),
         chart, x, y);
  attach(level(QStringLiteral("Verlustgrenze"), euros(static_cast<double>(verlustgrenze)), 0,
               x->max(), RealColour),
         chart, x, y);
  attach(capital, chart, x, y);
  replaceChart(chart);
}

void FChart2::ShowHistogram(const RandomComparison& comparison, int64_t realNetto) {
  QChart* chart = newChart(QStringLiteral("Netto-Ergebnis von %1 Zufallsläufen")
                               .arg(QLocale().toString(comparison.replicas)));
  const Histogram h = MakeHistogram(comparison.netto);
  // Each class as a bar: its outline goes up, across and down again.
  auto* upper = new QLineSeries;
  auto* lower = new QLineSeries;
  int64_t most = 0;
  for (size_t k = 0; k < h.counts.size(); ++k) {
    const double left = euros(h.from + static_cast<double>(k) * h.width);
    const double right = euros(h.from + static_cast<double>(k + 1) * h.width);
    const auto count = static_cast<double>(h.counts[k]);
    upper->append(left, 0);
    upper->append(left, count);
    upper->append(right, count);
    upper->append(right, 0);
    lower->append(left, 0);
    lower->append(right, 0);
    most = std::max(most, h.counts[k]);
  }
  auto* bars = new QAreaSeries(upper, lower);
  // The area only refers to its outlines; they go with it.
  upper->setParent(bars);
  lower->setParent(bars);
  bars->setName(QStringLiteral("Zufallsläufe je Klasse"));
  bars->setColor(QColor(0x9f, 0xbf, 0xe5));
  bars->setBorderColor(LineColour);
  const double real = euros(static_cast<double>(realNetto));
  const double xFrom = std::min(euros(h.from), real);
  const double xTo = std::max(euros(h.from + static_cast<double>(h.counts.size()) * h.width), real);
  QValueAxis* x = axis(QStringLiteral("Netto-Ergebnis (€)"), chart, Qt::AlignBottom);
  QValueAxis* y = axis(QStringLiteral("Anzahl Zufallsläufe"), chart, Qt::AlignLeft);
  const double margin = std::max((xTo - xFrom) * 0.03, 1.0);
  x->setRange(xFrom - margin, xTo + margin);
  x->applyNiceNumbers();
  y->setRange(0, static_cast<double>(most) * 1.1 + 1.0);
  attach(bars, chart, x, y);
  QLineSeries* marker =
      line(QStringLiteral("Echtes Ergebnis: %1 (Perzentil %2)")
               .arg(perEuro_ == 1.0 ? MoneyText(realNetto) : MoneyDecimalText(real),
                    PerzentilText(comparison.perzentil)),
           RealColour, Qt::SolidLine, 3);
  marker->append(real, 0);
  marker->append(real, static_cast<double>(most) * 1.1 + 1.0);
  attach(marker, chart, x, y);
  replaceChart(chart);
}

void FChart2::BSpeichernClick() { SavePictureAsPng(this, view_); }

} // namespace kw
