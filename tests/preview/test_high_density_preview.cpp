// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// On a screen of twice the density the preview shows the image's partner made for it
// ("paper@2x.png" beside "paper.png"), on a local page and a web page alike; an image
// without one is shown itself. The whole test runs at twice the scale.
#include "LoopbackHttpServer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {
const QColor Magenta(255, 0, 255);
const QColor Orange(255, 128, 0);
const QColor Cyan(0, 255, 255);
} // namespace

class TestHighDensityPreview : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    LoopbackHttpServer m_server;
    std::unique_ptr<Preview> m_preview;

private slots:
    void initTestCase() {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        QVERIFY(m_server.start());
        const QByteArray page = "<html><body style='margin: 0'>Words.</body></html>";
        m_server.serve("/page.html", page);
        writeFile(m_folder.filePath("page.html"), page);
        writeSolidImage(m_folder.filePath("paper.png"), Magenta, 40);
        writeSolidImage(m_folder.filePath("paper@2x.png"), Orange, 80);
        writeSolidImage(m_folder.filePath("alone.png"), Cyan, 40);
        m_preview = std::make_unique<Preview>(new PreviewProfile(this), nullptr, nullptr);
        m_preview->view()->resize(400, 300);
        m_preview->view()->show();
    }
    void cleanupTestCase() { m_preview.reset(); }

    void partnerShownAtTwiceTheDensity_data() {
        QTest::addColumn<bool>("local");
        QTest::newRow("local page") << true;
        QTest::newRow("web page") << false;
    }
    void partnerShownAtTwiceTheDensity() {
        QFETCH(bool, local);
        QVERIFY(loadAndWait(m_preview->page(),
                            local ? QUrl::fromLocalFile(m_folder.filePath("page.html"))
                                  : m_server.url("/page.html")));
        // In the grab's own pixels, twice the view's, away from the words.
        const QList<QPoint> points{{300, 200}, {700, 500}};
        m_preview->setBackgroundImage(m_folder.filePath("paper.png"));
        QVERIFY(waitForPainted(m_preview->view(), points, Orange));
        m_preview->setBackgroundImage(m_folder.filePath("alone.png"));
        QVERIFY(waitForPainted(m_preview->view(), points, Cyan));
    }
};

ZELVORIN_TEST_MAIN_WITH(TestHighDensityPreview, [] {
    qputenv("QT_SCALE_FACTOR", "2");
    zelvorin::RegisterUrlSchemes();
})
#include "test_high_density_preview.moc"
