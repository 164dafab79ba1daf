#include "BackgroundChoice.h"

#include "BackgroundCss.h"
#include "BackgroundNotes.h"
#include "HighDensityImage.h"
#include "LosslessNames.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewRules.h"

#include <QApplication>
#include <QClipboard>
#include <QPointer>
#include <QWebEngineScript>

namespace zelvorin {

namespace {

// The colour of the page's main text: the computed colour of the element holding the
// most text of its own (in the top document and the frames of its origin), else of the
// body. Runs in the program's world, so the page's scripts cannot change the answer.
const QString TextColourScript = QStringLiteral(R"JS((function () {
  var best = null, most = 0, body = null, seen = 0;
  var SKIP = {SCRIPT: 1, STYLE: 1, NOSCRIPT: 1, TEMPLATE: 1, TITLE: 1, HEAD: 1};
  function ownText(el) {
    var n = 0;
    for (var c = el.firstChild; c; c = c.nextSibling)
      if (c.nodeType === 3) n += c.data.trim().length;
    return n;
  }
  function visit(win, depth) {
    var doc;
    try { doc = win.document; } catch (e) { return; }
    if (!doc || depth > 10) return;
    var top = doc.body;
    if (top && top.tagName === 'BODY') {
      if (!body) body = top;
      var all = [top].concat(Array.prototype.slice.call(top.getElementsByTagName('*'), 0, 20000));
      for (var i = 0; i < all.length && seen < 50000; ++i, ++seen) {
        var el = all[i];
        if (SKIP[el.tagName]) continue;
        var n = ownText(el);
        if (n > most) { most = n; best = el; }
      }
    }
    var count = 0;
    try { count = Math.min(win.length, 100); } catch (e) {}
    for (var k = 0; k < count; ++k) visit(win[k], depth + 1);
  }
  visit(window, 0);
  var el = best || body;
  if (!el) return '';
  try { return el.ownerDocument.defaultView.getComputedStyle(el).color; } catch (e) { return ''; }
})())JS");

QColor programColour(quint32 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

quint32 fromColour(const QColor& colour) {
    return quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
}

} // namespace

BackgroundChoice::BackgroundChoice(Preview* preview, QObject* parent)
    : QObject(parent), m_preview(preview), m_runner(new preview::TileAnalysisRunner(this)) {
    connect(preview, &Preview::backgroundImageSet, this, &BackgroundChoice::imageSet);
    connect(preview, &Preview::backgroundColorSet, this,
            [this](quint32 colour) { m_colour = colour; });
    // Every load (of another page, or the same one again) starts without the choice; moving
    // within the document starts none and keeps it. A live reload puts the choice back
    // once loaded.
    connect(preview->page(), &QWebEnginePage::loadStarted, this, &BackgroundChoice::pageChanged);
    // A text colour read while the page was loading may be of a page not yet all there.
    connect(preview->page(), &QWebEnginePage::loadFinished, this, [this] {
        m_textColour.reset();
        ++m_textRead;
        m_textReading = false;
    });
    connect(m_runner, &preview::TileAnalysisRunner::Finished, this, &BackgroundChoice::analysed);
}

QJsonObject BackgroundChoice::LayoutChange(const preview::BackgroundLayout& layout) {
    const preview::BackgroundCssValues values = preview::CssValues(layout);
    return QJsonObject{{QStringLiteral("repeat"), values.repeat},
                       {QStringLiteral("position"), values.position},
                       {QStringLiteral("size"), values.size},
                       {QStringLiteral("attachment"), values.attachment}};
}

void BackgroundChoice::SetLayout(const preview::BackgroundLayout& layout) {
    if (layout == m_layout)
        return;
    m_layout = layout;
    emit layoutChanged(layout);
    if (m_image.isEmpty())
        return;
    m_preview->SetPageBackgroundLayout(layout);
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
    m_runner->Cancel();
}

void BackgroundChoice::imageSet(const QString& path) {
    if (path != m_image || !m_result) {
        m_image = path;
        m_hasHighDensityPartner =
            !preview::HighDensityPartner(platform::encodePath(path)).isEmpty();
        m_result.reset();
        m_useColourWhenAnalysed = false;
        m_request = m_runner->Analyse(path, chosenColour().isValid() ? chosenColour() : Qt::white);
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
    QPointer<BackgroundChoice> self = this;
    m_preview->page()->runJavaScript(
        TextColourScript, QWebEngineScript::ApplicationWorld, [self, run](const QVariant& answer) {
            if (!self || run != self->m_textRead)
                return;
            self->m_textReading = false;
            const quint32 colour = preview::ColorFromCssText(answer.toString());
            self->m_textColour =
                colour == preview::SystemWindowColor ? QColor() : programColour(colour);
            self->tell();
        });
}

void BackgroundChoice::analysed(const preview::TileAnalysisResult& result) {
    // A result for an image no longer chosen is of no use.
    if (result.request != m_request || result.path != m_image)
        return;
    m_result = result;
    if (m_useColourWhenAnalysed) {
        m_useColourWhenAnalysed = false;
        UseImageColourMenuItemClick();
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

void BackgroundChoice::UseImageColourMenuItemClick() {
    if (m_image.isEmpty())
        return;
    if (!m_result) {
        m_useColourWhenAnalysed = true;
        return;
    }
    if (m_result->analysis)
        m_preview->SetPageBackgroundColor(fromColour(m_result->analysis->average));
}

QColor BackgroundChoice::chosenColour() const {
    if (!m_colour)
        return QColor();
    // A system colour stands for the desktop's window colour.
    if (*m_colour & 0xFF000000u)
        return QApplication::palette().color(QPalette::Base);
    return programColour(*m_colour);
}

QString BackgroundChoice::CssText() {
    QColor colour = chosenColour();
    if (!colour.isValid()) {
        const quint32 own = m_preview->GetPageBackgroundColor();
        if (own != preview::SystemWindowColor)
            colour = programColour(own);
    }
    if (m_image.isEmpty())
        return preview::CopyCssText(colour, QString(), m_layout);
    const QUrl page = m_preview->page()->url();
    const QByteArray image = platform::encodePath(m_image);
    const QByteArray partner = preview::HighDensityPartner(image);
    return preview::CopyCssText(colour, preview::ImageAddress(image, page), m_layout,
                                partner.isEmpty() ? QString()
                                                  : preview::ImageAddress(partner, page));
}

void BackgroundChoice::CopyCssMenuItemClick() {
    const QString text = CssText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

} // namespace zelvorin
