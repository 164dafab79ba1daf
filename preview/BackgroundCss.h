// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The background handed over as text: the image's address as a page refers to it, and
// the one CSS rule "Copy CSS" puts on the clipboard.
#pragma once

#include "BackgroundPlacement.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QUrl>

namespace zelvorin::preview {

// The address of the image at the absolute path `rawImagePath` (the name's bytes, which
// need not be UTF-8) for use in the page at `pageUrl`: relative to the page's folder
// when the page is a local file, otherwise the image's file:// URL. Every byte other
// than letters, digits, "-", ".", "_", "~" and the "/" between names is percent-encoded,
// so the address is plain ASCII with nothing a CSS string, an HTML attribute or a URL
// parser reads specially. Empty for an empty or relative path.
QString ImageAddress(const QByteArray& rawImagePath, const QUrl& pageUrl);

// `text` as a double-quoted CSS string that holds any text safely: quotes, backslashes,
// line breaks and other control characters are escaped, and so is "<", so the rule
// cannot end a <style> element it is pasted into.
QString CssString(const QString& text);

// One rule for the page's body, e.g.
//   body { background: #c8bfae url("linen.jpg") repeat fixed; }
// An image centred in a scrolling page comes with a rule that lets the root stand as tall
// as the window, so the image is in the middle of what one sees on a short page too:
//   html { min-height: 100%; }
//   body { background: url("linen.jpg") center no-repeat; }
// The colour is left out when not valid; the image and its layout when `imageAddress` is
// empty. Empty when there is neither. With the address of an image for screens of twice
// the density, the rule goes on to offer both, the url() staying for browsers without
// image-set():
//   body { background: url("paper.png") repeat;
//          background-image: image-set("paper.png" 1x, "paper@2x.png" 2x); }
QString CopyCssText(const QColor& colour, const QString& imageAddress,
                    const BackgroundLayout& layout, const QString& doubleDensityAddress = {});

} // namespace zelvorin::preview
