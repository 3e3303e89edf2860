#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace kw {

// Synchronous HTTP transfers of the update check. They run on the calling thread: a local
// event loop serves the network until the transfer has ended.

// Lets the owner of transfers end them from outside (a window being closed): abort() ends
// a waiting transfer at once, and every later one ends before it sends a request.
class TransferControl : public QObject {
  Q_OBJECT
public:
  void abort();
  bool aborted() const { return aborted_; }

  // Whether the waiting loop serves user input. Off, input waits until the transfer has
  // ended (the windows do not respond); on, the caller keeps unwanted input away itself.
  bool serveUserInput = false;

signals:
  void abortRequested();

private:
  bool aborted_ = false;
};

enum class DownloadStatus {
  Complete,  // the whole body arrived (and replaced the local file)
  Failed,    // no answer, an answer other than 2xx, or a body broken off
  FileError, // the local file could not be written
  Aborted,   // ended through the TransferControl
};

struct DownloadResult {
  DownloadStatus status = DownloadStatus::Failed;
  QString fileError; // the German message for FileError
};

// Fetches url into path. The body is written into a temporary file beside path and only
// renamed onto path once it is complete, so a failed or aborted transfer leaves no partial
// file. agent is sent as the user agent.
DownloadResult DownloadFile(const QString& url, const QString& path,
                            const TransferControl* control = nullptr,
                            const QString& agent = QStringLiteral("Kesselwerk"));

struct FetchResult {
  DownloadStatus status = DownloadStatus::Failed; // never FileError
  QByteArray body;                                // the whole body when Complete
};

// Fetches url into memory.
FetchResult FetchBytes(const QString& url, const TransferControl* control = nullptr,
                       const QString& agent = QStringLiteral("Kesselwerk"));

// How long a transfer may stall before it counts as broken off.
inline constexpr int DownloadStallTimeoutMs = 30'000;

} // namespace kw
