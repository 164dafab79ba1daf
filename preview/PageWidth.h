// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The widths a page can be seen at: the whole preview area, or the CSS width of a phone, a
// tablet, a laptop or a desktop screen; how a view is sized and zoomed so that the page is
// laid out at that width in whatever room the preview has; and the stored form.
#pragma once

#include <array>

namespace zelvorin::settings {
class SettingsAccess;
}

namespace zelvorin::preview {

// The presets' CSS widths (phone, tablet, laptop, desktop); 0 is the whole area. The
// numbers are also the stored values.
inline constexpr int FullWidth = 0;
inline constexpr std::array<int, 5> PageWidthPresets{FullWidth, 390, 820, 1366, 1920};

// The engine refuses zoom factors outside 0.25 to 5.
inline constexpr double SmallestZoom = 0.25;

// Where a view goes in its share of the preview area and the zoom factor it gets.
struct PageFit {
    int viewWidth;
    double zoom;
};

// A preset is shown as the device would show it with the chosen font size: the view is
// `cssWidth` pixels wide at the font size's zoom, so the page is laid out at the preset's
// width (narrower when the font size enlarges the page, as the device's own zoom does).
// An area too narrow for that keeps the width and scales the view down to fit; where the
// engine cannot zoom out so far, the view stays wider than the area. Full width takes the
// area as it is.
PageFit FitPageWidth(int areaWidth, int cssWidth, double fontZoom);

// The width shown beside `cssWidth` side by side: the one the user chose (`chosen`, a
// preset other than the whole area), or by itself a phone's, or beside a phone's a
// desktop's, so that the smallest and a larger layout are judged together.
inline constexpr int AutomaticSideWidth = 0;
int SideBySideWidth(int cssWidth, int chosen = AutomaticSideWidth);

// The stored width, and back; a number that is no preset reads as Full.
int PageWidthFromStored(int stored);
int ReadPageWidth(const settings::SettingsAccess& settings);
bool WritePageWidth(const settings::SettingsAccess& settings, int cssWidth);
// The stored width of the second view, and back; a number that is no preset reads as
// Automatic.
int ReadSideWidth(const settings::SettingsAccess& settings);
bool WriteSideWidth(const settings::SettingsAccess& settings, int chosen);

} // namespace zelvorin::preview
