// The scripts the preview runs in its pages. The engine runs scripts of the program in
// the top document only, and a document of another origin cannot be touched from there;
// so a small library is injected into every frame, in a world of its own that page
// scripts cannot see. The top document's copy walks the frame tree: documents of its own
// origin are changed directly, the others receive the change by postMessage and answer
// (scripts/FrameMessages.js: messages a page may see but cannot forge or replay); when the
// last one has answered, the top reports through a console message carrying the run's
// secret key, which pages never see.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrl>

namespace zelvorin::frames {

// The library, defining `window.__zelvorin` once per document.
QString LibrarySource(const QString& key);
// The messages to frames of other origins: an expression giving a function of the key
// (see scripts/FrameMessages.js).
QString MessageRouteSource();
// A script evaluating `expression` (which uses `window.__zelvorin`), bringing the library
// along only when the document lacks it.
QString CallScript(const QString& key, const QString& expression);
// A script for the top document that applies `change` to it and to every frame, and
// evaluates to the number of frames whose acknowledgement is still to come.
// `change` holds "color" ("#RRGGBB"), "image" ({"remote": url, "local": url}) and
// "layout" ({"repeat", "position", "size", "attachment"}: CSS values), each optional.
QString ApplyToAllFramesScript(const QString& key, const QJsonObject& change, int requestId);
// The console message the top document writes when every frame has acknowledged.
QString AppliedMessagePrefix(const QString& key);

// Scripts on the top document only; each evaluates to a plain value.
QString CountFramesScript(const QString& key);
QString SetScrollScript(const QString& key, bool scroll);
QString SetBorderScript(const QString& key, int mode);
// A list: the BODY's "bgColor" attribute text, the BODY's computed background colour and
// the root element's computed background colour; nothing when there is no BODY.
QString ReadBackgroundColorScript(const QString& key);
// The handle (>= 0) of the element found, -1 for none.
QString FindElementScript(const QString& key, const QString& name, int index);
// The attribute's value: the element's property of that name when it has one (so that
// "checked" gives the live state as a Boolean), else the attribute's text, else null.
QString ElementAttributeScript(const QString& key, int handle, const QString& attribute);

// The program's own documents (see ProgramDocuments.h). Each evaluates to true when done.
// A claim marks the shown document as the program's with `nonce` when it is still the
// document at `address`; a write replaces a
// document so claimed with `text` (and, when `marker` is not empty, asks for more items
// at the comment of that text as the user scrolls); an append puts further items before
// that comment, and removes it when `done`.
QString ClaimScript(const QString& key, const QString& nonce, const QUrl& address);
QString WritePageScript(const QString& key, const QString& nonce, const QString& text,
                        const QString& marker);
QString AppendItemsScript(const QString& key, const QString& nonce, const QString& text, bool done);
// What a claimed document reports: "<key> command <nonce> <address>" when the user
// activated a command link, "<key> more <nonce>" when it wants more items.
QString ReportPrefix(const QString& key);

// Defines `window.status` in the page's own world so that texts pages put there reach the
// program as console messages with this prefix.
QString StatusHookSource();
QString StatusMessagePrefix();

} // namespace zelvorin::frames
