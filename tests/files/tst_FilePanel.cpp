// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileListView.h"
#include "FileMessages.h"
#include "FilePanel.h"
#include "FileTestSupport.h"
#include "FilterComboBox.h"
#include "FolderFiles.h"
#include "FolderMonitor.h"
#include "FolderSession.h"
#include "FolderTreeView.h"
#include "SplitterBar.h"
#include "TestEnvironment.h"
#include "VolumeBox.h"

#include <QSignalSpy>
#include <QtTest>

using namespace zelvorin;

class FilePanelTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages;

    QString folder(const QString& name) { return test::freshFolder(m_dir, name); }
    // The panel's messages are kept instead of shown.
    ProgramServices services() {
        ProgramServices services;
        services.showError = [this](QWidget*, const QString& text) { m_messages.append(text); };
        return services;
    }
    std::unique_ptr<FilePanel> makePanel(const QString& path) {
        auto panel = std::make_unique<FilePanel>(nullptr, services());
        panel->resize(170, 500);
        panel->show();
        panel->showStartingFolder(path);
        panel->restoreFilter(4);
        return panel;
    }

private slots:
    void init() {
        test::resetCurrentFolder();
        m_messages.clear();
    }

    void controlTree() {
        FilePanel panel(nullptr, services());
        panel.resize(170, 500);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCOMPARE(panel.objectName(), QStringLiteral("MainFilePanel"));
        QCOMPARE(panel.width(), 170);
        QCOMPARE(panel.borderWidth(), 2);
        const auto parentOf = [&](const char* name) {
            QWidget* child = panel.findChild<QWidget*>(name);
            return child && child->parentWidget() ? child->parentWidget()->objectName() : QString();
        };
        QCOMPARE(parentOf("DriveComboBoxPanel"), QStringLiteral("MainFilePanel"));
        QCOMPARE(parentOf("DriveComboBox1"), QStringLiteral("DriveComboBoxPanel"));
        QCOMPARE(parentOf("Panel2"), QStringLiteral("MainFilePanel"));
        QCOMPARE(parentOf("DirectoryBoxPanel"), QStringLiteral("MainFilePanel"));
        QCOMPARE(parentOf("DirectoryListBox1"), QStringLiteral("DirectoryBoxPanel"));
        QCOMPARE(parentOf("Panel7"), QStringLiteral("DirectoryBoxPanel"));
        QCOMPARE(parentOf("Splitter1"), QStringLiteral("MainFilePanel"));
        QCOMPARE(parentOf("UsefulPanel3"), QStringLiteral("MainFilePanel"));
        QCOMPARE(parentOf("Panel4"), QStringLiteral("UsefulPanel3"));
        QCOMPARE(parentOf("FilterComboBoxPanel"), QStringLiteral("UsefulPanel3"));
        QCOMPARE(parentOf("FilterComboBox1"), QStringLiteral("FilterComboBoxPanel"));
        QCOMPARE(parentOf("Panel3"), QStringLiteral("UsefulPanel3"));
        QCOMPARE(parentOf("UsefulPanel5"), QStringLiteral("UsefulPanel3"));
        QCOMPARE(parentOf("FileListBox1"), QStringLiteral("UsefulPanel5"));
        QCOMPARE(panel.findChild<QWidget*>("Panel2")->height(), 4);
        QCOMPARE(panel.findChild<QWidget*>("Panel7")->height(), 3);
        QCOMPARE(panel.findChild<QWidget*>("Panel4")->height(), 4);
        QCOMPARE(panel.findChild<QWidget*>("Panel3")->height(), 4);
        QCOMPARE(panel.splitter()->height(), 3);
        QCOMPARE(panel.folderTreeHeight(), 148);
        // The flat combo boxes: the panel clips their frames.
        for (QWidget* box :
             {static_cast<QWidget*>(panel.volumeBox()), static_cast<QWidget*>(panel.filterBox())}) {
            QWidget* holder = box->parentWidget();
            QCOMPARE(box->pos(), QPoint(-1, -1));
            QCOMPARE(holder->height(), box->height() - 2);
            QCOMPARE(box->width(), holder->width() + 3);
        }
        QCOMPARE(panel.volumeBox()->height(), 22);
        QCOMPARE(panel.filterBox()->height(), 21);
        QCOMPARE(panel.session()->files()->kinds(), FileKind::ReadOnly | FileKind::Hidden |
                                                        FileKind::System | FileKind::Archive |
                                                        FileKind::Normal);
        QCOMPARE(panel.fileList()->accessibleName(), QStringLiteral("Files"));
        QCOMPARE(panel.session()->folderMonitor()->delayTime(), 1000);
        QCOMPARE(panel.session()->folderMonitor()->filter(),
                 FolderChanges(FolderChange::FolderName));
        QVERIFY(panel.session()->folderMonitor()->watchesSubtree());
        QCOMPARE(panel.session()->fileMonitor()->delayTime(), 500);
        QVERIFY(!panel.session()->fileMonitor()->watchesSubtree());

        // Wider panel: the boxes follow.
        panel.resize(260, 500);
        QTRY_COMPARE(panel.volumeBox()->width(), panel.volumePanel()->width() + 3);

        // The splitter resizes the folder list's panel.
        const QPoint grip = panel.splitter()->rect().center();
        QTest::mousePress(panel.splitter(), Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(0, 40)),
                         QPointF(panel.splitter()->mapToGlobal(grip + QPoint(0, 40))),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel.splitter(), &move);
        QTest::mouseRelease(panel.splitter(), Qt::LeftButton, {}, grip + QPoint(0, 40));
        QCOMPARE(panel.folderTreeHeight(), 188);
        panel.setFolderTreeHeight(120);
        QCOMPARE(panel.folderTreeHeight(), 120);

        panel.setEnabled(false);
        QVERIFY(!panel.volumePanel()->isEnabled());
        panel.setEnabled(true);
        QVERIFY(panel.fileList()->isEnabled());
    }

    void monitorsKeepTheListsCurrent() {
        const QString path = folder("live");
        test::touchAll(path, {"a.jpg", "m.jpg"});
        auto panel = makePanel(path);
        QVERIFY(panel->session()->folderMonitor()->isActive());
        QVERIFY(panel->session()->fileMonitor()->isActive());
        QCOMPARE(panel->session()->fileMonitor()->folder(), path);
        FolderFiles* files = panel->session()->files();
        files->selectFile("m.jpg");
        QSignalSpy fileChanges(panel->session(), &FolderSession::fileChosen);
        const auto settled = [&] {
            return test::waitUntil([&] { return panel->session()->isSettled(); });
        };
        QVERIFY(settled());
        const auto refreshes = [files] { return files->readCount() + files->recheckCount(); };
        const int reads = refreshes();
        for (int i = 0; i < 10; ++i)
            test::touch(path + QStringLiteral("/copy%1.jpg").arg(i));
        QTRY_COMPARE(files->count(), 12);
        QVERIFY(settled());
        QCOMPARE(refreshes(), reads + 1); // one refresh for the burst
        QCOMPARE(files->selectedPath(), path + "/m.jpg");

        // A folder two levels below rebuilds the folder list; a change in a subfolder
        // does not re-read the files.
        QVERIFY(QDir().mkpath(path + "/sub"));
        QTRY_VERIFY(panel->folderTree()->findItems("sub", Qt::MatchExactly).size() == 1);
        QVERIFY(settled());
        const int readsBefore = refreshes();
        QVERIFY(QDir().mkpath(path + "/sub/deeper"));
        test::touch(path + "/sub/inside.jpg");
        QVERIFY(settled());
        QCOMPARE(refreshes(), readsBefore);
        QVERIFY(m_messages.isEmpty());
    }

    void shownFolderVanishing() {
        const QString path = folder("vanishing");
        QDir().mkpath(path + "/shown");
        test::touchAll(path + "/shown", {"a.jpg"});
        auto panel = makePanel(path + "/shown");
        QCOMPARE(panel->session()->files()->count(), 1);
        QVERIFY(test::waitUntil([&] { return panel->session()->isSettled(); }));
        QVERIFY(QDir(path + "/shown").removeRecursively());
        QTRY_COMPARE(panel->session()->folder(), path);
        QTRY_COMPARE(panel->session()->files()->folder(), path);
        QTRY_VERIFY(panel->session()->folderMonitor()->isActive());
        QCOMPARE(panel->session()->folderMonitor()->folder(), path);
        QVERIFY(m_messages.isEmpty());
    }

    // The chosen file goes behind the page with the first filter and is opened as a
    // document with any other, whether the user or the code chose the filter.
    void chosenFilesPurposeFollowsTheFilter_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<bool>("byUser");
        QTest::addColumn<int>("purpose");
        QTest::newRow("background images, chosen") << 0 << true << int(FilePurpose::Background);
        QTest::newRow("background images, in code") << 0 << false << int(FilePurpose::Background);
        QTest::newRow("all files, chosen") << 4 << true << int(FilePurpose::Document);
        QTest::newRow("all files, in code") << 4 << false << int(FilePurpose::Document);
    }
    void chosenFilesPurposeFollowsTheFilter() {
        QFETCH(int, filter);
        QFETCH(bool, byUser);
        QFETCH(int, purpose);
        const QString path = folder("purpose");
        test::touchAll(path, {"a.jpg"});
        auto panel = makePanel(path);
        panel->selectFilter(filter == 0 ? 4 : 0);
        panel->session()->files()->selectFile("a.jpg");
        QSignalSpy chosen(panel->session(), &FolderSession::fileChosen);
        if (byUser) {
            panel->filterBox()->setCurrentIndex(filter);
            emit panel->filterBox()->activated(filter);
        } else {
            panel->selectFilter(filter);
        }
        // The re-read under the new mask tells the selection again, with its purpose.
        QVERIFY(!chosen.isEmpty());
        QCOMPARE(chosen.last().at(0).toString(), path + "/a.jpg");
        QCOMPARE(int(chosen.last().at(1).value<FilePurpose>()), purpose);
        QCOMPARE(int(panel->session()->purpose()), purpose);
        // "Images" lists what "Background Images" does, for documents.
        panel->selectFilter(2);
        QCOMPARE(panel->session()->purpose(), FilePurpose::Document);
    }
};

ZELVORIN_TEST_MAIN(FilePanelTest)
#include "tst_FilePanel.moc"
