#include "PanelSplitter.h"

#include <QMouseEvent>

namespace zelvorin {

PanelSplitter::PanelSplitter(QWidget* target, QWidget* parent) : QWidget(parent), m_target(target) {
    setFixedHeight(3);
    setCursor(Qt::SizeVerCursor);
}

void PanelSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_target)
        return;
    m_pressY = int(event->globalPosition().y());
    m_startHeight = m_target->height();
}

void PanelSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressY < 0 || !m_target)
        return;
    const int wanted = m_startHeight + int(event->globalPosition().y()) - m_pressY;
    // Room below: what the parent holds under the splitter, less the minimum kept there.
    const int below = parentWidget() ? parentWidget()->height() - (y() + height()) : 0;
    const int maximum = m_target->height() + below - m_minimumSize;
    const int height = std::max(m_minimumSize, std::min(wanted, std::max(m_minimumSize, maximum)));
    if (height != m_target->height()) {
        m_target->setFixedHeight(height);
        emit moved(height);
    }
}

void PanelSplitter::mouseReleaseEvent(QMouseEvent*) {
    m_pressY = -1;
}

} // namespace zelvorin
