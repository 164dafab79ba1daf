// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A small event filter that hands one object's events to a function, so the main
// window can bind handlers to the mouse and key events of controls it does not define.
#pragma once

#include <QObject>

#include <functional>

class QEvent;

namespace zelvorin {

class EventHook : public QObject {
    Q_OBJECT
public:
    // True from the handler stops the event there. The hook lives as long as `watched`.
    using Handler = std::function<bool(QEvent* event)>;
    EventHook(QObject* watched, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject* m_watched = nullptr;
    Handler m_handler;
};

} // namespace zelvorin
