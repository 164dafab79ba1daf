// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WindowGeometry.h"

namespace zelvorin {

bool IsWindowOnScreen(const QRect& windowFrame, int captionHeight, const QSize& screen) {
    const QRect caption(windowFrame.left(), windowFrame.top(), windowFrame.width(), captionHeight);
    const QRect inner(QPoint(10, 10), QPoint(screen.width() - 11, screen.height() - 11));
    return caption.intersects(inner);
}

} // namespace zelvorin
