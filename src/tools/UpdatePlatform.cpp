#include "tools/UpdatePlatform.h"

#include "tools/ProgramFormat.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QNetworkInformation>
#include <QProcess>

#include <cstdio>
#include <cstdlib>

namespace kw {

bool SystemPlatform::isOnline() {
  // Where the platform has no backend for it, a connection is assumed: a check without one
  // fails with its own message anyway.
  static const bool loaded =
      QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability) ||
      QNetworkInformation::loadDefaultBackend();
  const QNetworkInformation* information = QNetworkInformation::instance();
  if (!loaded || !information)
    return true;
  return information->reachability() != QNetworkInformation::Reachability::Disconnected;
}

bool SystemPlatform::startProcess(const ProcessStart& start) {
  QProcess process;
  process.setProgram(start.program);
  process.setArguments(start.arguments);
  process.setWorkingDirectory(start.workingFolder);
#ifdef Q_OS_WIN
  if (start.hiddenWindow)
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
      arguments->flags |= 0x08000000; // CREATE_NO_WINDOW
    });
#endif
  // Reports a program that could not be executed (missing, not executable, of a foreign
  // kind) as a failure, not only a failed fork.
  return process.startDetached();
}

bool SystemPlatform::isInstaller(const QString& path) {
  const QFileInfo info(path);
  // A device or FIFO is never read: it could block or never end.
  if (!info.isFile())
    return false;
  if (NativeProgramFormat != ProgramFormat::WindowsExe && !info.isExecutable())
    return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return false;
  const QByteArray head = file.read(ProgramHeadSize);
  return RunsOnThisSystem(DetectProgramFormat(
      std::span(reinterpret_cast<const uint8_t*>(head.constData()), size_t(head.size()))));
}

QString SystemPlatform::programFile() { return QCoreApplication::applicationFilePath(); }

void SystemPlatform::quitProgram() {
  std::fflush(nullptr);
  std::_Exit(0);
}

} // namespace kw
