// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's own URL schemes: "zelvorin" for command addresses (never loaded, every
// request refused, so that navigations to it reach the page's navigation check instead of
// being blocked by the engine), the two schemes under which chosen local images are
// served to pages, and "zelvorin-page" for the documents local pages show in their frames.
//
// A local page's frame is a document of an origin of its own: the request guard sends its
// load on to "zelvorin-page://<token>/<the file's path>", a new token for each document,
// so that neither the page nor the frame can look into the other (they would share the
// one origin of all local files otherwise). The path stays the file's, so the addresses
// in the frame's document lead where they did.
#pragma once

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace zelvorin {

class LocalImageUrls;

inline constexpr char CommandScheme[] = "zelvorin";
inline constexpr char LocalPageScheme[] = "zelvorin-page";

// The raw path of a local file's address, file:// or a frame document's; empty for others.
QByteArray RawPathOfLocalAddress(const QUrl& url);
// The address of a local file (file:// or a frame document's) for a frame document under
// `token`, and back to the file's own address; query and fragment stay.
QUrl FrameDocumentAddress(const QUrl& url, const QString& token);
QUrl FileAddress(const QUrl& url);

// Registers the schemes with the engine; must run before the QApplication exists.
void RegisterUrlSchemes();

class CommandSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

// Serves the files of local pages' frame documents; the request guard has decided which
// file each may load before the request gets here.
class LocalPageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

// Serves the files handed out by `LocalImageUrls`, and nothing else.
class LocalImageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    LocalImageSchemeHandler(const LocalImageUrls* urls, QObject* parent);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    const LocalImageUrls* m_urls = nullptr;
};

} // namespace zelvorin
