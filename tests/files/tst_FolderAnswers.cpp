#include "FileMessages.h"
#include "FilePanel.h"
#include "FileTestSupport.h"
#include "LosslessNames.h"
#include "SlowFolders.h"
#include "TestEnvironment.h"
#include "UsefulFileControls.h"

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

class SlowFoldersTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_top;
    QStringList m_messages;
    FileMessageHandler m_previousHandler;
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
    static int rowOf(TUsefulDirectoryBox& box, const QString& text) {
        for (int row = 0; row < box.count(); ++row) {
            if (box.item(row)->text() == text)
                return row;
        }
        return -1;
    }
    QString path(const QString& name) const { return m_top + QLatin1Char('/') + name; }

    // Counts timer ticks (and whether the busy cursor showed) while the UI thread waits.
    struct Ticker {
        QTimer timer;
        int ticks = 0;
        bool busyCursor = false;
        Ticker() {
            timer.setInterval(10);
            QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
                ++ticks;
                const QCursor* cursor = QApplication::overrideCursor();
                busyCursor = busyCursor || (cursor && cursor->shape() == Qt::WaitCursor);
            });
            timer.start();
        }
    };

private slots:
    void initTestCase() {
        m_previousHandler =
            setFileErrorHandler([this](QWidget*, const QString& text) { m_messages.append(text); });
        setMayBlockHook([this](const QByteArray& path) { return under(path, m_network); });
        setFolderAnswerLimit(300);
    }
    void cleanupTestCase() {
        setFileErrorHandler(m_previousHandler);
        setMayBlockHook(nullptr);
        setWorkerReadHook(nullptr);
        setFolderAnswerLimit(DefaultFolderAnswerLimitMs);
    }
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
        setWorkerReadHook([gate = m_gate, stuck = &m_stuck](const QByteArray& folder) {
            if (under(folder, *stuck))
                gate->pass();
        });
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
        TUsefulDirectoryBox dirs;
        TUsefulFileBox files;
        dirs.SetFileList(&files);
        dirs.SetDirectory(m_top);
        const QStringList rowsBefore = [&] {
            QStringList rows;
            for (int row = 0; row < dirs.count(); ++row)
                rows << dirs.item(row)->text();
            return rows;
        }();
        const QStringList filesBefore = files.Items();

        Ticker ticker;
        dirs.setCurrentRow(rowOf(dirs, QStringLiteral("stuck")));
        QTest::keyClick(&dirs, Qt::Key_Return);

        QCOMPARE(m_messages,
                 QStringList{QStringLiteral("The folder %1 does not answer (its network volume "
                                            "may be unreachable).")
                                 .arg(path("stuck"))});
        QVERIFY(ticker.ticks > 0);
        QVERIFY(ticker.busyCursor);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(m_gate->waiting.load(), 1);
        QCOMPARE(m_gate->finished.load(), 0);
        QCOMPARE(dirs.Directory(), m_top);
        QCOMPARE(files.Directory(), m_top);
        QCOMPARE(files.Items(), filesBefore);
        QCOMPARE(QDir::currentPath(), m_top);
        QStringList rowsAfter;
        for (int row = 0; row < dirs.count(); ++row)
            rowsAfter << dirs.item(row)->text();
        QCOMPARE(rowsAfter, rowsBefore);

        // The read returns long after it was given up: nothing changes and nothing breaks.
        m_gate->release();
        QTRY_COMPARE(m_gate->finished.load(), 1);
        QTest::qWait(100);
        QCOMPARE(dirs.Directory(), m_top);
        QCOMPARE(files.Items(), filesBefore);
        QCOMPARE(m_messages.size(), 1);
    }

    void stuckFolderRaisesWhenSetInCode() {
        TUsefulDirectoryBox dirs;
        TUsefulFileBox files;
        dirs.SetFileList(&files);
        dirs.SetDirectory(path("local"));
        QVERIFY_THROWS_EXCEPTION(FolderNotAnswering, dirs.SetDirectory(path("stuck/inner")));
        QCOMPARE(dirs.Directory(), path("local"));
        QCOMPARE(files.Items(), (QStringList{"a.jpg", "b.jpg"}));

        // The file list alone behaves the same.
        test::resetCurrentFolder();
        TUsefulFileBox alone;
        alone.SetDirectory(path("local"));
        QVERIFY_THROWS_EXCEPTION(FolderNotAnswering, alone.SetDirectory(path("stuck")));
        QCOMPARE(alone.Directory(), path("local"));
        QCOMPARE(alone.Items(), (QStringList{"a.jpg", "b.jpg"}));
        QCOMPARE(QDir::currentPath(), path("local"));
    }

    void answeringNetworkFolderIsShownNormally() {
        TUsefulDirectoryBox dirs;
        TUsefulFileBox files;
        dirs.SetFileList(&files);
        dirs.SetDirectory(m_top);
        dirs.setCurrentRow(rowOf(dirs, QStringLiteral("answers")));
        QTest::keyClick(&dirs, Qt::Key_Return);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
        QCOMPARE(dirs.Directory(), path("answers"));
        QCOMPARE(files.Directory(), path("answers"));
        QCOMPARE(QDir::currentPath(), path("answers"));
        QCOMPARE(files.Items(), (QStringList{"c.jpg", "d.png"}));
        QCOMPARE(dirs.currentItem()->text(), QStringLiteral("answers"));
        QVERIFY(rowOf(dirs, QStringLiteral("inner")) > dirs.currentRow());
        QVERIFY(rowOf(dirs, QStringLiteral("top")) >= 0);

        // Masks and refreshes read it again the same way.
        files.SetMask(QStringLiteral("*.png"));
        QCOMPARE(files.Items(), QStringList{"d.png"});
        test::touch(path("answers/f.png"));
        files.RefreshKeepingSelection();
        QCOMPARE(files.Items(), (QStringList{"d.png", "f.png"}));
        QVERIFY(m_messages.isEmpty());
    }

    void shownFolderThatStopsAnsweringIsLeftWithoutAskingIt() {
        TUsefulDirectoryBox dirs;
        TUsefulFileBox files;
        dirs.SetFileList(&files);
        m_stuck.clear();
        dirs.SetDirectory(path("answers"));
        QCOMPARE(files.Items(), (QStringList{"c.jpg", "d.png"}));

        // Its server goes away: refreshing it gives the message and keeps the list ...
        m_stuck = {path("answers")};
        files.Update();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(
            QStringLiteral("The folder %1 does not answer").arg(path("answers"))));
        QCOMPARE(files.Items(), (QStringList{"c.jpg", "d.png"}));
        QVERIFY_THROWS_EXCEPTION(FolderNotAnswering, dirs.Refresh());
        QCOMPARE(dirs.Directory(), path("answers"));

        // ... and a local folder can still be opened, the dead one not being asked again.
        const int waited = m_gate->waiting.load();
        m_messages.clear();
        dirs.setCurrentRow(rowOf(dirs, QStringLiteral("top")));
        QTest::keyClick(&dirs, Qt::Key_Return);
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(m_gate->waiting.load(), waited);
        QCOMPARE(dirs.Directory(), m_top);
        QCOMPARE(files.Directory(), m_top);
        QCOMPARE(QDir::currentPath(), m_top);
    }

    void goneNetworkFolderFallsBackToItsNearestAncestor() {
        TUsefulDirectoryBox dirs;
        TUsefulFileBox files;
        dirs.SetFileList(&files);
        m_stuck.clear();
        dirs.SetDirectory(path("answers/inner"));
        QDir::setCurrent(m_top);
        QVERIFY(QDir(path("answers/inner")).removeRecursively());
        dirs.Refresh();
        QCOMPARE(dirs.Directory(), path("answers"));
        QCOMPARE(files.Items(), (QStringList{"c.jpg", "d.png"}));
    }

    void startingFolderThatDoesNotAnswerIsReportedAndPassedOver() {
        FilePanel panel(nullptr);
        panel.ApplyStartingFolder(m_top);
        QCOMPARE(panel.DirectoryListBox1()->Directory(), m_top);

        panel.ApplyStartingFolder(path("stuck"));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(
            QStringLiteral("The folder %1 does not answer").arg(path("stuck"))));
        QCOMPARE(panel.DirectoryListBox1()->Directory(), m_top);
        QCOMPARE(panel.FileListBox1()->Directory(), m_top);

        // A network folder that has gone is passed over without a word, like a local one.
        m_messages.clear();
        panel.ApplyStartingFolder(path("answers/gone"));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(panel.DirectoryListBox1()->Directory(), m_top);
        panel.ApplyStartingFolder(path("answers"));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(panel.DirectoryListBox1()->Directory(), path("answers"));
        QCOMPARE(panel.FileListBox1()->Items(), (QStringList{"c.jpg", "d.png"}));
    }
};

ZELVORIN_TEST_MAIN(SlowFoldersTest)
#include "tst_SlowFolders.moc"
