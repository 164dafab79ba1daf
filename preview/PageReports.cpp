// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PageReports.h"

#include "PageScripts.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace zelvorin {

namespace {

std::optional<QJsonObject> fields(const QString& message, qsizetype markLength) {
    if (message.size() <= markLength || message.at(markLength) != QLatin1Char(' '))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(message.mid(markLength + 1).toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<PageReport> programReport(const QJsonObject& fields) {
    const QString kind = fields.value(QStringLiteral("report")).toString();
    const QJsonValue nonce = fields.value(QStringLiteral("nonce"));
    PageReport report;
    if (kind == QLatin1String("applied")) {
        const QJsonValue id = fields.value(QStringLiteral("id"));
        if (!id.isDouble())
            return std::nullopt;
        report.kind = PageReport::Kind::Applied;
        report.id = id.toInt();
        return report;
    }
    if (!nonce.isString())
        return std::nullopt;
    report.nonce = nonce.toString();
    if (kind == QLatin1String("more")) {
        report.kind = PageReport::Kind::More;
        return report;
    }
    const QJsonValue address = fields.value(QStringLiteral("address"));
    if (kind == QLatin1String("command") && address.isString()) {
        report.kind = PageReport::Kind::Command;
        report.address = address.toString();
        return report;
    }
    return std::nullopt;
}

} // namespace

ReadReport ReadPageReport(const QString& message, const QString& key) {
    if (!key.isEmpty() && message.startsWith(key + QLatin1Char(' '))) {
        const std::optional<QJsonObject> read = fields(message, key.size());
        const std::optional<PageReport> report =
            read ? programReport(*read) : std::optional<PageReport>();
        // Only the program's scripts know the key: a report of theirs that cannot be
        // read is the program's fault, not the page's.
        if (!report)
            qWarning("An unreadable report of the program's page scripts: %s",
                     qPrintable(message.left(200)));
        return {true, report};
    }
    const QString mark = pagescripts::StatusMark();
    if (message.startsWith(mark)) {
        const std::optional<QJsonObject> read = fields(message, mark.size());
        if (!read || read->value(QStringLiteral("report")) != QLatin1String("status") ||
            !read->value(QStringLiteral("text")).isString())
            return {};
        PageReport report;
        report.kind = PageReport::Kind::Status;
        report.text = read->value(QStringLiteral("text")).toString();
        return {true, report};
    }
    return {};
}

} // namespace zelvorin
