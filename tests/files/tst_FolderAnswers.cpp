// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileMessages.h"
#include "FilePanel.h"
#include "FileTestSupport.h"
#include "FolderAnswers.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "FolderTreeView.h"
#include "LosslessNames.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

using namespace zelvorin;

namespace {

// Stands for a server that stops answering: reads of the folders it holds wait until the
// test lets them go.
struct Gate {
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    std::atomic<int> waiting{0};
    std::atomic<int> finished{0};

    void pass() {
        ++waiting;
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [this] { return open; });
        ++finished;
    }
    void release() {
        const std::lock_guard<std::mutex> lock(mutex);
        open = true;
        released.notify_all();
    }
};

} // namespace

class FolderAnswersTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_top;
    QStringList m_messages;
    std::shared_ptr<Gate> m_gate;
    // Folders (with what lies below them) that count as being on a network volume, and
    // those of them whose server does not answer.
    QStringList m_network;
    QStringList m_stuck;

    static bool under(const QByteArray& path, const QStringList& roots) {
        const QString text = platform::openablePath(path);
        for (const QString& root : roots) {
            if (text == root || text.startsWith(root + QLatin1Char('/')))
                return true;
        }
        return false;
    }
    // What a session tells of failures is kept as the file column's messages are.
    void keepMessages(FolderSession& session) {
        connect(&session, &FolderSession::failed, this,
                [this](const QString& text) { m_messages.append(text); });
    }
    static QStringList rowsOf(const FolderTreeView& box) {
        QStringList rows;
        for (int row = 0; row < box.count(); ++row)
            rows << box.item(row)->text();
        return rows;
    }
    static int rowOf(FolderTreeView& box, const QString& text) {
        for (int row = 0; row < box.count(); ++row) {
            if (box.item(row)->text() == text)
                return row;
        }
        return -1;
    }
    QString path(const QString& name) const { return m_top + QLatin1Char('/') + name; }
    // The folders below m_network count as possibly blocking, those below m_stuck wait at
    // the gate in the worker, and a folder has 300 ms to answer.
    FolderAccess access() {
        FolderAccess access;
        access.answerLimitMs = 300;
        access.mayBlock = [this](const QByteArray& path) { return under(path, m_network); };
        access.beforeWorkerRead = [gate = m_gate, stuck = &m_stuck](const QByteArray& folder) {
            if (under(folder, *stuck))
                gate->pass();
        };
        return access;
    }
    ProgramServices services() {
        ProgramServices services;
        services.folders = access();
        services.showError = [this](QWidget*, const QString& text) { m_messages.append(text); };
        return services;
    }

    // Counts timer ticks (and whether the busy cursor showed) while a folder is asked.
    struct Ticker {
        QTimer timer;
        int ticks = 0;
        bool busyCursor = false;
        Ticker() {
            timer.setInterval(10);
            QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
                ++ticks;
                const QCursor* cursor = QApplication::overrideCursor();
                busyCursor = busyCursor || (cursor && cursor->shape() == Qt::BusyCursor);
            });
            timer.start();
        }
    };

private slots:
    void init() {
        test::resetCurrentFolder();
        m_messages.clear();
        m_top = m_dir.path() + QStringLiteral("/top");
        QDir(m_top).removeRecursively();
        for (const char* name : {"local", "answers/inner", "stuck/inner"})
            QDir().mkpath(path(QString::fromLatin1(name)));
        test::touchAll(path("local"), {"a.jpg", "b.jpg"});
        test::touchAll(path("answers"), {"c.jpg", "d.png"});
        test::touchAll(path("stuck"), {"e.jpg"});
        m_network = {path("answers"), path("stuck")};
        m_stuck = {path("stuck")};
        m_gate = std::make_shared<Gate>();
    }
    void cleanup() {
        // Lets every abandoned read end, and sees that its late return harms nothing.
        m_gate->release();
        QTRY_COMPARE(m_gate->finished.load(), m_gate->waiting.load());
        QTest::qWait(50);
    }

    void folderPathsResolveByText_data() {
        QTest::addColumn<QByteArray>("base");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("absolute") << QByteArray("/a/b") << QByteArray("/x/y/")
                                  << QByteArray("/x/y");
        QTest::newRow("relative") << QByteArray("/a/b") << QByteArray("c") << QByteArray("/a/b/c");
        QTest::newRow("parent") << QByteArray("/a/b") << QByteArray("../c") << QByteArray("/a/c");
        QTest::newRow("from root") << QByteArray("/") << QByteArray("y") << QByteArray("/y");
        QTest::newRow("root") << QByteArray("/a") << QByteArray("..") << QByteArray("/");
    }
    void folderPathsResolveByText() {
        QFETCH(QByteArray, base);
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, expected);
        QCOMPARE(absoluteFolderBytes(base, path), expected);
    }

    void stuckFolderLeavesBothListsOnTheFolderShown() {
        FolderSession session(access(), {}, nullptr);
        keepMessages(session);
        FolderTreeView dirs(&session);
        FolderFiles& files = *session.files();
        session.setFolder(m_top);
        const QStringList rowsBefore = rowsOf(dirs);
        const QStringList filesBefore = files.names();

        Ticker ticker;
        dirs.setCurrentRow(rowOf(dirs, QStringLiteral("stuck")));
        QTest::keyClick(&dirs, Qt::Key_Return);
        // Nothing waits for the folder: the window goes on, its pointer busy.
        QVERIFY(session.isChangingFolder());
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QTRY_COMPARE(m_messages,
                     QStringList{QStringLiteral("The folder %1 does not answer (its network volume "
                                                "may be unreachable).")
                                     .arg(path("stuck"))});
        QVERIFY(ticker.ticks > 0);
        QVERIFY(ticker.busyCursor);
        QVERIFY(!session.isChangingFolder());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(m_gate->waiting.load(), 1);
        QCOMPARE(m_gate->finished.load(), 0);
        QCOMPARE(session.folder(), m_top);
        QCOMPARE(files.folder(), m_top);
        QCOMPARE(files.names(), filesBefore);
        QCOMPARE(QDir::currentPath(), m_top);
        QCOMPARE(rowsOf(dirs), rowsBefore);

        // The read returns long after it was given up: nothing changes and nothing breaks.
        m_gate->release();
        QTRY_COMPARE(m_gate->finished.load(), 1);
        QTest::qWait(100);
        QCOMPARE(session.folder(), m_top);
        QCOMPARE(files.names(), filesBefore);
        QCOMPARE(m_messages.size(), 1);
    }

    // The user goes on while a folder is asked: a folder chosen meanwhile replaces the
    // one waiting, whose answer, when it comes, changes nothing.
    void folderChosenMeanwhileReplacesTheWaitingOne() {
        FolderSession session(access(), {}, nullptr);
        keepMessages(session);
        FolderTreeView dirs(&session);
        session.setFolder(m_top);
        dirs.setCurrentRow(rowOf(dirs, QStringLiteral("stuck")));
        QTest::keyClick(&dirs, Qt::Key_Return);
        QVERIFY(session.isChangingFolder());
        dirs.setCurrentRow(rowOf(dirs, QStringLiteral("local")));
        QTest::keyClick(&dirs, Qt::Key_Return);
        QVERIFY(!session.isChangingFolder());
        QCOMPARE(session.folder(), path("local"));
        QCOMPARE(session.files()->names(), (QStringList{"a.jpg", "b.jpg"}));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        m_gate->release();
        QTRY_COMPARE(m_gate->finished.load(), 1);
        QTest::qWait(50);
        QCOMPARE(session.folder(), path("local"));
        QVERIFY(m_messages.isEmpty());
    }

    void stuckFolderSetInCodeIsToldAndChangesNothing() {
        FolderSession session(access(), {}, nullptr);
        keepMessages(session);
        session.setFolder(path("local"));
        session.setFolder(path("stuck/inner"));
        QTRY_COMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(
            QStringLiteral("The folder %1 does not answer").arg(path("stuck/inner"))));
        QCOMPARE(session.folder(), path("local"));
        QCOMPARE(session.files()->names(), (QStringList{"a.jpg", "b.jpg"}));
        QCOMPARE(QDir::currentPath(), path("local"));
    }

    void answeringNetworkFolderIsShownNormally() {
        FolderSession session(access(), {}, nullptr);
        keepMessages(session);
        FolderTreeView dirs(&session);
        FolderFiles& files = *session.files();
        session.setFolder(m_top);
        dirs.setCurrentRow(rowOf(dirs, QStringLiteral("answers")));
        QTest::keyClick(&dirs, Qt::Key_Return);
        QTRY_COMPARE(session.folder(), path("answers"));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
        QCOMPARE(files.folder(), path("answers"));
        QCOMPARE(QDir::currentPath(), path("answers"));
        QCOMPARE(files.names(), (QStringList{"c.jpg", "d.png"}));
        QCOMPARE(dirs.currentItem()->text(), QStringLiteral("answers"));
        QVERIFY(rowOf(dirs, QStringLiteral("inner")) > dirs.currentRow());
        QVERIFY(rowOf(dirs, QStringLiteral("top")) >= 0);

        // Masks and refreshes read it again the same way.
        files.setMask(QStringLiteral("*.png"));
        QTRY_COMPARE(files.names(), QStringList{"d.png"});
        test::touch(path("answers/f.png"));
        files.refreshKeepingSelection();
        QTRY_COMPARE(files.names(), (QStringList{"d.png", "f.png"}));
        QVERIFY(m_messages.isEmpty());
    }

    void shownFolderThatStopsAnsweringIsLeftWithoutAskingIt() {
        FolderSession session(access(), {}, nullptr);
        keepMessages(session);
        FolderTreeView dirs(&session);
        FolderFiles& files = *session.files();
        m_stuck.clear();
        session.setFolder(path("answers"));
        QTRY_COMPARE(files.names(), (QStringList{"c.jpg", "d.png"}));

        // Its server goes away: refreshing it gives the message and keeps the list ...
        m_stuck = {path("answers")};
        files.reread();
        QTRY_COMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(
            QStringLiteral("The folder %1 does not answer").arg(path("answers"))));
        QCOMPARE(files.names(), (QStringList{"c.jpg", "d.png"}));
        session.refreshFolders();
        QTRY_COMPARE(m_messages.size(), 2);
        QCOMPARE(session.folder(), path("answers"));

        // ... and a local folder can still be opened, the dead one not being asked again.
        const int waited = m_gate->waiting.load();
        m_messages.clear();
        dirs.setCurrentRow(rowOf(dirs, QStringLiteral("top")));
        QTest::keyClick(&dirs, Qt::Key_Return);
        QTRY_COMPARE(session.folder(), m_top);
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(m_gate->waiting.load(), waited);
        QCOMPARE(files.folder(), m_top);
        QCOMPARE(QDir::currentPath(), m_top);
    }

    void goneNetworkFolderFallsBackToItsNearestAncestor() {
        FolderSession session(access(), {}, nullptr);
        keepMessages(session);
        m_stuck.clear();
        session.setFolder(path("answers/inner"));
        QTRY_COMPARE(session.folder(), path("answers/inner"));
        QDir::setCurrent(m_top);
        QVERIFY(QDir(path("answers/inner")).removeRecursively());
        session.refreshFolders();
        QTRY_COMPARE(session.folder(), path("answers"));
        QCOMPARE(session.files()->names(), (QStringList{"c.jpg", "d.png"}));
        QVERIFY(m_messages.isEmpty());
    }

    void startingFolderThatDoesNotAnswerIsReportedAndPassedOver() {
        FilePanel panel(nullptr, services());
        FolderSession* session = panel.session();
        panel.showStartingFolder(m_top);
        QCOMPARE(session->folder(), m_top);

        panel.showStartingFolder(path("stuck"));
        QTRY_COMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(
            QStringLiteral("The folder %1 does not answer").arg(path("stuck"))));
        QCOMPARE(session->folder(), m_top);
        QCOMPARE(session->files()->folder(), m_top);

        // A network folder that has gone is passed over without a word, like a local one.
        m_messages.clear();
        panel.showStartingFolder(path("answers/gone"));
        QTRY_VERIFY(!session->isChangingFolder());
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(session->folder(), m_top);
        panel.showStartingFolder(path("answers"));
        QTRY_COMPARE(session->folder(), path("answers"));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(session->files()->names(), (QStringList{"c.jpg", "d.png"}));
    }
};

ZELVORIN_TEST_MAIN(FolderAnswersTest)
#include "tst_FolderAnswers.moc"
