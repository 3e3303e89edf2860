#pragma once

#include <QStyledItemDelegate>

#include <functional>
#include <vector>

class QBrush;
class QPainter;
class QRect;
class QTableView;

namespace kw {

// Draws a cell's text the way every count grid does: left (2 pixels in), centred or right
// (3 pixels from the right edge), 2 pixels below the top, opaque on `background` and clipped
// to the cell. `alignment` is the toolkit's horizontal alignment (left, right or centre).
void DrawCellText(QPainter& painter, const QRect& cell, const QString& text,
                  Qt::Alignment alignment, const QBrush& background);

// The shape shared by the small grids that show counts (the main window's result grids, the
// sector grid, the chart's value table): rows of one fixed height, fixed column widths, an
// 8-point font, nothing to select, edit or focus, no scroll bars (a grid that needs one turns
// it on), the row heading hidden.
struct CountGridShape {
  int rowHeight = 18;
  // The widths of the first columns; any further column keeps `otherColumnWidth`.
  std::vector<int> columnWidths;
  int otherColumnWidth = 0;
  // Whether grid row 0 shows as the view's column heading, one row high, never highlighted.
  bool heading = false;
};
void ShapeCountGrid(QTableView* grid, const CountGridShape& shape);

// The cells of a count grid: never a selection highlight. Fixed cells (headings and label
// columns) show their text 2 pixels in from the left on the button colour; data cells show
// it centred on the base colour, or, where the model gives the cell a background colour, in
// black centred both ways on that colour.
class CountCellDelegate : public QStyledItemDelegate {
public:
  using FixedCell = std::function<bool(const QModelIndex&)>;

  CountCellDelegate(FixedCell isFixed, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

private:
  FixedCell isFixed_;
};

} // namespace kw
