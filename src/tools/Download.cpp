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

enum class TransferEnd { Complete, Failed, Aborted };

// Runs one GET to its end, handing every arriving piece of the body to onData (which
// returns false to stop). Complete when the answer was 2xx and its body arrived whole.
TransferEnd transfer(const QString& url, const QString& agent, const TransferControl* control,
                     const std::function<bool(const QByteArray&)>& onData) {
  if (control && control->aborted())
    return TransferEnd::Aborted;
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
  if (control)
    QObject::connect(control, &TransferControl::abortRequested, reply.get(), &QNetworkReply::abort);
  if (!reply->isFinished())
    loop.exec(control && control->serveUserInput ? QEventLoop::AllEvents
                                                 : QEventLoop::ExcludeUserInputEvents);
  if (control && control->aborted())
    return TransferEnd::Aborted;
  const QByteArray rest = reply->readAll();
  received += rest.size();
  if (dataAccepted && !rest.isEmpty() && !onData(rest))
    dataAccepted = false;

  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
  // A body shorter than announced was broken off even where the reply reports no error.
  const bool whole = !announced.isValid() || announced.toLongLong() == received;
  const bool complete = dataAccepted && reply->error() == QNetworkReply::NoError && status >= 200 &&
                        status < 300 && whole;
  return complete ? TransferEnd::Complete : TransferEnd::Failed;
}

} // namespace

void TransferControl::abort() {
  if (aborted_)
    return;
  aborted_ = true;
  emit abortRequested();
}

DownloadResult DownloadFile(const QString& url, const QString& path, const TransferControl* control,
                            const QString& agent) {
  if (control && control->aborted())
    return {DownloadStatus::Aborted, {}};
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return {DownloadStatus::FileError, WriteErrorMessage(path, file.errorString())};
  const TransferEnd end = transfer(url, agent, control, [&file](const QByteArray& piece) {
    return file.write(piece) == piece.size();
  });
  if (end == TransferEnd::Aborted) {
    file.cancelWriting();
    return {DownloadStatus::Aborted, {}};
  }
  if (file.error() != QFileDevice::NoError) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return {DownloadStatus::FileError, WriteErrorMessage(path, reason)};
  }
  if (end != TransferEnd::Complete) {
    file.cancelWriting();
    return {DownloadStatus::Failed, {}};
  }
  // commit does not report a failed flush of the buffered tail (a full disk): flush first.
  if (!file.flush() || !file.commit())
    return {DownloadStatus::FileError, WriteErrorMessage(path, file.errorString())};
  return {DownloadStatus::Complete, {}};
}

FetchResult FetchBytes(const QString& url, const TransferControl* control, const QString& agent) {
  FetchResult result;
  const TransferEnd end = transfer(url, agent, control, [&result](const QByteArray& piece) {
    result.body += piece;
    return true;
  });
  if (end != TransferEnd::Complete)
    result.body.clear();
  result.status = end == TransferEnd::Complete  ? DownloadStatus::Complete
                  : end == TransferEnd::Aborted ? DownloadStatus::Aborted
                                                : DownloadStatus::Failed;
  return result;
}

} // namespace kw
