// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The name a download is offered under. A page proposes it (an attachment header, an
// encoded header, a link's "download" attribute) and may put anything there: folders,
// "..", an absolute path, a name that hides itself behind a leading dot, line breaks, or
// characters that turn the text around on screen ("exe.txt" shown for "txt.exe"). The
// program keeps only a plain, visible base name, so the save question opens where the user
// saves, under a name that shows what it is.
#pragma once

#include <QString>

namespace zelvorin {

// What is left of the proposed name: its last path part, with control, format and
// direction characters and line breaks taken out (breaks and tabs become spaces), without
// leading dots or blanks, at most 255 bytes (the extension kept), "download" when
// nothing is left.
QString PlainDownloadName(const QString& proposed);

} // namespace zelvorin
