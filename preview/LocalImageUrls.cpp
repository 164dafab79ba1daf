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

LocalImageUrls::Grant LocalImageUrls::grant(const QString& path) {
    QByteArray raw = platform::encodePath(path);
    if (!raw.startsWith('/'))
        raw = platform::currentFolderBytes() + '/' + raw;
    const QString absolute = platform::openablePath(raw);
    QString token = m_tokens.value(absolute);
    if (token.isEmpty()) {
        token = RandomSecret();
        m_tokens.insert(absolute, token);
        // The name only makes the address readable; the token alone selects the file.
        m_paths.insert(token, {absolute, raw.mid(raw.lastIndexOf('/') + 1)});
    }
    const QByteArray name = m_paths.value(token).name;
    return {makeUrl(RemoteImageScheme, token, name), makeUrl(LocalImageScheme, token, name)};
}

std::optional<QString> LocalImageUrls::pathFor(const QUrl& url) const {
    const QString scheme = url.scheme();
    if (scheme != QLatin1String(RemoteImageScheme) && scheme != QLatin1String(LocalImageScheme))
        return std::nullopt;
    const auto found = m_paths.constFind(url.host());
    if (found == m_paths.constEnd())
        return std::nullopt;
    // Compared as bytes: the engine may spell the escapes of an address its own way.
    if (QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()) !=
        '/' + found->name)
        return std::nullopt;
    return found->path;
}

} // namespace zelvorin
