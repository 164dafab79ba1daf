// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LineFigure.h"

#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace zelvorin {

int roundLine(double x) {
    const double whole = std::trunc(x);
    int result = static_cast<int>(whole);
    if (x - whole >= 0.5)
        ++result;
    return result;
}

void LineGeometry::setAngle(LineAngle value) {
    LineAngle a = value % 180;
    if (a == 0)
        a = 180;
    m_angle = a;
    const double r = a * std::numbers::pi / 180.0;
    m_height = std::max(3, std::abs(roundLine(std::sin(r) * m_referenceHeight)));
    m_width = std::max(3, std::abs(roundLine(std::cos(r) * m_referenceWidth)));
}

void LineGeometry::setHeight(int value) {
    // Negative sizes have no angle; they count as an empty side.
    value = std::max(0, value);
    if (value > m_referenceHeight)
        m_referenceHeight = value;
    const double ratio = m_referenceHeight > 0 ? double(value) / m_referenceHeight : 0.0;
    setAngle(static_cast<LineAngle>(roundLine(std::asin(ratio) * 180.0 / std::numbers::pi)));
}

void LineGeometry::setWidth(int value) {
    value = std::max(0, value);
    if (value > m_referenceWidth)
        m_referenceWidth = value;
    const double ratio = m_referenceWidth > 0 ? double(value) / m_referenceWidth : 0.0;
    setAngle(static_cast<LineAngle>(roundLine(std::acos(ratio) * 180.0 / std::numbers::pi)));
}

QList<QPoint> linePixels(QPoint from, QPoint to) {
    QList<QPoint> pixels;
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    pixels.reserve(steps);
    for (int i = 0; i < steps; ++i) {
        // Along the longer axis one pixel per step; the other axis rounds half away from
        // the start, which keeps diagonals exact.
        const int x = from.x() + static_cast<int>(std::lround(double(dx) * i / steps));
        const int y = from.y() + static_cast<int>(std::lround(double(dy) * i / steps));
        pixels.append(QPoint(x, y));
    }
    return pixels;
}

LineFigure::LineFigure(QWidget* parent) : QWidget(parent) {
    // A decoration: clicks reach whatever lies beneath, and only the line itself is drawn.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    applyGeometry();
}

void LineFigure::setLineStyle(LineFigure::Style style) {
    m_lineStyle = style;
    update();
}

void LineFigure::setColor(const QColor& color) {
    m_color = color;
    update();
}

void LineFigure::setAngle(LineAngle value) {
    m_geometry.setAngle(value);
    applyGeometry();
}

void LineFigure::setWidth(int value) {
    m_geometry.setWidth(value);
    applyGeometry();
}

void LineFigure::setHeight(int value) {
    m_geometry.setHeight(value);
    applyGeometry();
}

void LineFigure::applyGeometry() {
    resize(m_geometry.width(), m_geometry.height());
    update();
}

QPoint LineFigure::lineStart() const {
    return m_geometry.angle() < 90 ? QPoint(0, height()) : QPoint(0, 0);
}

QPoint LineFigure::lineEnd() const {
    return m_geometry.angle() < 90 ? QPoint(width(), 0) : QPoint(width(), height());
}

void LineFigure::paintEvent(QPaintEvent*) {
    if (m_lineStyle == LineFigure::Style::None)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(m_color, 1));
    const QList<QPoint> pixels = linePixels(lineStart(), lineEnd());
    painter.drawPoints(pixels.constData(), static_cast<int>(pixels.size()));
}

} // namespace zelvorin
