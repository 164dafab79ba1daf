// A plain browser window of the program's own, opened when a page asks for a new window
// (a link with a target, window.open). It shares the preview's profile and web policy;
// command addresses in it are cancelled and not carried out, as the program's commands
// belong to the main window's preview only.
#pragma once

#include <QMainWindow>

class QWebEngineView;

namespace zelvorin {

class PreviewPage;
class PreviewProfile;

class BrowserWindow : public QMainWindow {
    Q_OBJECT
public:
    BrowserWindow(PreviewProfile* profile, bool silent, QWidget* owner);

    PreviewPage* page() const { return m_page; }
    QWebEngineView* view() const { return m_view; }

private:
    QWebEngineView* m_view = nullptr;
    PreviewPage* m_page = nullptr;
};

} // namespace zelvorin
