#pragma once

#include <QMainWindow>

namespace kw {

class WindowChrome;

// The series-length analysis over many permanence files.
class FAnalyse1 : public QMainWindow {
  Q_OBJECT
public:
  explicit FAnalyse1(QWidget* parent = nullptr);

  WindowChrome* chrome() const { return chrome_; }

private:
  void FormCreate();

  WindowChrome* chrome_ = nullptr;
};

} // namespace kw
