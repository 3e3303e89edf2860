#include "ui/SectorListsModel.h"

#include "ui/WindowParts.h"

#include <algorithm>

namespace kw {
namespace {

// The internal id of a list's root row; an entry's id is its list + 1.
constexpr quintptr ListId = 0;

} // namespace

SectorListsModel::SectorListsModel(QObject* parent) : QAbstractItemModel(parent) {
  showsLabel_.fill(true);
}

bool SectorListsModel::anyHoldsSeveral() const {
  return std::any_of(numbers_.begin(), numbers_.end(),
                     [](const std::vector<uint8_t>& list) { return list.size() >= 2; });
}

int SectorListsModel::entryCount(int list) const {
  return showsLabel(list) ? 1 : static_cast<int>(numbers(list).size());
}

// Removes the list's entries, then inserts the new ones, so that a view rooted at the list
// sees two plain steps whatever the states before and after.
void SectorListsModel::setEntries(int list, std::vector<uint8_t> numbers, bool label) {
  const auto at = static_cast<size_t>(list);
  const bool labelBefore = showsLabel_[at];
  const QModelIndex root = index(list, 0);
  if (const int rows = entryCount(list); rows > 0) {
    beginRemoveRows(root, 0, rows - 1);
    showsLabel_[at] = false;
    numbers_[at].clear();
    endRemoveRows();
  }
  const int rows = label ? 1 : static_cast<int>(numbers.size());
  if (rows > 0) {
    beginInsertRows(root, 0, rows - 1);
    showsLabel_[at] = label;
    numbers_[at] = std::move(numbers);
    endInsertRows();
  }
  if (labelBefore != label)
    emit labelShownChanged(list, label);
}

void SectorListsModel::fill(const SectorListNumbers& lists) {
  for (int list = 0; list < SectorCount; ++list) {
    const std::vector<uint8_t>& numbers = lists[static_cast<size_t>(list)];
    setEntries(list, numbers, numbers.empty());
  }
}

void SectorListsModel::append(int list, uint8_t number) {
  if (showsLabel(list))
    setEntries(list, {}, false);
  const int row = entryCount(list);
  beginInsertRows(index(list, 0), row, row);
  numbers_[static_cast<size_t>(list)].push_back(number);
  endInsertRows();
}

bool SectorListsModel::move(int from, int row, int to) {
  if (showsLabel(from) || row < 0 || row >= entryCount(from))
    return false;
  // Appended first, so an entry moved within its own list still stands at its row.
  append(to, numbers(from)[static_cast<size_t>(row)]);
  beginRemoveRows(index(from, 0), row, row);
  std::vector<uint8_t>& source = numbers_[static_cast<size_t>(from)];
  source.erase(source.begin() + row);
  endRemoveRows();
  return true;
}

QModelIndex SectorListsModel::index(int row, int column, const QModelIndex& parent) const {
  if (!hasIndex(row, column, parent))
    return {};
  if (!parent.isValid())
    return createIndex(row, column, ListId);
  return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex SectorListsModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == ListId)
    return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, ListId);
}

int SectorListsModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid())
    return SectorCount;
  if (parent.internalId() == ListId && parent.column() == 0)
    return entryCount(parent.row());
  return 0;
}

int SectorListsModel::columnCount(const QModelIndex&) const { return 1; }

QVariant SectorListsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.internalId() == ListId)
    return {};
  const int list = static_cast<int>(index.internalId() - 1);
  if (showsLabel(list))
    return role == Qt::DisplayRole ? FromUtf8(SectorLabel(list + 1)) : QVariant();
  const int number = numbers(list)[static_cast<size_t>(index.row())];
  if (role == Qt::DisplayRole)
    return QString::number(number);
  if (role == NumberRole)
    return number;
  return {};
}

Qt::ItemFlags SectorListsModel::flags(const QModelIndex& index) const {
  if (!index.isValid())
    return Qt::NoItemFlags;
  if (index.internalId() == ListId)
    return Qt::ItemIsEnabled;
  // A label can be selected like any entry, but carries no number to drag.
  const int list = static_cast<int>(index.internalId() - 1);
  const Qt::ItemFlags entry = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return showsLabel(list) ? entry : entry | Qt::ItemIsDragEnabled;
}

} // namespace kw
