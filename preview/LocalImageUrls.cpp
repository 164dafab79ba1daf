// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LocalImageUrls.h"

#include "LosslessNames.h"
#include "RawFolderReader.h"
#include "Secrets.h"

namespace zelvorin {

namespace {

QUrl makeUrl(const char* scheme, const QString& token, const QByteArray& name) {
    return QUrl::fromEncoded(QByteArray(scheme) + "://" + token.toLatin1() + '/' +
                                 name.toPercentEncoding(),
                             QUrl::StrictMode);
}

} // namespace

std::pair<QString, LocalImageUrls::Entry> LocalImageUrls::Table::entry(const QString& path,
                                                                       Shown kind) {
    QByteArray raw = platform::encodePath(path);
    if (!raw.startsWith('/'))
        raw = platform::currentFolderBytes() + '/' + raw;
    const QString absolute = platform::openablePath(raw);
    const QString key = QString::number(int(kind)) + absolute;
    QString token = tokens.value(key);
    if (token.isEmpty()) {
        token = RandomSecret();
        tokens.insert(key, token);
        // The name only makes the address readable; the token alone selects the file.
        files.insert(token, {absolute, raw.mid(raw.lastIndexOf('/') + 1), kind});
    }
    return {token, files.value(token)};
}

const LocalImageUrls::Entry* LocalImageUrls::Table::find(const QUrl& url) const {
    const auto found = files.constFind(url.host());
    if (found == files.constEnd())
        return nullptr;
    // Compared as bytes: the engine may spell the escapes of an address its own way.
    if (QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()) !=
        '/' + found->name)
        return nullptr;
    return &*found;
}

LocalImageUrls::Grant LocalImageUrls::grant(const QString& path) {
    const auto [token, entry] = m_chosen.entry(path, Shown::Image);
    return {makeUrl(RemoteImageScheme, token, entry.name),
            makeUrl(LocalImageScheme, token, entry.name)};
}

std::optional<LocalImageUrls::File> LocalImageUrls::fileForToken(const QString& token) const {
    const auto found = m_chosen.files.constFind(token);
    if (found == m_chosen.files.constEnd())
        return std::nullopt;
    return File{found->path,
                {makeUrl(RemoteImageScheme, token, found->name),
                 makeUrl(LocalImageScheme, token, found->name)}};
}

std::optional<QString> LocalImageUrls::pathFor(const QUrl& url) const {
    const QString scheme = url.scheme();
    if (scheme != QLatin1String(RemoteImageScheme) && scheme != QLatin1String(LocalImageScheme))
        return std::nullopt;
    const Entry* entry = m_chosen.find(url);
    return entry ? std::optional<QString>(entry->path) : std::nullopt;
}

QUrl LocalImageUrls::shownAddress(const QString& path, Shown kind) {
    const auto [token, entry] = m_shown.entry(path, kind);
    return makeUrl(LocalImageScheme, token, entry.name);
}

std::optional<LocalImageUrls::ShownFile> LocalImageUrls::shownFileFor(const QUrl& url) const {
    if (url.scheme() != QLatin1String(LocalImageScheme))
        return std::nullopt;
    const Entry* entry = m_shown.find(url);
    return entry ? std::optional<ShownFile>(ShownFile{entry->path, entry->kind}) : std::nullopt;
}

} // namespace zelvorin
