#pragma once

#include <QAbstractTableModel>

namespace kw {

class PermanenceTable;

// Shows the permanence table in `GNum`: the four texts of every grid row below the
// heading. The heading row is the view's header: "Coup", then black, green and red.
class PermanenceTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  PermanenceTableModel(const PermanenceTable& table, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Tells the views that the table changed (once per action, however many rows).
  void refresh();

private:
  const PermanenceTable& table_;
};

} // namespace kw
