#pragma once

#include "analysis/SeriesLengthSearch.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace kw {

// The series-length grid `g1`: one row per permanence (its name, then the 35 cells), the
// chance titles as headings; "xxx" cells red, "---" sky blue, the others white, centred.
class SeriesLengthModel : public QAbstractTableModel {
  Q_OBJECT
public:
  using QAbstractTableModel::QAbstractTableModel;

  void setResults(std::vector<std::string> names, std::vector<SeriesLengthRow> rows);
  const std::vector<SeriesLengthRow>& rows() const { return rows_; }
  const std::vector<std::string>& names() const { return names_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
  std::vector<std::string> names_;
  std::vector<SeriesLengthRow> rows_;
};

} // namespace kw
