// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CollapsibleSplitter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace zelvorin {

CollapsibleSplitter::CollapsibleSplitter(QWidget* target, QWidget* parent)
    : SplitterBar(Qt::Vertical, target, true, parent) {
    setObjectName("dfsSplitter110Ex1");
    setAccessibleName(QStringLiteral("File panel splitter"));
    SetThickness(10);
    SetMinimumTargetSize(1);
    setMouseTracking(true);
}

QRect CollapsibleSplitter::ButtonRect() const {
    const int length = qMin(ButtonLength, height());
    return QRect(0, (height() - length) / 2, width(), length);
}

void CollapsibleSplitter::SetCollapsed(bool collapsed) {
    if (collapsed == m_collapsed)
        return;
    if (collapsed) {
        m_restoreSize = targetSize();
        m_collapsed = true;
        setTargetSize(MinimumTargetSize());
    } else {
        m_collapsed = false;
        setTargetSize(m_restoreSize);
    }
    update();
}

void CollapsibleSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && ButtonRect().contains(event->position().toPoint())) {
        m_buttonPressed = true;
        update();
        return;
    }
    // A collapsed panel is restored by its button, not dragged open from 1 pixel.
    if (!m_collapsed)
        SplitterBar::mousePressEvent(event);
}

void CollapsibleSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (m_buttonPressed) {
        m_buttonPressed = false;
        if (ButtonRect().contains(event->position().toPoint()))
            ToggleCollapsed();
        update();
        return;
    }
    SplitterBar::mouseReleaseEvent(event);
}

void CollapsibleSplitter::mouseMoveEvent(QMouseEvent* event) {
    const bool hover = ButtonRect().contains(event->position().toPoint());
    if (hover != m_hover) {
        m_hover = hover;
        setCursor(hover ? Qt::PointingHandCursor
                        : (m_collapsed ? Qt::ArrowCursor : Qt::SplitHCursor));
        update();
    }
    SplitterBar::mouseMoveEvent(event);
}

void CollapsibleSplitter::leaveEvent(QEvent*) {
    m_hover = false;
    update();
}

void CollapsibleSplitter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    const QRect button = ButtonRect().adjusted(1, 0, -1, 0);
    QColor face = palette().color(m_hover ? QPalette::Midlight : QPalette::Mid);
    if (m_buttonPressed)
        face = palette().color(QPalette::Dark);
    painter.fillRect(button, face);
    // Grip dots above and below the arrow.
    painter.setPen(palette().color(QPalette::Light));
    for (int y = button.top() + 6; y < button.bottom() - 6; y += 4) {
        if (qAbs(y - button.center().y()) < 10)
            continue;
        painter.drawPoint(button.center().x(), y);
    }
    // The arrow points where the panel will go: right to collapse, left to restore.
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = QRectF(button).center();
    QPainterPath arrow;
    const double dir = m_collapsed ? -1.0 : 1.0;
    arrow.moveTo(c.x() - 2.5 * dir, c.y() - 4);
    arrow.lineTo(c.x() + 2.5 * dir, c.y());
    arrow.lineTo(c.x() - 2.5 * dir, c.y() + 4);
    arrow.closeSubpath();
    painter.fillPath(arrow, palette().color(QPalette::ButtonText));
}

} // namespace zelvorin
