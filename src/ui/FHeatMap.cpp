#include "ui/FHeatMap.h"

#include "ui/Help.h"
#include "ui/HelpTopics.h"
#include "ui/PictureFile.h"

#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kw {
namespace {

constexpr int WindowWidth = 900;
constexpr int WindowHeight = 560;
constexpr int Margin = 10;
constexpr int LegendHeight = 14;
constexpr int TitleGap = 6;

const QColor Lowest(0xc0, 0x30, 0x30);
const QColor Zero(0xff, 0xff, 0xff);
const QColor Highest(0x2e, 0x8b, 0x3a);
const QColor NoValue(0xd8, 0xd8, 0xd8);

QColor blend(const QColor& from, const QColor& to, double share) {
  const auto mix = [share](int a, int b) {
    return static_cast<int>(std::lround(a + (b - a) * std::clamp(share, 0.0, 1.0)));
  };
  return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                mix(from.blue(), to.blue()));
}

// Every how many labels one is written, so that written labels do not touch.
int labelStep(int count, int room, int labelSize) {
  if (count <= 0 || room <= 0)
    return 1;
  const int fitting = std::max(1, room / std::max(labelSize, 1));
  return std::max(1, (count + fitting - 1) / fitting);
}

} // namespace

HeatMapView::HeatMapView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("HeatMapBild"));
  setMouseTracking(true);
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::white);
  setPalette(background);
}

QSize HeatMapView::minimumSizeHint() const { return {400, 300}; }

void HeatMapView::setData(HeatMapData map) {
  data_ = std::move(map);
  lowest_ = 0.0;
  highest_ = 0.0;
  for (const std::optional<double>& v : data_.values)
    if (v) {
      lowest_ = std::min(lowest_, *v);
      highest_ = std::max(highest_, *v);
    }
  update();
}

QRect HeatMapView::gridRect() const {
  const QFontMetrics metrics = fontMetrics();
  int rowLabelWidth = metrics.horizontalAdvance(data_.rowName);
  for (const QString& label : data_.rowLabels)
    rowLabelWidth = std::max(rowLabelWidth, metrics.horizontalAdvance(label));
  const int line = metrics.height();
  const int left = Margin + rowLabelWidth + TitleGap;
  const int top = Margin + line + TitleGap;
  // Below the grid: the column labels, the column parameter's name, the scale and its texts.
  const int below = line + TitleGap + line + TitleGap + LegendHeight + line + Margin;
  return QRect(left, top, std::max(width() - left - Margin, 1),
               std::max(height() - top - below, 1));
}

QColor HeatMapView::colourOf(double value) const {
  if (value < 0.0 && lowest_ < 0.0)
    return blend(Zero, Lowest, value / lowest_);
  if (value > 0.0 && highest_ > 0.0)
    return blend(Zero, Highest, value / highest_);
  return Zero;
}

std::optional<std::pair<int, int>> HeatMapView::cellAt(QPoint point) const {
  const int rows = static_cast<int>(data_.rowLabels.size());
  const int columns = static_cast<int>(data_.columnLabels.size());
  const QRect grid = gridRect();
  if (rows == 0 || columns == 0 || !grid.contains(point))
    return std::nullopt;
  const int row = std::min(rows - 1, (point.y() - grid.top()) * rows / grid.height());
  const int column = std::min(columns - 1, (point.x() - grid.left()) * columns / grid.width());
  return std::pair{row, column};
}

void HeatMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int line = metrics.height();
  const QRect grid = gridRect();
  const int rows = static_cast<int>(data_.rowLabels.size());
  const int columns = static_cast<int>(data_.columnLabels.size());
  painter.setPen(Qt::black);
  painter.drawText(QRect(Margin, Margin, width() - 2 * Margin, line), Qt::AlignCenter, data_.title);
  if (rows == 0 || columns == 0)
    return;

  const auto cellRect = [&](int row, int column) {
    const int x0 = grid.left() + column * grid.width() / columns;
    const int x1 = grid.left() + (column + 1) * grid.width() / columns;
    const int y0 = grid.top() + row * grid.height() / rows;
    const int y1 = grid.top() + (row + 1) * grid.height() / rows;
    return QRect(x0, y0, x1 - x0, y1 - y0);
  };
  const bool writeValues =
      grid.width() / columns >= metrics.horizontalAdvance(QStringLiteral("-0.000 €")) &&
      grid.height() / rows >= line;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      const size_t index =
          static_cast<size_t>(r) * static_cast<size_t>(columns) + static_cast<size_t>(c);
      const std::optional<double> value =
          index < data_.values.size() ? data_.values[index] : std::nullopt;
      const QRect cell = cellRect(r, c);
      painter.fillRect(cell, value ? colourOf(*value) : NoValue);
      if (writeValues && index < static_cast<size_t>(data_.texts.size()))
        painter.drawText(cell, Qt::AlignCenter, data_.texts[static_cast<int>(index)]);
    }
  painter.setPen(QColor(0x80, 0x80, 0x80));
  painter.drawRect(grid.adjusted(0, 0, -1, -1));

  // Row labels at the left, thinned out so that they do not overlap.
  painter.setPen(Qt::black);
  const int rowStep = labelStep(rows, grid.height(), line);
  for (int r = 0; r < rows; r += rowStep) {
    const QRect cell = cellRect(r, 0);
    painter.drawText(QRect(Margin, cell.top(), grid.left() - Margin - TitleGap, cell.height()),
                     Qt::AlignRight | Qt::AlignVCenter, data_.rowLabels[r]);
  }
  painter.drawText(QRect(Margin, Margin, grid.left() - Margin, line), Qt::AlignLeft, data_.rowName);
  int widest = 0;
  for (const QString& label : data_.columnLabels)
    widest = std::max(widest, metrics.horizontalAdvance(label) + TitleGap);
  const int columnStep = labelStep(columns, grid.width(), widest);
  for (int c = 0; c < columns; c += columnStep) {
    const QRect cell = cellRect(0, c);
    painter.drawText(QRect(cell.center().x() - widest, grid.bottom() + TitleGap, 2 * widest, line),
                     Qt::AlignHCenter | Qt::AlignTop, data_.columnLabels[c]);
  }
  const int nameTop = grid.bottom() + TitleGap + line;
  painter.drawText(QRect(grid.left(), nameTop, grid.width(), line), Qt::AlignCenter,
                   data_.columnName);

  // The colour scale from the lowest value over 0 to the highest.
  const QRect scale(grid.left(), nameTop + line + TitleGap, grid.width(), LegendHeight);
  for (int x = 0; x < scale.width(); ++x) {
    const double share = scale.width() > 1 ? static_cast<double>(x) / (scale.width() - 1) : 0.0;
    const double value = lowest_ + share * (highest_ - lowest_);
    painter.setPen(colourOf(value));
    painter.drawLine(scale.left() + x, scale.top(), scale.left() + x, scale.bottom());
  }
  painter.setPen(QColor(0x80, 0x80, 0x80));
  painter.drawRect(scale.adjusted(0, 0, -1, -1));
  painter.setPen(Qt::black);
  const QRect scaleText(scale.left(), scale.bottom() + 2, scale.width(), line);
  painter.drawText(scaleText, Qt::AlignLeft, QLocale().toString(lowest_, 'f', 0) + data_.unit);
  painter.drawText(scaleText, Qt::AlignRight, QLocale().toString(highest_, 'f', 0) + data_.unit);
  if (lowest_ < 0.0 && highest_ > 0.0) {
    const int zeroAt =
        scale.left() +
        static_cast<int>(std::lround(-lowest_ / (highest_ - lowest_) * (scale.width() - 1)));
    painter.drawText(QRect(zeroAt - 20, scaleText.top(), 40, line), Qt::AlignHCenter,
                     QStringLiteral("0"));
  }
}

bool HeatMapView::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip)
    return QWidget::event(event);
  auto* help = static_cast<QHelpEvent*>(event);
  const auto cell = cellAt(help->pos());
  if (!cell) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  const int index = cell->first * static_cast<int>(data_.columnLabels.size()) + cell->second;
  QToolTip::showText(help->globalPos(),
                     QStringLiteral("%1 %2, %3 %4: %5")
                         .arg(data_.rowName, data_.rowLabels[cell->first], data_.columnName,
                              data_.columnLabels[cell->second],
                              index < data_.texts.size() ? data_.texts[index] : QString()),
                     this);
  return true;
}

FHeatMap::FHeatMap(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FHeatMap"));
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, help::ParameterSearch);
  auto* layout = new QVBoxLayout(this);
  view_ = new HeatMapView(this);
  layout->addWidget(view_, 1);
  layout->addLayout(PictureButtons(this, [this] { BSpeichernClick(); }));
  resize(WindowWidth, WindowHeight);
}

void FHeatMap::ShowHeatMap(HeatMapData map) { view_->setData(std::move(map)); }

void FHeatMap::BSpeichernClick() { SavePictureAsPng(this, view_); }

} // namespace kw
