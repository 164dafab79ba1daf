#include "PreviewTestSupport.h"

#include "ScriptWait.h"

#include <QDir>
#include <QFileInfo>
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

bool loadAndWait(QWebEnginePage* page, const QUrl& url, int timeoutMs) {
    QSignalSpy finished(page, &QWebEnginePage::loadFinished);
    page->load(url);
    // A navigation cancelled just before (a command address) may still report its end.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        for (const QList<QVariant>& arguments : std::as_const(finished)) {
            if (arguments.value(0).toBool() && page->url() == url)
                return true;
        }
        finished.wait(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    return false;
}

QVariant evaluate(QWebEnginePage* page, const QString& script) {
    return RunScriptAndWait(page, script, QWebEngineScript::MainWorld).value_or(QVariant());
}

} // namespace zelvorin::test
