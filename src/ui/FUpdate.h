#pragma once

#include <QWidget>

namespace kw {

// The online update check.
class FUpdate : public QWidget {
  Q_OBJECT
public:
  explicit FUpdate(QWidget* parent = nullptr);

private:
  void FormCreate();
};

} // namespace kw
