// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The source "Copy &HTML source" gives: the shown document as its author would keep it.
// The preview shows the user's choices through inline styles that win over the page's
// own, and serves local images under addresses of its own that no other program can use.
// The page script AuthorSource.js takes those changes back (keeping the BODY attributes
// through which the page itself says what the user chose: "background", "bgcolor",
// "scroll"); this gives every image served under the program's address its real address
// again, so the copy shows the same background in any browser.
#pragma once

#include <QString>
#include <QUrl>

namespace zelvorin {

class LocalImageUrls;

namespace preview {

// `source` with every image address handed out by `images` (as written in markup, where
// "&" reads "&amp;") replaced by the image's real address for the page at `pageUrl`:
// relative to the page's folder for a local page, else a file:// URL (ImageAddress).
// Other text, addresses of the same schemes that were never handed out included, stays.
QString WithRealImageAddresses(const QString& source, const QUrl& pageUrl,
                               const LocalImageUrls& images);

} // namespace preview

} // namespace zelvorin
