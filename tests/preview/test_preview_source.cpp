// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// "Copy &HTML source" after choosing backgrounds: the copy is the page as its author would
// keep it, with the chosen image under its real address and the chosen colour as bgcolor,
// and nothing of the program's own (its image addresses, forced styles, the marker of a
// long page).
#include "DocumentSource.h"
#include "GeneratedPage.h"
#include "LoopbackHttpServer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "ProgramPages.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

const QColor Linen(0xC8, 0xBF, 0xAE);

// A page of the program's with as many images as asked, like a long gallery page.
class ImagesPage final : public GeneratedPage {
public:
    ImagesPage(QString address, qint64 count) : m_address(std::move(address)), m_count(count) {}
    qint64 itemCount() const override { return m_count; }
    QString head() const override { return QStringLiteral("<html><body>"); }
    QString nextItems(qint64 count) override {
        QString text;
        for (; count > 0 && m_given < m_count; --count)
            text += QStringLiteral("<img src=\"%1\" alt=\"%2\"> &amp; &lt;&nbsp;")
                        .arg(m_address)
                        .arg(++m_given);
        return text;
    }
    bool atEnd() const override { return m_given == m_count; }
    QString tail() const override { return QStringLiteral("</body></html>"); }

private:
    QString m_address;
    qint64 m_count = 0;
    qint64 m_given = 0;
};

} // namespace

class TestPreviewSource : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void realImageAddresses_data();
    void realImageAddresses();
    void copyAfterChoosing_data();
    void copyAfterChoosing();
    void unchangedPageAsTheEngineHasIt();
    void blankPage();
    void programPageWholeWithRealAddresses();

private:
    bool applyAndWait(int requestId);
    QString copied();

    QTemporaryDir m_folder;
    LoopbackHttpServer* m_server = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
    QSignalSpy* m_applied = nullptr;
    QString m_linen;
    QString m_linenFileUrl;
};

void TestPreviewSource::initTestCase() {
    QVERIFY(m_folder.isValid());
    m_server = new LoopbackHttpServer(this);
    QVERIFY(m_server->start());
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(640, 480);
    m_preview->view()->show();
    m_applied = new QSignalSpy(m_preview.get(), &Preview::backgroundApplied);
    m_linen = writeSolidImage(m_folder.filePath("images/linen & tile.png"), QColor(200, 191, 174));
    m_linenFileUrl =
        "file://" +
        QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(m_linen).absoluteFilePath(), "/"));
}

void TestPreviewSource::cleanupTestCase() {
    delete m_applied;
    m_preview.reset();
}

bool TestPreviewSource::applyAndWait(int requestId) {
    return waitForApplied(*m_applied, requestId);
}

QString TestPreviewSource::copied() {
    QGuiApplication::clipboard()->clear();
    m_preview->copyDocumentSource();
    if (!QTest::qWaitFor([] { return !QGuiApplication::clipboard()->text().isEmpty(); }, 15000))
        qWarning("nothing was copied");
    return QGuiApplication::clipboard()->text();
}

void TestPreviewSource::realImageAddresses_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    // Written with "@" for the address the program gave the image and "#" for its token.
    QTest::newRow("local page, relative")
        << "pages/index.html"
        << "<body background=\"@remote\">"
        << "<body background=\"../images/linen%20%26%20tile.png\">";
    QTest::newRow("local scheme in markup spelling")
        << "pages/index.html"
        << "<img src=\"@local-markup\"><img src='@local-markup'>"
        << "<img src=\"../images/linen%20%26%20tile.png\"><img "
           "src='../images/linen%20%26%20tile.png'>";
    QTest::newRow("web page, file URL") << "http://127.0.0.1/x.html"
                                        << "url(\"@remote\") and @remote."
                                        << "url(\"@file\") and @file.";
    QTest::newRow("unknown token stays")
        << "http://127.0.0.1/x.html"
        << "zelvorin-file://0123456789abcdef0123456789abcdef/linen.png zelvorin-files"
        << "zelvorin-file://0123456789abcdef0123456789abcdef/linen.png zelvorin-files";
    QTest::newRow("known token, other name stays") << "http://127.0.0.1/x.html"
                                                   << "zelvorin-file://#/other.png"
                                                   << "zelvorin-file://#/other.png";
}

void TestPreviewSource::realImageAddresses() {
    QFETCH(QString, page);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    const LocalImageUrls::Grant grant = m_profile->localImages().grant(m_linen);
    const QString remote = grant.remote.toString(QUrl::FullyEncoded);
    const QString local = grant.local.toString(QUrl::FullyEncoded);
    const auto fill = [&](QString text) {
        return text.replace("@remote", remote)
            .replace("@local-markup", QString(local).replace("&", "&amp;"))
            .replace("@file", m_linenFileUrl)
            .replace("#", grant.remote.host());
    };
    const QUrl pageUrl =
        page.startsWith("http") ? QUrl(page) : QUrl::fromLocalFile(m_folder.filePath(page));
    QCOMPARE(preview::WithRealImageAddresses(fill(source), pageUrl, m_profile->localImages()),
             fill(expected));
}

void TestPreviewSource::copyAfterChoosing_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QByteArray>("markup");
    QTest::addColumn<QString>("pageScript");
    QTest::addColumn<QString>("expected");
    QTest::newRow("local page")
        << "plain.html"
        << QByteArray("<!DOCTYPE html>\n<html>\n<head><title>Plain</title></head>\n"
                      "<body style=\"margin:0\"><p>Words &amp; more</p></body>\n</html>")
        << ""
        << "<!DOCTYPE html><html><head><title>Plain</title></head>\n<body style=\"margin:0\" "
           "background=\"../images/linen%20%26%20tile.png\" bgcolor=\"#C8BFAE\"><p>Words &amp; "
           "more</p>\n</body></html>";
    // The page's own background, on the root too: the root steps back in the preview only,
    // and the BODY's attributes take the chosen values in their places.
    QTest::newRow("local page with own background")
        << "styled.html"
        << QByteArray("<html style=\"background:#ff0\"><head></head><body bgcolor=\"#ffffff\" "
                      "background=\"old.gif\" text=\"navy\">x</body></html>")
        << ""
        << "<html style=\"background:#ff0\"><head></head><body bgcolor=\"#C8BFAE\" "
           "background=\"../images/linen%20%26%20tile.png\" text=\"navy\">x</body></html>";
    QTest::newRow("web page") << "/plain.html"
                              << QByteArray("<html><head></head><body><p>Web</p></body></html>")
                              << ""
                              << "<html><head></head><body background=\"@file\" "
                                 "bgcolor=\"#C8BFAE\"><p>Web</p></body></html>";
    // The page restyles its BODY after the program: only the program's declarations go.
    QTest::newRow("page restyles after")
        << "/restyled.html"
        << QByteArray("<html><head></head><body style=\"margin:0\">r</body></html>")
        << "document.body.style.color = 'blue'"
        << "<html><head></head><body style=\"margin: 0px; color: blue;\" background=\"@file\" "
           "bgcolor=\"#C8BFAE\">r</body></html>";
    // Not HTML but XHTML: the engine's XML rules write it.
    QTest::newRow("xhtml page")
        << "/page.xhtml"
        << QByteArray("<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>X</title></head>"
                      "<body style=\"margin:0\"><p>x &amp; y</p></body></html>")
        << ""
        << "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>X</title></head><body "
           "style=\"margin:0\" background=\"@file\" bgcolor=\"#C8BFAE\"><p>x &amp; "
           "y</p></body></html>";
    // Every frame shows the choice; the copy is the top document's, which is the frameset.
    const QByteArray frameset = "<html><head></head><frameset cols=\"50%,50%\"><frame "
                                "src=\"plain.html\"><frame src=\"styled.html\"></frameset></html>";
    QTest::newRow("frameset") << "frameset.html" << frameset << "" << QString::fromUtf8(frameset);
}

void TestPreviewSource::copyAfterChoosing() {
    QFETCH(QString, page);
    QFETCH(QByteArray, markup);
    QFETCH(QString, pageScript);
    QFETCH(QString, expected);
    QUrl address;
    if (page.startsWith('/')) {
        m_server->serve(page, markup,
                        page.endsWith(".xhtml") ? "application/xhtml+xml" : "text/html");
        address = m_server->url(page);
    } else {
        const QString path = m_folder.filePath("pages/" + page);
        QVERIFY(writeFile(path, markup));
        address = QUrl::fromLocalFile(path);
    }
    QVERIFY(loadAndWait(m_preview->page(), address));
    QVERIFY(applyAndWait(m_preview->setBackgroundImage(m_linen)));
    QVERIFY(applyAndWait(m_preview->setBackgroundColour(Linen)));
    if (!pageScript.isEmpty())
        evaluate(m_preview->page(), pageScript);
    // The preview itself still shows the choice through the program's own means.
    if (!page.contains("frameset"))
        QVERIFY(evaluate(m_preview->page(), "document.body.style.backgroundImage")
                    .toString()
                    .contains("zelvorin-"));
    QCOMPARE(copied(), expected.replace("@file", m_linenFileUrl));
}

void TestPreviewSource::unchangedPageAsTheEngineHasIt() {
    const QByteArray markup = "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
                              "\"http://www.w3.org/TR/html4/strict.dtd\"><!-- kept -->"
                              "<html lang=\"en\"><head><style>p{color:red}</style></head>"
                              "<body><p title=\"a &quot;b&quot;\">&lt;x&gt;&nbsp;</p>"
                              "<script>var a = 1 < 2;</script></body></html>";
    m_server->serve("/unchanged.html", markup);
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/unchanged.html")));
    const std::optional<QString> engine = engineHtml(m_preview->page());
    QVERIFY(engine);
    QCOMPARE(copied(), *engine);
}

void TestPreviewSource::blankPage() {
    m_preview->openAddress(QStringLiteral("about:blank"));
    QTRY_COMPARE(evaluate(m_preview->page(), "document.body.getAttribute('scroll')").toString(),
                 QStringLiteral("no"));
    QCOMPARE(copied(), QStringLiteral("<html><head></head><body bgcolor=\"#FFFFFF\" "
                                      "scroll=\"no\"></body></html>"));
}

void TestPreviewSource::programPageWholeWithRealAddresses() {
    constexpr qint64 Count = 250;
    const QString address = m_preview->programImageAddress(m_linen);
    QVERIFY(address.startsWith("zelvorin-file://"));
    QVERIFY(showGeneratedPage(m_preview.get(), std::make_unique<ImagesPage>(address, Count)));
    QVERIFY(m_preview->programPages()->hasMore());
    const QString source = copied();
    QCOMPARE(source.count("<img "), Count);
    QCOMPARE(source.count("> &amp; &lt;&nbsp;"), Count);
    QCOMPARE(source.count(QStringLiteral("src=\"%1\"").arg(m_linenFileUrl)), Count);
    QVERIFY(!source.contains("zelvorin-"));
    QVERIFY(!m_preview->programPages()->hasMore());
}

ZELVORIN_TEST_MAIN_WITH(TestPreviewSource, zelvorin::RegisterUrlSchemes)
#include "test_preview_source.moc"
