#pragma once

#include "tools/Download.h"
#include "tools/UpdateCheck.h"

#include <QString>
#include <QUrl>

#include <optional>
#include <string_view>

namespace kw {

class UpdatePlatform;

// The maker's web site, where the installer can also be fetched by hand.
inline constexpr std::string_view UpdateWebSite = "www.kesselwerk.de";

enum class CheckStatus {
  Read,           // the published version was read
  TransferFailed, // the version file could not be fetched (or its copy not written)
  CopyUnreadable, // the fetched copy could not be read back
  FileRefused,    // the version file holds no usable last record
  Cancelled,      // ended by cancel()
};

struct VersionCheck {
  CheckStatus status = CheckStatus::TransferFailed;
  VersionFileResult file; // Read: the published version; FileRefused: why it was refused
  QString readError;      // CopyUnreadable: the system's reason

  bool updateAvailable() const {
    return status == CheckStatus::Read && !IsSameVersion(file.published);
  }
};

enum class NewsStatus { Loaded, Failed, Cancelled };

struct NewsPage {
  NewsStatus status = NewsStatus::Failed;
  QUrl url;
  QString html; // Loaded: the page decoded by its declared or sniffed encoding
};

enum class InstallStart {
  NotRunnableHere, // no installer this system can run: nothing started, nothing removed
  Refused,         // the system did not start it: nothing removed
  Started,         // it runs; the program's removal has begun and the program was ended
};

// The update check without its window: fetches the published version and compares it with
// the installed one, downloads the installer, starts it and then removes the running
// program, and fetches the news page. Every transfer waits on the calling thread; the
// system is reached only through the UpdatePlatform.
class Updater {
public:
  explicit Updater(UpdatePlatform& platform);

  // The server's base address: KESSELWERK_UPDATE_URL, else optionen.ini [Update] Server,
  // else the maker's server; without a trailing slash.
  static QString ServerBase();
  // The local copies: the version file in the temporary folder, the installer in the data
  // folder.
  static QString VersionFileCopy();
  static QString InstallerCopy();

  bool isOnline();
  // The running program's file, which an installation removes.
  QString programFile();

  // Replaces the local copy of the version file by the published one and reads it.
  VersionCheck checkVersion();
  // Replaces the installer copy by a fresh download. FileError also when an old copy
  // cannot be removed (then nothing is fetched).
  DownloadStatus downloadInstaller();
  NewsPage fetchNews();

  // Where a link of the news page leads when the desktop may open it: only http and https
  // addresses, relative links resolved against the page. Nothing for any other scheme.
  static std::optional<QUrl> NewsLinkTarget(const QUrl& page, const QUrl& link);
  // Hands an allowed link of the news page to the desktop; false when it is not allowed
  // or the desktop refused it.
  bool openNewsLink(const QUrl& link);

  // Whether the downloaded installer is a program this system can start.
  bool installerRunsHere();
  // Starts the installer; only once it demonstrably runs, writes and starts the script
  // that removes the program and ends the program. Returns (with Started) only where the
  // platform's end of the program returns, as in tests.
  InstallStart startInstaller();

  // Ends a waiting transfer at once and every later one before it begins: the window that
  // asked for them has been closed.
  void cancel();
  bool cancelled() const { return transfers_.aborted(); }
  // See TransferControl::serveUserInput.
  void setServeUserInputWhileWaiting(bool serve) { transfers_.serveUserInput = serve; }

  // Writes the script that removes program (and its folder when empty) into tempFolder,
  // under a fresh unique name starting with "uis"; returns its path, or an empty text when
  // it could not be written.
  static QString WriteRemovalScript(const QString& program, const QString& tempFolder);

private:
  bool launchInstaller(const QString& installer);
  void removeProgramAndQuit();

  UpdatePlatform& platform_;
  TransferControl transfers_;
};

} // namespace kw
