// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The event log's line formats and its 1001-line rule.
#include "EventLog.h"
#include "EventLogFormat.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QTextBlock>

namespace fmt = zelvorin::eventlog;

class EventLogTest : public QObject {
    Q_OBJECT
private slots:
    void formats_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        const QString b5 = "     ";
        QTest::newRow("before navigate, empty fields")
            << fmt::beforeNavigate("about:blank", "0", "", "", "")
            << b5 + "BeforeNavigate2 - URL: \"about:blank\" Flags: \"0\" TargetFrameName: \"\" "
                    "PostData: \"\" Headers: \"\"";
        QTest::newRow("navigate complete")
            << fmt::navigateComplete("http://x/") << b5 + "NavigateComplete -  URL: \"http://x/\"";
        QTest::newRow("document complete")
            << fmt::documentComplete("a") << b5 + "DocumentComplete -  URL: \"a\"";
        QTest::newRow("download begin") << fmt::downloadBegin() << b5 + "DownloadBegin";
        QTest::newRow("download complete") << fmt::downloadComplete() << b5 + "DownloadComplete";
        QTest::newRow("progress has no indent")
            << fmt::progress(512, 4096) << QString("Progress -  512/4096");
        QTest::newRow("progress done") << fmt::progress(-1, 0) << QString("Progress -  -1/0");
        QTest::newRow("status") << fmt::statusText("Done")
                                << b5 + "OnStatusTextChange -  Text:\"Done\"";
        QTest::newRow("title") << fmt::title("Home") << b5 + "OnTitleChange -  Text:\"Home\"";
        QTest::newRow("back enabled")
            << fmt::commandState(2, true)
            << b5 + "OnCommandStateChange -  command =  2   enable: \"True\"";
        QTest::newRow("all commands")
            << fmt::commandState(-1, false)
            << b5 + "OnCommandStateChange -  command = -1   enable: \"False\"";
        QTest::newRow("three digits")
            << fmt::commandState(100, true)
            << b5 + "OnCommandStateChange -  command = 100   enable: \"True\"";
        QTest::newRow("new window")
            << fmt::newWindow(false) << b5 + "OnNewWindow -  Cancel: \"False\"";
        QTest::newRow("property") << fmt::propertyChange("p")
                                  << b5 + "OnPropertyChange -  Property: \"p\"";
        QTest::newRow("quit") << fmt::quit() << b5 + "OnQuit";
        QTest::newRow("visible") << fmt::visible(true) << b5 + "OnVisible -  \"True\"";
        QTest::newRow("tool bar") << fmt::toolBar(false) << b5 + "OnToolBar -  \"False\"";
        QTest::newRow("menu bar") << fmt::menuBar(true) << b5 + "OnMenuBar -  MenuBar: \"True\"";
        QTest::newRow("status bar") << fmt::statusBar(true) << b5 + "OnStatusBar -  \"True\"";
        QTest::newRow("full screen")
            << fmt::fullScreen(false) << b5 + "OnFullScreen -  FullScreen: \"False\"";
        QTest::newRow("theater") << fmt::theaterMode(true) << b5 + "OnTheaterMode -  \"True\"";
        QTest::newRow("enter") << fmt::enter() << b5 + "OnEnter";
        QTest::newRow("exit") << fmt::exit() << b5 + "OnExit";
        QTest::newRow("start drag")
            << fmt::startDrag("WebBrowser1") << b5 + "OnStartDrag -  DragObject: \"WebBrowser1\"";
        QTest::newRow("end drag") << fmt::endDrag(3, -4) << b5 + "OnEndDrag -  (X:3,Y:-4)";
        QTest::newRow("drag over enter")
            << fmt::dragOver(1, 2, 0, true)
            << b5 + "DragOver -   (X:1,Y:2)  DragSate: dsDragEnter  Accept: \"True\"";
        QTest::newRow("drag over leave")
            << fmt::dragOver(1, 2, 1, false)
            << b5 + "DragOver -   (X:1,Y:2)  DragSate: dsDragLeave  Accept: \"False\"";
        QTest::newRow("drag over move")
            << fmt::dragOver(0, 0, 2, true)
            << b5 + "DragOver -   (X:0,Y:0)  DragSate: dsDragMove  Accept: \"True\"";
        QTest::newRow("drag over other state adds no name")
            << fmt::dragOver(0, 0, 7, true)
            << b5 + "DragOver -   (X:0,Y:0)  DragSate:   Accept: \"True\"";
        QTest::newRow("drop") << fmt::dragDrop(5, 6) << b5 + "OnDragDrop -  (X:5,Y:6)";
    }
    void formats() {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QCOMPARE(line, expected);
    }

    void logKeepsAtMost1001Lines() {
        zelvorin::EventLog log;
        for (int i = 1; i <= 1001; ++i)
            log.addLine(QString::number(i));
        // The 1001st line is appended normally.
        QCOMPARE(log.lineCount(), 1001);
        QCOMPARE(log.document()->blockCount(), 1001);
        QCOMPARE(log.document()->lastBlock().text(), QString("1001"));
        // The next line first empties the log.
        log.addLine("next");
        QCOMPARE(log.lineCount(), 1);
        QCOMPARE(log.toPlainText(), QString("next"));
    }

    void lineBreaksInsideALineDoNotAddLines() {
        zelvorin::EventLog log;
        log.addLine("a\nb");
        QCOMPARE(log.document()->blockCount(), 1);
        QCOMPARE(log.lineCount(), 1);
    }
};

ZELVORIN_TEST_MAIN(EventLogTest)
#include "test_eventlog.moc"
