#pragma once

#include <QWidget>

class QCalendarWidget;

namespace kw {

// The month calendar, opened on demand; it frees itself when closed.
class FKal : public QWidget {
  Q_OBJECT
public:
  explicit FKal(QWidget* parent = nullptr);
  // Also freed without closing, when the program ends.
  ~FKal() override;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void cancelTypedDate();
  void FormCreate();
  QCalendarWidget* mc1_ = nullptr;
};

} // namespace kw
