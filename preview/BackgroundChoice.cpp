// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BackgroundChoice.h"

#include "BackgroundCss.h"
#include "BackgroundNotes.h"
#include "HighDensityImage.h"
#include "LosslessNames.h"
#include "PageScripts.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewRules.h"
#include "ShownDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QPointer>

namespace zelvorin {

BackgroundChoice::BackgroundChoice(Preview* preview, QObject* parent)
    : QObject(parent), m_preview(preview),
      m_runner(new preview::TileAnalysisRunner(preview->workers(), this)) {
    connect(preview, &Preview::backgroundImageSet, this, &BackgroundChoice::imageSet);
    connect(preview, &Preview::backgroundColourSet, this,
            [this](const QColor& colour) { m_colour = colour; });
    // Every load (of another page, or the same one again) starts without the choice; moving
    // within the document starts none and keeps it. A live reload puts the choice back
    // once loaded.
    connect(preview->page(), &QWebEnginePage::loadStarted, this, &BackgroundChoice::pageChanged);
    // A text colour read while the page was loading may be of a page not yet all there;
    // with an image chosen the note waits for that colour, so it is read again at once.
    connect(preview->page(), &QWebEnginePage::loadFinished, this, [this] {
        m_textColour.reset();
        ++m_textRead;
        m_textReading = false;
        if (!m_image.isEmpty())
            readTextColour();
    });
    connect(m_runner, &preview::TileAnalysisRunner::finished, this, &BackgroundChoice::analysed);
}

QJsonObject BackgroundChoice::layoutChange(const preview::BackgroundLayout& layout) {
    const preview::BackgroundCssValues values = preview::CssValues(layout);
    return QJsonObject{{QStringLiteral("repeat"), values.repeat},
                       {QStringLiteral("position"), values.position},
                       {QStringLiteral("size"), values.size},
                       {QStringLiteral("attachment"), values.attachment},
                       {QStringLiteral("rootFillsView"), values.rootFillsView}};
}

void BackgroundChoice::setLayout(const preview::BackgroundLayout& layout) {
    if (layout == m_layout)
        return;
    m_layout = layout;
    emit layoutChanged(layout);
    if (m_image.isEmpty())
        return;
    m_preview->setBackgroundLayout(layout);
    // The seams that matter change with the directions the image repeats in.
    tell();
}

void BackgroundChoice::pageChanged() {
    m_image.clear();
    m_colour.reset();
    m_result.reset();
    m_textColour.reset();
    ++m_textRead;
    m_textReading = false;
    m_useColourWhenAnalysed = false;
    m_note.clear();
    m_runner->cancel();
}

void BackgroundChoice::imageSet(const QString& path) {
    if (path != m_image || !m_result) {
        m_image = path;
        m_hasHighDensityPartner =
            !preview::HighDensityPartner(platform::encodePath(path)).isEmpty();
        m_result.reset();
        m_useColourWhenAnalysed = false;
        m_request = m_runner->analyse(path, chosenColour().isValid() ? chosenColour() : Qt::white);
    }
    // Walking quickly through a folder asks once per page, not once per image.
    if (!m_textColour && !m_textReading)
        readTextColour();
    else
        tell();
}

void BackgroundChoice::readTextColour() {
    const quint64 run = ++m_textRead;
    m_textReading = true;
    pagescripts::Run(m_preview->page(), pagescripts::Call(QStringLiteral("TextColour.js")), this,
                     [this, run](const QVariant& answer) {
                         if (run != m_textRead)
                             return;
                         m_textReading = false;
                         // Invalid when none was found.
                         m_textColour = preview::ColorFromCssText(answer.toString());
                         tell();
                     });
}

void BackgroundChoice::analysed(const preview::TileAnalysisResult& result) {
    // A result for an image no longer chosen is of no use.
    if (result.request != m_request || result.path != m_image)
        return;
    m_result = result;
    if (m_useColourWhenAnalysed) {
        m_useColourWhenAnalysed = false;
        useImageColour();
    }
    tell();
}

void BackgroundChoice::tell() {
    if (!m_result || !m_textColour)
        return;
    const QString note = preview::ChosenImageNote(*m_result, *m_textColour, m_layout.placement,
                                                  m_hasHighDensityPartner);
    m_note = note;
    if (!note.isEmpty())
        emit noteChanged(note);
}

void BackgroundChoice::useImageColour() {
    if (m_image.isEmpty())
        return;
    if (!m_result) {
        m_useColourWhenAnalysed = true;
        return;
    }
    if (m_result->analysis)
        m_preview->setBackgroundColour(m_result->analysis->average);
}

QColor BackgroundChoice::chosenColour() const {
    if (!m_colour)
        return QColor();
    // An invalid colour stands for the desktop's window colour.
    return m_colour->isValid() ? *m_colour : QApplication::palette().color(QPalette::Base);
}

QString BackgroundChoice::cssText(const QColor& colour) const {
    if (m_image.isEmpty())
        return preview::CopyCssText(colour, QString(), m_layout);
    const QUrl page = m_preview->page()->url();
    const QByteArray image = platform::encodePath(m_image);
    const QByteArray partner = preview::HighDensityPartner(image);
    return preview::CopyCssText(colour, preview::ImageAddress(image, page), m_layout,
                                partner.isEmpty() ? QString()
                                                  : preview::ImageAddress(partner, page));
}

void BackgroundChoice::readCssText(const QObject* context, std::function<void(QString)> done) {
    const QColor colour = chosenColour();
    if (colour.isValid()) {
        done(cssText(colour));
        return;
    }
    QPointer<BackgroundChoice> self = this;
    m_preview->document()->readBackgroundColour(context,
                                                [self, done = std::move(done)](const QColor& own) {
                                                    done(self ? self->cssText(own) : QString());
                                                });
}

void BackgroundChoice::copyCss() {
    readCssText(this, [](const QString& text) {
        if (!text.isEmpty())
            QApplication::clipboard()->setText(text);
    });
}

} // namespace zelvorin
