// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// "Side by side": a second view of the page the preview shows, so that the page is judged
// at two widths at once. It is a preview of its own (the same profile, so the same web
// policy for the untrusted page), that follows the first: the same address, the same font
// size, and the same background image, colour and placement, put back when its own load
// of the page ends after the choice. It takes no commands: links the user clicks in it
// stay in it.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <optional>

class QWebEngineView;
class QUrl;

namespace zelvorin {

class Preview;
class PreviewProfile;

class SideView : public QObject {
    Q_OBJECT
public:
    // The view is made without a parent, for a PageFrame to take; take it out of the frame
    // before this goes.
    SideView(Preview* first, PreviewProfile* profile, QObject* parent);
    ~SideView() override;

    QWebEngineView* view() const;
    Preview* preview() const { return m_side; }
    // Whether this view's page has every change of the first view's choice.
    bool upToDate() const { return !m_sent && !m_changed.image && !m_changed.colour; }

signals:
    // The first preview's last background change is in every frame of this view too.
    void backgroundApplied();

private:
    void follow(const QUrl& url);
    void sendChange();

    Preview* m_first;
    Preview* m_side;
    // The first view's choice for its page, what of it this view has still to get, and the
    // change on its way to this view's page.
    std::optional<QString> m_image;
    std::optional<QColor> m_colour;
    struct Changed {
        bool image = false;
        bool colour = false;
    } m_changed;
    std::optional<int> m_sent;
};

} // namespace zelvorin
