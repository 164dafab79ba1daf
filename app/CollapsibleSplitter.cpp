#include "CollapsibleSplitter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

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
    return m_orientation == Qt::Vertical ? m_target->width() : m_target->height();
}

void SplitterBar::setTargetSize(int size) {
    size = qMax(size, m_minimum);
    if (m_orientation == Qt::Vertical)
        m_target->setFixedWidth(size);
    else
        m_target->setFixedHeight(size);
    emit Moved();
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_pressPosition = along(event->globalPosition().toPoint());
    m_pressSize = targetSize();
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    const int delta = along(event->globalPosition().toPoint()) - m_pressPosition;
    // The panel may not push the other side of the bar out of the window.
    const QWidget* area = parentWidget();
    const int room =
        area ? (m_orientation == Qt::Vertical ? area->width() : area->height()) - m_thickness - 1
             : INT_MAX;
    setTargetSize(qMin(room, m_targetAfter ? m_pressSize - delta : m_pressSize + delta));
}

void SplitterBar::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void SplitterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
}

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
