#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kw::test {

QString SharedDataFile(const QString& name) {
  QString shared = qEnvironmentVariable("KESSELWERK_SHARED_DIR");
  if (shared.isEmpty())
    shared = QStringLiteral(KESSELWERK_SHARED_DIR_DEFAULT);
  return shared + QStringLiteral("/data/real/") + name;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace kw::test
