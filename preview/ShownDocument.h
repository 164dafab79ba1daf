// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the program reads from the document the preview shows, and the small changes it
// makes to the top document alone (scroll bars, border): each through the frame library
// (scripts/FrameLibrary.js), each answered later through a callback. A callback runs only
// while its context object lives; it gets the failure value when the engine gives no
// answer (the page went away, the document has no BODY, a script failed).
#pragma once

#include <QColor>
#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace zelvorin {

class LocalImageUrls;
class PreviewPage;

class ShownDocument : public QObject {
    Q_OBJECT
public:
    // An element found in a shown document; it reads as nothing once that document is gone.
    struct Element {
        QPointer<PreviewPage> page;
        int handle = -1;
    };

    ShownDocument(PreviewPage* page, LocalImageUrls* images, QObject* parent);

    // The frames of the top document (at most 100); -1 when it is no HTML document.
    void countFrames(const QObject* context, std::function<void(int)> done) const;
    // The BODY's background colour: its "bgcolor" when that is "#RRGGBB" or "RRGGBB",
    // else the colour the BODY paints, else the colour the root paints; invalid when none
    // of them has one (no colour set, transparent, no BODY).
    void readBackgroundColour(const QObject* context, std::function<void(QColor)> done) const;
    // The BODY's "scroll" attribute "yes" or "no" (the root's overflow with it).
    void setScroll(bool scroll) const;
    // Mode 1: the BODY's border style becomes "none"; mode 0: it is cleared; other modes
    // change nothing.
    void setBorder(int mode) const;

    // With a name: the index-th element whose name or identifier is that name; without:
    // the element at that position of all elements. A negative index counts as 0.
    void findElement(const QString& name, int index, const QObject* context,
                     std::function<void(std::optional<Element>)> done) const;
    // The attribute's value: the element's property of that name when it has one (so that
    // "checked" gives the live state as a Boolean), else the attribute's text; a null
    // QVariant on any failure.
    void readAttribute(const Element& element, const QString& attribute, const QObject* context,
                       std::function<void(QVariant)> done) const;
    // Both at once: the attribute of the element found, null when there is none.
    void readElementAttribute(const QString& name, int index, const QString& attribute,
                              const QObject* context, std::function<void(QVariant)> done) const;

    // The top document as its author would keep it (see scripts/AuthorSource.js), every
    // local image the program handed out under its real address; nothing when the engine
    // does not answer.
    void readAuthorSource(const QObject* context,
                          std::function<void(std::optional<QString>)> done) const;

private:
    void call(const QString& method, const QJsonArray& arguments, const QObject* context,
              std::function<void(const QVariant&)> done) const;

    PreviewPage* m_page = nullptr;
    LocalImageUrls* m_images = nullptr;
};

} // namespace zelvorin
