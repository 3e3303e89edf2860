#include "ui/FKal.h"

#include "ui/Help.h"
#include "ui/HelpTopics.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace kw {
namespace {

const QColor Background(0xCF, 0xD7, 0xE7);
const QColor Text(0x00, 0x40, 0x80);
const QColor TitleBackground(0x59, 0x78, 0xB2);
const QColor OtherMonth(0x80, 0x80, 0xC0);

void colourCalendar(QCalendarWidget* calendar) {
  // The day grid is the calendar's inner view; days of the neighbouring months are drawn
  // in its disabled text colour.
  if (auto* days = calendar->findChild<QAbstractItemView*>()) {
    QPalette palette = days->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      palette.setColor(group, QPalette::Base, Background);
      palette.setColor(group, QPalette::AlternateBase, Background);
      palette.setColor(group, QPalette::Window, Background);
      palette.setColor(group, QPalette::Text, group == QPalette::Disabled ? OtherMonth : Text);
      palette.setColor(group, QPalette::Highlight, TitleBackground);
    }
    days->setPalette(palette);
  }
  QTextCharFormat dayFormat;
  dayFormat.setForeground(Text);
  for (int d = Qt::Monday; d <= Qt::Sunday; ++d)
    calendar->setWeekdayTextFormat(static_cast<Qt::DayOfWeek>(d), dayFormat);
  QTextCharFormat header;
  header.setForeground(Text);
  header.setBackground(Background);
  header.setFontWeight(QFont::Bold);
  calendar->setHeaderTextFormat(header);
  calendar->setStyleSheet(
      QStringLiteral("QCalendarWidget QWidget#qt_calendar_navigationbar { background: #5978B2; }"
                     "QCalendarWidget QToolButton { color: white; background: #5978B2; "
                     "font-weight: bold; }"));
}

} // namespace

FKal::FKal(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FKal"));
  FormCreate();
}

void FKal::FormCreate() {
  setWindowTitle(QStringLiteral("Kesselwerk"));
  InstallHelpKey(this, help::Calendar);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  mc1_ = new QCalendarWidget(this);
  mc1_->setObjectName(QStringLiteral("MC1"));
  mc1_->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
  mc1_->setGridVisible(true);
  mc1_->setFirstDayOfWeek(Qt::Monday);
  mc1_->setLocale(QLocale(QLocale::German, QLocale::Germany));
  colourCalendar(mc1_);
  mc1_->setSelectedDate(QDate::currentDate());
  layout->addWidget(mc1_, 1);

  auto* bottom = new QWidget(this);
  bottom->setObjectName(QStringLiteral("PUnten"));
  auto* bar = new QHBoxLayout(bottom);
  bar->addStretch(1);
  auto* close = new QPushButton(QStringLiteral("Sch&ließen"), bottom);
  close->setObjectName(QStringLiteral("BitBtn8"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  bar->addWidget(close);
  layout->addWidget(bottom);
  resize(614, 436);
}

FKal::~FKal() { cancelTypedDate(); }

void FKal::closeEvent(QCloseEvent* event) {
  QApplication::restoreOverrideCursor();
  cancelTypedDate();
  event->accept();
}

// Digits typed into the calendar open a small date input that the calendar frees only when
// the date is taken or cancelled; the window frees itself on closing, so a date still being
// typed is cancelled first, as Esc would, or its memory would stay behind.
void FKal::cancelTypedDate() {
  auto* view = mc1_->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
  if (!view)
    return;
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(view, &escape);
}

} // namespace kw
