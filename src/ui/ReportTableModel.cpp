#include "ui/ReportTableModel.h"

namespace kw {

ReportTableModel::ReportTableModel(const QStringList& headings, QObject* parent)
    : QAbstractTableModel(parent), headings_(headings) {}

int ReportTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int ReportTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

QVariant ReportTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !cell_ || index.row() >= rows_ || index.column() >= headings_.size())
    return {};
  return cell_(index.row(), index.column(), role);
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < headings_.size())
    return headings_[section];
  return QAbstractTableModel::headerData(section, orientation, role);
}

void ReportTableModel::show(int rows, CellFunction cell) {
  beginResetModel();
  rows_ = rows;
  cell_ = std::move(cell);
  endResetModel();
}

} // namespace kw
