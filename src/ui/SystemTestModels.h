#pragma once

#include "systemtest/SystemTest.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace kw {

// The protocol grid `GNum` of one result tab: the five protocol columns with their
// headings; the "Coup" cells in the number's colour (yellow for hand changes and anything
// that is no number 0..36), the money columns right-aligned and the remarks left-aligned,
// all on white.
class ProtocolModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit ProtocolModel(std::vector<ProtocolRow> rows, QObject* parent = nullptr);

  const std::vector<ProtocolRow>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // GNumDrawCell: background, text colour, boldness and alignment of a "Coup" cell.
  struct CoupLook {
    QColor background;
    QColor text;
    bool bold = false;
  };
  static CoupLook GNumDrawCell(const QString& coupText);

  static constexpr std::array<int, ProtocolColumnCount> ColumnWidths = {40, 30, 40, 50, 180};
  static constexpr int RowHeight = 18;

private:
  std::vector<ProtocolRow> rows_;
};

// The summary grid `GZus`: row i + 1 belongs to the permanence at position i of a run's
// selection. It keeps every row it was given until the window closes; it has at least 200
// data rows and grows when a run holds more permanences.
class SummaryModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int ColumnCount = 8;
  static constexpr int InitialDataRows = 200;
  using Row = std::array<QString, ColumnCount>;

  explicit SummaryModel(QObject* parent = nullptr);

  // Writes data row `position` (0-based), growing the grid when needed.
  void setRow(size_t position, Row row);
  // Writes several rows at once (a run's rows), growing the grid once.
  void setRows(std::vector<std::pair<size_t, Row>> rows);
  const Row& row(size_t position) const { return rows_.at(position); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  static const std::array<int, ColumnCount> ColumnWidths;

private:
  std::vector<Row> rows_;
};

} // namespace kw
