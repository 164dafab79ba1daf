// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers of the preview's browser tests: solid-colour images, a view of a fixed size,
// waiting for pages, for changes and for the engine's answers, and reading what the view
// paints.
#pragma once

#include "GeneratedPage.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QString>
#include <QTestEventLoop>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>

namespace zelvorin {
class Preview;
}

namespace zelvorin::test {

// What an operation that answers by callback gives: `start` is handed the callback; the
// test waits for the answer, nothing after the time limit.
template <typename T>
std::optional<T> answerOf(const std::function<void(std::function<void(T)>)>& start,
                          int timeoutMs = 10000) {
    struct State {
        std::optional<T> answer;
        QPointer<QTestEventLoop> loop;
    };
    // The answer may come after the wait has given up; it then fills a state nobody reads.
    auto state = std::make_shared<State>();
    QTestEventLoop loop;
    state->loop = &loop;
    start([state](T value) {
        state->answer = std::move(value);
        if (state->loop)
            state->loop->exitLoop();
    });
    if (!state->answer)
        loop.enterLoopMSecs(timeoutMs);
    state->loop = nullptr;
    return state->answer;
}

// Writes a PNG of one colour and returns its path.
QString writeSolidImage(const QString& path, const QColor& colour, int size = 8);
// The colour the view shows at a point (a fresh grab of what is painted).
QColor paintedAt(QWebEngineView* view, const QPoint& point);
// Near enough for colours that went through the compositor.
bool sameColour(const QColor& a, const QColor& b, int tolerance = 6);
// Waits until the view paints `colour` at every point; false after the time limit.
bool waitForPainted(QWebEngineView* view, const QList<QPoint>& points, const QColor& colour,
                    int timeoutMs = 10000);
// Loads an address and waits for the load to finish; false on failure or time out.
bool loadAndWait(QWebEnginePage* page, const QUrl& url, int timeoutMs = 15000);
// Waits until `applied` (a spy on Preview::backgroundApplied) has seen `requestId`.
bool waitForApplied(QSignalSpy& applied, int requestId, int timeoutMs = 10000);
// Runs a script in the given world (the page's own, or the program's) and waits for its
// value; invalid when none comes.
QVariant runScript(QWebEnginePage* page, const QString& script, quint32 world,
                   int timeoutMs = 10000);
// Runs a script in the page's own world and waits for its value.
QVariant evaluate(QWebEnginePage* page, const QString& script);
// The engine's own serialisation of the shown document (toHtml); nothing on time out.
std::optional<QString> engineHtml(QWebEnginePage* page, int timeoutMs = 30000);
// Shows a page of the program's and waits until it is in the browser; false when it is not.
bool showGeneratedPage(Preview* preview, std::unique_ptr<GeneratedPage> page);
// What the preview tells of the shown document, each waited for.
int frameCount(Preview* preview);
// The BODY's colour as the preview reads it; invalid for none.
QColor pageColour(Preview* preview);
std::optional<QString> documentSource(Preview* preview);
// Scrolls the first element matching `selector` into view and returns its rectangle in the
// view; empty when there is none.
QRect elementRect(QWebEnginePage* page, const QString& selector);
// A left click with the mouse, as the user makes it, at the centre of the first element
// matching `selector`; false when there is none.
bool clickElement(QWebEngineView* view, const QString& selector);

// Answers the next modal dialog of type T with `answer` as soon as it shows (the engine
// asks some questions from inside its own calls, so the test cannot answer them in line).
template <typename T> void answerNextModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start();
}

} // namespace zelvorin::test
