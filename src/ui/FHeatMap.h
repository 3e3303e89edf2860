#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

namespace kw {

// What a heat map shows: one value per cell of a grid of rows times columns, coloured from
// red (the lowest below 0) over white (0) to green (the highest above 0).
struct HeatMapData {
  QString title;
  QString rowName;    // the parameter along the rows (the vertical axis)
  QString columnName; // the parameter along the columns (the horizontal axis)
  QStringList rowLabels;
  QStringList columnLabels;
  std::vector<std::optional<double>> values; // row by row; none: no value
  QStringList texts;                         // each cell's value as the window writes it
  QString unit;                              // after the scale's numbers, e.g. " €"
};

// The painted grid of a heat map with its axis labels and the colour scale below it; the
// tool tip of a cell names its parameters and its value.
class HeatMapView : public QWidget {
  Q_OBJECT
public:
  explicit HeatMapView(QWidget* parent = nullptr);
  void setData(HeatMapData map);
  const HeatMapData& data() const { return data_; }
  // The cell at a point of the widget, as row and column; none outside the grid.
  std::optional<std::pair<int, int>> cellAt(QPoint point) const;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

private:
  QRect gridRect() const;
  QColor colourOf(double value) const;

  HeatMapData data_;
  double lowest_ = 0.0;
  double highest_ = 0.0;
};

// The chart window of the parameter search: the Netto-Ergebnis over two parameters as a heat
// map. "Als PNG speichern..." writes what it shows.
class FHeatMap : public QWidget {
  Q_OBJECT
public:
  explicit FHeatMap(QWidget* parent = nullptr);

  void ShowHeatMap(HeatMapData map);
  HeatMapView* view() const { return view_; }

  void BSpeichernClick(); // "Als &PNG speichern..."

private:
  HeatMapView* view_ = nullptr;
};

} // namespace kw
