// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ProgramPages.h"

#include "GeneratedPage.h"
#include "PageScripts.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "Secrets.h"

#include <QPointer>
#include <QTimer>

// Resources of a static library need asking for, or the linker drops them.
static void initProgramPages() {
    Q_INIT_RESOURCE(ProgramPages);
}

namespace zelvorin {

ProgramPages::ProgramPages(PreviewPage* page, AfterLoad afterLoad, QObject* parent)
    : QObject(parent), m_page(page), m_afterLoad(std::move(afterLoad)) {
    initProgramPages();
    connect(page, &PreviewPage::moreItemsRequested, this, &ProgramPages::writeMore);
    // After the page's own handler, which claims a document the program loaded.
    connect(page, &QWebEnginePage::loadFinished, this, &ProgramPages::loadEnded);
}

QUrl ProgramPages::BlankPage() {
    return QUrl(QStringLiteral("qrc:/pages/blank.html"));
}

int ProgramPages::show(std::unique_ptr<GeneratedPage> page) {
    const int request = m_nextRequest++;
    if (m_page->url().isEmpty()) {
        tellShown(request, false);
        return request;
    }
    const bool alreadyWaiting = m_waiting.has_value();
    if (m_waiting)
        tellShown(m_waiting->request, false);
    m_waiting = Waiting{request, std::move(page)};
    if (m_page->loadsProgramDocument() && m_page->loadUnderWay())
        return request;
    // A blank page asked for during a load supersedes it while the engine may still end it
    // as the page it leaves: the load ends first, as a load the user started would.
    if (!alreadyWaiting)
        m_afterLoad(this, [this] { showWaiting(); });
    return request;
}

void ProgramPages::showWaiting() {
    if (!m_waiting || m_page->loadsProgramDocument())
        return;
    if (m_page->ownsShownDocument() && !m_page->loadUnderWay()) {
        writeWaiting();
        return;
    }
    // Never into a document the program did not make (a web page, a local file, a blank
    // page some page navigated to).
    m_page->triggerAction(QWebEnginePage::Stop);
    m_page->loadByProgram(BlankPage());
    // A blank page that is not the program's by the end of its load or its wait takes
    // no page.
    m_afterLoad(this, [this, request = m_waiting->request] {
        if (!m_waiting || m_waiting->request != request || m_page->ownsShownDocument())
            return;
        tellShown(request, false);
        m_waiting.reset();
    });
}

void ProgramPages::loadEnded() {
    if (!m_waiting || m_page->loadsProgramDocument())
        return;
    if (m_page->ownsShownDocument()) {
        writeWaiting();
        return;
    }
    // Another load took the program's place (the user's, or Stop ended it).
    tellShown(m_waiting->request, false);
    m_waiting.reset();
}

void ProgramPages::writeWaiting() {
    Waiting waiting = std::move(*m_waiting);
    m_waiting.reset();
    write(std::move(waiting.page), this,
          [this, request = waiting.request](bool written) { emit shown(request, written); });
}

void ProgramPages::tellShown(int request, bool written) {
    QTimer::singleShot(0, this, [this, request, written] { emit shown(request, written); });
}

void ProgramPages::write(std::unique_ptr<GeneratedPage> page, const QObject* context,
                         std::function<void(bool)> done) {
    const QString nonce = m_page->ownerNonce();
    if (nonce.isEmpty()) {
        done(false);
        return;
    }
    QString text = page->head();
    text += page->nextItems(ItemsPerPart);
    // The rest is asked for at a comment no file name can forge (names are escaped).
    QString marker;
    if (!page->atEnd()) {
        marker = QStringLiteral("zelvorin-more ") + RandomSecret();
        text += QStringLiteral("<!--") + marker + QStringLiteral("-->");
    }
    text += page->tail();
    // Kept from now on: whatever the program asks of the page next runs after the write.
    m_rest.reset();
    if (!marker.isEmpty()) {
        m_rest = std::move(page);
        m_restNonce = nonce;
    }
    QPointer<ProgramPages> self = this;
    pagescripts::Run(m_page,
                     pagescripts::LibraryCall(m_page->previewProfile()->scriptKey(),
                                              QStringLiteral("writePage"), {nonce, text, marker}),
                     context, [self, nonce, done = std::move(done)](const QVariant& written) {
                         if (!written.toBool() && self && self->m_restNonce == nonce)
                             self->m_rest.reset();
                         done(written.toBool());
                     });
}

void ProgramPages::append(const QString& nonce, const QString& text, bool last,
                          std::function<void(bool)> done) {
    QPointer<ProgramPages> self = this;
    pagescripts::Run(m_page,
                     pagescripts::LibraryCall(m_page->previewProfile()->scriptKey(),
                                              QStringLiteral("appendItems"), {nonce, text, last}),
                     this, [self, last, done = std::move(done)](const QVariant& appended) {
                         if (appended.toBool())
                             emit self->itemsAppended(last);
                         done(appended.toBool());
                     });
}

void ProgramPages::writeMore(const QString& nonce) {
    if (!m_rest || nonce != m_restNonce)
        return;
    // The document the rest belonged to is gone.
    if (m_page->ownerNonce() != nonce) {
        m_rest.reset();
        return;
    }
    const QString text = m_rest->nextItems(ItemsPerPart);
    const bool last = m_rest->atEnd();
    if (last)
        m_rest.reset();
    append(nonce, text, last, [](bool) {});
}

void ProgramPages::writeRest(const QObject* context, std::function<void(bool)> done) {
    if (!m_rest) {
        done(true);
        return;
    }
    const QString nonce = m_restNonce;
    if (m_page->ownerNonce() != nonce) {
        m_rest.reset();
        done(false);
        return;
    }
    // Larger parts than while scrolling: nothing is shown between them.
    const QString text = m_rest->nextItems(ItemsPerPart * 10);
    const bool last = m_rest->atEnd();
    if (last)
        m_rest.reset();
    QPointer<const QObject> guard = context;
    QPointer<ProgramPages> self = this;
    append(nonce, text, last, [self, guard, done = std::move(done)](bool appended) {
        if (!guard)
            return;
        if (!appended) {
            self->m_rest.reset();
            done(false);
        } else {
            self->writeRest(guard, done);
        }
    });
}

} // namespace zelvorin
