// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PreviewTestSupport.h"

#include "Preview.h"
#include "ProgramPages.h"
#include "ShownDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QWebEngineScript>

namespace zelvorin::test {

QString writeSolidImage(const QString& path, const QColor& colour, int size) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "PNG");
    return path;
}

QColor paintedAt(QWebEngineView* view, const QPoint& point) {
    const QImage image = view->grab().toImage();
    if (!image.rect().contains(point))
        return QColor();
    return image.pixelColor(point);
}

bool sameColour(const QColor& a, const QColor& b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

bool waitForPainted(QWebEngineView* view, const QList<QPoint>& points, const QColor& colour,
                    int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (true) {
        const QImage image = view->grab().toImage();
        bool all = true;
        for (const QPoint& point : points) {
            if (!image.rect().contains(point) || !sameColour(image.pixelColor(point), colour)) {
                all = false;
                break;
            }
        }
        if (all)
            return true;
        if (deadline.hasExpired()) {
            if (qEnvironmentVariableIsSet("ZELVORIN_TEST_GRAB"))
                image.save(qEnvironmentVariable("ZELVORIN_TEST_GRAB"));
            for (const QPoint& point : points)
                qWarning() << "at" << point << "painted" << image.pixelColor(point).name()
                           << "expected" << colour.name();
            return false;
        }
        QTest::qWait(50);
    }
}

namespace {

// Whether the document shown is the one at `url`, fully loaded, by the time the deadline
// passes. Qt 6.8 may tell the end of a load in the order it likes (the end of the blank
// page before, after the new page's start), so the document itself is asked.
bool documentComplete(QWebEnginePage* page, const QUrl& url, const QDeadlineTimer& deadline) {
    const QString script =
        QStringLiteral("document.readyState === 'complete' && location.href === %1")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray{url.toString(QUrl::FullyEncoded)})
                                       .toJson(QJsonDocument::Compact)
                                       .mid(1)
                                       .chopped(1)));
    while (!deadline.hasExpired()) {
        if (runScript(page, script, QWebEngineScript::ApplicationWorld, 1000).toBool())
            return true;
        QTest::qWait(10);
    }
    return false;
}

} // namespace

bool loadAndWait(QWebEnginePage* page, const QUrl& url, int timeoutMs) {
    // Done once a load has ended well and the page has the address, in whichever order the
    // engine tells them (Qt 6.8 tells the end of a load from the blank page before the new
    // address); the document itself then says whether it is the page, loaded.
    QTestEventLoop loop;
    bool ended = false;
    const auto arrived = [&] { return ended && page->url() == url; };
    QObject receiver;
    QObject::connect(page, &QWebEnginePage::loadFinished, &receiver, [&](bool ok) {
        ended = ended || ok;
        if (arrived())
            loop.exitLoop();
    });
    QObject::connect(page, &QWebEnginePage::urlChanged, &receiver, [&] {
        if (arrived())
            loop.exitLoop();
    });
    // A load that never ends is asked for once more, as the user would, and said so.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0)
            qWarning("no end of the load of %s: loading it again", qPrintable(url.toString()));
        ended = false;
        const QDeadlineTimer deadline(timeoutMs / 2);
        page->load(url);
        loop.enterLoopMSecs(timeoutMs / 2);
        if (arrived())
            return documentComplete(page, url, deadline);
    }
    return false;
}

QVariant runScript(QWebEnginePage* page, const QString& script, quint32 world, int timeoutMs) {
    QPointer<QWebEnginePage> target = page;
    return answerOf<QVariant>(
               [&](std::function<void(QVariant)> done) {
                   target->runJavaScript(script, world, [done](const QVariant& v) { done(v); });
               },
               timeoutMs)
        .value_or(QVariant());
}

QVariant evaluate(QWebEnginePage* page, const QString& script) {
    return runScript(page, script, QWebEngineScript::MainWorld);
}

std::optional<QString> engineHtml(QWebEnginePage* page, int timeoutMs) {
    return answerOf<QString>(
        [&](std::function<void(QString)> done) {
            page->toHtml([done](const QString& html) { done(html); });
        },
        timeoutMs);
}

bool showGeneratedPage(Preview* preview, std::unique_ptr<GeneratedPage> page) {
    QSignalSpy shown(preview->programPages(), &ProgramPages::shown);
    const int request = preview->programPages()->show(std::move(page));
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        for (const QList<QVariant>& arguments : std::as_const(shown)) {
            if (arguments.value(0).toInt() == request)
                return arguments.value(1).toBool();
        }
        shown.wait(100);
    }
    return false;
}

int frameCount(Preview* preview) {
    return answerOf<int>([&](std::function<void(int)> done) {
               preview->document()->countFrames(preview, done);
           })
        .value_or(-2);
}

QColor pageColour(Preview* preview) {
    return answerOf<QColor>([&](std::function<void(QColor)> done) {
               preview->document()->readBackgroundColour(preview, done);
           })
        .value_or(QColor());
}

std::optional<QString> documentSource(Preview* preview) {
    return answerOf<std::optional<QString>>([&](std::function<void(std::optional<QString>)> done) {
               preview->readDocumentSource(preview, done);
           })
        .value_or(std::nullopt);
}

QRect elementRect(QWebEnginePage* page, const QString& selector) {
    const QString literal = QString::fromUtf8(
        QJsonDocument(QJsonObject{{QStringLiteral("s"), selector}}).toJson(QJsonDocument::Compact));
    const QVariant box =
        runScript(page,
                  QStringLiteral("(function (o) { var e = document.querySelector(o.s);"
                                 " if (!e) return null; e.scrollIntoView({block: 'center'});"
                                 " var r = e.getBoundingClientRect();"
                                 " return [r.left, r.top, r.width, r.height]; })(%1)")
                      .arg(literal),
                  QWebEngineScript::ApplicationWorld);
    const QVariantList values = box.toList();
    if (values.size() != 4)
        return {};
    return QRectF(values[0].toDouble(), values[1].toDouble(), values[2].toDouble(),
                  values[3].toDouble())
        .toAlignedRect();
}

bool clickElement(QWebEngineView* view, const QString& selector) {
    const QRect rect = elementRect(view->page(), selector);
    if (rect.isEmpty())
        return false;
    // Let the scroll reach the compositor before the click lands.
    QTest::qWait(100);
    QWidget* target = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseMove(target, rect.center());
    QTest::mouseClick(target, Qt::LeftButton, {}, rect.center());
    return true;
}

bool waitForApplied(QSignalSpy& applied, int requestId, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        for (const QList<QVariant>& arguments : std::as_const(applied)) {
            if (arguments.value(0).toInt() == requestId)
                return true;
        }
        applied.wait(100);
    }
    return false;
}

} // namespace zelvorin::test
