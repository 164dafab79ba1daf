// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A plain browser window of the program's own, opened when a page asks for a new window
// (a link with a target, window.open). It shares the preview's profile and web policy;
// command addresses in it are cancelled and not carried out, as the program's commands
// belong to the main window's preview only.
//
// It shows once its page holds a document it navigated to. Qt WebEngine 6.4 crashes when a
// new window first paints a document its opener wrote (`window.open('')` and
// `document.write`) before any navigation of its own: the engine gives such a window no
// web preferences and reads them at its first paint. A window that only ever holds what
// its opener wrote stays hidden until it navigates somewhere.
#pragma once

#include <QMainWindow>

class QWebEngineView;

namespace zelvorin {

class PreviewPage;
class PreviewProfile;

class BrowserWindow : public QMainWindow {
    Q_OBJECT
public:
    BrowserWindow(PreviewProfile* profile, QWidget* owner);

    PreviewPage* page() const { return m_page; }
    QWebEngineView* view() const { return m_view; }

private:
    void showOnceNavigated();

    QWebEngineView* m_view = nullptr;
    PreviewPage* m_page = nullptr;
};

} // namespace zelvorin
