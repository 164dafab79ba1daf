// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Live reload, checked on what the view paints: a local page whose style sheet (or whose
// frame, or its style sheet) changes on disk is loaded again with the chosen background and the
// scroll position kept; other files of the folder reload nothing.
#include "LiveReload.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

const QColor Magenta(255, 0, 255);
const QColor Green(0, 160, 0);
const QColor Blue(0, 0, 255);
const QColor Orange(255, 128, 0);

QByteArray styleSheet(const QColor& box, int top) {
    return "#box { position: absolute; left: 100px; top: " + QByteArray::number(top) +
           "px; width: 200px; height: 100px; background: " + box.name().toLatin1() + "; }\n";
}

QByteArray boxPage(const QByteArray& head, int height) {
    return "<html><head>" + head +
           "</head><body style='margin: 0; height: " + QByteArray::number(height) +
           "px'><div id='box'></div></body></html>";
}

} // namespace

class TestLiveReload : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void changedFileReloadsWithChoicesKept_data();
    void changedFileReloadsWithChoicesKept();
    void otherFilesReloadNothing();

private:
    bool openAndWatch(const QString& path);
    bool applyAndWait(int requestId);

    QTemporaryDir m_folder;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
    QString m_magenta;
};

void TestLiveReload::initTestCase() {
    QVERIFY(m_folder.isValid());
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(800, 600);
    m_preview->view()->show();
    m_magenta = writeSolidImage(m_folder.filePath("images/magenta.png"), Magenta);
    QVERIFY(m_preview->liveReload()->isEnabled());
}

void TestLiveReload::cleanupTestCase() {
    m_preview.reset();
}

bool TestLiveReload::openAndWatch(const QString& path) {
    QSignalSpy watching(m_preview->liveReload(), &LiveReload::watching);
    m_preview->openAddress(path);
    return watching.wait(15000);
}

bool TestLiveReload::applyAndWait(int requestId) {
    QSignalSpy applied(m_preview.get(), &Preview::backgroundApplied);
    return waitForApplied(applied, requestId);
}

void TestLiveReload::changedFileReloadsWithChoicesKept_data() {
    QTest::addColumn<bool>("frameset");
    QTest::addColumn<bool>("image"); // else a colour
    QTest::addColumn<int>("scroll");
    QTest::addColumn<QString>("changed"); // the file that changes
    QTest::newRow("style sheet, image, scrolled") << false << true << 400 << "style.css";
    QTest::newRow("style sheet, colour") << false << false << 0 << "style.css";
    QTest::newRow("frame of a frameset, image") << true << true << 0 << "left.html";
    // The frame's document is of another origin than its page: only the guard saw it load.
    QTest::newRow("style sheet of a frame, image") << true << true << 0 << "style.css";
}

void TestLiveReload::changedFileReloadsWithChoicesKept() {
    QFETCH(bool, frameset);
    QFETCH(bool, image);
    QFETCH(int, scroll);
    QFETCH(QString, changed);
    const QString folder = m_folder.filePath(QTest::currentDataTag());
    QDir(folder).removeRecursively();
    QString page = folder + "/page.html";
    changed = folder + '/' + changed;
    const QString style = folder + "/style.css";
    const QByteArray linked = "<link rel='stylesheet' href='style.css'>";
    // The box lies 100 pixels below the top of the view once scrolled.
    QVERIFY(writeFile(style, styleSheet(Blue, scroll + 100)));
    QVERIFY(writeFile(page, boxPage(linked, 3000)));
    QPoint box(200, 150);
    QList<QPoint> around = {{600, 400}, {50, 50}};
    if (frameset) {
        QVERIFY(writeFile(folder + "/left.html", boxPage(linked, 300)));
        QVERIFY(writeFile(folder + "/right.html", "<html><body></body></html>"));
        page = folder + "/frames.html";
        QVERIFY(writeFile(page, "<html><frameset cols='50%,50%' frameborder='0' border='0'>"
                                "<frame src='left.html'><frame src='right.html'></frameset>"
                                "</html>"));
        around = {{50, 50}, {600, 300}};
    }
    QVERIFY(openAndWatch(page));
    QVERIFY(m_preview->liveReload()->watchedFiles().contains(QFile::encodeName(changed)));
    const QColor chosen = image ? Magenta : Green;
    QVERIFY(applyAndWait(image ? m_preview->setBackgroundImage(m_magenta)
                               : m_preview->setBackgroundColour(Green)));
    evaluate(m_preview->page(), QStringLiteral("window.scrollTo(0, %1)").arg(scroll));
    QVERIFY(waitForPainted(m_preview->view(), {box}, Blue));
    QVERIFY(waitForPainted(m_preview->view(), around, chosen));

    QSignalSpy reloaded(m_preview->liveReload(), &LiveReload::reloaded);
    const int reloads = m_preview->liveReload()->reloadCount();
    if (changed == style)
        QVERIFY(writeFile(changed, styleSheet(Orange, scroll + 100)));
    else
        QVERIFY(writeFile(changed, boxPage(linked + "<style>#box { background: " +
                                               Orange.name().toLatin1() + " !important }</style>",
                                           300)));
    QVERIFY(reloaded.wait(10000));
    QVERIFY(waitForPainted(m_preview->view(), {box}, Orange));
    QVERIFY(waitForPainted(m_preview->view(), around, chosen));
    QCOMPARE(evaluate(m_preview->page(), "window.scrollY").toInt(), scroll);
    QCOMPARE(m_preview->liveReload()->reloadCount(), reloads + 1);
}

void TestLiveReload::otherFilesReloadNothing() {
    const QString folder = m_folder.filePath("other");
    QVERIFY(writeFile(folder + "/style.css", styleSheet(Blue, 100)));
    QVERIFY(
        writeFile(folder + "/page.html", boxPage("<link rel='stylesheet' href='style.css'>", 600)));
    QVERIFY(openAndWatch(folder + "/page.html"));
    LiveReload* live = m_preview->liveReload();
    const int reloads = live->reloadCount();
    const int checks = live->checkCount();
    QVERIFY(writeFile(folder + "/notes.txt", "not part of the page"));
    QTRY_VERIFY_WITH_TIMEOUT(live->checkCount() > checks, 10000);
    QCOMPARE(live->reloadCount(), reloads);

    // Switched off, nothing is followed.
    live->setEnabled(false);
    QVERIFY(live->watchedFiles().isEmpty());
    live->setEnabled(true);
}

ZELVORIN_TEST_MAIN_WITH(TestLiveReload, zelvorin::RegisterUrlSchemes)
#include "test_live_reload.moc"
