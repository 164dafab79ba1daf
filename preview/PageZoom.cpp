// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PageZoom.h"

#include <QWebEnginePage>

namespace zelvorin::preview {

PageZoom::PageZoom(QWebEnginePage* page) : QObject(page), m_page(page) {}

PageZoom* PageZoom::of(QWebEnginePage* page) {
    if (auto* zoom = page->findChild<PageZoom*>(QString(), Qt::FindDirectChildrenOnly))
        return zoom;
    return new PageZoom(page);
}

double PageZoom::fontZoom() const {
    return m_page->zoomFactor() / m_widthScale;
}

void PageZoom::setFontZoom(double factor) {
    m_page->setZoomFactor(factor * m_widthScale);
    emit fontZoomChanged(factor);
}

void PageZoom::setTotalZoom(double factor) {
    m_widthScale = factor / fontZoom();
    // Every resize of the preview area fits the views again, mostly to the same zoom.
    if (!qFuzzyCompare(m_page->zoomFactor(), factor))
        m_page->setZoomFactor(factor);
}

} // namespace zelvorin::preview
