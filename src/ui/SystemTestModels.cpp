#include "ui/SystemTestModels.h"

#include "report/SystemTestFormat.h"

#include "core/RouletteTables.h"
#include "files/HandChangeMarkers.h"
#include "ui/WindowParts.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>

namespace kw {
namespace {

constexpr int FirstRightAlignedSummaryColumn = 2;

QVariant alignment(Qt::Alignment flags) { return QVariant::fromValue(flags); }

// The plain cells of both grids: black on white, top-aligned.
QVariant plainCellData(int role, Qt::Alignment horizontal) {
  switch (role) {
  case Qt::BackgroundRole:
    return QBrush(Qt::white);
  case Qt::ForegroundRole:
    return QBrush(Qt::black);
  case Qt::TextAlignmentRole:
    return alignment(horizontal | Qt::AlignTop);
  default:
    return {};
  }
}

} // namespace

ProtocolModel::ProtocolModel(std::vector<ProtocolRow> rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)) {}

int ProtocolModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ProtocolModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ProtocolColumnCount;
}

ProtocolModel::CoupLook ProtocolModel::GNumDrawCell(const QString& coupText) {
  const QString text = coupText.trimmed();
  bool isNumber = false;
  const int number = text.toInt(&isNumber);
  if (IsHandChange(text.toStdString()) || text.size() > 2 || !isNumber || number < 0 || number > 36)
    return {QColor(0xFF, 0xFF, 0x00), QColor(Qt::black), false};
  QColor background(0x00, 0x00, 0x00);
  if (number == 0)
    background = QColor(0x00, 0x80, 0x00);
  else if (IsRed(static_cast<unsigned>(number)))
    background = QColor(0xFF, 0x00, 0x00);
  return {background, QColor(Qt::white), true};
}

QVariant ProtocolModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid())
    return {};
  const int column = index.column();
  const std::string& cell = rows_[static_cast<size_t>(index.row())][static_cast<size_t>(column)];
  if (role == Qt::DisplayRole)
    return QString::fromStdString(cell);
  if (column == NrColumn)
    return {};
  if (column == CoupColumn) {
    const CoupLook look = GNumDrawCell(QString::fromStdString(cell));
    switch (role) {
    case Qt::BackgroundRole:
      return QBrush(look.background);
    case Qt::ForegroundRole:
      return QBrush(look.text);
    case Qt::FontRole: {
      QFont font;
      font.setBold(look.bold);
      return font;
    }
    case Qt::TextAlignmentRole:
      return alignment(Qt::AlignHCenter | Qt::AlignTop);
    default:
      return {};
    }
  }
  return plainCellData(role, column == HinweisColumn ? Qt::AlignLeft : Qt::AlignRight);
}

QVariant ProtocolModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= ProtocolColumnCount)
    return {};
  return FromUtf8(ProtocolHeadings[static_cast<size_t>(section)]);
}

const std::array<int, SummaryModel::ColumnCount> SummaryModel::ColumnWidths = {39, 75, 50, 50,
                                                                               60, 55, 60, 69};

SummaryModel::SummaryModel(QObject* parent) : QAbstractTableModel(parent), rows_(InitialDataRows) {}

void SummaryModel::setRow(size_t position, Row row) {
  if (position >= rows_.size()) {
    beginInsertRows({}, static_cast<int>(rows_.size()), static_cast<int>(position));
    rows_.resize(position + 1);
    endInsertRows();
  }
  rows_[position] = std::move(row);
  const int r = static_cast<int>(position);
  emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
}

void SummaryModel::setRows(std::vector<std::pair<size_t, Row>> rows) {
  if (rows.empty())
    return;
  size_t last = 0;
  for (const auto& [position, row] : rows)
    last = std::max(last, position);
  if (last >= rows_.size()) {
    beginInsertRows({}, static_cast<int>(rows_.size()), static_cast<int>(last));
    rows_.resize(last + 1);
    endInsertRows();
  }
  size_t first = rows_.size();
  for (auto& [position, row] : rows) {
    rows_[position] = std::move(row);
    first = std::min(first, position);
  }
  emit dataChanged(index(static_cast<int>(first), 0),
                   index(static_cast<int>(last), ColumnCount - 1));
}

int SummaryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SummaryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

// GZusDrawCell: the figures (columns 2 to 7) right-aligned in black on white.
QVariant SummaryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid())
    return {};
  const int column = index.column();
  if (role == Qt::DisplayRole)
    return rows_[static_cast<size_t>(index.row())][static_cast<size_t>(column)];
  if (column < FirstRightAlignedSummaryColumn)
    return {};
  return plainCellData(role, Qt::AlignRight);
}

QVariant SummaryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= ColumnCount)
    return {};
  return QString::fromUtf8(SummaryGridHeadings[static_cast<size_t>(section)]);
}

} // namespace kw
