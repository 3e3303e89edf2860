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

std::vector<uint8_t> RecordedCoups(const QString& name, int handChangeEvery, uint8_t handChange) {
  const QByteArray bytes = ReadBytes(SharedDataFile(name));
  std::vector<uint8_t> entries;
  int number = -1;
  int coups = 0;
  const auto finishNumber = [&] {
    if (number < 0)
      return;
    entries.push_back(static_cast<uint8_t>(number));
    if (handChangeEvery > 0 && ++coups % handChangeEvery == 0)
      entries.push_back(handChange);
    number = -1;
  };
  for (const char c : bytes) {
    if (c >= '0' && c <= '9')
      number = (number < 0 ? 0 : number * 10) + (c - '0');
    else
      finishNumber();
  }
  finishNumber();
  return entries;
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

CliRun RunCli(const QString& command, const QString& dataDir, const QStringList& args,
              int timeoutMs) {
  QProcess p;
  p.start(qEnvironmentVariable("KESSELWERK_BIN_DIR") + QStringLiteral("/kesselwerk-cli"),
          QStringList{command, QStringLiteral("--data-dir"), dataDir} + args);
  if (!p.waitForFinished(timeoutMs))
    return {};
  return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace kw::test
