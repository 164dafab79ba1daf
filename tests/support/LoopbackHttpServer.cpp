// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

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
    Resource resource;
    resource.status = status;
    resource.headers = headers;
    resource.body = body;
    m_resources.insert(path, resource);
}

void LoopbackHttpServer::serveSignedIn(const QString& path, const QString& realm,
                                       const QString& user, const QString& password,
                                       const QByteArray& body, bool proxy) {
    serve(path, body);
    Resource& resource = m_resources[path];
    resource.credentials = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
    resource.realm = realm.toUtf8();
    resource.proxy = proxy;
}

void LoopbackHttpServer::serveHeld(const QString& path, const QByteArray& headers,
                                   const QByteArray& body, qsizetype sent) {
    serveRaw(path, "200 OK", headers, body);
    m_resources[path].sent = sent;
}

void LoopbackHttpServer::dropHeld() {
    for (QTcpSocket* socket : std::as_const(m_held))
        socket->abort();
    m_held.clear();
}

namespace {

QByteArray headerValue(const QByteArray& request, const QByteArray& name) {
    for (const QByteArray& line : request.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace

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
    } else if (!found->credentials.isEmpty() &&
               headerValue(request, found->proxy ? "Proxy-Authorization" : "Authorization") !=
                   found->credentials) {
        const QByteArray text = "sign in first";
        reply =
            "HTTP/1.0 " +
            QByteArray(found->proxy ? "407 Proxy Authentication Required\r\nProxy-"
                                    : "401 Unauthorized\r\nWWW-") +
            "Authenticate: Basic realm=\"" + found->realm +
            "\"\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(text.size()) +
            "\r\nConnection: close\r\n\r\n" + text;
    } else {
        const QByteArray body = found->sent < 0 ? found->body : found->body.left(found->sent);
        reply = "HTTP/1.0 " + found->status + "\r\n" + found->headers +
                "Content-Length: " + QByteArray::number(found->body.size()) +
                "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
        if (found->sent >= 0) {
            socket->write(reply);
            m_held << socket;
            connect(socket, &QObject::destroyed, this,
                    [this, socket] { m_held.removeAll(socket); });
            return;
        }
    }
    socket->write(reply);
    socket->disconnectFromHost();
}

} // namespace zelvorin::test
