// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The help window opens a topic's anchor of the help pages and reports a missing file.
#include "HelpWindow.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBrowser>

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void shippedPagesHaveEveryTopic() {
        const QString file =
            qEnvironmentVariable("ZELVORIN_SOURCE_DIR") + "/resources/help/zelvorin.html";
        QFile help(file);
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QByteArray text = help.readAll();
        for (const char* topic : {"MainScreen_link", "Contacts_link", "Install_IE"})
            QVERIFY2(text.contains(QByteArray("name=\"") + topic + "\""), topic);
    }

    void opensTopic() {
        const QString file =
            qEnvironmentVariable("ZELVORIN_SOURCE_DIR") + "/resources/help/zelvorin.html";
        zelvorin::HelpWindow window;
        window.resize(400, 300);
        window.ShowTopic(file, "Contacts_link");
        QVERIFY(window.isVisible());
        QVERIFY(!window.FileMissing());
        QCOMPARE(window.CurrentTopic(), QString("Contacts_link"));
        QCOMPARE(window.Browser()->source().fragment(), QString("Contacts_link"));
        // The topic is scrolled into view, not left at the top of the pages.
        QTRY_VERIFY(window.Browser()->verticalScrollBar()->value() > 0);
    }

    void reportsMissingFile() {
        zelvorin::HelpWindow window;
        window.ShowTopic("/nonexistent/zelvorin.html", "MainScreen_link");
        QVERIFY(window.FileMissing());
        QVERIFY(window.Browser()->toPlainText().contains("/nonexistent/zelvorin.html"));
        QVERIFY(window.Browser()->toPlainText().contains("not found"));
    }
};

ZELVORIN_TEST_MAIN(HelpWindowTest)
#include "test_helpwindow.moc"
