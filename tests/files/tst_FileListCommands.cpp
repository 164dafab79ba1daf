// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window's commands on the file list and the folder list: selecting with the
// mouse, deleting to the trash (and back), the context menu's enabling, the clipboard
// texts and the properties of files and folders.
#include "FileCommandsTestSupport.h"
#include "FileProperties.h"
#include "FilePropertiesDialog.h"
#include "FolderAnswers.h"
#include "LosslessNames.h"
#include "TestEnvironment.h"

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QSettings>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

QString trashFolder() {
    return qEnvironmentVariable("XDG_DATA_HOME") + "/Trash";
}

// The path a trashed entry came from, read from its .trashinfo file.
QString trashedFrom(const QString& trashName) {
    const QByteArray info = readAll(trashFolder() + "/info/" + trashName + ".trashinfo");
    for (const QByteArray& line : info.split('\n')) {
        if (line.startsWith("Path="))
            return QUrl::fromPercentEncoding(line.mid(5));
    }
    return {};
}

} // namespace

class FileListCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FilePanelFixture> m_window;
    QString m_folder;

    FolderFiles* files() const { return m_window->files(); }
    FileListView* view() const { return m_window->view(); }
    QSignalSpy* changes() const { return m_changes.get(); }
    std::unique_ptr<QSignalSpy> m_changes;

    void showFolderWith(const QStringList& names) {
        static int count = 0;
        m_folder = qEnvironmentVariable("HOME") + "/files-" + QString::number(++count);
        QDir().mkpath(m_folder);
        for (const QString& name : names)
            put(m_folder + "/" + name, name.toUtf8());
        m_window->show(m_folder);
        QCOMPARE(files()->folder(), m_folder);
        QCOMPARE(m_window->panel()->session()->folder(), m_folder);
        QCOMPARE(files()->names(), names);
        m_changes->clear();
    }
    void select(int row) {
        files()->selectRowTold(row);
        m_changes->clear();
    }

private slots:
    void init() {
        m_window = std::make_unique<FilePanelFixture>();
        QVERIFY(QTest::qWaitForWindowExposed(m_window->window()));
        m_changes = std::make_unique<QSignalSpy>(m_window->panel()->session(),
                                                 &zelvorin::FolderSession::fileChosen);
    }
    void cleanup() {
        m_changes.reset();
        m_window.reset();
    }

    void pressSelectsTheEntryUnderThePointer() {
        showFolderWith({"a.gif", "b.gif", "c.gif"});
        QWidget* site = view()->viewport();
        QTest::mousePress(site, Qt::LeftButton, {}, m_window->rowCenter(1));
        QCOMPARE(files()->selectedRow(), 1);
        QCOMPARE(changes()->count(), 1);
        QCOMPARE(m_window->commands()->dragStartPoint(), m_window->rowCenter(1));
        QTest::mouseRelease(site, Qt::LeftButton, {}, m_window->rowCenter(1));
        QCOMPARE(m_window->commands()->dragStartPoint(), QPoint(-1, -1));

        // The same entry again: no change, no preview.
        QTest::mousePress(site, Qt::RightButton, {}, m_window->rowCenter(1));
        QCOMPARE(changes()->count(), 1);
        // Other buttons select too, but set no drag start point.
        QCOMPARE(m_window->commands()->dragStartPoint(), QPoint(-1, -1));
        QTest::mousePress(site, Qt::MiddleButton, {}, m_window->rowCenter(2));
        QCOMPARE(files()->selectedRow(), 2);
        QCOMPARE(changes()->count(), 2);
        // Ctrl+click keeps the entry selected (the list's own handling would drop it).
        QTest::mousePress(site, Qt::LeftButton, Qt::ControlModifier, m_window->rowCenter(2));
        QCOMPARE(files()->selectedRow(), 2);

        // Below the last entry: nothing selected, nothing previewed.
        QTest::mousePress(site, Qt::LeftButton, {}, m_window->belowLastRow());
        QCOMPARE(files()->selectedRow(), -1);
        QCOMPARE(changes()->count(), 2);

        // The keyboard still notifies after the window chose the selection itself.
        QTest::mousePress(site, Qt::LeftButton, {}, m_window->rowCenter(0));
        QCOMPARE(changes()->count(), 3);
        QTest::keyClick(view(), Qt::Key_Down);
        QCOMPARE(files()->selectedRow(), 1);
        QCOMPARE(changes()->count(), 4);
        QTest::keyClick(view(), Qt::Key_Up);
        QCOMPARE(files()->selectedRow(), 0);
        QCOMPARE(changes()->count(), 5);
    }

    void moveWithTheButtonHeldChangesNoSelection() {
        showFolderWith({"a.gif", "b.gif", "c.gif"});
        QWidget* site = view()->viewport();
        QTest::mousePress(site, Qt::LeftButton, {}, m_window->rowCenter(0));
        // Within the drag threshold, over the next entry.
        const QPoint near(m_window->rowCenter(0).x(), m_window->rowCenter(0).y() + 8);
        QMouseEvent move(QEvent::MouseMove, near, site->mapToGlobal(near), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(site, &move);
        QCOMPARE(files()->selectedRow(), 0);
    }

    // A folder change asked before the Delete key and answered while its question is open
    // shows the other folder: the deletion leaves that folder's list alone.
    void folderArrivingDuringTheDeleteQuestion() {
        const QString other = qEnvironmentVariable("HOME") + "/files-elsewhere";
        QDir().mkpath(other);
        put(other + "/x.gif", "x");
        put(other + "/y.gif", "y");
        showFolderWith({"k.gif", "l.gif", "m.gif"});
        select(1);
        m_window->standIns().mayBlock = [other](const QByteArray& path) {
            return platform::openablePath(path) == other;
        };
        FolderSession* session = m_window->panel()->session();
        session->setFolder(other);
        QVERIFY(session->isChangingFolder());
        QuestionAnswerer answerer(true, [&] { QTRY_COMPARE(session->folder(), other); });
        QTest::keyClick(view(), Qt::Key_Delete);
        m_window->standIns().mayBlock = nullptr;
        QCOMPARE(answerer.asked(), 1);
        QVERIFY(!QFileInfo::exists(m_folder + "/l.gif"));
        QCOMPARE(files()->names(), QStringList({"x.gif", "y.gif"}));
    }

    void deleteMovesTheFileToTheTrash_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("expected");
        QTest::newRow("first") << QStringList{"a.gif", "b.gif", "c.gif"} << 0 << 0;
        QTest::newRow("middle") << QStringList{"a.gif", "b.gif", "c.gif"} << 1 << 1;
        QTest::newRow("last entry selects the one before")
            << QStringList{"a.gif", "b.gif", "c.gif"} << 2 << 1;
        QTest::newRow("only entry leaves none") << QStringList{"a.gif"} << 0 << -1;
    }
    void deleteMovesTheFileToTheTrash() {
        QFETCH(QStringList, names);
        QFETCH(int, selected);
        QFETCH(int, expected);
        showFolderWith(names);
        select(selected);
        const QString name = names.at(selected);
        const QString path = m_folder + "/" + name;
        QVERIFY(m_window->panel()->session()->fileMonitor()->isActive());
        QVERIFY(m_window->panel()->session()->folderMonitor()->isActive());
        bool monitorsOffWhileAsked = false;
        QuestionAnswerer answerer(true, [&] {
            monitorsOffWhileAsked = !m_window->panel()->session()->fileMonitor()->isActive() &&
                                    !m_window->panel()->session()->folderMonitor()->isActive();
        });
        QTest::keyClick(view(), Qt::Key_Delete);
        QCOMPARE(answerer.asked(), 1);
        QVERIFY(answerer.lastQuestion().contains(name));
        QVERIFY(monitorsOffWhileAsked);
        QVERIFY(m_window->panel()->session()->fileMonitor()->isActive());
        QVERIFY(m_window->panel()->session()->folderMonitor()->isActive());

        QStringList left = names;
        left.removeAt(selected);
        QCOMPARE(files()->names(), left);
        QCOMPARE(files()->selectedRow(), expected);
        QCOMPARE(changes()->count(), 1);
        QCOMPARE(files()->selectedPath(),
                 expected < 0 ? QString() : m_folder + "/" + left.at(expected));

        // In the trash, never deleted for good, and it can be put back.
        QVERIFY(!QFileInfo::exists(path));
        const QStringList trashed = QDir(trashFolder() + "/files").entryList({name + "*"});
        QVERIFY(!trashed.isEmpty());
        QString entry;
        for (const QString& candidate : trashed)
            if (trashedFrom(candidate) == path)
                entry = candidate;
        QVERIFY2(!entry.isEmpty(), "no .trashinfo names the deleted file");
        QCOMPARE(readAll(trashFolder() + "/files/" + entry), name.toUtf8());
        QVERIFY(QFile::rename(trashFolder() + "/files/" + entry, path));
        QVERIFY(QFile::remove(trashFolder() + "/info/" + entry + ".trashinfo"));
        QCOMPARE(readAll(path), name.toUtf8());
        // The restored file comes back through the monitor.
        QTRY_VERIFY(files()->names().contains(name));
    }

    void declinedDeleteChangesNothing() {
        showFolderWith({"a.gif", "b.gif"});
        select(1);
        QuestionAnswerer answerer(false);
        QTest::keyClick(view(), Qt::Key_Delete);
        QCOMPARE(answerer.asked(), 1);
        QCOMPARE(files()->names(), QStringList({"a.gif", "b.gif"}));
        QCOMPARE(files()->selectedRow(), 1);
        // The preview is refreshed for the same file.
        QCOMPARE(changes()->count(), 1);
        QVERIFY(QFileInfo::exists(m_folder + "/b.gif"));
        QVERIFY(m_window->panel()->session()->fileMonitor()->isActive());
    }

    void deleteWithKeysOrWithoutSelectionDoesNothing_data() {
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("selected");
        QTest::newRow("ctrl") << int(Qt::ControlModifier) << 0;
        QTest::newRow("shift") << int(Qt::ShiftModifier) << 0;
        QTest::newRow("alt") << int(Qt::AltModifier) << 0;
        QTest::newRow("nothing selected") << 0 << -1;
    }
    void deleteWithKeysOrWithoutSelectionDoesNothing() {
        QFETCH(int, keys);
        QFETCH(int, selected);
        showFolderWith({"a.gif", "b.gif"});
        select(selected);
        QuestionAnswerer answerer(true);
        QTest::keyClick(view(), Qt::Key_Delete, Qt::KeyboardModifiers(keys));
        QTest::qWait(50); // time for a question that should not come
        QCOMPARE(answerer.asked(), 0);
        QCOMPARE(files()->names(), QStringList({"a.gif", "b.gif"}));
        QCOMPARE(files()->selectedRow(), selected);
        QVERIFY(QFileInfo::exists(m_folder + "/a.gif"));
    }

    void contextMenuIsEnabledExactlyWithASelection() {
        showFolderWith({"a.gif"});
        select(-1);
        emit m_window->fileMenu()->aboutToShow();
        for (QAction* entry :
             {m_window->copyName(), m_window->copyNameAndPath(), m_window->fileProperties()})
            QVERIFY(!entry->isEnabled());
        select(0);
        emit m_window->fileMenu()->aboutToShow();
        for (QAction* entry :
             {m_window->copyName(), m_window->copyNameAndPath(), m_window->fileProperties()})
            QVERIFY(entry->isEnabled());
    }

    void rightClickSelectsThenOpensTheContextMenu() {
        showFolderWith({"a.gif", "b.gif"});
        select(-1);
        // Through the window, as the platform delivers it: the context menu follows the press.
        const QPoint at = view()->viewport()->mapTo(m_window->window(), m_window->rowCenter(1));
        QTest::mouseClick(m_window->window()->windowHandle(), Qt::RightButton, {}, at);
        QCOMPARE(files()->selectedRow(), 1);
        QTRY_VERIFY(m_window->fileMenu()->isVisible());
        QVERIFY(m_window->copyName()->isEnabled());
        m_window->fileMenu()->hide();
    }

    void copyNameAndPath() {
        showFolderWith({"a.gif", "with space & amp.png"});
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->setText("before");
        select(-1);
        m_window->copyName()->trigger();
        m_window->copyNameAndPath()->trigger();
        QCOMPARE(clipboard->text(), QString("before"));
        select(1);
        m_window->copyName()->trigger();
        QCOMPARE(clipboard->text(), QString("with space & amp.png"));
        m_window->copyNameAndPath()->trigger();
        QCOMPARE(clipboard->text(), m_folder + "/with space & amp.png");
    }

    void propertiesGoToTheFileManagerWhenOneAnswers() {
        showFolderWith({"a.gif"});
        QStringList asked;
        m_window->standIns().showProperties = [&](const QString& path) {
            asked << path;
            return true;
        };
        select(-1);
        m_window->fileProperties()->trigger();
        QVERIFY(asked.isEmpty());
        select(0);
        m_window->fileProperties()->trigger();
        m_window->folderProperties()->trigger();
        QCOMPARE(asked, QStringList({m_folder + "/a.gif", m_folder}));
        QVERIFY(m_window->window()->findChildren<zelvorin::FilePropertiesDialog*>().isEmpty());
    }

    void propertiesShowTheProgramsOwnWindowOtherwise() {
        showFolderWith({"a.gif"});
        select(0);
        m_window->fileProperties()->trigger();
        auto dialogs = m_window->window()->findChildren<zelvorin::FilePropertiesDialog*>();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY(dialogs.first()->isVisible());
        QCOMPARE(dialogs.first()->findChild<QLabel*>("NameValue")->text(), QString("a.gif"));
        QCOMPARE(dialogs.first()->findChild<QLabel*>("LocationValue")->text(), m_folder);
        dialogs.first()->close();
        QTRY_VERIFY(m_window->window()->findChildren<zelvorin::FilePropertiesDialog*>().isEmpty());

        m_window->folderProperties()->trigger();
        dialogs = m_window->window()->findChildren<zelvorin::FilePropertiesDialog*>();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs.first()->Path(), m_folder);
        QCOMPARE(dialogs.first()->findChild<QLabel*>("SizeValue")->text(), QString("1 item(s)"));
    }

    void releaseOverTheFolderListOpensTheFolderUnderThePointer() {
        showFolderWith({"a.gif"});
        QDir(m_folder).mkpath("sub/deeper");
        m_window->panel()->session()->refreshFolders();
        FolderTreeView* folders = m_window->folders();
        FolderSession* session = m_window->panel()->session();
        int row = -1;
        for (int i = 0; i < folders->count(); ++i)
            if (folders->itemPath(i) == m_folder + "/sub/")
                row = i;
        QVERIFY(row >= 0);
        const QPoint at = folders->visualItemRect(folders->item(row)).center();
        QTest::mouseRelease(folders->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(session->folder(), m_folder + "/sub");
        QCOMPARE(files()->folder(), m_folder + "/sub");

        // Back up, then a right click: the folder changes before its context menu opens,
        // and "Properties" then names that folder.
        session->setFolder(m_folder);
        QStringList asked;
        m_window->standIns().showProperties = [&](const QString& path) {
            asked << path;
            return true;
        };
        const QPoint inWindow = folders->viewport()->mapTo(m_window->window(), at);
        QTest::mousePress(m_window->window()->windowHandle(), Qt::RightButton, {}, inWindow);
        QCOMPARE(session->folder(), m_folder + "/sub");
        QTRY_VERIFY(m_window->folderMenu()->isVisible());
        m_window->folderMenu()->hide();
        QTest::mouseRelease(m_window->window()->windowHandle(), Qt::RightButton, {}, inWindow);
        QCOMPARE(session->folder(), m_folder + "/sub");
        m_window->folderProperties()->trigger();
        QCOMPARE(asked, QStringList({m_folder + "/sub"}));

        // Below the entries nothing opens.
        const QPoint below(at.x(), folders->viewport()->height() - 2);
        if (!folders->indexAt(below).isValid()) {
            QTest::mouseRelease(folders->viewport(), Qt::LeftButton, {}, below);
            QCOMPARE(session->folder(), m_folder + "/sub");
        }
    }
};

ZELVORIN_TEST_MAIN(FileListCommandsTest)
#include "tst_FileListCommands.moc"
