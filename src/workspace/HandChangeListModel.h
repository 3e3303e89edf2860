#pragma once

#include <QAbstractListModel>

#include <optional>
#include <string>
#include <vector>

namespace kw {

// The hand-change working list: the markers as the settings window shows them, one row per
// entry, in order, each exactly as typed (UTF-8). Entries added here count for reading
// permanences only once the list is saved; views only show and select them.
class HandChangeListModel : public QAbstractListModel {
  Q_OBJECT
public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  const std::vector<std::string>& entries() const { return entries_; }
  // The entry a hand change typed on the pad is labelled with, if there is one.
  std::optional<std::string> firstEntry() const;

  void setEntries(std::vector<std::string> entries);
  void append(std::string entry);
  void remove(int row);

private:
  std::vector<std::string> entries_;
};

} // namespace kw
