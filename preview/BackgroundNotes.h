// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The status bar's notes about the chosen background: what it weighs, how readable the
// page's text is on it, and whether its copies meet in visible seams.
#pragma once

#include "BackgroundPlacement.h"
#include "TileAnalysisRunner.h"

#include <QColor>
#include <QString>

namespace zelvorin::preview {

// The contrast ratio WCAG asks of normal body text.
inline constexpr double ReadableContrast = 4.5;

// "Text contrast 3.1:1 at worst (below 4.5:1)" or "Text contrast 7.0:1 at worst (meets
// 4.5:1)". The figure is cut, never rounded, to one decimal, so it never shows a value
// the page does not reach: 4.49 shows as 4.4 and stays below.
QString ContrastText(double ratio);
// "Text contrast unknown: the image cannot be read (REASON)", without the brackets when
// there is no reason.
QString UnreadableImageText(const QString& reason);
// "Seams show where the tile repeats across" (down, across and down); empty when
// neither.
QString SeamText(bool across, bool down);

// "Will be enlarged on 2x screens (no paper@2x.png beside it)": a tile without its partner
// for screens of twice the density is drawn at twice its size there, and looks soft.
QString EnlargedTileText(const QString& partnerName);

// The whole note for an analysis result, the page's text colour and the layout: the
// contrast, then the seam warning for the directions the layout repeats in, joined by
// " \u2014 ". Without a valid text colour the contrast part is left out.
QString BackgroundNote(const TileAnalysisResult& result, const QColor& textColour,
                       BackgroundPlacement placement);

// What the image weighs ("linen.jpg 24 KB, 256 x 256", the size left out when the image
// cannot be read), its BackgroundNote and, for a readable image the layout repeats that
// has no partner for 2x screens, the EnlargedTileText, joined by " \u2014 ".
QString ChosenImageNote(const TileAnalysisResult& result, const QColor& textColour,
                        BackgroundPlacement placement, bool hasHighDensityPartner);

} // namespace zelvorin::preview
