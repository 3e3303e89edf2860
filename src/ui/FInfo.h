#pragma once

#include <QDialog>

namespace kw {

// The program info: product name, version and the maker's contact line.
class FInfo : public QDialog {
  Q_OBJECT
public:
  explicit FInfo(QWidget* parent = nullptr);
};

} // namespace kw
