#include "files/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kw {
namespace {

QString withSeparator(QString path) {
  if (!path.endsWith(QLatin1Char('/')))
    path += QLatin1Char('/');
  return path;
}

} // namespace

QString ProgramDir() { return withSeparator(QCoreApplication::applicationDirPath()); }

QString DataDir() {
  const QString overridden = qEnvironmentVariable("KESSELWERK_DATA_DIR");
  if (!overridden.isEmpty())
    return withSeparator(QDir::cleanPath(overridden));
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return withSeparator(base + QStringLiteral("/Kesselwerk"));
}

QString PermanenceDir() { return DataDir() + QStringLiteral("Permanenzen/"); }

QString TempDir() { return withSeparator(QDir::tempPath()); }

void PrepareFolders() { QDir().mkpath(PermanenceDir()); }

QString ShortFileDisplay(const QString& path) {
  return QStringLiteral("...") + QDir::separator() + QFileInfo(path).fileName();
}

} // namespace kw
