// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SignInDialog.h"

#include "ProgramValues.h"

#include <QAuthenticator>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelvorin {

SignInDialog::SignInDialog(const QUrl& url, const QString& realm, const QString& proxyHost,
                           QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SignInDialog"));
    setWindowTitle(ProductTitle);
    const QString host = HostText(url);
    QString text = proxyHost.isEmpty()
                       ? tr("%1 asks for a user name and a password.").arg(host)
                       : tr("The proxy %1 asks for a user name and a password to open %2.")
                             .arg(proxyHost, host);
    if (!realm.isEmpty())
        text += QLatin1Char('\n') + tr("Realm: %1").arg(realm);
    m_message = new QLabel(text, this);
    // A realm is the server's text; it must not be read as markup.
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);

    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("UserNameEdit"));
    m_user->setAccessibleName(tr("User name"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("PasswordEdit"));
    m_password->setAccessibleName(tr("Password"));
    m_password->setEchoMode(QLineEdit::Password);

    auto* fields = new QFormLayout;
    fields->addRow(tr("&User name:"), m_user);
    fields->addRow(tr("&Password:"), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Sign &in"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    // Wide enough that a host name is not broken across lines.
    setMinimumWidth(420);
    m_user->setFocus();
}

QString SignInDialog::message() const {
    return m_message->text();
}

QString SignInDialog::userName() const {
    return m_user->text();
}

QString SignInDialog::password() const {
    return m_password->text();
}

QString SignInDialog::HostText(const QUrl& url) {
    const QString host = url.host();
    return url.port() < 0 ? host : QStringLiteral("%1:%2").arg(host).arg(url.port());
}

bool SignInDialog::Ask(QWidget* owner, const QUrl& url, QAuthenticator* authenticator,
                       const QString& proxyHost) {
    SignInDialog dialog(url, authenticator->realm(), proxyHost, owner);
    if (dialog.exec() != QDialog::Accepted) {
        *authenticator = QAuthenticator();
        return false;
    }
    authenticator->setUser(dialog.userName());
    authenticator->setPassword(dialog.password());
    return true;
}

} // namespace zelvorin
