// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What pages may ask for beyond what the engine itself refuses.
//
// Program resources (qrc:) are for the program's own pages only.
//
// Local files: a local page displays what a browser displays for a local site (its frames,
// style sheets, scripts, images, fonts and media) but reads no file. The engine's own rule
// for this (each local file an origin of its own) cannot be had in Qt WebEngine 6.4: with
// LocalContentCanAccessFileUrls off, local pages load none of their images, style sheets
// or scripts. So local files share one origin, and the guard keeps from local pages what
// they could read:
// - no fetch() or XHR of a local file, nothing from a hidden file or folder (a name
//   starting with ".") outside the top page's own place, no folder listings, and each
//   kind of request only for files of its kind by their name (a style sheet must be CSS,
//   a frame a page, an image or a media file), so no configuration, key or text file is
//   ever a document a page can look into;
// - a frame's document gets an origin of its own (see UrlSchemes.h), so that the page
//   and its frames cannot look into each other; a frame that sends the top window to one
//   of these addresses sends it to the file itself;
// - the images and media a local document shows reach it from another origin, under
//   addresses of the image table, so that it cannot read them back (see LocalImageUrls).
// The user's own loads (typed or chosen, Back, Forward, Refresh) are not the page's and
// pass. Each local file let through is noted for the page that loaded it.
#pragma once

#include <QList>
#include <QString>
#include <QWebEngineUrlRequestInterceptor>

namespace zelvorin {

class LoadedLocalFiles;
class LocalImageUrls;

class RequestGuard : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    RequestGuard(LocalImageUrls* images, LoadedLocalFiles* loaded, QObject* parent);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    void guardLocalLoad(QWebEngineUrlRequestInfo& info);

    LocalImageUrls* m_images = nullptr;
    LoadedLocalFiles* m_loaded = nullptr;
    // The origins given to frame documents whose load has not come yet, the oldest first;
    // each is taken by one load, so that no other document ever shares it.
    QList<QString> m_frameTokens;
};

} // namespace zelvorin
