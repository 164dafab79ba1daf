// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SideView.h"

#include "BackgroundChoice.h"
#include "PageZoom.h"
#include "Preview.h"
#include "PreviewPage.h"

#include <QTimer>
#include <QWebEngineView>

namespace zelvorin {

namespace {

// Addresses a second load cannot harm: pages of the web, local pages and blank ones. The
// program's own pages are made for one view and carry its commands.
bool followable(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("file") || scheme == QLatin1String("about");
}

} // namespace

SideView::SideView(Preview* first, PreviewProfile* profile, QObject* parent)
    : QObject(parent), m_first(first), m_side(new Preview(profile, nullptr, this)) {
    // The second preview's start timer would preview the file list's file a second time.
    m_side->startPreviewTimer()->stop();
    // What the first view tells about the image (its notes, its colour) is told once: this
    // preview's choice only keeps the layout its changes carry, and does no work per image.
    disconnect(m_side, &Preview::backgroundImageSet, m_side->background(), nullptr);
    m_side->background()->setLayout(first->background()->layout());
    connect(first->background(), &BackgroundChoice::layoutChanged, this,
            [this](const preview::BackgroundLayout& layout) {
                m_side->background()->setLayout(layout);
                m_changed.image = m_image.has_value();
                sendChange();
            });
    preview::PageZoom* firstZoom = preview::PageZoom::of(first->page());
    preview::PageZoom::of(m_side->page())->setFontZoom(firstZoom->fontZoom());
    connect(firstZoom, &preview::PageZoom::fontZoomChanged, m_side,
            [this](double factor) { preview::PageZoom::of(m_side->page())->setFontZoom(factor); });

    // A new page starts without a background, in both views.
    connect(first->page(), &QWebEnginePage::loadStarted, this, [this] {
        m_image.reset();
        m_colour.reset();
        m_changed = {};
    });
    connect(first->page(), &QWebEnginePage::urlChanged, this, &SideView::follow);
    // The first preview tells of a change before it sends it to its page: queued, this
    // view's change goes after it, not ahead of it.
    connect(
        first, &Preview::backgroundImageSet, this,
        [this](const QString& path) {
            m_image = path;
            m_changed.image = true;
            sendChange();
        },
        Qt::QueuedConnection);
    connect(
        first, &Preview::backgroundColourSet, this,
        [this](const QColor& colour) {
            m_colour = colour;
            m_changed.colour = true;
            sendChange();
        },
        Qt::QueuedConnection);
    connect(m_side, &Preview::backgroundApplied, this, [this](int request) {
        if (!m_sent || request != *m_sent)
            return;
        m_sent.reset();
        if (m_changed.image || m_changed.colour)
            sendChange();
        else
            emit backgroundApplied();
    });
    // Changes sent to the document being left are lost with it: the new one gets them all.
    connect(m_side->page(), &QWebEnginePage::loadStarted, this, [this] {
        m_sent.reset();
        m_changed = {m_image.has_value(), m_colour.has_value()};
    });
    connect(m_side->page(), &QWebEnginePage::loadFinished, this, &SideView::sendChange);
    follow(first->page()->url());
}

SideView::~SideView() {
    // A preview deletes only a view no widget holds (PageFrame::removeView lets it go).
    view()->setParent(nullptr);
}

QWebEngineView* SideView::view() const {
    return m_side->view();
}

void SideView::follow(const QUrl& url) {
    const QUrl target = followable(url) ? url : QUrl(QStringLiteral("about:blank"));
    if (m_side->page()->url() != target)
        m_side->page()->loadByProgram(target);
}

void SideView::sendChange() {
    // One change at a time: while one is on its way, later ones wait and only the last of
    // them goes, so a quick walk through a folder never queues work in this view.
    if (m_sent || m_side->isLoading())
        return;
    if (m_changed.colour && m_colour)
        m_sent = m_side->setBackgroundColour(*m_colour);
    if (m_changed.image && m_image)
        m_sent = m_side->setBackgroundImage(*m_image);
    m_changed = {};
}

} // namespace zelvorin
