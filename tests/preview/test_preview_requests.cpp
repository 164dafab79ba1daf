// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Requests that reach the preview while a page loads: nothing waits inside the call; a
// file chosen, a task and a program page go when the load ends (or Stop or the wait limit
// ends the wait), a newer request of the same kind replacing the one waiting.
#include "GeneratedPage.h"
#include "LoopbackHttpServer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "ProgramPages.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QTcpServer>
#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

class TestPreviewRequests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_server = new LoopbackHttpServer(this);
        QVERIFY(m_server->start());
        // Accepts connections and never answers: a page that never finishes loading.
        m_silentServer = new QTcpServer(this);
        QVERIFY(m_silentServer->listen(QHostAddress::LocalHost, 0));
        m_server->serve("/page.html",
                        "<html><head><title>Page</title></head><body>x</body></html>");
        m_server->serve("/hanging.html", "<html><body><img src='http://127.0.0.1:" +
                                             QByteArray::number(m_silentServer->serverPort()) +
                                             "/never.png'></body></html>");
        m_profile = new PreviewProfile(this);
        m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
        m_preview->view()->resize(400, 300);
        m_preview->view()->show();
        m_preview->startPreviewTimer()->stop();
        QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page.html")));
    }

    void cleanupTestCase() { m_preview.reset(); }

    void init() {
        m_preview->setWaitLimit(20000);
        QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page.html")));
    }

    // Walking through a folder faster than a page loads previews the last image chosen,
    // once, after the load: how the load's wait ends makes no difference.
    void newerChoiceReplacesTheWaitingOne_data() {
        QTest::addColumn<QString>("end");
        QTest::newRow("stop") << "stop";
        QTest::newRow("wait limit") << "limit";
        QTest::newRow("address opened") << "open";
    }

    void newerChoiceReplacesTheWaitingOne() {
        QFETCH(QString, end);
        QTemporaryDir folder;
        const QString first = writeSolidImage(folder.filePath("first.png"), Qt::red);
        const QString second = writeSolidImage(folder.filePath("second.png"), Qt::blue);
        if (end == "limit")
            m_preview->setWaitLimit(300);
        m_preview->page()->load(m_server->url("/hanging.html"));
        QTRY_VERIFY(m_preview->isLoading());
        QSignalSpy previewed(m_preview.get(), &Preview::previewingFile);
        m_preview->previewChosenFile(first, PreviewUse::Background);
        m_preview->previewChosenFile(second, PreviewUse::Background);
        QVERIFY(previewed.isEmpty());
        if (end == "stop")
            m_preview->stop();
        else if (end == "open")
            m_preview->openAddress(m_server->url("/page.html").toString());
        QTRY_COMPARE(previewed.size(), 1);
        QCOMPARE(previewed.first().value(0).toString(), second);
        m_preview->stop();
    }

    // What the program does after opening an address sees the document it opened.
    void tasksRunOnTheLoadedDocument() {
        const QUrl target = m_server->url("/page.html?second");
        m_preview->openAddress(target.toString());
        QVERIFY(m_preview->isLoading());
        QStringList seen;
        QObject other;
        m_preview->whenLoaded(this, [&] { seen << m_preview->page()->url().toString(); });
        m_preview->whenLoaded(&other, [&] { seen << "other"; });
        m_preview->whenLoaded(this, [&] { seen << "in order"; });
        QVERIFY(seen.isEmpty());
        QTRY_COMPARE(seen.size(), 3);
        QCOMPARE(seen, (QStringList{target.toString(), "other", "in order"}));

        // A task whose context goes before the load ends does not run.
        m_preview->openAddress(m_server->url("/page.html?third").toString());
        auto context = std::make_unique<QObject>();
        bool ran = false;
        m_preview->whenLoaded(context.get(), [&] { ran = true; });
        context.reset();
        QVERIFY(m_preview->isLoading());
        QTRY_VERIFY(!m_preview->isLoading());
        QVERIFY(!ran);
        // Without a load a task runs at once.
        m_preview->whenLoaded(this, [&] { ran = true; });
        QVERIFY(ran);
    }

    // A program page asked for while a page loads goes into the program's blank page once
    // that load (or its wait) has ended; a newer one asked for meanwhile replaces it.
    void programPageAskedForDuringALoad_data() {
        QTest::addColumn<QString>("loading");
        QTest::newRow("web page") << "web";
        QTest::newRow("blank page opened") << "blank";
        QTest::newRow("blank page opened over a program page") << "over";
    }

    void programPageAskedForDuringALoad() {
        QFETCH(QString, loading);
        if (loading == "web") {
            // The page never ends loading: its wait does, then it is stopped.
            m_preview->setWaitLimit(300);
            m_preview->page()->load(m_server->url("/hanging.html"));
            QTRY_VERIFY(m_preview->isLoading());
        } else {
            if (loading == "over")
                QVERIFY(showGeneratedPage(
                    m_preview.get(),
                    std::make_unique<FixedPage>("<html><body>before</body></html>")));
            m_preview->openAddress("about:blank");
            QVERIFY(m_preview->isLoading());
            // The blank page is in, its load not yet ended.
            if (loading == "over")
                QTRY_COMPARE(m_preview->page()->url(), QUrl("about:blank"));
        }
        QSignalSpy shown(m_preview->programPages(), &ProgramPages::shown);
        const int first = m_preview->programPages()->show(
            std::make_unique<FixedPage>("<html><body>first-page</body></html>"));
        const int second = m_preview->programPages()->show(
            std::make_unique<FixedPage>("<html><body>second-page</body></html>"));
        QVERIFY(shown.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 2, 10000);
        QCOMPARE(shown.at(0), (QVariantList{first, false}));
        QCOMPARE(shown.at(1), (QVariantList{second, true}));
        QVERIFY(m_preview->page()->ownsShownDocument());
        QCOMPARE(evaluate(m_preview->page(), "document.body.textContent").toString(),
                 QString("second-page"));
    }

    // A load of something else before the program's page is written drops it: the page
    // the user went to is never overwritten.
    void programPageGivesWayToALaterLoad() {
        m_preview->page()->load(m_server->url("/hanging.html"));
        QSignalSpy shown(m_preview->programPages(), &ProgramPages::shown);
        const int request = m_preview->programPages()->show(
            std::make_unique<FixedPage>("<html><body>dropped-page</body></html>"));
        m_preview->openAddress(m_server->url("/page.html?later").toString());
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(shown.first(), (QVariantList{request, false}));
        QTRY_VERIFY(!m_preview->isLoading());
        QCOMPARE(m_preview->page()->url(), m_server->url("/page.html?later"));
        QCOMPARE(evaluate(m_preview->page(), "document.body.textContent").toString(), QString("x"));
    }

private:
    LoopbackHttpServer* m_server = nullptr;
    QTcpServer* m_silentServer = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
};

ZELVORIN_TEST_MAIN_WITH(TestPreviewRequests, zelvorin::RegisterUrlSchemes)
#include "test_preview_requests.moc"
