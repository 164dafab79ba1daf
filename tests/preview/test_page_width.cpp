// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The page laid out at a chosen width, read from the page itself: each preset with the
// preview area wider and narrower than the preset, with the font size's zoom on top, and
// the views' places in the area.
#include "PageFrame.h"
#include "PageWidth.h"
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
using preview::FullWidth;
using preview::PageFit;
using preview::PageFrame;

class TestPageWidth : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<PageFrame> m_frame;
    std::unique_ptr<Preview> m_preview;

    int layoutWidth() { return evaluate(m_preview->page(), "window.innerWidth").toInt(); }

private slots:
    void initTestCase() {
        m_frame = std::make_unique<PageFrame>(nullptr);
        m_preview = std::make_unique<Preview>(new PreviewProfile(this), nullptr, nullptr);
        m_frame->addView(m_preview->view(), FullWidth);
        m_frame->resize(800, 300);
        m_frame->show();
        QVERIFY(writeFile(m_folder.filePath("page.html"),
                          "<html><body style='margin: 0'><p>Words.</p></body></html>"));
        QVERIFY(
            loadAndWait(m_preview->page(), QUrl::fromLocalFile(m_folder.filePath("page.html"))));
    }
    void cleanupTestCase() {
        m_frame->removeView(m_preview->view());
        m_preview.reset();
        m_frame.reset();
    }

    void pageLaidOutAtTheWidth_data() {
        QTest::addColumn<int>("areaWidth");
        QTest::addColumn<int>("cssWidth");
        QTest::addColumn<int>("fontLevel"); // 2 is the font size's medium
        QTest::addColumn<int>("expected");
        QTest::newRow("full") << 700 << FullWidth << 2 << 700;
        for (const int preset : {390, 820, 1366, 1920}) {
            const QByteArray name = QByteArray::number(preset);
            QTest::newRow(name + " in a wider area") << preset + 200 << preset << 2 << preset;
            QTest::newRow(name + " in a narrower area") << preset * 3 / 4 << preset << 2 << preset;
        }
        // Narrower than the engine zooms out to: the view stays wider than the area.
        QTest::newRow("1920 in a very narrow area") << 300 << 1920 << 2 << 1920;
        // The font size's zoom works on the preset as a device's zoom does.
        QTest::newRow("larger font, wider area") << 600 << 390 << 3 << 312;
        QTest::newRow("larger font, narrower area") << 300 << 390 << 3 << 312;
        QTest::newRow("smaller font, narrower area") << 600 << 820 << 1 << 937;
    }
    void pageLaidOutAtTheWidth() {
        QFETCH(int, areaWidth);
        QFETCH(int, cssWidth);
        QFETCH(int, fontLevel);
        QFETCH(int, expected);
        m_frame->resize(areaWidth, 300);
        m_frame->setCssWidth(0, cssWidth);
        QVERIFY(m_preview->setFontSizeLevel(fontLevel));
        QTRY_VERIFY2_WITH_TIMEOUT(qAbs(layoutWidth() - expected) <= 1,
                                  qPrintable(QString::number(layoutWidth())), 10000);
        // The font size still reads back as its level, whatever the width's scale.
        QCOMPARE(m_preview->fontSizeLevel(), fontLevel);
        const QWebEngineView* view = m_preview->view();
        if (view->width() <= areaWidth) {
            // Centred in the area.
            QVERIFY(qAbs(view->x() * 2 + view->width() - areaWidth) <= 1);
        }
        QVERIFY(view->width() <= qMax(areaWidth, expected / 4 + 1));
    }

    void storedWidth_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("width");
        QTest::newRow("a preset") << 1366 << 1366;
        QTest::newRow("full") << 0 << FullWidth;
        QTest::newRow("no preset") << 1000 << FullWidth;
        QTest::newRow("negative") << -390 << FullWidth;
    }
    void storedWidth() {
        QFETCH(int, stored);
        QFETCH(int, width);
        QCOMPARE(preview::PageWidthFromStored(stored), width);
    }

    void secondViewWidth_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<int>("second");
        QTest::newRow("automatic: a phone's") << 1366 << 0 << 390;
        QTest::newRow("automatic beside a phone: a desktop's") << 390 << 0 << 1920;
        QTest::newRow("chosen") << FullWidth << 820 << 820;
        QTest::newRow("chosen, the same as the first") << 820 << 820 << 820;
        QTest::newRow("no preset reads as automatic") << 390 << 1000 << 1920;
    }
    void secondViewWidth() {
        QFETCH(int, first);
        QFETCH(int, chosen);
        QFETCH(int, second);
        QCOMPARE(preview::SideBySideWidth(first, chosen), second);
    }
};

ZELVORIN_TEST_MAIN_WITH(TestPageWidth, zelvorin::RegisterUrlSchemes)
#include "test_page_width.moc"
