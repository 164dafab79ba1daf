// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "EventHook.h"

namespace zelvorin {

EventHook::EventHook(QObject* watched, Handler handler)
    : QObject(watched), m_watched(watched), m_handler(std::move(handler)) {
    watched->installEventFilter(this);
}

bool EventHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watched && m_handler && m_handler(event))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace zelvorin
