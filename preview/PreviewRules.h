// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The preview's rules that need no browser: colour conversions, the caption and status
// texts, the progress gauge, the font size levels and the shape of command addresses.
#pragma once

#include <QColor>
#include <QString>
#include <QUrl>
#include <QtGlobal>

namespace zelvorin::preview {

// "#" followed by six upper-case hexadecimal digits: the colour's red, green and blue.
QString ColorText(const QColor& colour);
// A body's "bgColor" text as a colour: "#RRGGBB" or "RRGGBB" give it, anything else an
// invalid colour.
QColor ColorFromBgColorText(const QString& text);
// A computed CSS colour ("rgb(r, g, b)" or "rgba(r, g, b, a)"); transparent or
// unreadable colours give an invalid colour.
QColor ColorFromCssText(const QString& text);

// The window caption and the application title for a page title.
struct Captions {
    QString windowCaption;
    QString applicationTitle;
};
Captions CaptionsForTitle(const QString& title);

// Whether a status text reaches the status bar: texts about the program's own resource
// pages (which quote the program's path) stay out.
bool ShowsStatusText(const QString& text);

// The gauge panel of the status bar.
struct Gauge {
    bool enabled = false;
    int position = 0;
    bool operator==(const Gauge&) const = default;
};
// The gauge after a progress report of `progress` of `maximum`.
Gauge GaugeAfterProgress(Gauge gauge, qint64 progress, qint64 maximum);

// The five font size levels 0 (smallest) .. 4 (largest) as zoom factors of the page.
inline constexpr int ZoomLevelCount = 5;
double ZoomFactorForLevel(int level);
// The level a zoom factor shows, -1 when it is none of the five.
int ZoomLevelForFactor(double factor);

// Addresses of the program's own command scheme: "zelvorin://" at the start, in any letter
// case. A web address that merely carries the text (in its query, say) is a web address.
bool IsCommandUrl(const QString& url);
// Any address of the command scheme, well-formed or not ("zelvorin:contacts",
// "ZELVORIN://x/.."): none of them may reach the engine.
bool IsCommandAddress(const QString& address);

} // namespace zelvorin::preview

namespace zelvorin::preview {
// The browser address for a text of the address box: an absolute path or an existing file
// becomes a file URL, anything else is read as a web address.
QUrl UrlForAddress(const QString& address);
} // namespace zelvorin::preview
