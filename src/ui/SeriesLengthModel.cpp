#include "ui/SeriesLengthModel.h"

#include "core/RouletteTables.h"
#include "ui/WindowParts.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QPalette>

namespace kw {

void SeriesLengthModel::setResults(std::vector<std::string> names,
                                   std::vector<SeriesLengthRow> rows) {
  beginResetModel();
  names_ = std::move(names);
  rows_ = std::move(rows);
  endResetModel();
}

int SeriesLengthModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SeriesLengthModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : SeriesLengthColumnCount + 1;
}

QVariant SeriesLengthModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid())
    return {};
  const auto row = static_cast<size_t>(index.row());
  if (index.column() == 0) {
    if (role == Qt::DisplayRole)
      return QString::fromStdString(names_[row]);
    if (role == Qt::BackgroundRole)
      return QApplication::palette().button();
    return {};
  }
  const FirstSeries& cell = rows_[row][static_cast<size_t>(index.column() - 1)];
  switch (role) {
  case Qt::DisplayRole:
    return QString::fromStdString(cell.Text());
  case Qt::BackgroundRole:
    if (cell.kind == FirstSeries::Kind::NotFound)
      return QBrush(QColor(0xFF, 0x00, 0x00));
    if (cell.kind == FirstSeries::Kind::TooShort)
      return QBrush(QColor(0xA6, 0xCA, 0xF0));
    return QBrush(Qt::white);
  case Qt::ForegroundRole:
    return QBrush(Qt::black);
  case Qt::TextAlignmentRole:
    return QVariant::fromValue(Qt::AlignCenter);
  default:
    return {};
  }
}

QVariant SeriesLengthModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return {};
  if (section == 0)
    return QString();
  return FromUtf8(SeriesLengthTitle(section - 1));
}

} // namespace kw
