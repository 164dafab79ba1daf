// Pages the program writes into the preview itself (gallery pages, any generated text).
// They go only into a document the program made and claimed (PreviewPage records which),
// so a page of the web never receives a listing of the user's folder. The text goes into
// the document with no navigation and no history entry. A long page is written in parts:
// its head, its first items and its tail at once, and further items each time the user
// scrolls near the end of what is written, so neither the window nor the page's memory
// grows with the length of the page.
#pragma once

#include "GeneratedPage.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>

namespace zelvorin {

class PreviewPage;

class ProgramPages : public QObject {
    Q_OBJECT
public:
    // Items written at once, and in each further part.
    static constexpr qint64 ItemsPerPart = 100;

    ProgramPages(PreviewPage* page, QObject* parent);

    // The empty page of the program's own that a page goes into when the shown document
    // is not the program's.
    static QUrl BlankPage();

    // Replaces the shown document, which must be the program's own, with the page; false
    // when it is not or the engine did not answer.
    bool write(std::unique_ptr<GeneratedPage> page);
    // Whether a written page still has items to give.
    bool hasMore() const { return m_rest != nullptr; }
    // Writes every item the page still has to give, for a copy of the whole page; false
    // when the document went away or the engine did not answer.
    bool writeRest();

signals:
    // Further items went into the page (for tests and benchmarks).
    void itemsAppended(bool done);

private:
    void writeMore(const QString& nonce);

    PreviewPage* m_page = nullptr;
    std::unique_ptr<GeneratedPage> m_rest;
    QString m_restNonce;
};

} // namespace zelvorin
