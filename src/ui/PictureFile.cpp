#include "ui/PictureFile.h"

#include "files/TextFile.h"
#include "ui/Dialogs.h"

#include <QBuffer>
#include <QByteArray>
#include <QPixmap>
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

} // namespace kw
