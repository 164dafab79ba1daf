// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The toolbar's images: the desktop icon theme's where it has one, our own drawings
// otherwise (the drawings are what a bare system or a headless run shows).
#pragma once

#include <QIcon>
#include <QSize>

namespace zelvorin {

enum class ToolbarImage {
    None,
    BackgroundColor,
    CustomFilter,
    Copy,
    Gallery,
    Clear,
    Go,
    Back,
    Forward,
    Refresh,
    Stop,
    Placement
};

QIcon ToolbarIcon(ToolbarImage image, const QSize& size);
// Our own drawing of the image, whatever the theme has.
QPixmap DrawToolbarImage(ToolbarImage image, const QSize& size);

} // namespace zelvorin
