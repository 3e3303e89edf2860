#include "ui/ResultGridModel.h"

namespace kw {

ResultGridModel::ResultGridModel(const QStringList& headings, int gridRows, QObject* parent)
    : QAbstractTableModel(parent), headings_(headings), columns_(int(headings.size())),
      cells_(size_t(gridRows - 1) * size_t(columns_)) {}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(cells_.size()) / columns_;
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole)
    return {};
  return cells_[slot(index.row() + 1, index.column())];
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < columns_)
    return headings_[section];
  return {};
}

void ResultGridModel::growTo(int gridRows) {
  if (gridRows <= gridRowCount())
    return;
  beginInsertRows({}, rowCount(), gridRows - 2);
  cells_.resize(size_t(gridRows - 1) * size_t(columns_));
  endInsertRows();
}

void ResultGridModel::changed() {
  emit dataChanged(index(0, 0), index(rowCount() - 1, columns_ - 1));
}

} // namespace kw
