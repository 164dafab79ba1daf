// What pages may ask for beyond what the engine itself refuses.
//
// Program resources (qrc:) are for the program's own pages only.
//
// Local files: a local page displays what a browser displays for a local site (its frames,
// style sheets, scripts, images, fonts and media) but reads no file. The engine's own rule
// for this (each local file an origin of its own) cannot be had in Qt WebEngine 6.4: with
// LocalContentCanAccessFileUrls off, local pages load none of their images, style sheets
// or scripts. So all local documents share one origin, and the guard keeps from them what
// they could read: no fetch() or XHR of a local file, nothing from a hidden file or folder
// (a name starting with ".") outside the top page's own place, no folder listings, and
// each kind of request only for files of its kind by their name (a style sheet must be
// CSS, a frame a page, an image or a media file), so no configuration, key or text file
// is ever a document a page can look into. The user's own loads (typed or chosen,
// Back, Forward, Refresh) are not the page's and pass.
#pragma once

#include <QWebEngineUrlRequestInterceptor>

namespace zelvorin {

class RequestGuard : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

} // namespace zelvorin
