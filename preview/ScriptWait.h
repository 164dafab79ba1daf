// Waiting for the engine's answers. The engine answers scripts and source requests
// asynchronously; the preview's operations are synchronous, so they wait in a local event
// loop (sleeping, not polling) until the answer arrives, the page goes away or the time
// limit passes. User input stays queued meanwhile, so no handler runs inside these short
// waits.
#pragma once

#include <QVariant>
#include <functional>
#include <optional>

class QObject;
class QWebEnginePage;

namespace zelvorin {

inline constexpr int ScriptTimeoutMs = 5000;

using AnswerCallback = std::function<void(const QVariant&)>;

// Starts a request through `start` and waits for the callback it was given. Nothing when
// `guard` is destroyed or the time limit passes first.
std::optional<QVariant> WaitForAnswer(QObject* guard,
                                      const std::function<void(AnswerCallback)>& start,
                                      int timeoutMs = ScriptTimeoutMs);

// Runs a script in the page's main frame, in the given world, and waits for its result.
std::optional<QVariant> RunScriptAndWait(QWebEnginePage* page, const QString& script,
                                         quint32 worldId, int timeoutMs = ScriptTimeoutMs);

// The page's document as HTML text, or nothing.
std::optional<QString> PageHtmlAndWait(QWebEnginePage* page, int timeoutMs = ScriptTimeoutMs);

} // namespace zelvorin
