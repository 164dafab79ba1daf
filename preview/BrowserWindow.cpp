#include "BrowserWindow.h"

#include "PreviewPage.h"
#include "PreviewRules.h"

#include <QWebEngineView>

namespace zelvorin {

BrowserWindow::BrowserWindow(PreviewProfile* profile, bool silent, QWidget* owner)
    : QMainWindow(owner, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_view = new QWebEngineView(this);
    m_page = new PreviewPage(profile, m_view);
    m_page->setSilent(silent);
    m_view->setPage(m_page);
    setCentralWidget(m_view);
    resize(800, 600);
    setWindowTitle(preview::CaptionsForTitle(QString()).windowCaption);
    connect(m_page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        setWindowTitle(preview::CaptionsForTitle(title).windowCaption);
    });
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

} // namespace zelvorin
