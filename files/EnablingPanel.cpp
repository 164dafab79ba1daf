// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "EnablingPanel.h"

#include <QChildEvent>
#include <QEvent>

namespace zelvorin {

EnablingPanel::EnablingPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
}

void EnablingPanel::setBorderWidth(int width) {
    m_borderWidth = width;
    setContentsMargins(width, width, width, width);
}

void EnablingPanel::passEnabledState() {
    const bool enabled = isEnabled();
    for (QObject* child : children()) {
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            widget->setEnabled(enabled);
    }
}

void EnablingPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        passEnabledState();
    QFrame::changeEvent(event);
}

void EnablingPanel::childEvent(QChildEvent* event) {
    // A child added to a disabled panel starts disabled too.
    if (event->type() == QEvent::ChildPolished && !isEnabled()) {
        if (auto* widget = qobject_cast<QWidget*>(event->child()); widget && !widget->isWindow())
            widget->setEnabled(false);
    }
    QFrame::childEvent(event);
}

} // namespace zelvorin
