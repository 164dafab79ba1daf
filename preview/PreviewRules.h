// The preview's rules that need no browser: colour conversions, the caption and status
// texts, the progress gauge, the font size levels and the shape of command addresses.
#pragma once

#include <QString>
#include <QUrl>
#include <QtGlobal>

namespace zelvorin::preview {

// The system's window colour in the program's colour notation.
inline constexpr quint32 SystemWindowColor = 0x80000005u;
inline constexpr quint32 White = 0xFFFFFFu;

// 0x00BBGGRR <-> 0x00RRGGBB: swaps the low and the third byte, keeps the middle one and
// the high byte; its own inverse.
constexpr quint32 SwapRedBlue(quint32 colour) {
    return (colour & 0xFF00FF00u) | ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu);
}
// "#" followed by six upper-case hexadecimal digits of a 0xRRGGBB value.
QString ColorText(quint32 rgb);
// A body's "bgColor" text as the program's colour: "#RRGGBB" or "RRGGBB" give the colour,
// anything else the system window colour.
quint32 ColorFromBgColorText(const QString& text);
// A computed CSS colour ("rgb(r, g, b)" or "rgba(r, g, b, a)") as the program's colour;
// transparent or unreadable colours give the system window colour.
quint32 ColorFromCssText(const QString& text);

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
