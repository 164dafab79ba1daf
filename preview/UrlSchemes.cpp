#include "UrlSchemes.h"

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
}

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
    const std::optional<QString> path = m_urls->pathFor(job->requestUrl());
    if (!path) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // Opened by its bytes: the name need not be UTF-8.
    auto* file = new QFile(job);
    if (!platform::openForReading(*file, platform::encodePath(*path))) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    static const QMimeDatabase mimeTypes;
    const QByteArray type =
        mimeTypes.mimeTypeForFileNameAndData(platform::displayPath(*path), file).name().toLatin1();
    if (type.startsWith("image/svg+xml") && IsGzip(file->peek(2))) {
        // The engine takes a compressed drawing only with a Content-Encoding header, which
        // a reply here cannot carry: it gets the drawing unpacked.
        const std::optional<QByteArray> text = file->size() <= MaxImageFileBytes
                                                   ? Gunzip(file->readAll(), MaxImageFileBytes)
                                                   : std::nullopt;
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

} // namespace zelvorin
