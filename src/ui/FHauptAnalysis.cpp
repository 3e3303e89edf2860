// The main window's chance analysis: the number panels, the result grids and their
// handlers.
#include "ui/FHaupt.h"
#include "ui/FHauptAnalysisView.h"

#include "analysis/NumberFrequency.h"
#include "core/RouletteTables.h"
#include "ui/Dialogs.h"
#include "ui/FrequencySource.h"
#include "ui/WindowParts.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <vector>

namespace kw {

// The cells of one result grid. Grid row 0 is the heading and shows in the view's header;
// grid row r >= 1 is model row r - 1.
class ResultGridModel : public QAbstractTableModel {
public:
  ResultGridModel(const QStringList& headings, int gridRows, QObject* parent)
      : QAbstractTableModel(parent), headings_(headings), columns_(int(headings.size())),
        cells_(size_t(gridRows - 1) * size_t(columns_)) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : int(cells_.size()) / columns_;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : columns_;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || role != Qt::DisplayRole)
      return {};
    return cells_[slot(index.row() + 1, index.column())];
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < columns_)
      return headings_[section];
    return {};
  }

  // Grid rows including the heading row.
  int gridRowCount() const { return rowCount() + 1; }
  QString cell(int row, int column) const { return cells_[slot(row, column)]; }
  void setCell(int row, int column, const QString& text) { cells_[slot(row, column)] = text; }

  // Grows the grid to `gridRows` rows; never shrinks it.
  void growTo(int gridRows) {
    if (gridRows <= gridRowCount())
      return;
    beginInsertRows({}, rowCount(), gridRows - 2);
    cells_.resize(size_t(gridRows - 1) * size_t(columns_));
    endInsertRows();
  }

  // Tells the view that cells changed (once per update, not per cell).
  void changed() { emit dataChanged(index(0, 0), index(rowCount() - 1, columns_ - 1)); }

private:
  size_t slot(int row, int column) const {
    return size_t(row - 1) * size_t(columns_) + size_t(column);
  }

  QStringList headings_;
  int columns_;
  std::vector<QString> cells_;
};

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
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter.restore();
}

namespace {

constexpr int GridRowHeight = 18;
// The heading and the count row: the rows below them are never seen, so the grids hold
// none, and there is nothing the mouse wheel could scroll the counts out of sight with.
constexpr int CountGridRows = 2;
constexpr int SeriesGridRows = 11; // the heading and the lengths 1..10
constexpr int ShownLengths = SeriesGridRows - 1;

// Count panel slot k: slot 0 on top in the middle, then the betting table's rows of three.
QPoint SlotPosition(int slot) {
  if (slot == 0)
    return {77, 25};
  return {5 + 36 * ((slot - 1) % 3), 65 + 40 * ((slot - 1) / 3)};
}

// Draws the cells of the result grids: never a selection highlight; counts and series
// counts centred; headings and the length column as the grid draws fixed cells.
class ResultCellDelegate : public QStyledItemDelegate {
public:
  ResultCellDelegate(bool seriesGrid, QObject* parent)
      : QStyledItemDelegate(parent), seriesGrid_(seriesGrid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    painter->save();
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    const QString text = index.data().toString();
    const int row = index.row() + 1; // grid row; the heading row 0 is the header
    if (seriesGrid_)
      GECSerienDrawCell(*painter, option, index.column(), row, text);
    else
      GDutzendDrawCell(*painter, option, row, text);
    painter->restore();
  }

private:
  // The state's selection is ignored, so a clicked cell looks like any other.
  static void GDutzendDrawCell(QPainter& painter, const QStyleOptionViewItem& option, int row,
                               const QString& text) {
    const QBrush& background = option.palette.base();
    painter.fillRect(option.rect, background);
    DrawCellText(painter, option.rect, text, row == 1 ? Qt::AlignHCenter : Qt::AlignLeft,
                 background);
  }

  // Column 0 is the fixed length column and keeps the look of a fixed cell.
  static void GECSerienDrawCell(QPainter& painter, const QStyleOptionViewItem& option, int column,
                                int row, const QString& text) {
    const QBrush& background = column == 0 ? option.palette.button() : option.palette.base();
    painter.fillRect(option.rect, background);
    const bool dataCell = column > 0 && row > 0;
    DrawCellText(painter, option.rect, text, dataCell ? Qt::AlignHCenter : Qt::AlignLeft,
                 background);
  }

  bool seriesGrid_;
};

struct GridDesign {
  const char* caption;
  const char* name;
  QStringList headings;
  std::vector<int> widths;
};

QStringList LabelRange(int first, int last) {
  QStringList labels;
  for (int i = first; i <= last; ++i)
    labels << FromUtf8(ChanceLabel(i));
  return labels;
}

std::vector<int> Widths(int columns, int width) { return std::vector<int>(size_t(columns), width); }

QTableView* MakeGrid(const GridDesign& design, ResultGridModel* model, bool seriesGrid,
                     QWidget* parent) {
  auto* grid = new QTableView(parent);
  grid->setObjectName(QLatin1String(design.name));
  grid->setModel(model);
  grid->setItemDelegate(new ResultCellDelegate(seriesGrid, grid));
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::NoSelection);
  grid->setFocusPolicy(Qt::NoFocus);
  grid->setWordWrap(false);
  grid->setTextElideMode(Qt::ElideNone);
  QFont font = grid->font();
  font.setPointSize(8);
  grid->setFont(font);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(GridRowHeight);
  QHeaderView* heading = grid->horizontalHeader();
  heading->setMinimumSectionSize(1);
  heading->setSectionResizeMode(QHeaderView::Fixed);
  heading->setHighlightSections(false);
  heading->setSectionsClickable(false);
  heading->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  heading->setFixedHeight(GridRowHeight);
  int width = 0;
  for (size_t c = 0; c < design.widths.size(); ++c) {
    grid->setColumnWidth(int(c), design.widths[c]);
    width += design.widths[c];
  }
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  const int frames = 2 * grid->frameWidth();
  if (seriesGrid) {
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setFixedWidth(width + grid->verticalScrollBar()->sizeHint().width() + frames);
    grid->setMinimumHeight(GridRowHeight * 4 + frames);
  } else {
    // Exactly the heading and the count row.
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedSize(width + frames, 2 * GridRowHeight + frames);
  }
  return grid;
}

QGroupBox* GridBox(const GridDesign& design, QTableView* grid, QWidget* parent) {
  auto* box = new QGroupBox(QString::fromUtf8(design.caption), parent);
  box->setObjectName(QStringLiteral("GB") + QLatin1String(design.name));
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->addWidget(grid, 1, Qt::AlignLeft);
  return box;
}

// Writes the row numbers 1.. into column 0 of a series grid's rows below the heading.
void NumberSeriesRows(ResultGridModel& grid, int firstRow) {
  for (int row = firstRow; row < grid.gridRowCount(); ++row)
    grid.setCell(row, 0, QString::number(row));
}

void BlankSeriesGrid(ResultGridModel& grid) {
  for (int row = 1; row < grid.gridRowCount(); ++row)
    for (int column = 1; column < grid.columnCount(); ++column)
      grid.setCell(row, column, QString());
  NumberSeriesRows(grid, 1);
  grid.changed();
}

template <size_t N>
void ShowCountRow(ResultGridModel& grid, const std::array<uint32_t, N>& counts) {
  for (size_t c = 0; c < N; ++c)
    grid.setCell(1, int(c), QString::number(counts[c]));
  grid.changed();
}

// Shows lengths 1..max(10, longest series); the grid grows to the longest series and keeps
// rows a former run added, blank below the current longest series.
void ShowSeriesTable(ResultGridModel& grid, const SeriesTable& table) {
  const int lengths = std::max(ShownLengths, LongestSeries(table));
  if (lengths > ShownLengths) {
    grid.growTo(lengths + 1);
    NumberSeriesRows(grid, SeriesGridRows);
  }
  for (int chance = 1; chance <= SeriesChanceCount; ++chance)
    for (int length = 1; length <= lengths; ++length)
      grid.setCell(length, chance, QString::number(table.at(chance, length)));
  grid.changed();
}

QLabel* NumberPanel(QWidget* parent, const QString& name, const QString& text, int width,
                    int height, int pointSize, bool bold) {
  auto* panel = new QLabel(text, parent);
  panel->setObjectName(name);
  panel->setAlignment(Qt::AlignCenter);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setFixedSize(width, height);
  QFont font = panel->font();
  font.setPointSize(pointSize);
  font.setBold(bold);
  panel->setFont(font);
  return panel;
}

} // namespace

FHaupt::~FHaupt() = default;

void FHaupt::AnalysisView::ShowChanceResults(const ChanceAnalysis& result) {
  for (int x = 0; x < NumberCount; ++x)
    counts[size_t(x)]->setText(QString::number(result.numberCounts[size_t(x)]));
  const ChanceCounts& c = result.chanceCounts;
  ShowCountRow(*countGrids[0], c.colours);
  ShowCountRow(*countGrids[1], c.impairPair);
  ShowCountRow(*countGrids[2], c.manquePasse);
  ShowCountRow(*countGrids[3], c.dozens);
  ShowCountRow(*countGrids[4], c.columns);
  ShowCountRow(*countGrids[5], c.wheelSeries);
  ShowCountRow(*countGrids[6], c.sixLines);
  ShowCountRow(*countGrids[7], c.streets);
  ShowSeriesTable(*ecSerien, result.evenChanceSeries);
  ShowSeriesTable(*drittelSerien, result.thirdChanceSeries);
}

void FHaupt::AnalysisView::PlaceNumber(int number, int slot) {
  const QPoint p = SlotPosition(slot);
  counts[size_t(number)]->move(p);
  labels[size_t(number)]->move(p.x(), p.y() - 15);
}

void FHaupt::CreateNumberPanels(QWidget* panelArea) {
  analysis_ = std::make_unique<AnalysisView>();
  AnalysisView& view = *analysis_;
  for (int x = 0; x < NumberCount; ++x) {
    auto* label = NumberPanel(panelArea, QStringLiteral("NummernLab%1").arg(x), QString::number(x),
                              36, 15, 9, true);
    const char* colour = x == 0 ? "#008000" : IsRed(unsigned(x)) ? "#FF0000" : "#000000";
    label->setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(QLatin1String(colour)));
    view.labels[size_t(x)] = label;
    view.counts[size_t(x)] =
        NumberPanel(panelArea, QStringLiteral("NummernAnz%1").arg(x), QString(), 36, 19, 8, false);
    view.PlaceNumber(x, x);
  }
  // The last row of panels ends at 524.
  panelArea->setMinimumHeight(533);
  if (auto* sort = findChild<QPushButton*>(QStringLiteral("BWechsel")))
    sort->setCheckable(true);
}

void FHaupt::CreateResultGrids(QGroupBox* group) {
  AnalysisView& view = *analysis_;
  const GridDesign counts[] = {
      {"Farben", "GFarbe", {"Noir", "Zero", "Rouge"}, Widths(3, 41)},
      {"Impair / Pair", "GPair", LabelRange(2, 3), Widths(2, 62)},
      {"1 - 18 / 19 - 36", "GManque", LabelRange(4, 5), Widths(2, 62)},
      {"Dutzende", "GDutzend", {"1", "2", "3"}, Widths(3, 41)},
      {"Kolonnen", "GKolonne", {"1", "2", "3"}, Widths(3, 41)},
      {"Serien", "GSerien", LabelRange(38, 40), Widths(3, 41)},
      {"Transversalen simple", "GTrans", LabelRange(24, 34), Widths(11, 37)},
      {"Transversalen plein",
       "GTrans2",
       LabelRange(12, 23),
       {27, 27, 27, 36, 36, 36, 36, 36, 36, 36, 36, 36}},
  };
  std::vector<int> seriesWidths = Widths(7, 59);
  seriesWidths[0] = 39;
  const GridDesign series[] = {
      {"Serien Einfache Chancen", "GECSerien", QStringList{"Serie"} + LabelRange(0, 5),
       seriesWidths},
      {"Serien Drittelchancen", "GDrittelSerien", QStringList{"Serie"} + LabelRange(6, 11),
       seriesWidths},
  };

  std::array<QGroupBox*, 8> countBoxes{};
  for (size_t i = 0; i < countBoxes.size(); ++i) {
    view.countGrids[i] = new ResultGridModel(counts[i].headings, CountGridRows, this);
    countBoxes[i] =
        GridBox(counts[i], MakeGrid(counts[i], view.countGrids[i], false, group), group);
  }
  std::array<QGroupBox*, 2> seriesBoxes{};
  std::array<ResultGridModel**, 2> seriesModels{&view.ecSerien, &view.drittelSerien};
  for (size_t i = 0; i < seriesBoxes.size(); ++i) {
    *seriesModels[i] = new ResultGridModel(series[i].headings, SeriesGridRows, this);
    NumberSeriesRows(**seriesModels[i], 1);
    seriesBoxes[i] = GridBox(series[i], MakeGrid(series[i], *seriesModels[i], true, group), group);
  }

  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  for (size_t first : {size_t(0), size_t(3)}) {
    auto* row = new QHBoxLayout;
    for (size_t i = first; i < first + 3; ++i)
      row->addWidget(countBoxes[i]);
    row->addStretch(1);
    layout->addLayout(row);
  }
  layout->addWidget(seriesBoxes[0], 1);
  layout->addWidget(seriesBoxes[1], 1);
  layout->addWidget(countBoxes[6]);
  layout->addWidget(countBoxes[7]);
}

void FHaupt::BAnalyseClick() {
  ResetChanceResults();
  const ChanceAnalysis result = AnalyseChances(table().RowValues());
  analysis_->numberCounts = result.numberCounts;
  analysis_->chanceCounts = result.chanceCounts;
  if (result.refusal) {
    Dialogs::instance().error(this, QString::fromStdString(*result.refusal));
    return;
  }
  analysis_->ShowChanceResults(result);
}

void FHaupt::ResetChanceResults() {
  AnalysisView& view = *analysis_;
  view.numberCounts = {};
  view.chanceCounts = {};
  for (QLabel* count : view.counts)
    count->clear();
  for (ResultGridModel* grid : view.countGrids) {
    for (int column = 0; column < grid->columnCount(); ++column)
      grid->setCell(1, column, QString());
    grid->changed();
  }
  BlankSeriesGrid(*view.ecSerien);
  BlankSeriesGrid(*view.drittelSerien);
}

void FHaupt::BWechselClick() {
  AnalysisView& view = *analysis_;
  view.frequencyOrder = !view.frequencyOrder;
  const NumberSlots order = view.frequencyOrder ? FrequencyOrder(view.numberCounts) : TableOrder();
  for (int slot = 0; slot < NumberCount; ++slot)
    view.PlaceNumber(order[size_t(slot)], slot);
  if (auto* sort = findChild<QPushButton*>(QStringLiteral("BWechsel")))
    sort->setChecked(view.frequencyOrder);
}

void FHaupt::BChart1Click() {
  // The chart reads the counts and the coups afresh at every fill.
  emit chartRequested(
      [this] {
        return FrequencyInput{analysis_->numberCounts, uint32_t(table().CoupCount())};
      },
      ExpectedCount(uint32_t(table().CoupCount())));
}

} // namespace kw
