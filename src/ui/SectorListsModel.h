#pragma once

#include "sectors/SectorAssignment.h"

#include <QAbstractItemModel>

#include <array>
#include <cstdint>
#include <vector>

namespace kw {

// The nine sector lists of the sector window as data: the numbers of each list in the order
// they were added, and whether a list shows its label. A list shows its label (" 1" … " 9")
// when it is new or cleared, or when a preset or file leaves it empty; a list whose last
// entry was dragged away stands empty. Lists are counted from 0 (list 0 is `lb1`).
//
// As a model it is a tree: root row k is list k, and its rows are the entries a view rooted
// there shows: the label alone, or the numbers.
class SectorListsModel : public QAbstractItemModel {
  Q_OBJECT
public:
  // The number of an entry (an int); a label has none.
  static constexpr int NumberRole = Qt::UserRole;

  explicit SectorListsModel(QObject* parent = nullptr);

  const std::vector<uint8_t>& numbers(int list) const {
    return numbers_[static_cast<size_t>(list)];
  }
  bool showsLabel(int list) const { return showsLabel_[static_cast<size_t>(list)]; }
  // Whether any list holds two or more numbers.
  bool anyHoldsSeveral() const;
  // The assignment the lists hold.
  SectorAssignment assignment() const { return BuildSectorAssignment(numbers_); }

  // Every list shows its numbers of `lists`, an empty one its label: a preset, an opened
  // file, or (all empty) the cleared lists.
  void fill(const SectorListNumbers& lists);
  // Appends a number to a list; a list that shows its label loses it first.
  void append(int list, uint8_t number);
  // Moves the number at `row` of list `from` to the end of list `to`, its own list included.
  // Returns false, changing nothing, when no number stands at that row.
  bool move(int from, int row, int to);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
  // A list began or ceased to show its label.
  void labelShownChanged(int list, bool shown);

private:
  int entryCount(int list) const;
  void setEntries(int list, std::vector<uint8_t> numbers, bool label);

  SectorListNumbers numbers_;
  std::array<bool, SectorCount> showsLabel_{};
};

} // namespace kw
