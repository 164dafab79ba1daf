// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The question a site or a proxy asks before it gives a page: a user name and a password
// for one of its realms. The answer goes to the engine for that one request; the program
// keeps nothing of it.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QAuthenticator;
class QLabel;
class QLineEdit;

namespace zelvorin {

class SignInDialog : public QDialog {
    Q_OBJECT
public:
    // `proxyHost` is empty when the site itself asks.
    SignInDialog(const QUrl& url, const QString& realm, const QString& proxyHost, QWidget* parent);

    QString message() const;
    QString userName() const;
    QString password() const;
    QLineEdit* userNameBox() const { return m_user; }
    QLineEdit* passwordBox() const { return m_password; }

    // Asks in a modal dialog and puts the answer into `authenticator`. On Cancel the
    // authenticator is made null, which tells the engine to fail the load as it would with
    // no answer at all (it shows the server's own refusal).
    static bool Ask(QWidget* owner, const QUrl& url, QAuthenticator* authenticator,
                    const QString& proxyHost = QString());

    // The host a request goes to, as shown: with its port when the address names one.
    static QString HostText(const QUrl& url);

private:
    QLabel* m_message = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
};

} // namespace zelvorin
