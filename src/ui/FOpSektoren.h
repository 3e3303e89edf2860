#pragma once

#include <QMainWindow>

namespace kw {

class WindowChrome;

// The sector (throw-distance) analysis: sector assignment, sector files, evaluation.
class FOpSektoren : public QMainWindow {
  Q_OBJECT
public:
  explicit FOpSektoren(QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }

private:
  void FormCreate();

  WindowChrome* chrome_ = nullptr;
};

} // namespace kw
