#include "ui/CountGrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QTableView>

namespace kw {

void DrawCellText(QPainter& painter, const QRect& cell, const QString& text,
                  Qt::Alignment alignment, const QBrush& background) {
  const QFontMetrics metrics(painter.font());
  const int width = metrics.horizontalAdvance(text);
  int x = cell.left() + 2;
  if (alignment & Qt::AlignRight)
    x = cell.right() + 1 - width - 3;
  else if (alignment & Qt::AlignHCenter)
    x = cell.left() + (cell.width() - width) / 2;
  const QRect textRect(x, cell.top() + 2, width, metrics.height());
  painter.save();
  painter.setClipRect(cell, Qt::IntersectClip);
  painter.fillRect(textRect, background);
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                   text);
  painter.restore();
}

namespace {

void shapeHeading(QHeaderView* heading, const CountGridShape& shape) {
  heading->setMinimumSectionSize(1);
  heading->setSectionResizeMode(QHeaderView::Fixed);
  if (shape.otherColumnWidth > 0)
    heading->setDefaultSectionSize(shape.otherColumnWidth);
  if (!shape.heading) {
    heading->hide();
    return;
  }
  heading->setHighlightSections(false);
  heading->setSectionsClickable(false);
  heading->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  heading->setFixedHeight(shape.rowHeight);
}

} // namespace

void ShapeCountGrid(QTableView* grid, const CountGridShape& shape) {
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::NoSelection);
  grid->setFocusPolicy(Qt::NoFocus);
  grid->setWordWrap(false);
  grid->setTextElideMode(Qt::ElideNone);
  QFont font = grid->font();
  font.setPointSize(8);
  grid->setFont(font);
  QHeaderView* rows = grid->verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(shape.rowHeight);
  shapeHeading(grid->horizontalHeader(), shape);
  for (size_t c = 0; c < shape.columnWidths.size(); ++c)
    grid->setColumnWidth(int(c), shape.columnWidths[c]);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

CountCellDelegate::CountCellDelegate(FixedCell isFixed, QObject* parent)
    : QStyledItemDelegate(parent), isFixed_(std::move(isFixed)) {}

// The state's selection and focus are ignored, so a clicked cell looks like any other.
void CountCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const QString text = index.data().toString();
  const QRect& cell = option.rect;
  painter->save();
  painter->setFont(option.font);
  if (isFixed_ && isFixed_(index)) {
    painter->fillRect(cell, option.palette.button());
    painter->setPen(option.palette.color(QPalette::ButtonText));
    DrawCellText(*painter, cell, text, Qt::AlignLeft, option.palette.button());
  } else if (const QVariant colour = index.data(Qt::BackgroundRole); colour.isValid()) {
    painter->fillRect(cell, colour.value<QColor>());
    painter->setPen(Qt::black);
    painter->drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, text);
  } else {
    painter->fillRect(cell, option.palette.base());
    painter->setPen(option.palette.color(QPalette::Text));
    DrawCellText(*painter, cell, text, Qt::AlignHCenter, option.palette.base());
  }
  painter->restore();
}

} // namespace kw
