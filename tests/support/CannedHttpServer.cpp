#include "support/CannedHttpServer.h"

#include <QTcpSocket>

namespace kw::test {

CannedHttpServer::CannedHttpServer() {
  server_.listen(QHostAddress::LocalHost, 0);
  connect(&server_, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
      connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
        if (held_.remove(socket))
          ++droppedByClient;
        buffers_.remove(socket);
        socket->deleteLater();
      });
    }
  });
}

QString CannedHttpServer::base() const {
  return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
}

QByteArray CannedHttpServer::ok(const QByteArray& body) {
  return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
         QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray CannedHttpServer::notFound(const QByteArray& body) {
  return "HTTP/1.1 404 Not Found\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray CannedHttpServer::cut(const QByteArray& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body.left(body.size() / 2);
}

void CannedHttpServer::answer(QTcpSocket* socket) {
  if (held_.contains(socket)) {
    socket->readAll();
    return;
  }
  QByteArray& buffer = buffers_[socket];
  buffer += socket->readAll();
  if (!buffer.contains("\r\n\r\n"))
    return;
  const QByteArray path = buffer.split(' ').value(1);
  buffers_.remove(socket);
  requests << path;
  if (onRequest)
    onRequest(path);
  if (silent.contains(path)) {
    held_.insert(socket); // the client is left waiting
    return;
  }
  socket->write(responses.value(path, notFound()));
  socket->disconnectFromHost();
}

} // namespace kw::test
