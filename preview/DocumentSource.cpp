// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DocumentSource.h"

#include "BackgroundCss.h"
#include "LocalImageUrls.h"
#include "LosslessNames.h"

#include <QHash>
#include <QStringView>

namespace zelvorin {

namespace {

constexpr int TokenLength = 32;

QString markupSpelling(const QString& url) {
    QString text = url;
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
}

} // namespace

namespace preview {

QString WithRealImageAddresses(const QString& source, const QUrl& pageUrl,
                               const LocalImageUrls& images) {
    static const QString remotePrefix =
        QString::fromLatin1(RemoteImageScheme) + QStringLiteral("://");
    static const QString localPrefix =
        QString::fromLatin1(LocalImageScheme) + QStringLiteral("://");
    static const QString common = QStringLiteral("zelvorin-");
    QHash<QString, QString> addresses; // token -> real address
    QString out;
    qsizetype copied = 0;
    for (qsizetype at = source.indexOf(common); at >= 0; at = source.indexOf(common, at + 1)) {
        const QStringView rest = QStringView(source).sliced(at);
        const bool remote = rest.startsWith(remotePrefix);
        if (!remote && !rest.startsWith(localPrefix))
            continue;
        const qsizetype prefixLength = remote ? remotePrefix.size() : localPrefix.size();
        const QString token = rest.mid(prefixLength, TokenLength).toString();
        const std::optional<LocalImageUrls::File> file = images.fileForToken(token);
        if (!file)
            continue;
        const QString url =
            (remote ? file->urls.remote : file->urls.local).toString(QUrl::FullyEncoded);
        qsizetype length = 0;
        for (const QString& spelling : {url, markupSpelling(url)}) {
            if (rest.startsWith(spelling)) {
                length = spelling.size();
                break;
            }
        }
        if (length == 0)
            continue;
        auto address = addresses.find(token);
        if (address == addresses.end())
            address =
                addresses.insert(token, ImageAddress(platform::encodePath(file->path), pageUrl));
        out += QStringView(source).sliced(copied, at - copied);
        out += *address;
        copied = at + length;
        at = copied - 1;
    }
    if (copied == 0)
        return source;
    out += QStringView(source).sliced(copied);
    return out;
}

} // namespace preview

} // namespace zelvorin
