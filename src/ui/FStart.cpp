#include "ui/FStart.h"

#include "core/Version.h"
#include "ui/Help.h"
#include "ui/HelpTopics.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QThread>

namespace kw {

FStart::FStart(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("FStart"));
  setWindowTitle(QStringLiteral("Kesselwerk ") + QString::fromLatin1(ProductVersion));
  setFixedSize(400, 300);
  InstallHelpKey(this, help::Tools);

  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setGeometry(0, 0, 400, 300);
  QPixmap pixmap(400, 300);
  pixmap.fill(Qt::white);
  {
    QPainter painter(&pixmap);
    QSvgRenderer(QStringLiteral(":/pictures/start.svg")).render(&painter, QRectF(0, 0, 400, 300));
  }
  picture->setPixmap(pixmap);

  auto* version = new QLabel(QString::fromLatin1(ProductVersion), this);
  version->setObjectName(QStringLiteral("LVersion"));
  version->setStyleSheet(QStringLiteral("color: #FFFFFF; font-weight: bold;"));
  version->setGeometry(20, 262, 160, 20);

  weiter_ = new QPushButton(QStringLiteral("Weiter"), this);
  weiter_->setObjectName(QStringLiteral("BWeiter"));
  weiter_->setGeometry(300, 258, 85, 28);
  weiter_->setEnabled(false);
  connect(weiter_, &QPushButton::clicked, this, &FStart::BWeiterClick);

  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void FStart::EnableWeiter() {
  weiter_->setEnabled(true);
  weiter_->setCursor(Qt::PointingHandCursor);
  weiter_->setDefault(true);
  weiter_->setFocus();
}

void FStart::BWeiterClick() {
  weiter_->hide();
  QApplication::processEvents();
  weiter_->setEnabled(false);
  close();
}

void FStart::closeEvent(QCloseEvent* event) {
  if (!fading_) {
    fading_ = true;
    crossFadeToMainWindow();
  }
  event->accept();
  deleteLater();
}

// 255 steps of 5 ms: the main window comes up as this window goes.
void FStart::crossFadeToMainWindow() {
  for (int v = 1; v <= 255; ++v) {
    emit mainWindowOpacity(v / 255.0);
    setWindowOpacity((255 - v) / 255.0);
    QElapsedTimer step;
    step.start();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const qint64 rest = 5 - step.elapsed();
    if (rest > 0)
      QThread::msleep(static_cast<unsigned long>(rest));
  }
  emit mainWindowOpacity(1.0);
}

} // namespace kw
