#include "ui/PictureFile.h"

#include "files/TextFile.h"
#include "ui/Dialogs.h"

#include <QBuffer>
#include <QByteArray>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

namespace kw {

void SavePictureAsPng(QWidget* window, QWidget* picture) {
  Dialogs& dialogs = Dialogs::instance();
  Dialogs::FileRequest request;
  request.title = QStringLiteral("Bild speichern");
  request.filter = QStringLiteral("PNG-Bild (*.png)");
  request.defaultSuffix = QStringLiteral("png");
  const QString path = dialogs.saveFile(window, request);
  if (path.isEmpty())
    return;
  // The image is made in memory first, so a file is only written whole.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!picture->grab().save(&buffer, "PNG")) {
    dialogs.error(window, WriteErrorMessage(path, QStringLiteral("Das Bild ließ sich nicht "
                                                                 "erzeugen.")));
    return;
  }
  if (const QString error = WriteFileBytes(path, png); !error.isEmpty())
    dialogs.error(window, error);
}

QHBoxLayout* PictureButtons(QWidget* window, const std::function<void()>& save) {
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* saveButton = new QPushButton(QStringLiteral("Als &PNG speichern..."), window);
  saveButton->setObjectName(QStringLiteral("BSpeichern"));
  QObject::connect(saveButton, &QPushButton::clicked, window, save);
  buttons->addWidget(saveButton);
  auto* close = new QPushButton(QStringLiteral("Schl&ießen"), window);
  close->setObjectName(QStringLiteral("BSchliessen"));
  QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
  buttons->addWidget(close);
  return buttons;
}

} // namespace kw
