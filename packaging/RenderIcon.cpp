// Renders the application's SVG icon into a square PNG for one size of the hicolor icon
// theme. Runs at build time: painting into an image needs neither a display nor an
// application object.
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fputs("Aufruf: kw_render_icon SVG-DATEI GROESSE PNG-DATEI\n", stderr);
    return 2;
  }
  const QString svg = QString::fromLocal8Bit(argv[1]);
  const int size = QByteArray(argv[2]).toInt();
  const QString png = QString::fromLocal8Bit(argv[3]);

  QSvgRenderer renderer(svg);
  if (!renderer.isValid() || size <= 0) {
    std::fprintf(stderr, "kw_render_icon: %s ist kein lesbares SVG-Bild\n", argv[1]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(0, 0, size, size));
  painter.end();
  QSaveFile file(png);
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.flush() ||
      !file.commit()) {
    std::fprintf(stderr, "kw_render_icon: %s kann nicht geschrieben werden\n", argv[3]);
    return 1;
  }
  return 0;
}
