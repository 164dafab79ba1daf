// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// "Side by side" on real pages: the second view follows the first to its page and shows
// the chosen background there too, read from what each view paints, also when the image
// is chosen before the second view has loaded the page, and lays the page out at its own
// width.
#include "PageFrame.h"
#include "PageWidth.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "SideView.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {
const QColor Magenta(255, 0, 255);
const QColor Teal(0, 128, 128);
// Below the page's one line of text, in views of at least 390 by 400 pixels.
const QList<QPoint> Open{{20, 200}, {200, 300}, {380, 390}};
} // namespace

class TestSideBySide : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<preview::PageFrame> m_frame;
    std::unique_ptr<Preview> m_first;
    std::unique_ptr<SideView> m_side;

    QUrl page(const QString& name) const { return QUrl::fromLocalFile(m_folder.filePath(name)); }

private slots:
    void initTestCase() {
        m_profile = new PreviewProfile(this);
        m_frame = std::make_unique<preview::PageFrame>(nullptr);
        m_first = std::make_unique<Preview>(m_profile, nullptr, nullptr);
        m_frame->addView(m_first->view(), preview::FullWidth);
        m_frame->resize(1000, 420);
        m_frame->show();
        for (const char* name : {"a.html", "b.html"})
            QVERIFY(writeFile(m_folder.filePath(name),
                              "<html><body style='margin: 0'><p>Words.</p></body></html>"));
        writeSolidImage(m_folder.filePath("magenta.png"), Magenta, 16);
        writeSolidImage(m_folder.filePath("teal.png"), Teal, 16);
        QVERIFY(loadAndWait(m_first->page(), page("a.html")));
        // Made while a page is shown: it goes to that page.
        m_side = std::make_unique<SideView>(m_first.get(), m_profile, nullptr);
        m_frame->addView(m_side->view(), preview::SideBySideWidth(preview::FullWidth));
        QTRY_COMPARE_WITH_TIMEOUT(m_side->preview()->page()->url(), page("a.html"), 10000);
    }
    void cleanupTestCase() {
        m_frame->removeView(m_side->view());
        m_side.reset();
        m_frame->removeView(m_first->view());
        m_first.reset();
        m_frame.reset();
    }

    void backgroundInBothViews_data() {
        QTest::addColumn<QString>("next"); // the page to go to first, or none
        QTest::addColumn<QString>("image");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("on the shown page") << QString() << "magenta.png" << Magenta;
        QTest::newRow("chosen as soon as the first view has the next page") << "b.html"
                                                                            << "teal.png" << Teal;
    }
    void backgroundInBothViews() {
        QFETCH(QString, next);
        QFETCH(QString, image);
        QFETCH(QColor, colour);
        if (!next.isEmpty())
            QVERIFY(loadAndWait(m_first->page(), page(next)));
        QSignalSpy applied(m_side.get(), &SideView::backgroundApplied);
        m_first->setBackgroundImage(m_folder.filePath(image));
        QVERIFY(waitForPainted(m_first->view(), Open, colour));
        QVERIFY(waitForPainted(m_side->view(), Open, colour));
        QVERIFY(applied.size() >= 1 || applied.wait(5000));
        if (!next.isEmpty())
            QCOMPARE(m_side->preview()->page()->url(), page(next));
    }

    // A quick walk: the second view takes one change at a time and ends with the last.
    void lastOfAQuickWalk() {
        for (int i = 0; i < 20; ++i)
            m_first->setBackgroundImage(m_folder.filePath(i % 2 ? "teal.png" : "magenta.png"));
        m_first->setBackgroundImage(m_folder.filePath("magenta.png"));
        QVERIFY(waitForPainted(m_first->view(), Open, Magenta));
        QVERIFY(waitForPainted(m_side->view(), Open, Magenta));
        QTRY_VERIFY_WITH_TIMEOUT(m_side->upToDate(), 5000);
    }

    void secondViewAtItsOwnWidth() {
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_side->preview()->page(), "window.innerWidth").toInt(),
                                  390, 10000);
        QCOMPARE(evaluate(m_first->page(), "window.innerWidth").toInt(),
                 m_first->view()->width());
    }
};

ZELVORIN_TEST_MAIN_WITH(TestSideBySide, zelvorin::RegisterUrlSchemes)
#include "test_side_by_side.moc"
