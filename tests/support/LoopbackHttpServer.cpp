#include "LoopbackHttpServer.h"

#include <QTcpSocket>

namespace zelvorin::test {

LoopbackHttpServer::LoopbackHttpServer(QObject* parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool LoopbackHttpServer::start() {
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl LoopbackHttpServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

QUrl LoopbackHttpServer::urlOnOtherHost(const QString& path) const {
    return QUrl(QStringLiteral("http://localhost:%1%2").arg(port()).arg(path));
}

void LoopbackHttpServer::serve(const QString& path, const QByteArray& body,
                               const QByteArray& contentType) {
    serveRaw(path, "200 OK", "Content-Type: " + contentType + "\r\n", body);
}

void LoopbackHttpServer::serveRaw(const QString& path, const QByteArray& status,
                                  const QByteArray& headers, const QByteArray& body) {
    m_resources.insert(path, {status, headers, body});
}

void LoopbackHttpServer::answer(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QString path =
        words.size() > 1 ? QUrl(QString::fromLatin1(words[1])).path() : QStringLiteral("/");
    m_requests << path;
    QByteArray reply;
    const auto found = m_resources.constFind(path);
    if (found == m_resources.constEnd()) {
        reply = "HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: 9\r\n"
                "Connection: close\r\n\r\nnot found";
    } else {
        reply = "HTTP/1.0 " + found->status + "\r\n" + found->headers +
                "Content-Length: " + QByteArray::number(found->body.size()) +
                "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + found->body;
    }
    socket->write(reply);
    socket->disconnectFromHost();
}

} // namespace zelvorin::test
