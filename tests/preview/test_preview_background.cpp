// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Background image and colour of the shown page and of every frame, checked on what the
// view paints: a frameset with frames of other origins nested in each other, a page served
// over http, pages whose own style sheets set a background, and a blank page.
#include "LoopbackHttpServer.h"
#include "ModalAnswerer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {
const QColor Magenta(255, 0, 255);
const QColor Green(0, 160, 0);
const QColor Orange(255, 128, 0);

const QList<QPoint> FramePoints = {
    {100, 100}, // the left frame
    {600, 100}, // the right frame
    {520, 250}, // a frame inside it
    {540, 450}, // and a frame inside that one
};
} // namespace

class TestPreviewBackground : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void frameCount();
    void colourAndImageOnNestedFrameset_data();
    void colourAndImageOnNestedFrameset();
    void imageOnHttpPage();
    void pageWithOwnBackgroundShowsChosenOnes();
    void localPageWithOwnBackground();
    void blankPageIsWhiteAndTakesImages();
    void readAndCopyColour_data();
    void readAndCopyColour();
    void notAnImageLeavesPageAsItWas();
    void vanishedFileIsNotPreviewed();
    void filterDecidesBackgroundOrDocument();

private:
    bool applyAndWait(int requestId);
    QString writePage(const QString& name, const QByteArray& html);

    QTemporaryDir m_folder;
    LoopbackHttpServer* m_server = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
    QSignalSpy* m_applied = nullptr;
    QString m_magenta;
    QString m_orange;
};

void TestPreviewBackground::initTestCase() {
    QVERIFY(m_folder.isValid());
    m_server = new LoopbackHttpServer(this);
    QVERIFY(m_server->start());
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(800, 600);
    m_preview->view()->show();
    m_applied = new QSignalSpy(m_preview.get(), &Preview::backgroundApplied);
    m_magenta = writeSolidImage(m_folder.filePath("images/magenta.png"), Magenta);
    m_orange = writeSolidImage(m_folder.filePath("images/orange tile.png"), Orange);

    const QByteArray empty = "<html><head></head><body></body></html>";
    // Served over http: the left frame of the frameset's own origin, the right one of
    // another origin, with a frame of the first origin in it and one of the second origin
    // again inside that.
    const auto frameset = [](const QByteArray& left, const QByteArray& right) {
        return "<html><frameset cols='50%,50%' frameborder='0' border='0'><frame src='" + left +
               "' scrolling='no'><frame src='" + right + "' scrolling='no'></frameset></html>";
    };
    const auto withFrame = [](const QByteArray& source) {
        return "<html><body style='margin:0'><iframe src='" + source +
               "' style='position:absolute;left:20px;top:200px;width:360px;height:380px;"
               "border:0'></iframe></body></html>";
    };
    m_server->serve("/frameset.html",
                    frameset("/left.html", m_server->urlOnOtherHost("/right.html").toEncoded()));
    m_server->serve("/left.html", empty);
    m_server->serve("/right.html", withFrame(m_server->url("/nested.html").toEncoded()));
    m_server->serve("/nested.html", withFrame(m_server->urlOnOtherHost("/grand.html").toEncoded()));
    // The same shape of local files (local pages may not show frames from the web).
    writePage("frameset.html", frameset("left.html", "right.html"));
    writePage("left.html", empty);
    writePage("right.html", withFrame("nested.html"));
    writePage("nested.html", withFrame("grand.html"));
    writePage("grand.html", empty);
    m_server->serve("/grand.html", empty);
    m_server->serve("/plain.html", "<html><head><title>Plain</title></head><body>"
                                   "<p>Some words of the page.</p></body></html>");
    const QByteArray ownStyle =
        "<html><head><style>html { background: #ffff00; }"
        "body { background: #0000ff url(own.png) no-repeat; margin: 40px; height: 100px; }"
        "</style></head><body><p>Styled</p></body></html>";
    m_server->serve("/styled.html", ownStyle);
    writePage("styled.html", ownStyle);
    m_server->serve("/cream.html", "<html><body bgcolor='#ffffcc'>cream</body></html>");
    m_server->serve("/named.html", "<html><body bgcolor='yellow'>named</body></html>");
    m_server->serve("/css.html", "<html><body style='background-color: rgb(1, 2, 3)'>x</body>"
                                 "</html>");
}

void TestPreviewBackground::cleanupTestCase() {
    delete m_applied;
    m_preview.reset();
}

QString TestPreviewBackground::writePage(const QString& name, const QByteArray& html) {
    const QString path = m_folder.filePath("pages/" + name);
    writeFile(path, html);
    return path;
}

bool TestPreviewBackground::applyAndWait(int requestId) {
    return waitForApplied(*m_applied, requestId);
}

void TestPreviewBackground::frameCount() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/frameset.html")));
    QCOMPARE(test::frameCount(m_preview.get()), 2);
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/plain.html")));
    QCOMPARE(test::frameCount(m_preview.get()), 0);
}

void TestPreviewBackground::colourAndImageOnNestedFrameset_data() {
    QTest::addColumn<bool>("local");
    QTest::newRow("served over http") << false;
    QTest::newRow("local files") << true;
}

void TestPreviewBackground::colourAndImageOnNestedFrameset() {
    QFETCH(bool, local);
    const QUrl address = local ? QUrl::fromLocalFile(m_folder.filePath("pages/frameset.html"))
                               : m_server->url("/frameset.html");
    QVERIFY(loadAndWait(m_preview->page(), address));
    QVERIFY(waitForPainted(m_preview->view(), FramePoints, Qt::white));

    QVERIFY(applyAndWait(m_preview->setBackgroundColour(Green)));
    QVERIFY(waitForPainted(m_preview->view(), FramePoints, Green));

    QVERIFY(applyAndWait(m_preview->setBackgroundImage(m_magenta)));
    QVERIFY(waitForPainted(m_preview->view(), FramePoints, Magenta));

    // The next image replaces the last one everywhere.
    QVERIFY(applyAndWait(m_preview->setBackgroundImage(m_orange)));
    QVERIFY(waitForPainted(m_preview->view(), FramePoints, Orange));
}

void TestPreviewBackground::imageOnHttpPage() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/plain.html")));
    const QList<QPoint> points = {{700, 20}, {400, 500}};
    QVERIFY(waitForPainted(m_preview->view(), points, Qt::white));
    QVERIFY(applyAndWait(m_preview->setBackgroundImage(m_magenta)));
    QVERIFY(waitForPainted(m_preview->view(), points, Magenta));
    // The page's own content is still painted over it.
    const QVariant text = evaluate(m_preview->page(), "document.body.innerText");
    QVERIFY(text.toString().contains("Some words"));
}

void TestPreviewBackground::pageWithOwnBackgroundShowsChosenOnes() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/styled.html")));
    const QPoint insideBody(400, 120);
    const QPoint outsideBody(400, 450);
    QVERIFY(waitForPainted(m_preview->view(), {insideBody}, QColor(0, 0, 255)));
    QVERIFY(waitForPainted(m_preview->view(), {outsideBody}, QColor(255, 255, 0)));

    QVERIFY(applyAndWait(m_preview->setBackgroundColour(Green)));
    QVERIFY(waitForPainted(m_preview->view(), {insideBody, outsideBody}, Green));

    QVERIFY(applyAndWait(m_preview->setBackgroundImage(m_magenta)));
    QVERIFY(waitForPainted(m_preview->view(), {insideBody, outsideBody}, Magenta));
    // The BODY carries the chosen image, as the page's own attribute would.
    const QVariant attribute =
        evaluate(m_preview->page(), "document.body.getAttribute('background')");
    QVERIFY(attribute.toString().startsWith("zelvorin-file://"));
}

void TestPreviewBackground::localPageWithOwnBackground() {
    QVERIFY(loadAndWait(m_preview->page(),
                        QUrl::fromLocalFile(m_folder.filePath("pages/styled.html"))));
    const QList<QPoint> points = {{400, 120}, {400, 450}};
    QVERIFY(applyAndWait(m_preview->setBackgroundImage(m_orange)));
    QVERIFY(waitForPainted(m_preview->view(), points, Orange));
    const QVariant attribute =
        evaluate(m_preview->page(), "document.body.getAttribute('background')");
    QVERIFY(attribute.toString().startsWith("zelvorin-local://"));
}

void TestPreviewBackground::blankPageIsWhiteAndTakesImages() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/css.html")));
    m_preview->openAddress(QStringLiteral("about:blank"));
    QTRY_COMPARE(m_preview->page()->url(), QUrl("about:blank"));
    const QList<QPoint> points = {{10, 10}, {790, 590}};
    QVERIFY(waitForPainted(m_preview->view(), points, Qt::white));
    QTRY_COMPARE(pageColour(m_preview.get()), QColor(Qt::white));
    QCOMPARE(evaluate(m_preview->page(), "document.body.getAttribute('scroll')").toString(),
             QStringLiteral("no"));
    QCOMPARE(evaluate(m_preview->page(), "document.body.style.borderStyle").toString(),
             QStringLiteral("none"));
    QCOMPARE(evaluate(m_preview->page(), "getComputedStyle(document.documentElement).overflow")
                 .toString(),
             QStringLiteral("hidden"));
    QVERIFY(applyAndWait(m_preview->setBackgroundImage(m_magenta)));
    QVERIFY(waitForPainted(m_preview->view(), points, Magenta));
}

void TestPreviewBackground::readAndCopyColour_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("copied");
    QTest::newRow("hex attribute") << "/cream.html" << QColor(255, 255, 204) << "#FFFFCC";
    QTest::newRow("colour name") << "/named.html" << QColor(255, 255, 0) << "#FFFF00";
    QTest::newRow("style sheet") << "/css.html" << QColor(1, 2, 3) << "#010203";
}

void TestPreviewBackground::readAndCopyColour() {
    QFETCH(QString, path);
    QFETCH(QColor, colour);
    QFETCH(QString, copied);
    QVERIFY(loadAndWait(m_preview->page(), m_server->url(path)));
    QCOMPARE(pageColour(m_preview.get()), colour);
    QGuiApplication::clipboard()->clear();
    QStringList messages;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box)
            messages << box->windowTitle() << box->text();
        modal->close();
        return true;
    });
    m_preview->copyBackgroundColour();
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), copied);
    QTRY_COMPARE(messages,
                 (QStringList{" Zelvorin", QString(14, ' ') + copied + QString(15, ' ')}));
}

void TestPreviewBackground::notAnImageLeavesPageAsItWas() {
    const QString bogus = m_folder.filePath("images/not an image.png");
    writeFile(bogus, "this is text, not a picture");
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/plain.html")));
    const QList<QPoint> points = {{700, 20}, {400, 500}};
    QVERIFY(applyAndWait(m_preview->setBackgroundColour(Green)));
    QVERIFY(waitForPainted(m_preview->view(), points, Green));
    QVERIFY(applyAndWait(m_preview->setBackgroundImage(bogus)));
    QTest::qWait(300);
    QVERIFY(waitForPainted(m_preview->view(), points, Green));
    QCOMPARE(m_preview->page()->url(), m_server->url("/plain.html"));
}

void TestPreviewBackground::vanishedFileIsNotPreviewed() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/plain.html")));
    QSignalSpy previewed(m_preview.get(), &Preview::previewingFile);
    QSignalSpy navigations(m_preview->page(), &PreviewPage::beforeNavigate);
    m_preview->previewFile(m_folder.filePath("images/gone.png"), PreviewUse::Document);
    m_preview->previewChosenFile(m_folder.filePath("pages"), PreviewUse::Document);
    // Nothing was asked of the engine, and the shown folder is not remembered.
    QVERIFY(navigations.isEmpty());
    QVERIFY(previewed.isEmpty());
    QCOMPARE(m_preview->page()->url(), m_server->url("/plain.html"));
}

void TestPreviewBackground::filterDecidesBackgroundOrDocument() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/plain.html")));
    QSignalSpy previewed(m_preview.get(), &Preview::previewingFile);
    const QList<QPoint> points = {{700, 20}};

    // "Background Images": the image goes behind the page already shown.
    m_preview->previewChosenFile(m_magenta, PreviewUse::Background);
    QVERIFY(waitForPainted(m_preview->view(), points, Magenta));
    QCOMPARE(m_preview->page()->url(), m_server->url("/plain.html"));

    // Any other filter: the same file is opened as the page.
    m_preview->previewChosenFile(m_orange, PreviewUse::Document);
    QTRY_COMPARE(m_preview->page()->url(), QUrl::fromLocalFile(m_orange));
    QCOMPARE(previewed.size(), 2);
}

ZELVORIN_TEST_MAIN_WITH(TestPreviewBackground, zelvorin::RegisterUrlSchemes)
#include "test_preview_background.moc"
