// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How the chosen image is laid out behind the page: the placements the user picks from,
// their captions, the CSS values that put them into a page, and the stored form.
#pragma once

#include <QString>

#include <array>

namespace zelvorin::settings {
class SettingsAccess;
}

namespace zelvorin::preview {

// The numbers are the stored values; keep them.
enum class BackgroundPlacement {
    Tile = 0,       // repeated across and down from the top left corner
    TileAcross = 1, // one row of copies along the top
    TileDown = 2,   // one column of copies down the left side
    CentreOnce = 3, // one copy in the middle, at its own size
    Cover = 4,      // one copy scaled to fill the page, cut where it overhangs
    Fit = 5,        // one copy scaled to fit wholly inside the page
};

// In the order menus and the toolbar list them.
inline constexpr std::array<BackgroundPlacement, 6> AllPlacements{
    BackgroundPlacement::Tile,       BackgroundPlacement::TileAcross, BackgroundPlacement::TileDown,
    BackgroundPlacement::CentreOnce, BackgroundPlacement::Cover,      BackgroundPlacement::Fit};

struct BackgroundLayout {
    BackgroundPlacement placement = BackgroundPlacement::Tile;
    bool fixed = false; // stays in place while the page scrolls
    bool operator==(const BackgroundLayout&) const = default;
};

// Captions: plain for the toolbar's drop-down, with an access key for menus.
QString PlacementCaption(BackgroundPlacement placement);
QString PlacementMenuCaption(BackgroundPlacement placement);
QString PlacementMenuTitle(); // the submenu and the drop-down's accessible name
QString FixedMenuCaption();   // with an access key
QString FixedCaption();       // plain

// Whether copies of the tile meet side by side (across) or one below the other (down):
// only there can a seam show.
bool RepeatsAcross(BackgroundPlacement placement);
bool RepeatsDown(BackgroundPlacement placement);

// The full value of each background property a page needs for a layout: setting all
// four replaces whatever the page had, so no rule of the page's own mixes in.
struct BackgroundCssValues {
    QString repeat;     // background-repeat
    QString position;   // background-position
    QString size;       // background-size
    QString attachment; // background-attachment
    // The image is centred in a page that scrolls: "center" is the middle of the root
    // element's box, which on a short page in standards mode ends below its content, so the
    // root must stand at least as tall as the visible page (quirks mode makes it so anyway).
    bool rootFillsView = false;
};
BackgroundCssValues CssValues(const BackgroundLayout& layout);

// The same layout as words of the `background` shorthand, leaving out what the
// shorthand gives anyway: "repeat", "repeat-x fixed", "center / cover no-repeat".
QString CssShorthandWords(const BackgroundLayout& layout);

// The stored number of a placement, and back; a number that names no placement (a
// hand-edited or newer store) reads as Tile.
int StoredPlacement(BackgroundPlacement placement);
BackgroundPlacement PlacementFromStored(int stored);

// The layout kept in the settings (`Interface\BackgroundPlacement`,
// `Interface\BackgroundFixed`); defaults when there is no store. Write gives false when
// the store refused.
BackgroundLayout ReadBackgroundLayout(const settings::SettingsAccess& settings);
bool WriteBackgroundLayout(const settings::SettingsAccess& settings,
                           const BackgroundLayout& layout);

} // namespace zelvorin::preview
