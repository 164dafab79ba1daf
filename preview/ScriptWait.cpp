#include "ScriptWait.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <memory>

namespace zelvorin {

std::optional<QVariant>
WaitForAnswer(QObject* guard, const std::function<void(AnswerCallback)>& start, int timeoutMs) {
    if (!guard)
        return std::nullopt;
    struct State {
        bool answered = false;
        QVariant value;
        QPointer<QEventLoop> loop;
    };
    // The callback may arrive after this function has given up; it then only fills a
    // state nobody reads any more.
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->loop = &loop;
    QObject::connect(guard, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    start([state](const QVariant& value) {
        state->answered = true;
        state->value = value;
        if (state->loop)
            state->loop->quit();
    });
    if (!state->answered) {
        timer.start(timeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    state->loop = nullptr;
    if (!state->answered)
        return std::nullopt;
    return state->value;
}

std::optional<QVariant> RunScriptAndWait(QWebEnginePage* page, const QString& script,
                                         quint32 worldId, int timeoutMs) {
    QPointer<QWebEnginePage> target = page;
    return WaitForAnswer(
        page,
        [&](AnswerCallback done) {
            target->runJavaScript(script, worldId, [done](const QVariant& v) { done(v); });
        },
        timeoutMs);
}

std::optional<QString> PageHtmlAndWait(QWebEnginePage* page, int timeoutMs) {
    QPointer<QWebEnginePage> target = page;
    const std::optional<QVariant> html = WaitForAnswer(
        page,
        [&](AnswerCallback done) {
            target->toHtml([done](const QString& text) { done(QVariant(text)); });
        },
        timeoutMs);
    if (!html)
        return std::nullopt;
    return html->toString();
}

} // namespace zelvorin
