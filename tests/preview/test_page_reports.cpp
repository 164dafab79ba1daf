// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading the reports of the program's page scripts out of a page's console: a page writes
// what it likes there, so only the run's key makes a report the program's, and the status
// mark, which pages know, makes nothing but a status text.
#include "PageReports.h"
#include "PageScripts.h"

#include <QtTest>

using namespace zelvorin;

namespace {

const QString Key = QStringLiteral("zelvorin-0123456789abcdef0123456789abcdef");

} // namespace

class TestPageReports : public QObject {
    Q_OBJECT

private slots:
    void reports_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("program");
        QTest::addColumn<int>("kind"); // -1: no report
        QTest::addColumn<QString>("detail");
        const QString status = pagescripts::StatusMark();

        QTest::newRow("applied") << Key + R"( {"report":"applied","id":7})" << true
                                 << int(PageReport::Kind::Applied) << "7";
        QTest::newRow("command")
            << Key + R"( {"report":"command","nonce":"n1","address":"zelvorin://x"})" << true
            << int(PageReport::Kind::Command) << "n1 zelvorin://x";
        QTest::newRow("more") << Key + R"( {"report":"more","nonce":"n2"})" << true
                              << int(PageReport::Kind::More) << "n2";
        QTest::newRow("status") << status + R"( {"report":"status","text":"Hi"})" << true
                                << int(PageReport::Kind::Status) << "Hi";
        // Whatever a page writes under the mark it knows is a status text or nothing.
        QTest::newRow("command under the status mark")
            << status + R"( {"report":"command","nonce":"n1","address":"zelvorin://x"})" << false
            << -1 << "";
        QTest::newRow("applied under the status mark")
            << status + R"( {"report":"applied","id":7})" << false << -1 << "";
        QTest::newRow("status without text")
            << status + R"( {"report":"status"})" << false << -1 << "";
        // Another key, or the key run into other text, is the page's own message.
        QTest::newRow("other key")
            << QStringLiteral(
                   R"(zelvorin-ffffffffffffffffffffffffffffffff {"report":"applied","id":1})")
            << false << -1 << "";
        QTest::newRow("key run on")
            << Key + R"(x {"report":"applied","id":1})" << false << -1 << "";
        QTest::newRow("plain message") << "hello" << false << -1 << "";
        // Unreadable under the key: the program's (kept from the console), but no report.
        QTest::newRow("not JSON") << Key + " {report" << true << -1 << "";
        QTest::newRow("unknown kind") << Key + R"( {"report":"open"})" << true << -1 << "";
        QTest::newRow("command without address")
            << Key + R"( {"report":"command","nonce":"n1"})" << true << -1 << "";
        QTest::newRow("id as text")
            << Key + R"( {"report":"applied","id":"7"})" << true << -1 << "";
    }

    void reports() {
        QFETCH(QString, message);
        QFETCH(bool, program);
        QFETCH(int, kind);
        QFETCH(QString, detail);
        if (program && kind < 0)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression("unreadable report of the program"));
        const ReadReport read = ReadPageReport(message, Key);
        QCOMPARE(read.program, program);
        QCOMPARE(read.report.has_value(), kind >= 0);
        if (!read.report)
            return;
        const PageReport& report = *read.report;
        QCOMPARE(int(report.kind), kind);
        switch (report.kind) {
        case PageReport::Kind::Applied:
            QCOMPARE(QString::number(report.id), detail);
            break;
        case PageReport::Kind::Command:
            QCOMPARE(report.nonce + ' ' + report.address, detail);
            break;
        case PageReport::Kind::More:
            QCOMPARE(report.nonce, detail);
            break;
        case PageReport::Kind::Status:
            QCOMPARE(report.text, detail);
            break;
        }
    }
};

QTEST_GUILESS_MAIN(TestPageReports)
#include "test_page_reports.moc"
