#pragma once

#include <QWidget>

namespace kw {

// The delta calculator: expected count and the one- and three-delta ranges.
class FDelta : public QWidget {
  Q_OBJECT
public:
  explicit FDelta(QWidget* parent = nullptr);

private:
  void FormCreate();
};

} // namespace kw
