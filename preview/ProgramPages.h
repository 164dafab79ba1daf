// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Pages the program writes into the preview itself (gallery pages, any generated text).
// They go only into a document the program made and claimed (PreviewPage records which),
// so a page of the web never receives a listing of the user's folder. The text goes into
// the document with no navigation and no history entry. A long page is written in parts:
// its head, its first items and its tail at once, and further items each time the user
// scrolls near the end of what is written, so neither the window nor the page's memory
// grows with the length of the page.
//
// A page asked for goes into the shown document when that is one of the program's own;
// when the program's own document is still loading, once it is there; else into a blank
// page of the program's own loaded for it once the load under way (a web page, say) has
// ended or its wait has (then it is stopped). A page asked for while another waits
// replaces it, and a load of anything else before it is written drops it. The engine
// answers each part later, by callback or signal.
#pragma once

#include "GeneratedPage.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace zelvorin {

class PreviewPage;

class ProgramPages : public QObject {
    Q_OBJECT
public:
    // Items written at once, and in each further part.
    static constexpr qint64 ItemsPerPart = 100;

    // Runs a task once the load under way has ended, or its wait has (Preview::whenLoaded).
    using AfterLoad = std::function<void(const QObject* context, std::function<void()> task)>;

    ProgramPages(PreviewPage* page, AfterLoad afterLoad, QObject* parent);

    // The empty page of the program's own that a page goes into when the shown document
    // is not the program's.
    static QUrl BlankPage();

    // Shows the page (see above); returns the request's number, which `shown` reports.
    int show(std::unique_ptr<GeneratedPage> page);
    // Replaces the shown document, which must be the program's own, with the page; `done`
    // (while `context` lives) tells whether it went in: false when the document is not
    // the program's or the engine did not answer.
    void write(std::unique_ptr<GeneratedPage> page, const QObject* context,
               std::function<void(bool)> done);
    // Whether a written page still has items to give.
    bool hasMore() const { return m_rest != nullptr; }
    // Writes every item the page still has to give, for a copy of the whole page; `done`
    // false when the document went away or the engine did not answer.
    void writeRest(const QObject* context, std::function<void(bool)> done);

signals:
    // A page of `show` went into the browser, or will not (`written` false: nothing is
    // shown, the engine did not answer, another load came first, or a newer page
    // replaced it).
    void shown(int request, bool written);
    // Further items went into the page (for tests and benchmarks).
    void itemsAppended(bool done);

private:
    struct Waiting {
        int request = 0;
        std::unique_ptr<GeneratedPage> page;
    };

    void loadEnded();
    void showWaiting();
    void writeWaiting();
    void tellShown(int request, bool written);
    void writeMore(const QString& nonce);
    void append(const QString& nonce, const QString& text, bool last,
                std::function<void(bool)> done);

    PreviewPage* m_page = nullptr;
    AfterLoad m_afterLoad;
    std::optional<Waiting> m_waiting;
    int m_nextRequest = 1;
    std::shared_ptr<GeneratedPage> m_rest;
    QString m_restNonce;
};

} // namespace zelvorin
