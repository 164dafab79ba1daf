// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The rule that decides when the main window's size and position are worth saving: only
// while its caption bar is on the screen, so a window dragged almost off the screen does
// not come back there at the next start.
#pragma once

#include <QRect>
#include <QSize>

namespace zelvorin {

// True when the strip of the caption bar (the window's full width, from its top edge down
// by the caption height) meets the screen rectangle inset by 10 pixels.
bool IsWindowOnScreen(const QRect& windowFrame, int captionHeight, const QSize& screen);

} // namespace zelvorin
