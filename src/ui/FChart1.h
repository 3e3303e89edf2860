#pragma once

#include <QMainWindow>

namespace kw {

class WindowChrome;

// The frequency chart of the main window's permanence.
class FChart1 : public QMainWindow {
  Q_OBJECT
public:
  explicit FChart1(QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }

private:
  void FormCreate();

  WindowChrome* chrome_ = nullptr;
};

} // namespace kw
