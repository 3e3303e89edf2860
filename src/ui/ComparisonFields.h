#pragma once

#include "systemtest/RiskFigures.h"

#include <optional>

class QCheckBox;
class QLineEdit;
class QWidget;

namespace kw {

// The random comparison's fields of a run window: whether the next run makes one, with how
// many replicas, and from which seed (empty: a new one each run).
struct ComparisonFields {
  QCheckBox* enabled = nullptr;
  QLineEdit* replicas = nullptr;
  QLineEdit* seed = nullptr;
};

// The comparison the fields ask for: nothing when none is asked for; false, after the German
// message and with the focus on the field at fault, when they are not valid.
bool ReadComparisonFields(QWidget* window, const ComparisonFields& fields,
                          std::optional<RandomComparisonRequest>& request);

} // namespace kw
