#pragma once

#include <QWidget>

namespace kw {

// The random number generator.
class FZufall : public QWidget {
  Q_OBJECT
public:
  explicit FZufall(QWidget* parent = nullptr);

private:
  void FormCreate();
};

} // namespace kw
