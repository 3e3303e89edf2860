#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace kw {

// The cells of one result grid of the main window. Grid row 0 is the heading and shows in
// the view's header; grid row r >= 1 is model row r - 1.
class ResultGridModel : public QAbstractTableModel {
  Q_OBJECT
public:
  ResultGridModel(const QStringList& headings, int gridRows, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Grid rows including the heading row.
  int gridRowCount() const { return rowCount() + 1; }
  QString cell(int row, int column) const { return cells_[slot(row, column)]; }
  void setCell(int row, int column, const QString& text) { cells_[slot(row, column)] = text; }

  // Grows the grid to `gridRows` rows; never shrinks it.
  void growTo(int gridRows);

  // Tells the view that cells changed (once per update, not per cell).
  void changed();

private:
  size_t slot(int row, int column) const {
    return size_t(row - 1) * size_t(columns_) + size_t(column);
  }

  QStringList headings_;
  int columns_;
  std::vector<QString> cells_;
};

} // namespace kw
