// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShownDocument.h"

#include "DocumentSource.h"
#include "PageScripts.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewRules.h"

namespace zelvorin {

ShownDocument::ShownDocument(PreviewPage* page, LocalImageUrls* images, QObject* parent)
    : QObject(parent), m_page(page), m_images(images) {}

void ShownDocument::call(const QString& method, const QJsonArray& arguments, const QObject* context,
                         std::function<void(const QVariant&)> done) const {
    pagescripts::Run(
        m_page, pagescripts::LibraryCall(m_page->previewProfile()->scriptKey(), method, arguments),
        context, std::move(done));
}

void ShownDocument::countFrames(const QObject* context, std::function<void(int)> done) const {
    call(QStringLiteral("countFrames"), {}, context,
         [done = std::move(done)](const QVariant& count) {
             bool ok = false;
             const int value = count.toInt(&ok);
             done(count.isValid() && ok ? value : -1);
         });
}

void ShownDocument::readBackgroundColour(const QObject* context,
                                         std::function<void(QColor)> done) const {
    call(QStringLiteral("readBackgroundColor"), {}, context,
         [done = std::move(done)](const QVariant& answer) {
             const QVariantList texts = answer.toList();
             if (texts.size() != 3) {
                 done(QColor());
                 return;
             }
             QColor colour = preview::ColorFromBgColorText(texts[0].toString());
             // A colour the BODY does not carry as "#RRGGBB" (none, a colour name, one
             // from a style sheet) is read from what the page paints.
             if (!colour.isValid())
                 colour = preview::ColorFromCssText(texts[1].toString());
             if (!colour.isValid())
                 colour = preview::ColorFromCssText(texts[2].toString());
             done(colour);
         });
}

void ShownDocument::setScroll(bool scroll) const {
    pagescripts::Run(m_page,
                     pagescripts::LibraryCall(m_page->previewProfile()->scriptKey(),
                                              QStringLiteral("setScroll"), {scroll}),
                     m_page, [](const QVariant&) {});
}

void ShownDocument::setBorder(int mode) const {
    if (mode != 0 && mode != 1)
        return;
    pagescripts::Run(m_page,
                     pagescripts::LibraryCall(m_page->previewProfile()->scriptKey(),
                                              QStringLiteral("setBorder"), {mode}),
                     m_page, [](const QVariant&) {});
}

void ShownDocument::findElement(const QString& name, int index, const QObject* context,
                                std::function<void(std::optional<Element>)> done) const {
    if (m_page->url().isEmpty()) {
        done(std::nullopt);
        return;
    }
    QPointer<PreviewPage> page = m_page;
    call(QStringLiteral("findElement"), {name, qMax(index, 0)}, context,
         [page, done = std::move(done)](const QVariant& handle) {
             bool ok = false;
             const int value = handle.toInt(&ok);
             if (!handle.isValid() || !ok || value < 0)
                 done(std::nullopt);
             else
                 done(Element{page, value});
         });
}

void ShownDocument::readAttribute(const Element& element, const QString& attribute,
                                  const QObject* context,
                                  std::function<void(QVariant)> done) const {
    if (!element.page || element.handle < 0) {
        done(QVariant());
        return;
    }
    call(QStringLiteral("attribute"), {element.handle, attribute}, context,
         [done = std::move(done)](const QVariant& value) { done(value); });
}

void ShownDocument::readElementAttribute(const QString& name, int index, const QString& attribute,
                                         const QObject* context,
                                         std::function<void(QVariant)> done) const {
    QPointer<const ShownDocument> self = this;
    findElement(name, index, context,
                [self, attribute, context, done = std::move(done)](std::optional<Element> found) {
                    if (found && self)
                        self->readAttribute(*found, attribute, context, done);
                    else
                        done(QVariant());
                });
}

void ShownDocument::readAuthorSource(const QObject* context,
                                     std::function<void(std::optional<QString>)> done) const {
    QPointer<const ShownDocument> self = this;
    pagescripts::Run(m_page,
                     pagescripts::LibraryTask(m_page->previewProfile()->scriptKey(),
                                              QStringLiteral("AuthorSource.js")),
                     context, [self, done = std::move(done)](const QVariant& markup) {
                         if (!self || markup.typeId() != QMetaType::QString) {
                             done(std::nullopt);
                             return;
                         }
                         done(preview::WithRealImageAddresses(
                             markup.toString(), self->m_page->url(), *self->m_images));
                     });
}

} // namespace zelvorin
