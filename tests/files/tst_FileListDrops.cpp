// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files dropped on the main window's file list from other programs (copied or moved into
// the shown folder, nothing lost on a refusal or a failure) and files dragged out of it.
#include "DropTransfers.h"
#include "FileCommandsTestSupport.h"
#include "FileDragDrop.h"
#include "FileDragSource.h"
#include "FileDropTarget.h"
#include "TestEnvironment.h"

#include <QDrag>
#include <QSignalSpy>

#include <csignal>
#include <sys/resource.h>

using namespace zelvorin;
using namespace zelvorin::test;

class FileListDropsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FilePanelFixture> m_window;
    QString m_shown;   // the folder the file list shows
    QString m_sources; // another folder on the same file system
    QString m_other;   // a folder on another file system, or empty
    int m_count = 0;

    FolderFiles* files() const { return m_window->files(); }
    FileListView* view() const { return m_window->view(); }
    QWidget* site() const { return view()->viewport(); }

    QStringList m_namesRightAfterDrop;

    // A drop from another program with the given offered effects and keys; when taken, it
    // returns once its copies are over.
    DragOutcome drop(const QStringList& paths, Qt::DropActions offered,
                     Qt::KeyboardModifiers keys = {}) {
        QSignalSpy idle(m_window->commands()->dropTransfers(), &DropTransfers::idle);
        std::unique_ptr<QMimeData> data(uriList(paths));
        const DragOutcome outcome = dragAndDrop(site(), data.get(), offered, keys);
        m_namesRightAfterDrop = files()->names();
        if (outcome.enterAccepted && !QTest::qWaitFor([&] { return !idle.isEmpty(); }, 20000))
            qWarning("the drop's copies did not end");
        return outcome;
    }

private slots:
    void init() {
        ++m_count;
        const QString base = qEnvironmentVariable("HOME") + "/drops-" + QString::number(m_count);
        m_shown = base + "/shown";
        m_sources = base + "/sources";
        QDir().mkpath(m_shown);
        QDir().mkpath(m_sources);
        m_other = otherFileSystemFolder(m_shown);
        m_window = std::make_unique<FilePanelFixture>();
        QVERIFY(QTest::qWaitForWindowExposed(m_window->window()));
        put(m_shown + "/listed.gif", "listed");
        m_window->show(m_shown);
        QCOMPARE(files()->names(), QStringList({"listed.gif"}));
    }
    void cleanup() {
        m_window.reset();
        if (!m_other.isEmpty())
            QDir(m_other).removeRecursively();
    }

    void dropCopiesOrMovesByTheEffectRule_data() {
        QTest::addColumn<bool>("fromOtherFileSystem");
        QTest::addColumn<int>("offered");
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("answer"); // the action answered to the source on entering
        QTest::addColumn<int>("told");   // the action the drop answers
        QTest::addColumn<bool>("sourceKept");
        const int copy = Qt::CopyAction, move = Qt::MoveAction, link = Qt::LinkAction,
                  none = Qt::IgnoreAction;
        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        QTest::newRow("same file system: move")
            << false << (copy | move) << 0 << move << move << false;
        QTest::newRow("other file system: copy")
            << true << (copy | move) << 0 << copy << copy << true;
        QTest::newRow("ctrl with both offered: copy")
            << false << (copy | move) << ctrl << copy << copy << true;
        QTest::newRow("shift with both offered: copy")
            << false << (copy | move) << shift << copy << copy << true;
        QTest::newRow("shift, move only, same file system")
            << false << move << shift << move << move << false;
        // The file is still being copied when the drop is answered: the source hears that
        // nothing was moved, so it cannot remove the original before the copy is whole.
        QTest::newRow("shift, move only, other file system")
            << true << move << shift << move << none << false;
        QTest::newRow("ctrl, copy only: copy") << false << copy << ctrl << copy << copy << true;
        QTest::newRow("link offered too: still a move")
            << false << (copy | move | link) << 0 << move << move << false;
    }
    void dropCopiesOrMovesByTheEffectRule() {
        QFETCH(bool, fromOtherFileSystem);
        QFETCH(int, offered);
        QFETCH(int, keys);
        QFETCH(int, answer);
        QFETCH(int, told);
        QFETCH(bool, sourceKept);
        if (fromOtherFileSystem && m_other.isEmpty())
            QSKIP("no second file system to drag from");
        const QString from = (fromOtherFileSystem ? m_other : m_sources) + "/dropped.gif";
        QVERIFY(put(from, "dropped bytes"));
        QuestionAnswerer answerer(true);
        const DragOutcome outcome =
            drop({from}, Qt::DropActions(offered), Qt::KeyboardModifiers(keys));
        QVERIFY(outcome.enterAccepted);
        QCOMPARE(int(outcome.enterAction), answer);
        QCOMPARE(outcome.dropAccepted, told != Qt::IgnoreAction);
        QCOMPARE(int(outcome.dropAction), told);
        QCOMPARE(answerer.asked(), 0);
        QCOMPARE(readAll(m_shown + "/dropped.gif"), QByteArray("dropped bytes"));
        QCOMPARE(QFileInfo::exists(from), sourceKept);
        // No leftovers beside the new file.
        QCOMPARE(allNames(m_shown), QStringList({"dropped.gif", "listed.gif"}));
        // The list learns of the file through the folder monitor, not from the drop.
        QCOMPARE(m_namesRightAfterDrop, QStringList({"listed.gif"}));
        QTRY_COMPARE(files()->names(), QStringList({"dropped.gif", "listed.gif"}));
    }

    void dropRefusedWhenTheRuleAnswersWhatTheSourceDoesNotOffer() {
        if (m_other.isEmpty())
            QSKIP("no second file system to drag from");
        // Across file systems the rule answers copy; a source offering only a move
        // refuses that, and nothing is dropped.
        const QString from = m_other + "/moveonly.gif";
        QVERIFY(put(from, "x"));
        QVERIFY(!drop({from}, Qt::MoveAction).enterAccepted);
        QDropEvent dropEvent(QPointF(20, 10), Qt::MoveAction, uriList({from}), Qt::LeftButton, {});
        QApplication::sendEvent(site(), &dropEvent);
        QVERIFY(!dropEvent.isAccepted());
        QVERIFY(QFileInfo::exists(from));
        QVERIFY(!QFileInfo::exists(m_shown + "/moveonly.gif"));
        delete dropEvent.mimeData();
    }

    void dropRefusesLinksAndNonFiles() {
        QVERIFY(put(m_sources + "/a.gif", "a"));
        QVERIFY(!drop({m_sources + "/a.gif"}, Qt::LinkAction).enterAccepted);
        QVERIFY(!drop({"https://example.org/a.gif"}, Qt::CopyAction).enterAccepted);
        QCOMPARE(allNames(m_shown), QStringList({"listed.gif"}));
    }

    // A folder in a drop is skipped, and was not moved: the source never hears "moved"
    // then. A file that is not there is told, with the system's reason.
    void foldersAreSkippedAndMissingFilesTold_data() {
        QTest::addColumn<int>("keys"); // none: a move on this file system; ctrl: a copy
        QTest::newRow("move") << 0;
        QTest::newRow("copy") << int(Qt::ControlModifier);
    }
    void foldersAreSkippedAndMissingFilesTold() {
        QFETCH(int, keys);
        const bool moving = keys == 0;
        QVERIFY(QDir().mkpath(m_sources + "/folder/inner"));
        QVERIFY(put(m_sources + "/folder/inner/deep.gif", "deep"));
        QVERIFY(put(m_sources + "/one.gif", "one"));
        QVERIFY(put(m_sources + "/two.png", "two"));
        ToldMessages messages(m_window->standIns());
        const DragOutcome outcome =
            drop({m_sources + "/folder", m_sources + "/one.gif", m_sources + "/missing.gif",
                  m_sources + "/two.png"},
                 Qt::CopyAction | Qt::MoveAction, Qt::KeyboardModifiers(keys));
        QVERIFY(outcome.dropAccepted);
        QCOMPARE(outcome.dropAction, Qt::CopyAction);
        QCOMPARE(allNames(m_shown), QStringList({"listed.gif", "one.gif", "two.png"}));
        QVERIFY(QFileInfo(m_sources + "/folder/inner/deep.gif").exists());
        QCOMPARE(QFileInfo::exists(m_sources + "/one.gif"), !moving);
        QTRY_COMPARE(messages.told().size(), 1);
        QCOMPARE(messages.told().first(),
                 QString("Could not %1 \"missing.gif\" to \"%2\": No such file or directory.")
                     .arg(moving ? "move" : "copy", m_shown));
    }

    void anExistingFileIsReplacedOnlyWhenTheUserSaysSo_data() {
        QTest::addColumn<int>("keys"); // none: a move on this file system; ctrl: a copy
        QTest::addColumn<bool>("yes");
        QTest::newRow("move, declined") << 0 << false;
        QTest::newRow("move, accepted") << 0 << true;
        QTest::newRow("copy, declined") << int(Qt::ControlModifier) << false;
        QTest::newRow("copy, accepted") << int(Qt::ControlModifier) << true;
    }
    void anExistingFileIsReplacedOnlyWhenTheUserSaysSo() {
        QFETCH(int, keys);
        QFETCH(bool, yes);
        const bool moving = keys == 0;
        QVERIFY(put(m_sources + "/listed.gif", "newer"));
        QuestionAnswerer answerer(yes);
        const DragOutcome outcome =
            drop({m_sources + "/listed.gif"}, Qt::CopyAction | Qt::MoveAction,
                 Qt::KeyboardModifiers(keys));
        QCOMPARE(answerer.asked(), 1);
        QVERIFY(answerer.lastQuestion().contains("listed.gif"));
        QCOMPARE(readAll(m_shown + "/listed.gif"),
                 yes ? QByteArray("newer") : QByteArray("listed"));
        QCOMPARE(QFileInfo::exists(m_sources + "/listed.gif"), !(moving && yes));
        if (QFileInfo::exists(m_sources + "/listed.gif"))
            QCOMPARE(readAll(m_sources + "/listed.gif"), QByteArray("newer"));
        // A source hears "moved" only when the file was moved.
        QCOMPARE(outcome.dropAction, moving && yes ? Qt::MoveAction : Qt::CopyAction);
        QCOMPARE(allNames(m_shown), QStringList({"listed.gif"}));
    }

    void eachFileIsItsOwnOperation() {
        QVERIFY(put(m_sources + "/listed.gif", "newer"));
        QVERIFY(put(m_sources + "/fresh.gif", "fresh"));
        QuestionAnswerer answerer(false);
        const DragOutcome outcome = drop({m_sources + "/listed.gif", m_sources + "/fresh.gif"},
                                         Qt::CopyAction | Qt::MoveAction);
        QCOMPARE(answerer.asked(), 1);
        QCOMPARE(readAll(m_shown + "/listed.gif"), QByteArray("listed"));
        QCOMPARE(readAll(m_shown + "/fresh.gif"), QByteArray("fresh"));
        QVERIFY(!QFileInfo::exists(m_sources + "/fresh.gif"));
        QCOMPARE(readAll(m_sources + "/listed.gif"), QByteArray("newer"));
        QCOMPARE(outcome.dropAction, Qt::CopyAction);
    }

    // A move across file systems that fails half-way (here the file size limit stands in
    // for a full disk) leaves the source whole and nothing at the destination.
    void aMoveFailingHalfWayLosesNothing() {
        if (m_other.isEmpty())
            QSKIP("no second file system to drag from");
        QByteArray bytes(3 * 1024 * 1024, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 + i / 4096);
        const QString from = m_other + "/big.gif";
        QVERIFY(put(from, bytes));
        QVERIFY(put(m_shown + "/big.gif", "old contents"));

        struct rlimit saved {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = 1024 * 1024;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        QuestionAnswerer answerer(true);
        ToldMessages messages(m_window->standIns());
        const DragOutcome outcome = drop({from}, Qt::MoveAction, Qt::ShiftModifier);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(answerer.asked(), 1); // replacing was allowed; the copy then failed
        QCOMPARE(
            messages.told(),
            QStringList(
                QString("Could not move \"big.gif\" to \"%1\": File too large.").arg(m_shown)));
        // The source offered a move only and hears that nothing was moved.
        QCOMPARE(outcome.dropAction, Qt::IgnoreAction);
        QCOMPARE(readAll(from), bytes);
        QCOMPARE(readAll(m_shown + "/big.gif"), QByteArray("old contents"));
        QCOMPARE(allNames(m_shown), QStringList({"big.gif", "listed.gif"}));
        QCOMPARE(allNames(m_other), QStringList({"big.gif"}));

        // Without the limit the same move goes through, and only then is the source gone.
        QuestionAnswerer again(true);
        drop({from}, Qt::MoveAction, Qt::ShiftModifier);
        QCOMPARE(readAll(m_shown + "/big.gif"), bytes);
        QVERIFY(!QFileInfo::exists(from));
    }

    void dragStartsAfterMoreThanTenPixels_data() {
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<bool>("starts");
        QTest::newRow("10, 10") << QPoint(10, 10) << false;
        QTest::newRow("-10, -10") << QPoint(-10, -10) << false;
        QTest::newRow("11, 0") << QPoint(11, 0) << true;
        QTest::newRow("0, 11") << QPoint(0, 11) << true;
        QTest::newRow("-11, 3") << QPoint(-11, 3) << true;
    }
    void dragStartsAfterMoreThanTenPixels() {
        QFETCH(QPoint, offset);
        QFETCH(bool, starts);
        int drags = 0;
        m_window->commands()->dragSource()->setDragRunner([&](QDrag&, Qt::DropActions) {
            ++drags;
            return Qt::IgnoreAction;
        });
        const QPoint start = m_window->rowCenter(0) + QPoint(20, 0);
        QTest::mousePress(site(), Qt::LeftButton, {}, start);
        QCOMPARE(m_window->commands()->dragStartPoint(), start);
        const QPoint to = start + offset;
        QMouseEvent move(QEvent::MouseMove, to, site()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(site(), &move);
        QCOMPARE(drags, starts ? 1 : 0);
        QCOMPARE(m_window->commands()->dragStartPoint(), starts ? QPoint(-1, -1) : start);
        QVERIFY(!m_window->commands()->isDraggingOut());
    }

    void noDragWithoutALeftPress() {
        int drags = 0;
        m_window->commands()->dragSource()->setDragRunner([&](QDrag&, Qt::DropActions) {
            ++drags;
            return Qt::IgnoreAction;
        });
        const QPoint start = m_window->rowCenter(0);
        QTest::mousePress(site(), Qt::RightButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, start + QPoint(30, 0), start + QPoint(30, 0),
                         Qt::NoButton, Qt::RightButton, {});
        QApplication::sendEvent(site(), &move);
        QTest::mousePress(site(), Qt::LeftButton, {}, start);
        QTest::mouseRelease(site(), Qt::LeftButton, {}, start);
        QApplication::sendEvent(site(), &move);
        QCOMPARE(drags, 0);
    }

    void theListRefusesItsOwnDragAndAcceptsOthersAfterwards() {
        QWidget* list = site();
        QList<QUrl> offeredUrls;
        Qt::DropActions offered;
        bool ownAccepted = true;
        m_window->commands()->dragSource()->setDragRunner(
            [&](QDrag& drag, Qt::DropActions actions) {
                offeredUrls = drag.mimeData()->urls();
                offered = actions;
                [&] { QVERIFY(m_window->commands()->isDraggingOut()); }();
                // Dropped back on the list itself.
                const DragOutcome back =
                    dragAndDrop(list, drag.mimeData(), actions, {}, m_window->rowCenter(0));
                ownAccepted = back.enterAccepted || back.dropAccepted;
                QDropEvent dropEvent(QPointF(m_window->rowCenter(0)), actions, drag.mimeData(),
                                     Qt::LeftButton, {});
                QApplication::sendEvent(list, &dropEvent);
                ownAccepted = ownAccepted || dropEvent.isAccepted();
                return Qt::IgnoreAction; // as after Escape
            });
        const QPoint start = m_window->rowCenter(0);
        QTest::mousePress(site(), Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, start + QPoint(0, 15), start + QPoint(0, 15),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(site(), &move);
        QCOMPARE(offeredUrls, QList<QUrl>({QUrl::fromLocalFile(m_shown + "/listed.gif")}));
        QCOMPARE(offered, Qt::DropActions(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction));
        QVERIFY(!ownAccepted);
        QVERIFY(!m_window->commands()->isDraggingOut());
        QCOMPARE(allNames(m_shown), QStringList({"listed.gif"}));

        QVERIFY(put(m_sources + "/after.gif", "after"));
        QVERIFY(drop({m_sources + "/after.gif"}, Qt::CopyAction | Qt::MoveAction).dropAccepted);
        QVERIFY(QFileInfo::exists(m_shown + "/after.gif"));
    }

    void aCompletedDragHandsTheSelectedFileToTheSource() {
        m_window->commands()->dragSource()->setDragRunner(
            [&](QDrag&, Qt::DropActions) { return Qt::CopyAction; });
        const QPoint start = m_window->rowCenter(0);
        QTest::mousePress(site(), Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, start + QPoint(12, 0), start + QPoint(12, 0),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(site(), &move);
        QCOMPARE(m_window->commands()->dragSource()->files(),
                 QList<QByteArray>({QFile::encodeName(m_shown + "/listed.gif")}));
        QVERIFY(m_window->commands()->dragSource()->mappedNames().isEmpty());
        QVERIFY(!m_window->commands()->isDraggingOut());
        QCOMPARE(m_window->commands()->dragStartPoint(), QPoint(-1, -1));
        // Dragging never touches the file itself.
        QCOMPARE(readAll(m_shown + "/listed.gif"), QByteArray("listed"));
    }

    void closingEndsTheRegistration() {
        QVERIFY(m_window->commands()->dropTarget()->isRegistered());
        QVERIFY(site()->acceptDrops());
        // What the main window does when it closes.
        m_window->commands()->stopTakingDrops();
        QVERIFY(!m_window->commands()->dropTarget()->isRegistered());
        QVERIFY(!site()->acceptDrops());
        QVERIFY(put(m_sources + "/late.gif", "late"));
        drop({m_sources + "/late.gif"}, Qt::CopyAction | Qt::MoveAction);
        QVERIFY(!QFileInfo::exists(m_shown + "/late.gif"));
        QVERIFY(QFileInfo::exists(m_sources + "/late.gif"));
    }
};

ZELVORIN_TEST_MAIN(FileListDropsTest)
#include "tst_FileListDrops.moc"
