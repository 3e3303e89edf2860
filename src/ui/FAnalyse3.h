#pragma once

#include <QMainWindow>

namespace kw {

class WindowChrome;

// The system test after the two-thirds law.
class FAnalyse3 : public QMainWindow {
  Q_OBJECT
public:
  explicit FAnalyse3(QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }

private:
  void FormCreate();

  WindowChrome* chrome_ = nullptr;
};

} // namespace kw
