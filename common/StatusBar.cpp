#include "StatusBar.h"

#include <QPainter>
#include <QSizeGrip>

namespace zelvorin {

int GaugeFilledWidth(int innerWidth, unsigned position) {
    return int((qint64(innerWidth) * position + 50) / 100);
}

QString GaugeText(const TdfsStatusPanel& panel) {
    if (!panel.Text.isEmpty())
        return panel.Text;
    return QString::number(panel.GaugeAttrs.Position) + "%";
}

} // namespace zelvorin

TdfsStatusBar::TdfsStatusBar(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setFixedHeight(19);
    m_grip = new QSizeGrip(this);
}

void TdfsStatusBar::AddPanel(const TdfsStatusPanel& panel) {
    m_panels.push_back(panel);
    update();
}

void TdfsStatusBar::SetPanelEnabled(int index, bool enabled) {
    if (m_panels.at(index).Enabled == enabled)
        return;
    m_panels[index].Enabled = enabled;
    update(PanelRect(index));
}

void TdfsStatusBar::SetGaugePosition(int index, unsigned percent) {
    percent = qMin(percent, 100u);
    if (m_panels.at(index).GaugeAttrs.Position == percent)
        return;
    m_panels[index].GaugeAttrs.Position = percent;
    update(PanelRect(index));
}

void TdfsStatusBar::SetPanelText(int index, const QString& text) {
    if (m_panels.at(index).Text == text)
        return;
    m_panels[index].Text = text;
    update(PanelRect(index));
}

void TdfsStatusBar::Repaint() {
    repaint();
}

QRect TdfsStatusBar::PanelRect(int index) const {
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += m_panels[i].Width;
    const bool last = index == PanelCount() - 1;
    const int right = last ? width() : left + m_panels.at(index).Width;
    return QRect(QPoint(left, 0), QPoint(right - 1, height() - 1));
}

QSize TdfsStatusBar::sizeHint() const {
    return QSize(200, 19);
}

void TdfsStatusBar::resizeEvent(QResizeEvent*) {
    const QSize grip = m_grip->sizeHint();
    m_grip->setGeometry(width() - grip.width(), height() - grip.height(), grip.width(),
                        grip.height());
}

void TdfsStatusBar::paintEvent(QPaintEvent*) {
    ++m_paintCount;
    QPainter painter(this);
    const QColor background = palette().color(QPalette::Button);
    for (int i = 0; i < PanelCount(); ++i) {
        const TdfsStatusPanel& panel = m_panels[i];
        const QRect outer = PanelRect(i);
        painter.fillRect(outer, background);
        if (panel.Bevel && panel.Width > 2) {
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(outer.topLeft(), outer.topRight());
            painter.drawLine(outer.topLeft(), outer.bottomLeft());
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(outer.bottomLeft(), outer.bottomRight());
            painter.drawLine(outer.topRight(), outer.bottomRight());
        }
        // A disabled panel is an empty area.
        if (!panel.Enabled)
            continue;
        const QRect inner = outer.adjusted(1, 1, -1, -1);
        if (panel.PanelType == TdfsStatusPanelType::sptGauge) {
            drawGauge(painter, inner, panel);
        } else if (!panel.Text.isEmpty()) {
            painter.setPen(palette().color(QPalette::ButtonText));
            painter.setClipRect(inner);
            painter.drawText(inner.adjusted(2, 0, 0, 0),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, panel.Text);
            painter.setClipping(false);
        }
    }
}

void TdfsStatusBar::drawGauge(QPainter& painter, const QRect& inner, const TdfsStatusPanel& panel) {
    const QColor bar = panel.GaugeAttrs.Color.isValid() ? panel.GaugeAttrs.Color
                                                        : palette().color(QPalette::Highlight);
    const QColor barText = panel.GaugeAttrs.TextColor.isValid()
                               ? panel.GaugeAttrs.TextColor
                               : palette().color(QPalette::HighlightedText);
    const int filled = zelvorin::GaugeFilledWidth(inner.width(), panel.GaugeAttrs.Position);
    const QRect filledRect(inner.left(), inner.top(), filled, inner.height());
    const QRect emptyRect(inner.left() + filled, inner.top(), inner.width() - filled,
                          inner.height());
    painter.fillRect(filledRect, bar);
    painter.fillRect(emptyRect, palette().color(QPalette::Button));

    const QString text = zelvorin::GaugeText(panel);
    const int flags = int(panel.Alignment | Qt::AlignVCenter | Qt::TextSingleLine);
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
