#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>

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

QJsonObject ReadWorkbook(const QString& path, int sheet) {
  QProcess python;
  python.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(KESSELWERK_TEST_SUPPORT_DIR "/read_workbook.py"), path,
                QString::number(sheet)});
  if (!python.waitForFinished(60000) || python.exitCode() != 0)
    return {};
  return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

} // namespace kw::test
