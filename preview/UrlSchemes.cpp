// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "UrlSchemes.h"

#include "DisplayOnlyImage.h"
#include "FileStamp.h"
#include "Gzip.h"
#include "ImageDecoder.h"
#include "LocalImageUrls.h"
#include "LosslessNames.h"

#include <QBuffer>
#include <QFile>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace zelvorin {

void RegisterUrlSchemes() {
    const auto hostScheme = [](const char* name, QWebEngineUrlScheme::Flags flags) {
        QWebEngineUrlScheme scheme(name);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
        scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
        // Not CorsEnabled, so fetch() and CORS requests from pages get nothing. (Measured:
        // neither this flag nor any other makes the engine taint a canvas that draws an
        // image of a custom scheme; the unguessable per-file addresses are the protection.)
        scheme.setFlags(flags);
        QWebEngineUrlScheme::registerScheme(scheme);
    };
    if (QWebEngineUrlScheme::schemeByName(CommandScheme).name().isEmpty())
        hostScheme(CommandScheme, {});
    if (QWebEngineUrlScheme::schemeByName(RemoteImageScheme).name().isEmpty())
        hostScheme(RemoteImageScheme, {});
    if (QWebEngineUrlScheme::schemeByName(LocalImageScheme).name().isEmpty())
        hostScheme(LocalImageScheme, QWebEngineUrlScheme::LocalScheme);
    // Local, as file:// is: local pages may frame it, web pages may not, and a frame may
    // still send a frame of its page to another document.
    if (QWebEngineUrlScheme::schemeByName(LocalPageScheme).name().isEmpty())
        hostScheme(LocalPageScheme, QWebEngineUrlScheme::LocalScheme);
}

QByteArray RawPathOfLocalAddress(const QUrl& url) {
    if (url.scheme() == QLatin1String(LocalPageScheme))
        return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return platform::rawPathOfUrl(url);
}

namespace {

// The address with another beginning; the path, query and fragment as the engine spelt them.
QUrl withStart(const QUrl& url, const QByteArray& start) {
    const QByteArray rest = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    return QUrl::fromEncoded(start + rest, QUrl::StrictMode);
}

} // namespace

QUrl FrameDocumentAddress(const QUrl& url, const QString& token) {
    return withStart(url, QByteArray(LocalPageScheme) + "://" + token.toLatin1());
}

QUrl FileAddress(const QUrl& url) {
    return withStart(url, "file://");
}

namespace {

// Opens the file by its bytes (the name need not be UTF-8) and replies with it, typed by
// its name and content.
void replyWithFile(QWebEngineUrlRequestJob* job, const QString& path) {
    auto* file = new QFile(job);
    if (!platform::openForReading(*file, platform::encodePath(path))) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    static const QMimeDatabase mimeTypes;
    const QByteArray type =
        mimeTypes.mimeTypeForFileNameAndData(platform::displayPath(path), file).name().toLatin1();
    if (type.startsWith("image/svg+xml") && IsGzip(file->peek(2))) {
        // The engine takes a compressed drawing only with a Content-Encoding header, which
        // a reply here cannot carry: it gets the drawing unpacked.
        const std::optional<QByteArray> text = GunzipFile(*file, MaxImageFileBytes);
        if (!text) {
            job->fail(QWebEngineUrlRequestJob::RequestFailed);
            return;
        }
        auto* drawing = new QBuffer(job);
        drawing->setData(*text);
        drawing->open(QIODevice::ReadOnly);
        job->reply("image/svg+xml", drawing);
        return;
    }
    job->reply(type, file);
}

} // namespace

void CommandSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
}

LocalImageSchemeHandler::LocalImageSchemeHandler(const LocalImageUrls* urls, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_urls(urls) {}

void LocalImageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    if (job->requestMethod() != "GET") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    if (const auto shown = m_urls->shownFileFor(job->requestUrl())) {
        if (shown->kind == LocalImageUrls::Shown::Media) {
            replyWithFile(job, shown->path);
        } else if (auto* image = DisplayOnlyImage::open(platform::encodePath(shown->path), job)) {
            job->reply(DisplayOnlyImage::ContentType, image);
        } else {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        }
        return;
    }
    const std::optional<QString> path = m_urls->pathFor(job->requestUrl());
    if (!path) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    replyWithFile(job, *path);
}

void LocalPageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QByteArray raw = RawPathOfLocalAddress(job->requestUrl());
    // Never a folder's listing, nor anything but a file.
    if (job->requestMethod() != "GET" || !platform::fileStamp(raw).regular) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    replyWithFile(job, platform::openablePath(raw));
}

} // namespace zelvorin
