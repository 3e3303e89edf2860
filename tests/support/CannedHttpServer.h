#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace kw::test {

// A real HTTP server on 127.0.0.1 that answers every request with the canned response
// for its path and then closes; a path in `silent` is never answered.
class CannedHttpServer : public QObject {
public:
  QHash<QByteArray, QByteArray> responses; // path -> the whole raw response
  QSet<QByteArray> silent;                 // paths whose requests wait for ever
  QList<QByteArray> requests;              // the paths asked for, in order
  int droppedByClient = 0;                 // connections the client closed unanswered
  // Called with each request's path once it has arrived (before it is answered).
  std::function<void(const QByteArray&)> onRequest;

  CannedHttpServer();

  QString base() const;

  static QByteArray ok(const QByteArray& body);
  static QByteArray notFound(const QByteArray& body = "nicht gefunden");
  // Announces the whole body but sends only its first half before closing.
  static QByteArray cut(const QByteArray& body);

private:
  void answer(QTcpSocket* socket);

  QTcpServer server_;
  QHash<QTcpSocket*, QByteArray> buffers_; // requests still arriving
  QSet<QTcpSocket*> held_;                 // requests to silent paths
};

} // namespace kw::test
