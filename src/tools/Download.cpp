#include "tools/Download.h"

#include "files/TextFile.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

#include <functional>
#include <memory>

namespace kw {
namespace {

// The proxies the system is configured with (on Unix the *_proxy variables).
class SystemProxies : public QNetworkProxyFactory {
public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
    return systemProxyForQuery(query);
  }
};

// Runs one GET to its end, handing every arriving piece of the body to onData (which
// returns false to stop). True when the answer was 2xx and its body arrived whole.
bool transfer(const QString& url, const QString& agent,
              const std::function<bool(const QByteArray&)>& onData) {
  QNetworkAccessManager manager;
  manager.setProxyFactory(new SystemProxies); // the manager takes it over
  QNetworkRequest request{QUrl(url)};
  request.setHeader(QNetworkRequest::UserAgentHeader, agent);
  request.setTransferTimeout(DownloadStallTimeoutMs);
  std::unique_ptr<QNetworkReply> reply(manager.get(request));
  bool dataAccepted = true;
  qint64 received = 0;
  QEventLoop loop;
  QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
    const QByteArray piece = reply->readAll();
    received += piece.size();
    if (dataAccepted && !onData(piece)) {
      dataAccepted = false;
      reply->abort();
    }
  });
  QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished())
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  const QByteArray rest = reply->readAll();
  received += rest.size();
  if (dataAccepted && !rest.isEmpty() && !onData(rest))
    dataAccepted = false;

  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
  // A body shorter than announced was broken off even where the reply reports no error.
  const bool whole = !announced.isValid() || announced.toLongLong() == received;
  return dataAccepted && reply->error() == QNetworkReply::NoError && status >= 200 &&
         status < 300 && whole;
}

} // namespace

DownloadResult DownloadFile(const QString& url, const QString& path, const QString& agent) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return {DownloadStatus::FileError, WriteErrorMessage(path, file.errorString())};
  const bool complete = transfer(
      url, agent, [&file](const QByteArray& piece) { return file.write(piece) == piece.size(); });
  if (file.error() != QFileDevice::NoError) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return {DownloadStatus::FileError, WriteErrorMessage(path, reason)};
  }
  if (!complete) {
    file.cancelWriting();
    return {DownloadStatus::Failed, {}};
  }
  // commit does not report a failed flush of the buffered tail (a full disk): flush first.
  if (!file.flush() || !file.commit())
    return {DownloadStatus::FileError, WriteErrorMessage(path, file.errorString())};
  return {DownloadStatus::Complete, {}};
}

std::optional<QByteArray> FetchBytes(const QString& url, const QString& agent) {
  QByteArray body;
  if (!transfer(url, agent, [&body](const QByteArray& piece) {
        body += piece;
        return true;
      }))
    return std::nullopt;
  return body;
}

} // namespace kw
