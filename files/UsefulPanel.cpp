#include "UsefulPanel.h"

#include <QChildEvent>
#include <QEvent>
#include <QLayout>

TUsefulPanel::TUsefulPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
}

void TUsefulPanel::SetBorderWidth(int width) {
    m_borderWidth = width;
    setContentsMargins(width, width, width, width);
}

void TUsefulPanel::PassEnabledState() {
    const bool enabled = isEnabled();
    for (QObject* child : children()) {
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            widget->setEnabled(enabled);
    }
}

void TUsefulPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        PassEnabledState();
    QFrame::changeEvent(event);
}

void TUsefulPanel::childEvent(QChildEvent* event) {
    // A child added to a disabled panel starts disabled too.
    if (event->type() == QEvent::ChildPolished && !isEnabled()) {
        if (auto* widget = qobject_cast<QWidget*>(event->child()); widget && !widget->isWindow())
            widget->setEnabled(false);
    }
    QFrame::childEvent(event);
}
