// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StatusBar.h"

#include <QEvent>
#include <QPainter>
#include <QSizeGrip>

#include <algorithm>

namespace zelvorin {

namespace {
constexpr int SpacerWidth = 1;
constexpr int GaugeWidth = 150;
} // namespace

int gaugeFilledWidth(int innerWidth, unsigned position) {
    return int((qint64(innerWidth) * position + 50) / 100);
}

QString gaugeText(unsigned position, const QString& label) {
    const QString figure = QString::number(position) + "%";
    return label.isEmpty() ? figure : label + ' ' + figure;
}

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    m_grip = new QSizeGrip(this);
    fitHeightToFont();
}

void StatusBar::fitHeightToFont() {
    // 19 pixels as laid out, taller when the desktop's font would not fit inside the bevels.
    setFixedHeight(std::max(19, fontMetrics().height() + 4));
}

void StatusBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        fitHeightToFont();
    QWidget::changeEvent(event);
}

void StatusBar::setText(const QString& text) {
    if (m_text == text)
        return;
    m_text = text;
    update(panelRect(Panel::Text));
}

void StatusBar::setGaugeShown(bool shown) {
    if (m_gaugeShown == shown)
        return;
    m_gaugeShown = shown;
    update(panelRect(Panel::Gauge));
}

void StatusBar::setGaugePosition(unsigned percent) {
    percent = qMin(percent, 100u);
    if (m_gaugePosition == percent)
        return;
    m_gaugePosition = percent;
    update(panelRect(Panel::Gauge));
}

void StatusBar::setGaugeLabel(const QString& label) {
    if (m_gaugeLabel == label)
        return;
    m_gaugeLabel = label;
    update(panelRect(Panel::Gauge));
}

void StatusBar::setGaugeColors(const QColor& bar, const QColor& text) {
    m_gaugeBar = bar;
    m_gaugeText = text;
    update(panelRect(Panel::Gauge));
}

QRect StatusBar::panelRect(Panel panel) const {
    switch (panel) {
    case Panel::Spacer:
        return QRect(0, 0, SpacerWidth, height());
    case Panel::Gauge:
        return QRect(SpacerWidth, 0, GaugeWidth, height());
    case Panel::Text:
        break;
    }
    const int left = SpacerWidth + GaugeWidth;
    return QRect(left, 0, width() - left, height());
}

QSize StatusBar::sizeHint() const {
    return QSize(200, height());
}

void StatusBar::resizeEvent(QResizeEvent*) {
    const QSize grip = m_grip->sizeHint();
    m_grip->setGeometry(width() - grip.width(), height() - grip.height(), grip.width(),
                        grip.height());
}

void StatusBar::paintEvent(QPaintEvent*) {
    ++m_paintCount;
    QPainter painter(this);
    const QColor background = palette().color(QPalette::Button);
    // The spacer has no bevel: it only keeps the gauge off the window's edge.
    painter.fillRect(panelRect(Panel::Spacer), background);

    const QRect gauge = panelRect(Panel::Gauge);
    painter.fillRect(gauge, background);
    drawBevel(painter, gauge);
    // A hidden gauge is an empty area.
    if (m_gaugeShown)
        drawGauge(painter, gauge.adjusted(1, 1, -1, -1));

    const QRect text = panelRect(Panel::Text);
    painter.fillRect(text, background);
    drawBevel(painter, text);
    if (!m_text.isEmpty()) {
        const QRect inner = text.adjusted(1, 1, -1, -1);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.setClipRect(inner);
        painter.drawText(inner.adjusted(2, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
        painter.setClipping(false);
    }
}

void StatusBar::drawBevel(QPainter& painter, const QRect& outer) {
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(outer.topLeft(), outer.topRight());
    painter.drawLine(outer.topLeft(), outer.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(outer.bottomLeft(), outer.bottomRight());
    painter.drawLine(outer.topRight(), outer.bottomRight());
}

void StatusBar::drawGauge(QPainter& painter, const QRect& inner) {
    const QColor bar = m_gaugeBar.isValid() ? m_gaugeBar : palette().color(QPalette::Highlight);
    const QColor barText =
        m_gaugeText.isValid() ? m_gaugeText : palette().color(QPalette::HighlightedText);
    const int filled = gaugeFilledWidth(inner.width(), m_gaugePosition);
    const QRect filledRect(inner.left(), inner.top(), filled, inner.height());
    const QRect emptyRect(inner.left() + filled, inner.top(), inner.width() - filled,
                          inner.height());
    painter.fillRect(filledRect, bar);
    painter.fillRect(emptyRect, palette().color(QPalette::Button));

    const QString text = gaugeText(m_gaugePosition, m_gaugeLabel);
    const int flags = int(Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine);
    // The same text twice, each clipped to its side of the bar's edge.
    painter.save();
    painter.setClipRect(filledRect);
    painter.setPen(barText);
    painter.drawText(inner, flags, text);
    painter.setClipRect(emptyRect);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(inner, flags, text);
    painter.restore();
}

} // namespace zelvorin
