#include "LocalImageUrls.h"

#include "Secrets.h"

#include <QFileInfo>

namespace zelvorin {

namespace {

QUrl makeUrl(const char* scheme, const QString& token, const QString& name) {
    QUrl url;
    url.setScheme(QString::fromLatin1(scheme));
    url.setHost(token);
    url.setPath(QLatin1Char('/') + name);
    return url;
}

} // namespace

LocalImageUrls::Grant LocalImageUrls::grant(const QString& path) {
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    QString token = m_tokens.value(absolute);
    if (token.isEmpty()) {
        token = RandomSecret();
        m_tokens.insert(absolute, token);
        // The name only makes the address readable; the token alone selects the file.
        m_paths.insert(token, {absolute, info.fileName()});
    }
    const QString name = m_paths.value(token).name;
    return {makeUrl(RemoteImageScheme, token, name), makeUrl(LocalImageScheme, token, name)};
}

std::optional<LocalImageUrls::File> LocalImageUrls::fileForToken(const QString& token) const {
    const auto found = m_paths.constFind(token);
    if (found == m_paths.constEnd())
        return std::nullopt;
    return File{found->path,
                {makeUrl(RemoteImageScheme, token, found->name),
                 makeUrl(LocalImageScheme, token, found->name)}};
}

std::optional<QString> LocalImageUrls::pathFor(const QUrl& url) const {
    const QString scheme = url.scheme();
    if (scheme != QLatin1String(RemoteImageScheme) && scheme != QLatin1String(LocalImageScheme))
        return std::nullopt;
    const auto found = m_paths.constFind(url.host());
    if (found == m_paths.constEnd())
        return std::nullopt;
    if (url.path() != QLatin1Char('/') + found->name)
        return std::nullopt;
    return found->path;
}

} // namespace zelvorin
