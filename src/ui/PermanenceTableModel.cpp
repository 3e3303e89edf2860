#include "ui/PermanenceTableModel.h"

#include "core/PermanenceTable.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QPalette>

namespace kw {

PermanenceTableModel::PermanenceTableModel(const PermanenceTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int PermanenceTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.RowCount() - 1;
}

int PermanenceTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 4;
}

QVariant PermanenceTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid())
    return {};
  switch (role) {
  case Qt::DisplayRole:
    return QString::fromStdString(table_.CellText(index.row() + 1, index.column()));
  case Qt::BackgroundRole:
    // Column 0 keeps the look of a fixed column; the colour columns are white.
    return index.column() == 0 ? QApplication::palette().button() : QBrush(Qt::white);
  case Qt::ForegroundRole:
    return QBrush(Qt::black);
  case Qt::TextAlignmentRole:
    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  default:
    return {};
  }
}

QVariant PermanenceTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
  if (orientation != Qt::Horizontal)
    return {};
  if (role == Qt::DisplayRole)
    return section == 0 ? QStringLiteral("Coup") : QString();
  return {};
}

void PermanenceTableModel::refresh() {
  beginResetModel();
  endResetModel();
}

} // namespace kw
