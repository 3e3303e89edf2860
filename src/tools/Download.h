#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kw {

// Synchronous HTTP transfers of the update check. They run on the calling thread: a local
// event loop serves the network while user input stays blocked, so the windows do not
// respond until the transfer has ended.

enum class DownloadStatus {
  Complete,  // the whole body arrived and replaced the local file
  Failed,    // no answer, an answer other than 2xx, or a body broken off
  FileError, // the local file could not be written
};

struct DownloadResult {
  DownloadStatus status = DownloadStatus::Failed;
  QString fileError; // the German message for FileError
};

// Fetches url into path. The body is written into a temporary file beside path and only
// renamed onto path once it is complete, so a failed transfer leaves no partial file.
// agent is sent as the user agent.
DownloadResult DownloadFile(const QString& url, const QString& path,
                            const QString& agent = QStringLiteral("Kesselwerk"));

// Fetches url into memory; nothing when it failed as above.
std::optional<QByteArray> FetchBytes(const QString& url,
                                     const QString& agent = QStringLiteral("Kesselwerk"));

// How long a transfer may stall before it counts as broken off.
inline constexpr int DownloadStallTimeoutMs = 30'000;

} // namespace kw
