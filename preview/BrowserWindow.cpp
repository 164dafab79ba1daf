// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BrowserWindow.h"

#include "PreviewPage.h"
#include "PreviewRules.h"

#include <QWebEngineHistory>
#include <QWebEngineView>

namespace zelvorin {

BrowserWindow::BrowserWindow(PreviewProfile* profile, QWidget* owner)
    : QMainWindow(owner, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_view = new QWebEngineView(this);
    m_page = new PreviewPage(profile, m_view);
    m_view->setPage(m_page);
    setCentralWidget(m_view);
    resize(800, 600);
    setWindowTitle(preview::CaptionsForTitle(QString()).windowCaption);
    connect(m_page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        setWindowTitle(preview::CaptionsForTitle(title).windowCaption);
        showOnceNavigated();
    });
    connect(m_page, &QWebEnginePage::urlChanged, this, &BrowserWindow::showOnceNavigated);
    connect(m_page, &QWebEnginePage::loadFinished, this, &BrowserWindow::showOnceNavigated);
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

void BrowserWindow::showOnceNavigated() {
    // A navigation of the window's own has committed once its history holds an entry (the
    // engine changes the title at that moment too).
    if (isHidden() && m_page->history()->count() > 0)
        show();
}

} // namespace zelvorin
