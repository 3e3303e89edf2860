#include "workspace/HandChangeListModel.h"

namespace kw {

int HandChangeListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant HandChangeListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  if (role != Qt::DisplayRole)
    return {};
  return QString::fromStdString(entries_[static_cast<size_t>(index.row())]);
}

Qt::ItemFlags HandChangeListModel::flags(const QModelIndex& index) const {
  if (!index.isValid())
    return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

std::optional<std::string> HandChangeListModel::firstEntry() const {
  if (entries_.empty())
    return std::nullopt;
  return entries_.front();
}

void HandChangeListModel::setEntries(std::vector<std::string> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

void HandChangeListModel::append(std::string entry) {
  const int row = rowCount();
  beginInsertRows({}, row, row);
  entries_.push_back(std::move(entry));
  endInsertRows();
}

void HandChangeListModel::remove(int row) {
  if (row < 0 || row >= rowCount())
    return;
  beginRemoveRows({}, row, row);
  entries_.erase(entries_.begin() + row);
  endRemoveRows();
}

} // namespace kw
