// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PageWidth.h"

#include "SettingsTable.h"

#include <algorithm>
#include <cmath>

namespace zelvorin::preview {

PageFit FitPageWidth(int areaWidth, int cssWidth, double fontZoom) {
    const int area = std::max(0, areaWidth);
    if (cssWidth <= FullWidth || fontZoom <= 0)
        return {area, fontZoom};
    if (area >= cssWidth)
        return {cssWidth, fontZoom};
    const double scale = std::max(double(area) / cssWidth, SmallestZoom / fontZoom);
    return {int(std::lround(cssWidth * scale)), fontZoom * scale};
}

int SideBySideWidth(int cssWidth, int chosen) {
    if (chosen != FullWidth && PageWidthFromStored(chosen) == chosen)
        return chosen;
    constexpr int Phone = PageWidthPresets[1];
    return cssWidth == Phone ? PageWidthPresets.back() : Phone;
}

int PageWidthFromStored(int stored) {
    return std::ranges::find(PageWidthPresets, stored) != PageWidthPresets.end() ? stored
                                                                                 : FullWidth;
}

int ReadPageWidth(const settings::SettingsAccess& settings) {
    return PageWidthFromStored(settings.read(settings::PageWidth));
}

bool WritePageWidth(const settings::SettingsAccess& settings, int cssWidth) {
    return settings.write(settings::PageWidth, PageWidthFromStored(cssWidth));
}

int ReadSideWidth(const settings::SettingsAccess& settings) {
    return PageWidthFromStored(settings.read(settings::SideWidth));
}

bool WriteSideWidth(const settings::SettingsAccess& settings, int chosen) {
    return settings.write(settings::SideWidth, PageWidthFromStored(chosen));
}

} // namespace zelvorin::preview
