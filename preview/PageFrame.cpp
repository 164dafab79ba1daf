// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PageFrame.h"

#include "PageWidth.h"
#include "PageZoom.h"

#include <QPalette>
#include <QWebEngineView>

namespace zelvorin::preview {

namespace {

// Between two views side by side.
constexpr int Gap = 4;

} // namespace

PageFrame::PageFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PageFrame"));
    QPalette quiet = palette();
    quiet.setColor(QPalette::Window, quiet.color(QPalette::Mid));
    setPalette(quiet);
    setAutoFillBackground(true);
}

void PageFrame::addView(QWebEngineView* view, int cssWidth) {
    // Each view in a surround of its own, which clips a view the engine cannot zoom out far
    // enough to fit.
    auto* surround = new QWidget(this);
    surround->setObjectName(QStringLiteral("PageSurround"));
    view->setParent(surround);
    m_slots.push_back({surround, view, cssWidth});
    connect(PageZoom::of(view->page()), &PageZoom::fontZoomChanged, this, &PageFrame::fitViews);
    fitViews();
    surround->show();
    view->show();
}

void PageFrame::removeView(QWebEngineView* view) {
    for (auto slot = m_slots.begin(); slot != m_slots.end(); ++slot) {
        if (slot->view != view)
            continue;
        disconnect(PageZoom::of(view->page()), nullptr, this, nullptr);
        view->setParent(nullptr);
        delete slot->surround;
        m_slots.erase(slot);
        fitViews();
        return;
    }
}

void PageFrame::setCssWidth(int index, int cssWidth) {
    m_slots.at(std::size_t(index)).cssWidth = cssWidth;
    fitViews();
}

void PageFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitViews();
}

void PageFrame::fitViews() {
    if (m_slots.empty())
        return;
    const int count = int(m_slots.size());
    const QRect area = contentsRect();
    const int share = std::max(0, (area.width() - Gap * (count - 1)) / count);
    int left = area.left();
    for (const Slot& slot : m_slots) {
        slot.surround->setGeometry(left, area.top(), share, area.height());
        PageZoom* zoom = PageZoom::of(slot.view->page());
        const PageFit fit = FitPageWidth(share, slot.cssWidth, zoom->fontZoom());
        slot.view->setGeometry(std::max(0, (share - fit.viewWidth) / 2), 0, fit.viewWidth,
                               area.height());
        zoom->setTotalZoom(fit.zoom);
        left += share + Gap;
    }
}

} // namespace zelvorin::preview
