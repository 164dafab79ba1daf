// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the user chose as the background of the shown page, and what the program tells
// and hands over about it: the placement of the image (kept in the settings by the
// window), the note on text contrast and seams (worked out by the preview's workers,
// never holding up the window), the image's own colour as the page colour, and the CSS rule
// for the choice. The chosen image and colour belong to the shown page, as the
// background itself does: each load starts without them; the placement stays.
#pragma once

#include "BackgroundPlacement.h"
#include "TileAnalysisRunner.h"

#include <QColor>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace zelvorin {

class Preview;

class BackgroundChoice : public QObject {
    Q_OBJECT
public:
    explicit BackgroundChoice(Preview* preview, QObject* parent = nullptr);

    preview::BackgroundLayout layout() const { return m_layout; }
    // Takes the layout for every image from now on and puts it at once behind the shown
    // page and its frames when they show a chosen image.
    void setLayout(const preview::BackgroundLayout& layout);
    // The image chosen for the shown page (a path text); empty when none.
    QString image() const { return m_image; }
    // The last note told about the chosen image; empty before the first.
    QString note() const { return m_note; }
    preview::TileAnalysisRunner* runner() const { return m_runner; }

    // The layout as the change the page's scripts take.
    static QJsonObject layoutChange(const preview::BackgroundLayout& layout);

    // "Use image's colour": the page colour becomes the image's average colour, through
    // the same road as a colour the user picks. Before the image has been analysed, it
    // is done when the analysis comes.
    void useImageColour();
    // "Copy CSS": the rule for the chosen image, colour and placement on the clipboard.
    void copyCss();
    // The rule "Copy CSS" copies: with the page's own colour when the user chose none
    // (read from the page, so it comes later); empty when neither an image nor a colour
    // is known.
    void readCssText(const QObject* context, std::function<void(QString)> done);

signals:
    void layoutChanged(const zelvorin::preview::BackgroundLayout& layout);
    // The status bar's note for the chosen image: its weight, contrast and seams.
    void noteChanged(const QString& note);

private:
    void imageSet(const QString& path);
    void pageChanged();
    void readTextColour();
    void analysed(const preview::TileAnalysisResult& result);
    void tell();
    QColor chosenColour() const;
    QString cssText(const QColor& colour) const;

    Preview* m_preview = nullptr;
    preview::TileAnalysisRunner* m_runner = nullptr;
    preview::BackgroundLayout m_layout;
    QString m_image;
    bool m_hasHighDensityPartner = false; // m_image has its "name@2x.ext" beside it
    // The colour chosen for the shown page; invalid: the desktop's window colour.
    std::optional<QColor> m_colour;
    quint64 m_request = 0;
    std::optional<preview::TileAnalysisResult> m_result; // for m_image
    std::optional<QColor> m_textColour; // read from the shown page; invalid: none found
    quint64 m_textRead = 0;
    bool m_textReading = false;
    bool m_useColourWhenAnalysed = false;
    QString m_note;
};

} // namespace zelvorin
