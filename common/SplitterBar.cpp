// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SplitterBar.h"

#include <QMouseEvent>
#include <QPainter>

namespace zelvorin {

SplitterBar::SplitterBar(Qt::Orientation orientation, QWidget* target, bool targetAfter,
                         QWidget* parent)
    : QWidget(parent), m_orientation(orientation), m_target(target), m_targetAfter(targetAfter) {
    setCursor(orientation == Qt::Vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
    SetThickness(3);
}

void SplitterBar::SetThickness(int pixels) {
    m_thickness = pixels;
    if (m_orientation == Qt::Vertical)
        setFixedWidth(pixels);
    else
        setFixedHeight(pixels);
}

int SplitterBar::along(const QPoint& point) const {
    return m_orientation == Qt::Vertical ? point.x() : point.y();
}

int SplitterBar::targetSize() const {
    if (!m_target)
        return 0;
    return m_orientation == Qt::Vertical ? m_target->width() : m_target->height();
}

void SplitterBar::setTargetSize(int size) {
    if (!m_target)
        return;
    size = qMax(size, m_minimum);
    if (m_orientation == Qt::Vertical)
        m_target->setFixedWidth(size);
    else
        m_target->setFixedHeight(size);
    emit Moved(size);
}

int SplitterBar::largestTargetSize() const {
    const QWidget* area = parentWidget();
    if (!area)
        return INT_MAX;
    const bool vertical = m_orientation == Qt::Vertical;
    const int start = vertical ? x() : y();
    const int end = start + m_thickness;
    const int extent = vertical ? area->width() : area->height();
    const int room = m_targetAfter ? start : extent - end;
    return targetSize() + room - m_minimumRoom;
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_target)
        return;
    m_dragging = true;
    m_pressPosition = along(event->globalPosition().toPoint());
    m_pressSize = targetSize();
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    const int delta = along(event->globalPosition().toPoint()) - m_pressPosition;
    const int wanted = m_targetAfter ? m_pressSize - delta : m_pressSize + delta;
    const int size = qMax(m_minimum, qMin(wanted, largestTargetSize()));
    if (size != targetSize())
        setTargetSize(size);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void SplitterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
}

} // namespace zelvorin
