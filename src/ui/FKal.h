#pragma once

#include <QWidget>

class QCalendarWidget;

namespace kw {

// The month calendar, opened on demand; it frees itself when closed.
class FKal : public QWidget {
  Q_OBJECT
public:
  explicit FKal(QWidget* parent = nullptr);

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void cancelTypedDate();

private:
  void FormCreate();
  QCalendarWidget* mc1_ = nullptr;
};

} // namespace kw
