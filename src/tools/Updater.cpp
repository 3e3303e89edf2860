#include "tools/Updater.h"

#include "files/Folders.h"
#include "files/Settings.h"
#include "files/TextFile.h"
#include "tools/ProgramFormat.h"
#include "tools/RemovalScript.h"
#include "tools/UpdatePlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryFile>

namespace kw {
namespace {

// The maker's server; the base address can be changed in optionen.ini.
const QString DefaultServer = QStringLiteral("https://www.kesselwerk.de");
const QString VersionFilePath = QStringLiteral("/downloads/verinfos.kw");
const QString InstallerPath = QStringLiteral("/downloads/kwupdate.exe");
const QString NewsPath = QStringLiteral("/KW/aktuell.html");

// Windows hands programs to its shell, which also raises an installer that asks for
// administrator rights; elsewhere the installer is executed directly.
constexpr bool InstallersStartThroughShell = NativeProgramFormat == ProgramFormat::WindowsExe;

std::span<const uint8_t> asBytes(const QByteArray& bytes) {
  return std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

QString decodedPage(const QByteArray& page) {
  QStringDecoder decoder = QStringDecoder::decoderForHtml(page);
  return decoder.isValid() ? decoder.decode(page) : QString::fromUtf8(page);
}

// The command that runs the removal script hidden, off the program's folder.
ProcessStart removalScriptStart(const QString& script, const QString& tempFolder) {
  if constexpr (NativeRemovalScriptKind == RemovalScriptKind::WindowsBatch) {
    // Delayed expansion off, so that the doubled '%' of the paths stay literal.
    return {QStringLiteral("cmd.exe"),
            {QStringLiteral("/d"), QStringLiteral("/v:off"), QStringLiteral("/c"), script},
            tempFolder,
            true};
  }
  return {QStringLiteral("/bin/sh"), {script}, tempFolder, false};
}

} // namespace

Updater::Updater(UpdatePlatform& platform) : platform_(platform) {}

QString Updater::ServerBase() {
  QString base = qEnvironmentVariable("KESSELWERK_UPDATE_URL");
  if (base.isEmpty())
    base = ReadUpdateServer(DefaultServer);
  while (base.endsWith(QLatin1Char('/')))
    base.chop(1);
  return base;
}

QString Updater::VersionFileCopy() { return TempDir() + QStringLiteral("verinfos.kw"); }

QString Updater::InstallerCopy() { return DataDir() + QStringLiteral("Update.exe"); }

bool Updater::isOnline() { return platform_.isOnline(); }

QString Updater::programFile() { return platform_.programFile(); }

VersionCheck Updater::checkVersion() {
  VersionCheck check;
  const QString copy = VersionFileCopy();
  QFile::remove(copy);
  const DownloadResult download = DownloadFile(ServerBase() + VersionFilePath, copy, &transfers_);
  if (download.status == DownloadStatus::Aborted) {
    check.status = CheckStatus::Cancelled;
    return check;
  }
  // A copy that could not be written counts as a failed transfer.
  if (download.status != DownloadStatus::Complete) {
    check.status = CheckStatus::TransferFailed;
    return check;
  }
  const FileBytes bytes = ReadFileBytes(copy);
  if (!bytes.ok()) {
    check.status = CheckStatus::CopyUnreadable;
    check.readError = bytes.error;
    return check;
  }
  check.file = ParseVersionFile(asBytes(bytes.bytes));
  check.status = check.file.ok() ? CheckStatus::Read : CheckStatus::FileRefused;
  return check;
}

DownloadStatus Updater::downloadInstaller() {
  if (cancelled())
    return DownloadStatus::Aborted;
  const QString installer = InstallerCopy();
  if (QFile::exists(installer) && !QFile::remove(installer))
    return DownloadStatus::FileError;
  return DownloadFile(ServerBase() + InstallerPath, installer, &transfers_).status;
}

NewsPage Updater::fetchNews() {
  NewsPage news;
  news.url = QUrl(ServerBase() + NewsPath);
  const FetchResult page = FetchBytes(news.url.toString(), &transfers_);
  switch (page.status) {
  case DownloadStatus::Complete:
    news.status = NewsStatus::Loaded;
    news.html = decodedPage(page.body);
    break;
  case DownloadStatus::Aborted:
    news.status = NewsStatus::Cancelled;
    break;
  default:
    news.status = NewsStatus::Failed;
    break;
  }
  return news;
}

std::optional<QUrl> Updater::NewsLinkTarget(const QUrl& page, const QUrl& link) {
  if (!link.isValid())
    return std::nullopt;
  const QUrl target = page.resolved(link);
  const QString scheme = target.scheme().toLower();
  if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
      target.host().isEmpty())
    return std::nullopt;
  return target;
}

bool Updater::openNewsLink(const QUrl& link) {
  const std::optional<QUrl> target = NewsLinkTarget(QUrl(ServerBase() + NewsPath), link);
  return target && platform_.openWithDesktop(*target);
}

bool Updater::installerRunsHere() { return platform_.isInstaller(InstallerCopy()); }

InstallStart Updater::startInstaller() {
  const QString installer = InstallerCopy();
  if (!platform_.isInstaller(installer))
    return InstallStart::NotRunnableHere;
  if (!launchInstaller(installer))
    return InstallStart::Refused;
  removeProgramAndQuit();
  return InstallStart::Started;
}

bool Updater::launchInstaller(const QString& installer) {
  if constexpr (InstallersStartThroughShell)
    return platform_.openWithDesktop(QUrl::fromLocalFile(installer));
  return platform_.startProcess({installer, {}, QFileInfo(installer).absolutePath(), false});
}

void Updater::removeProgramAndQuit() {
  const QString program = platform_.programFile();
  const QString tempFolder = TempDir();
  const QString script = WriteRemovalScript(program, tempFolder);
  if (!script.isEmpty()) {
    // A read-only program file could not be deleted by the script.
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::WriteOwner);
    // The script runs in the temporary folder, so that the program's folder is not in use.
    platform_.startProcess(removalScriptStart(script, tempFolder));
  }
  // The installer runs and waits for the program to end, whether or not the script could
  // be started; without it the old program file merely stays in place.
  platform_.quitProgram();
}

void Updater::cancel() { transfers_.abort(); }

QString Updater::WriteRemovalScript(const QString& program, const QString& tempFolder) {
  QTemporaryFile unique(QDir(tempFolder).filePath(QStringLiteral("uisXXXXXX.tmp")));
  unique.setAutoRemove(false); // the first name stays taken, as the system's unique names do
  if (!unique.open())
    return {};
  auto local = [](const QString& path) {
    return QDir::toNativeSeparators(path).toLocal8Bit().toStdString();
  };
  const RemovalScriptPaths paths{
      local(program), local(QFileInfo(program).absolutePath() + QLatin1Char('/')),
      local(tempFolder), RemovalScriptPathFor(local(unique.fileName()), NativeRemovalScriptKind)};
  const std::optional<std::string> content = RemovalScriptContent(paths, NativeRemovalScriptKind);
  if (!content)
    return {};
  const QString script = QString::fromLocal8Bit(paths.scriptFile);
  if (!WriteFileBytes(script,
                      QByteArrayView(content->data(), static_cast<qsizetype>(content->size())))
           .isEmpty())
    return {};
  return script;
}

} // namespace kw
