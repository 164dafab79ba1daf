// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A tiny HTTP/1.0 server on 127.0.0.1 for browser tests: serves fixed pages from memory
// and records the paths asked for. It runs on the test's thread, so it answers whenever
// the test spins the event loop (QTRY_* and QTest::qWait do).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

namespace zelvorin::test {

class LoopbackHttpServer : public QObject {
    Q_OBJECT
public:
    explicit LoopbackHttpServer(QObject* parent = nullptr);

    bool start();
    quint16 port() const { return m_server.serverPort(); }
    // http://127.0.0.1:<port><path>
    QUrl url(const QString& path) const;
    // A second name for the same server, so pages can be of another origin.
    QUrl urlOnOtherHost(const QString& path) const;

    void serve(const QString& path, const QByteArray& body,
               const QByteArray& contentType = "text/html; charset=utf-8");
    // A reply with its own status line and header lines ("Name: value\r\n" each), such
    // as a redirect ("302 Found", "Location: ...\r\n") or a page with a policy header.
    void serveRaw(const QString& path, const QByteArray& status, const QByteArray& headers,
                  const QByteArray& body = {});
    // A page behind a sign-in: without the user name and password (HTTP Basic) the answer
    // is "401 Unauthorized" asking for them in `realm`; as a proxy asks ("407", the
    // Proxy-* headers) when `proxy` is set.
    void serveSignedIn(const QString& path, const QString& realm, const QString& user,
                       const QString& password, const QByteArray& body, bool proxy = false);
    // A reply that announces the whole body but sends only its first `sent` bytes and then
    // holds the connection open, as a slow server does; `dropHeld` closes such connections.
    void serveHeld(const QString& path, const QByteArray& headers, const QByteArray& body,
                   qsizetype sent);
    void dropHeld();
    QStringList requests() const { return m_requests; }

private:
    void answer(class QTcpSocket* socket);

    QTcpServer m_server;
    struct Resource {
        QByteArray status;
        QByteArray headers;
        QByteArray body;
        QByteArray credentials; // "Authorization" value the page needs; empty: none
        QByteArray realm;
        bool proxy = false;
        qsizetype sent = -1; // bytes of the body sent before holding; -1: all
    };
    QList<class QTcpSocket*> m_held;
    QHash<QString, Resource> m_resources;
    QStringList m_requests;
};

} // namespace zelvorin::test
