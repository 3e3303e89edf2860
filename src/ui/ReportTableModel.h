#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>

namespace kw {

// A read-only table of a result whose cells are computed when the view asks for them:
// a table of tens of thousands of rows (the croupier sections of a long permanence) is
// shown without building an item per cell.
class ReportTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  // The value of a cell for a role (display text, alignment, background, tool tip), or an
  // empty QVariant.
  using CellFunction = std::function<QVariant(int row, int column, int role)>;

  ReportTableModel(const QStringList& headings, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Shows `rows` rows whose cells `cell` gives; the model is reset.
  void show(int rows, CellFunction cell);

private:
  QStringList headings_;
  int rows_ = 0;
  CellFunction cell_;
};

} // namespace kw
