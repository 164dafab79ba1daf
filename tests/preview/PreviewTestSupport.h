// Helpers of the preview's browser tests: solid-colour images, a view of a fixed size,
// waiting for pages and for changes, and reading what the view paints.
#pragma once

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QSignalSpy>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>
#include <QtTest>
#include <functional>

namespace zelvorin::test {

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
// Runs a script in the page's own world and waits for its value.
QVariant evaluate(QWebEnginePage* page, const QString& script);
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
