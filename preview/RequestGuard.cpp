// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RequestGuard.h"

#include "FileStamp.h"
#include "ImageFormats.h"
#include "LoadedLocalFiles.h"
#include "LocalImageUrls.h"
#include "LosslessNames.h"
#include "Secrets.h"
#include "UrlSchemes.h"

#include <QMimeDatabase>
#include <QStringList>
#include <QWebEngineUrlRequestInfo>

namespace zelvorin {

namespace {

using Info = QWebEngineUrlRequestInfo;

bool isFromProgram(const Info& info) {
    // The program opens its pages in the main frame itself (no initiator); those pages'
    // own requests come from a qrc: origin. An opaque origin may also give no initiator,
    // so only the main frame's own load counts without one.
    const QUrl initiator = info.initiator();
    return initiator.scheme() == QLatin1String("qrc") ||
           (initiator.isEmpty() && info.resourceType() == Info::ResourceTypeMainFrame);
}

// The user's own loads of the main frame: a typed or chosen address, and Back, Forward or
// Refresh. A redirect of a local load follows one of those (the engine sends a folder's
// address on to the same with a "/" added); a page's own loads are refused before that.
bool isUsersLoad(const Info& info) {
    if (info.resourceType() != Info::ResourceTypeMainFrame)
        return false;
    switch (info.navigationType()) {
    case Info::NavigationTypeTyped:
    case Info::NavigationTypeBackForward:
    case Info::NavigationTypeReload:
    case Info::NavigationTypeRedirect:
        return true;
    default:
        return false;
    }
}

// Whether the file, by its name, is of a kind this request may load.
bool isOfKind(const QString& path, Info::ResourceType type) {
    static const QMimeDatabase types;
    const QString name = types.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    const auto startsWith = [&](const char* prefix) {
        return name.startsWith(QLatin1String(prefix));
    };
    // The shared database knows no ".apng"; every name of a web image is one.
    const bool image = startsWith("image/") || IsWebImageName(QStringView(path));
    const bool media = startsWith("video/") || startsWith("audio/");
    switch (type) {
    case Info::ResourceTypeMainFrame:
    case Info::ResourceTypeSubFrame:
    case Info::ResourceTypeObject:
        return name == QLatin1String("text/html") ||
               name == QLatin1String("application/xhtml+xml") || image || media;
    case Info::ResourceTypeStylesheet:
        return name == QLatin1String("text/css");
    case Info::ResourceTypeScript:
        return name == QLatin1String("application/javascript") ||
               name == QLatin1String("text/javascript");
    case Info::ResourceTypeImage:
    case Info::ResourceTypeFavicon:
        return image;
    case Info::ResourceTypeFontResource:
        return startsWith("font/") || name.contains(QLatin1String("font"));
    case Info::ResourceTypeMedia:
        return media;
    default:
        // fetch(), XHR, workers, pings, prefetches and anything else that hands a page
        // the bytes.
        return false;
    }
}

// Whether the path goes through a hidden file or folder that the top page's own path does
// not go through.
bool isHiddenFromPage(const QString& path, const QString& pagePath) {
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QStringList pageParts = pagePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    qsizetype shared = 0;
    while (shared < parts.size() && shared + 1 < pageParts.size() &&
           parts[shared] == pageParts[shared])
        ++shared;
    for (qsizetype i = shared; i < parts.size(); ++i) {
        if (parts[i].startsWith(QLatin1Char('.')))
            return true;
    }
    return false;
}

bool isFrameDocument(const QUrl& url) {
    return url.scheme() == QLatin1String(LocalPageScheme);
}

bool isRefusedLocalLoad(const Info& info) {
    if (isUsersLoad(info))
        return false;
    const QUrl url = info.requestUrl();
    // Frame documents are for local pages alone, whatever the engine's rules for schemes.
    const QUrl initiator = info.initiator();
    if (isFrameDocument(url) && !initiator.isLocalFile() && !isFrameDocument(initiator))
        return true;
    const QByteArray raw = RawPathOfLocalAddress(url);
    const QString path = platform::openablePath(raw);
    const QUrl page = info.firstPartyUrl();
    const QString pagePath =
        page.isLocalFile() ? platform::openablePath(platform::rawPathOfUrl(page)) : QString();
    if (!isOfKind(path, info.resourceType()) || isHiddenFromPage(path, pagePath))
        return true;
    // A folder's listing (and any file that is not a regular one) is shown only to the user.
    const platform::FileStamp stamp = platform::fileStamp(raw);
    return stamp.exists && !stamp.regular;
}

// Documents given an origin whose load has not come yet are few at any time; a token the
// engine never asked for goes after this many newer ones.
constexpr qsizetype MostWaitingFrames = 256;

} // namespace

RequestGuard::RequestGuard(LocalImageUrls* images, LoadedLocalFiles* loaded, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), m_images(images), m_loaded(loaded) {}

void RequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const QUrl url = info.requestUrl();
    if (url.scheme() == QLatin1String("qrc")) {
        if (!isFromProgram(info))
            info.block(true);
    } else if (url.isLocalFile() || isFrameDocument(url)) {
        guardLocalLoad(info);
    }
}

void RequestGuard::guardLocalLoad(QWebEngineUrlRequestInfo& info) {
    if (isRefusedLocalLoad(info)) {
        info.block(true);
        return;
    }
    const QUrl url = info.requestUrl();
    const QByteArray raw = RawPathOfLocalAddress(url);
    switch (info.resourceType()) {
    case Info::ResourceTypeMainFrame:
        if (isFrameDocument(url)) {
            info.redirect(FileAddress(url));
            return;
        }
        m_loaded->pageLoading(url);
        break;
    case Info::ResourceTypeSubFrame:
    case Info::ResourceTypeObject:
        if (!isFrameDocument(url) || !m_frameTokens.removeOne(url.host())) {
            const QString token = RandomSecret();
            m_frameTokens.append(token);
            if (m_frameTokens.size() > MostWaitingFrames)
                m_frameTokens.removeFirst();
            info.redirect(FrameDocumentAddress(url, token));
            return;
        }
        break;
    case Info::ResourceTypeImage:
        info.redirect(
            m_images->shownAddress(platform::openablePath(raw), LocalImageUrls::Shown::Image));
        break;
    case Info::ResourceTypeMedia:
        info.redirect(
            m_images->shownAddress(platform::openablePath(raw), LocalImageUrls::Shown::Media));
        break;
    default:
        break;
    }
    m_loaded->add(info.firstPartyUrl(), raw);
}

} // namespace zelvorin
