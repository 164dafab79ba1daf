// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PageScripts.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#ifdef ZELVORIN_REACHES_FRAMES
#include <QWebEngineFrame>
#endif

#include <memory>

// Resources of a static library need asking for, or the linker drops them.
static void initPageScripts() {
    Q_INIT_RESOURCE(PageScripts);
}

namespace zelvorin::pagescripts {

namespace {

QString json(const QJsonValue& value) {
    // A JSON text is a valid JavaScript expression of the same value.
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

QString arguments(const QJsonArray& values) {
    const QByteArray text = QJsonDocument(values).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

// Script text is joined in this file only, and only so: a file's function applied to
// arguments, each a JSON text or the function of another file.
QString apply(const QString& function, const QStringList& argumentTexts) {
    return QLatin1Char('(') + function + QStringLiteral(")(") +
           argumentTexts.join(QLatin1Char(',')) + QLatin1Char(')');
}

QJsonObject libraryConfig(const QString& key) {
    return QJsonObject{{QStringLiteral("key"), key},
                       {QStringLiteral("maxFrames"), MostFrames},
                       {QStringLiteral("maxWindows"), MostWindows}};
}

// Every call brings the library's text along, for documents that lack it: the part of
// a call that does not change, made once per key, left open for the task and its
// arguments.
const QString& callPrefix(const QString& key) {
    static QHash<QString, QString> prefixes;
    auto found = prefixes.find(key);
    if (found == prefixes.end()) {
        const QString call =
            apply(Source(QStringLiteral("FrameLibrary.js")),
                  {json(libraryConfig(key)), Source(QStringLiteral("FrameMessages.js")), {}});
        found = prefixes.insert(key, call.chopped(1));
    }
    return *found;
}

} // namespace

QString Source(const QString& file) {
    static QHash<QString, QString> sources;
    auto found = sources.find(file);
    if (found == sources.end()) {
        initPageScripts();
        QFile resource(QStringLiteral(":/scripts/") + file);
        if (!resource.open(QIODevice::ReadOnly)) {
            qWarning("The page script %s is missing from the program", qPrintable(file));
            return QString();
        }
        // Trimmed: a call puts the function in brackets.
        found = sources.insert(file, QString::fromUtf8(resource.readAll()).trimmed());
    }
    return *found;
}

QString LibrarySource(const QString& key) {
    return apply(Source(QStringLiteral("FrameLibrary.js")),
                 {json(libraryConfig(key)), Source(QStringLiteral("FrameMessages.js"))});
}

QString StatusMark() {
    return QStringLiteral("\x01zelvorin-status");
}

QString StatusHookSource() {
    return apply(Source(QStringLiteral("StatusHook.js")), {json(StatusMark())});
}

QString LibraryCall(const QString& key, const QString& method, const QJsonArray& values) {
    return callPrefix(key) + json(method) + QLatin1Char(',') + json(values) + QLatin1Char(')');
}

QString LibraryTask(const QString& key, const QString& file, const QJsonArray& values) {
    return callPrefix(key) + Source(file) + QLatin1Char(',') + json(values) + QLatin1Char(')');
}

QString Call(const QString& file, const QJsonArray& values) {
    return apply(Source(file), {arguments(values)});
}

void Run(QWebEnginePage* page, const QString& script, const QObject* context,
         std::function<void(const QVariant&)> done) {
    QPointer<const QObject> guard = context;
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                        [guard, done = std::move(done)](const QVariant& value) {
                            if (guard)
                                done(value);
                        });
}

#ifdef ZELVORIN_REACHES_FRAMES
void CallInEveryFrame(QWebEnginePage* page, const QString& key, const QString& method,
                      const QJsonArray& arguments, const QObject* context,
                      std::function<void()> done) {
    // The frame tree is the browser's own record: walking it asks no renderer anything.
    QList<QWebEngineFrame> frames{page->mainFrame()};
    for (qsizetype i = 0; i < frames.size() && frames.size() < MostWindows; ++i)
        frames += frames[i].children();
    if (frames.size() > MostWindows)
        frames.remove(MostWindows, frames.size() - MostWindows);
    // Nearly every frame has the library, which the profile puts into each document: the
    // call alone costs a tenth of one that brings the library's text along for parsing.
    static const QString missing = QStringLiteral("zelvorin-library-missing");
    const QString call =
        apply(QStringLiteral("function (z, method, args) { if (!z) return %1; try { return "
                             "z[method].apply(z, args); } catch (e) { return null; } }")
                  .arg(json(missing)),
              {QStringLiteral("window.__zelvorin"), json(method), json(arguments)});
    // A frame that has gone away still answers, with nothing.
    auto left = std::make_shared<qsizetype>(frames.size());
    auto finish = std::make_shared<std::function<void()>>(std::move(done));
    QPointer<const QObject> guard = context;
    const auto answered = [left, finish, guard] {
        if (--*left == 0 && guard)
            (*finish)();
    };
    // The call with the library's text is made only for a frame that turns out to need it.
    for (QWebEngineFrame& frame : frames) {
        frame.runJavaScript(
            call, QWebEngineScript::ApplicationWorld,
            [frame, answered, key, method, arguments](const QVariant& value) mutable {
                if (value.toString() != missing) {
                    answered();
                    return;
                }
                frame.runJavaScript(LibraryCall(key, method, arguments),
                                    QWebEngineScript::ApplicationWorld,
                                    [answered](const QVariant&) { answered(); });
            });
    }
}
#endif

} // namespace zelvorin::pagescripts
