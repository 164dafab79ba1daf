// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A file action the system refuses is told at once, naming the file and the system's
// reason, and the list then shows what is on disk: folders nobody may write (the
// immutable attribute stops root too), paths through a file, files gone behind the
// list's back, and a small file system that is full or has no usable trash.
#include "FileCommandsTestSupport.h"
#include "FileProperties.h"
#include "TestEnvironment.h"

#include <QProcess>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

bool chattr(const char* flag, const QString& path) {
    QProcess process;
    process.start(QStringLiteral("chattr"), {QString::fromLatin1(flag), path});
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Writes into `folder` until its file system is full.
void fill(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder + "/filler").constData(),
                          O_CREAT | O_WRONLY | O_TRUNC, 0600);
    const QByteArray chunk(64 * 1024, 'f');
    while (fd >= 0 && ::write(fd, chunk.constData(), size_t(chunk.size())) > 0) {
    }
    ::close(fd);
}

} // namespace

class FileActionFailuresTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FilePanelFixture> m_window;
    QString m_shown;   // the folder the list shows, holding a.gif and b.gif
    QString m_sources; // files to drop
    QStringList m_immutable;

    FolderFiles* files() const { return m_window->files(); }
    FileListView* view() const { return m_window->view(); }
    void showFolderOn(const QString& base) {
        m_shown = base + "/shown";
        m_sources = qEnvironmentVariable("HOME") + "/sources-" + QFileInfo(base).fileName();
        QVERIFY(put(m_shown + "/a.gif", "a"));
        QVERIFY(put(m_shown + "/b.gif", "b"));
        QVERIFY(put(m_sources + "/one.gif", "one"));
        QVERIFY(put(m_sources + "/two.gif", QByteArray(200 * 1024, 't')));
        m_window->show(m_shown);
        QCOMPARE(files()->names(), QStringList({"a.gif", "b.gif"}));
        files()->selectRowTold(0);
    }
    DragOutcome drop(const QStringList& paths, Qt::KeyboardModifiers keys) {
        std::unique_ptr<QMimeData> data(uriList(paths));
        return dragAndDrop(view()->viewport(), data.get(), Qt::CopyAction | Qt::MoveAction, keys);
    }
    // Runs one action on the shown list; what is told is checked by the caller.
    void act(const QString& action) {
        QuestionAnswerer answerer(true);
        if (action == "delete")
            QTest::keyClick(view(), Qt::Key_Delete);
        else if (action == "open")
            QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, m_window->rowCenter(0));
        else if (action == "properties")
            m_window->fileProperties()->trigger();
        else if (action == "copy in")
            drop({m_sources + "/one.gif"}, Qt::ControlModifier);
        else if (action == "copy in, big")
            drop({m_sources + "/two.gif"}, Qt::ControlModifier);
        else if (action == "copy in, through a file")
            drop({m_sources + "/one.gif/inner.gif"}, Qt::ControlModifier);
        else if (action == "move in, two")
            QCOMPARE(drop({m_sources + "/one.gif", m_sources + "/two.gif"}, {}).dropAction,
                     Qt::CopyAction); // not moved: the source keeps its files
    }

private slots:
    void init() {
        m_window = std::make_unique<FilePanelFixture>();
        QVERIFY(QTest::qWaitForWindowExposed(m_window->window()));
    }
    void cleanup() {
        for (const QString& path : std::as_const(m_immutable))
            chattr("-i", path);
        m_immutable.clear();
        m_window.reset();
    }

    void aFailedActionIsToldWithItsReason_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("told"); // %1: the shown folder
        QTest::addColumn<QStringList>("listed");
        const QStringList both{"a.gif", "b.gif"};
        QTest::newRow("delete in a folder nobody may write")
            << "delete"
            << "immutable"
            << "Could not move \"a.gif\" to the trash: Operation not permitted." << both;
        QTest::newRow("delete of a file already gone")
            << "delete"
            << "a.gif gone"
            << "Could not move \"a.gif\" to the trash: No such file or directory."
            << QStringList{"b.gif"};
        QTest::newRow("open of a file already gone")
            << "open"
            << "a.gif gone"
            << "Could not open \"a.gif\": No such file or directory." << QStringList{"b.gif"};
        QTest::newRow("properties of a file already gone")
            << "properties"
            << "a.gif gone"
            << "Could not show the properties of \"a.gif\": No such file or directory."
            << QStringList{"b.gif"};
        QTest::newRow("copy into a folder nobody may write")
            << "copy in"
            << "immutable"
            << "Could not copy \"one.gif\" to \"%1\": Operation not permitted." << both;
        QTest::newRow("copy of a path through a file")
            << "copy in, through a file"
            << ""
            << "Could not copy \"inner.gif\" to \"%1\": Not a directory." << both;
        QTest::newRow("several failures of one drop: one message")
            << "move in, two"
            << "immutable"
            << "Could not move 2 of the dropped files to \"%1\":\n"
               "\"one.gif\": Operation not permitted\n"
               "\"two.gif\": Operation not permitted"
            << both;
    }
    void aFailedActionIsToldWithItsReason() {
        QFETCH(QString, action);
        QFETCH(QString, trouble);
        QFETCH(QString, told);
        QFETCH(QStringList, listed);
        static int count = 0;
        showFolderOn(qEnvironmentVariable("HOME") + "/failures-" + QString::number(++count));
        if (trouble == "immutable") {
            m_immutable << m_shown;
            if (!chattr("+i", m_shown))
                QSKIP("the immutable attribute cannot be set here");
        } else if (trouble == "a.gif gone") {
            // Gone behind the list's back: the monitor has not told it yet.
            QVERIFY(QFile::remove(m_shown + "/a.gif"));
        }
        ToldMessages messages(m_window->standIns());
        act(action);
        QTRY_COMPARE(messages.told(), QStringList({told.arg(m_shown)}));
        QCOMPARE(files()->names(), listed);
        QCOMPARE(allNames(m_shown), listed);
        // Nothing left the sources.
        QCOMPARE(readAll(m_sources + "/one.gif"), QByteArray("one"));
        QVERIFY(QFileInfo::exists(m_sources + "/two.gif"));
    }

    // A small file system of the test's own (a tmpfs in a mount namespace of its own),
    // full or without a trash that can be used.
    void onASmallFileSystem_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("told");
        QTest::newRow("copy onto a full disk")
            << "copy in, big"
            << "full"
            << "Could not copy \"two.gif\" to \"%1\": No space left on device.";
        QTest::newRow("delete where the volume's trash is full")
            << "delete"
            << "full"
            << "Could not move \"a.gif\" to the trash: No space left on device.";
        QTest::newRow("delete where the volume has no trash")
            << "delete"
            << "no trash"
            << "Could not move \"a.gif\" to the trash: there is no trash for it that can be "
               "used (Not a directory).";
    }
    void onASmallFileSystem() {
        QFETCH(QString, action);
        QFETCH(QString, trouble);
        QFETCH(QString, told);
        const QString small = qEnvironmentVariable("ZELVORIN_SMALL_FS");
        if (small.isEmpty()) {
            runAgainOnASmallFileSystem();
            return;
        }
        showFolderOn(small);
        const QString trash = small + "/.Trash-" + QString::number(::getuid());
        if (trouble == "no trash") {
            QVERIFY(put(trash, "a file where the volume's trash belongs"));
        } else {
            QVERIFY(QDir().mkpath(trash + "/files") && QDir().mkpath(trash + "/info"));
            fill(small);
        }
        ToldMessages messages(m_window->standIns());
        act(action);
        QTRY_COMPARE(messages.told(), QStringList({told.arg(m_shown)}));
        QCOMPARE(files()->names(), QStringList({"a.gif", "b.gif"}));
        QCOMPARE(allNames(m_shown), QStringList({"a.gif", "b.gif"}));
        if (trouble == "full")
            QVERIFY(QDir(trash + "/info").isEmpty());
    }

private:
    // Runs the current case in a child of this test, in a user and mount namespace of its
    // own where a small tmpfs can be mounted without privileges.
    void runAgainOnASmallFileSystem() {
        if (!zelvorin::test::mountNamespaceAvailable())
            QSKIP("no mount namespace of the test's own can be made here");
        static int count = 0;
        const QString mountPoint =
            qEnvironmentVariable("HOME") + "/small-" + QString::number(++count);
        QVERIFY(QDir().mkpath(mountPoint));
        const QString script = "mount -t tmpfs -o size=1m zelvorin-test \"$1\" || exit 77\n"
                               "ZELVORIN_SMALL_FS=\"$1\" exec \"$2\" \"$3\"\n";
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("unshare"),
                    {"-rm", "sh", "-c", script, "sh", mountPoint,
                     QCoreApplication::applicationFilePath(),
                     QStringLiteral("onASmallFileSystem:") + QTest::currentDataTag()});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        if (child.exitCode() == 77)
            QSKIP("a small file system cannot be mounted here");
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 output.constData());
    }
};

ZELVORIN_TEST_MAIN(FileActionFailuresTest)
#include "tst_FileActionFailures.moc"
