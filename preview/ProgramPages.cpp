#include "ProgramPages.h"

#include "FrameScripts.h"
#include "GeneratedPage.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "ScriptWait.h"
#include "Secrets.h"

#include <QPointer>
#include <QWebEngineScript>

// Resources of a static library need asking for, or the linker drops them.
static void initProgramPages() {
    Q_INIT_RESOURCE(ProgramPages);
}

namespace zelvorin {

ProgramPages::ProgramPages(PreviewPage* page, QObject* parent) : QObject(parent), m_page(page) {
    initProgramPages();
    connect(page, &PreviewPage::moreItemsRequested, this, &ProgramPages::writeMore);
}

QUrl ProgramPages::BlankPage() {
    return QUrl(QStringLiteral("qrc:/pages/blank.html"));
}

bool ProgramPages::write(std::unique_ptr<GeneratedPage> page) {
    const QString nonce = m_page->ownerNonce();
    if (nonce.isEmpty())
        return false;
    m_rest.reset();
    QString text = page->head();
    text += page->nextItems(ItemsPerPart);
    // The rest is asked for at a comment no file name can forge (names are escaped).
    QString marker;
    if (!page->atEnd()) {
        marker = QStringLiteral("zelvorin-more ") + RandomSecret();
        text += QStringLiteral("<!--") + marker + QStringLiteral("-->");
    }
    text += page->tail();
    const QString key = m_page->previewProfile()->scriptKey();
    const std::optional<QVariant> written =
        RunScriptAndWait(m_page, frames::WritePageScript(key, nonce, text, marker),
                         QWebEngineScript::ApplicationWorld);
    if (!written || !written->toBool())
        return false;
    if (!marker.isEmpty()) {
        m_rest = std::move(page);
        m_restNonce = nonce;
    }
    return true;
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
    const bool done = m_rest->atEnd();
    if (done)
        m_rest.reset();
    QPointer<ProgramPages> self = this;
    m_page->runJavaScript(
        frames::AppendItemsScript(m_page->previewProfile()->scriptKey(), nonce, text, done),
        QWebEngineScript::ApplicationWorld, [self, done](const QVariant& appended) {
            if (self && appended.toBool())
                emit self->itemsAppended(done);
        });
}

} // namespace zelvorin

namespace zelvorin {

bool ProgramPages::writeRest() {
    // Larger parts than while scrolling: nothing is shown between them.
    constexpr qint64 PartSize = ItemsPerPart * 10;
    const QString key = m_page->previewProfile()->scriptKey();
    while (m_rest) {
        const QString nonce = m_restNonce;
        if (m_page->ownerNonce() != nonce) {
            m_rest.reset();
            return false;
        }
        const QString text = m_rest->nextItems(PartSize);
        const bool done = m_rest->atEnd();
        if (done)
            m_rest.reset();
        const std::optional<QVariant> appended =
            RunScriptAndWait(m_page, frames::AppendItemsScript(key, nonce, text, done),
                             QWebEngineScript::ApplicationWorld);
        if (!appended || !appended->toBool()) {
            m_rest.reset();
            return false;
        }
        emit itemsAppended(done);
    }
    return true;
}

} // namespace zelvorin
