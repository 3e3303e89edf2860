#include "ui/FrozenColumns.h"

#include "ui/CountGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>

namespace kw {
namespace {

// A fixed cell: the button colour with the text where the model aligns it.
class FixedCellDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment horizontal =
        alignment.isValid() ? alignment.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask
                            : Qt::AlignLeft;
    painter->save();
    painter->setFont(option.font);
    painter->fillRect(option.rect, option.palette.button());
    painter->setPen(option.palette.color(QPalette::ButtonText));
    DrawCellText(*painter, option.rect, index.data().toString(), horizontal,
                 option.palette.button());
    painter->restore();
  }
};

// Keeps the fixed view over the grid's left edge in step with the grid.
class FrozenColumnsKeeper : public QObject {
public:
  FrozenColumnsKeeper(QTableView* grid, QTableView* fixed, int columns)
      : QObject(fixed), grid_(grid), fixed_(fixed), columns_(columns) {
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    grid->horizontalHeader()->installEventFilter(this);
  }

  // Column widths, hidden columns, heading and row heights as the grid has them, and the
  // place over the grid's left edge.
  void update() {
    QHeaderView* heading = grid_->horizontalHeader();
    int width = 0;
    for (int c = 0; c < grid_->model()->columnCount(); ++c) {
      const bool shown = c < columns_;
      fixed_->setColumnHidden(c, !shown);
      if (shown) {
        fixed_->setColumnWidth(c, grid_->columnWidth(c));
        width += grid_->columnWidth(c);
      }
    }
    fixed_->horizontalHeader()->setVisible(!heading->isHidden());
    fixed_->horizontalHeader()->setFixedHeight(heading->isHidden() ? 0 : heading->height());
    fixed_->verticalHeader()->setDefaultSectionSize(grid_->verticalHeader()->defaultSectionSize());
    const int frame = grid_->frameWidth();
    const int top = heading->isHidden() ? 0 : heading->height();
    fixed_->setGeometry(
        grid_->verticalHeader()->isHidden() ? frame : frame + grid_->verticalHeader()->width(),
        frame, width, top + grid_->viewport()->height());
    fixed_->verticalScrollBar()->setValue(grid_->verticalScrollBar()->value());
  }

  // After a change of the model the grid is brought in step on the next turn of the event
  // loop: a model can announce a reset while the grid that owns it is being destroyed (a
  // table widget clears its model then), and the keeper goes with the grid before the turn.
  void scheduleUpdate() {
    if (updatePending_)
      return;
    updatePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          updatePending_ = false;
          update();
        },
        Qt::QueuedConnection);
  }

  // A current cell of a scrolling column that lies under the fixed columns comes out.
  void revealCurrent(const QModelIndex& current) {
    if (!current.isValid() || current.column() < columns_)
      return;
    const int hidden = fixed_->width() - grid_->columnViewportPosition(current.column());
    if (hidden > 0)
      grid_->horizontalScrollBar()->setValue(grid_->horizontalScrollBar()->value() - hidden);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
        event->type() == QEvent::LayoutRequest)
      update();
    return QObject::eventFilter(watched, event);
  }

private:
  QTableView* grid_;
  QTableView* fixed_;
  int columns_;
  bool updatePending_ = false;
};

} // namespace

void FitColumnToTexts(QTableView* grid, int column, int minimumWidth) {
  const QAbstractItemModel* model = grid->model();
  const QFontMetrics metrics(grid->font());
  // The cell's margins either side, as the grid's delegate keeps them, its grid line and a
  // pixel for rounding.
  const int margins =
      2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 2;
  int widest = 0;
  QSet<QString> measured;
  for (int row = 0; row < model->rowCount(); ++row) {
    const QString text = model->index(row, column).data().toString();
    if (!text.isEmpty() && !measured.contains(text)) {
      measured.insert(text);
      widest = std::max(widest, metrics.horizontalAdvance(text));
    }
  }
  grid->setColumnWidth(column, std::max(minimumWidth, widest + margins));
}

QTableView* FreezeLeadingColumns(QTableView* grid, int columns) {
  auto* fixed = new QTableView(grid);
  fixed->setObjectName(grid->objectName() + QStringLiteral("Fest"));
  fixed->setModel(grid->model());
  fixed->setSelectionModel(grid->selectionModel());
  fixed->setItemDelegate(new FixedCellDelegate(fixed));
  fixed->setFocusPolicy(Qt::NoFocus);
  fixed->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fixed->setSelectionMode(QAbstractItemView::NoSelection);
  fixed->setFrameShape(QFrame::NoFrame);
  fixed->setFont(grid->font());
  fixed->setWordWrap(grid->wordWrap());
  fixed->setTextElideMode(grid->textElideMode());
  fixed->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  fixed->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  fixed->setVerticalScrollMode(grid->verticalScrollMode());
  fixed->verticalHeader()->hide();
  fixed->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  fixed->verticalHeader()->setMinimumSectionSize(1);
  QHeaderView* heading = fixed->horizontalHeader();
  heading->setFont(grid->horizontalHeader()->font());
  heading->setSectionResizeMode(QHeaderView::Fixed);
  heading->setMinimumSectionSize(1);
  heading->setHighlightSections(false);
  heading->setSectionsClickable(false);
  heading->setDefaultAlignment(grid->horizontalHeader()->defaultAlignment());
  grid->viewport()->stackUnder(fixed);
  grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  auto* keeper = new FrozenColumnsKeeper(grid, fixed, columns);
  QObject::connect(grid->horizontalHeader(), &QHeaderView::sectionResized, keeper,
                   [keeper] { keeper->update(); });
  QObject::connect(grid->verticalHeader(), &QHeaderView::sectionResized, fixed,
                   [fixed](int row, int, int size) { fixed->setRowHeight(row, size); });
  QObject::connect(grid->model(), &QAbstractItemModel::columnsInserted, keeper,
                   [keeper] { keeper->scheduleUpdate(); });
  QObject::connect(grid->model(), &QAbstractItemModel::modelReset, keeper,
                   [keeper] { keeper->scheduleUpdate(); });
  QObject::connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, fixed->verticalScrollBar(),
                   &QScrollBar::setValue);
  QObject::connect(fixed->verticalScrollBar(), &QScrollBar::valueChanged, grid->verticalScrollBar(),
                   &QScrollBar::setValue);
  // The fixed view's range follows the grid's; a value set before it grew is set again.
  QObject::connect(grid->verticalScrollBar(), &QScrollBar::rangeChanged, keeper,
                   [keeper] { keeper->update(); });
  QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, keeper,
                   [keeper](const QModelIndex& current) { keeper->revealCurrent(current); });
  keeper->update();
  fixed->show();
  return fixed;
}

} // namespace kw
