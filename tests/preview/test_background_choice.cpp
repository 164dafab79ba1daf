// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The chosen background on real pages: what the view paints for two placements on a
// local page and a frameset, the placement kept for the next page, the contrast and seam
// note, and the image's colour as the page colour.
#include "BackgroundChoice.h"
#include "ImageWeight.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace zelvorin;
using namespace zelvorin::test;
using preview::BackgroundLayout;
using preview::BackgroundPlacement;

Q_DECLARE_METATYPE(zelvorin::preview::BackgroundLayout)

namespace {
const QColor Magenta(255, 0, 255);
const QColor Orange(255, 128, 0);
const BackgroundLayout Tile{BackgroundPlacement::Tile, false};
const BackgroundLayout CentredFixed{BackgroundPlacement::CentreOnce, true};
} // namespace

class TestBackgroundChoice : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<Preview> m_preview;
    QString m_magenta, m_orange;

    BackgroundChoice* choice() const { return m_preview->background(); }
    QWebEngineView* view() const { return m_preview->view(); }
    bool open(const QString& name) {
        return loadAndWait(m_preview->page(), QUrl::fromLocalFile(m_folder.filePath(name)));
    }
    QString image(const QString& name, const std::function<void(QPainter&)>& paint) {
        QImage image(64, 64, QImage::Format_RGB32);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        image.save(m_folder.filePath(name));
        return m_folder.filePath(name);
    }

private slots:
    void initTestCase() {
        m_preview = std::make_unique<Preview>(new PreviewProfile(this), nullptr, nullptr);
        view()->resize(800, 600);
        view()->show();
        m_magenta = writeSolidImage(m_folder.filePath("magenta.png"), Magenta, 40);
        m_orange = writeSolidImage(m_folder.filePath("orange.png"), Orange, 40);
        const QByteArray text = "<html><body style='color: #000; margin: 0'><p>The words of "
                                "the page.</p></body></html>";
        const QByteArray frameset = "<html><frameset cols='50%,50%' frameborder='0' border='0'>"
                                    "<frame src='a.html'><frame src='b.html'></frameset></html>";
        for (const char* name : {"a.html", "b.html"})
            writeFile(m_folder.filePath(name), text);
        for (const char* name : {"set.html", "set2.html"})
            writeFile(m_folder.filePath(name), frameset);
    }
    void cleanupTestCase() { m_preview.reset(); }
    void init() { choice()->setLayout(Tile); }

    void placementPaints_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("next");          // another page with the same frames
        QTest::addColumn<QList<QPoint>>("centres"); // of each frame
        QTest::addColumn<QList<QPoint>>("far");     // far from the centres and the first tile
        QTest::newRow("local page") << "a.html"
                                    << "b.html" << QList<QPoint>{{400, 300}}
                                    << QList<QPoint>{{700, 520}, {100, 500}, {700, 100}};
        QTest::newRow("frameset") << "set.html"
                                  << "set2.html" << QList<QPoint>{{200, 300}, {600, 300}}
                                  << QList<QPoint>{{350, 520}, {750, 520}, {700, 100}};
    }
    void placementPaints() {
        QFETCH(QString, page);
        QFETCH(QString, next);
        QFETCH(QList<QPoint>, centres);
        QFETCH(QList<QPoint>, far);
        QVERIFY(open(page));
        m_preview->setBackgroundImage(m_magenta);
        QVERIFY(waitForPainted(view(), centres + far, Magenta));
        // A new placement reaches the page and every frame at once.
        choice()->setLayout(CentredFixed);
        QVERIFY(waitForPainted(view(), far, Qt::white));
        QVERIFY(waitForPainted(view(), centres, Magenta));
        // Another page starts with its own background; the next image takes the placement.
        QVERIFY(open(next));
        QVERIFY(waitForPainted(view(), centres + far, Qt::white));
        m_preview->setBackgroundImage(m_orange);
        QVERIFY(waitForPainted(view(), centres, Orange));
        QVERIFY(waitForPainted(view(), far, Qt::white));
    }

    // A page of one paragraph: in standards mode its root box ends below the paragraph,
    // and "center" would put the image at the top; in quirks mode it fills the window.
    void centredInTheVisiblePage_data() {
        QTest::addColumn<QByteArray>("doctype");
        QTest::newRow("standards mode") << QByteArray("<!DOCTYPE html>");
        QTest::newRow("quirks mode") << QByteArray();
    }
    void centredInTheVisiblePage() {
        QFETCH(QByteArray, doctype);
        writeFile(m_folder.filePath("short.html"),
                  doctype + "<html><body style='color: #000'><p>One paragraph.</p></body></html>");
        QVERIFY(open("short.html"));
        m_preview->setBackgroundImage(m_magenta);
        choice()->setLayout({BackgroundPlacement::CentreOnce, false});
        QVERIFY(waitForPainted(view(), {{400, 300}}, Magenta));
        QVERIFY(waitForPainted(view(), {{400, 40}, {400, 560}, {100, 300}}, Qt::white));
        // Tiling again gives the page's root back its own height.
        choice()->setLayout(Tile);
        QVERIFY(waitForPainted(view(), {{400, 40}, {700, 560}}, Magenta));
        QCOMPARE(evaluate(m_preview->page(), "document.documentElement.style.minHeight"),
                 QVariant(QString()));
    }

    void note_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<BackgroundLayout>("layout");
        QTest::addColumn<QString>("expected");
        // Black to white from left to right: the copies meet black against white.
        const auto ramp = [](QPainter& p) {
            QLinearGradient gradient(0, 0, 63, 0);
            gradient.setColorAt(0, Qt::black);
            gradient.setColorAt(1, Qt::white);
            p.fillRect(0, 0, 64, 64, gradient);
        };
        const QString ramped = image("ramp.png", ramp);
        QTest::newRow("seam, tiled") << ramped << Tile
                                     << "Text contrast 1.0:1 at worst (below 4.5:1) \u2014 Seams "
                                        "show where the tile repeats across \u2014 Will be "
                                        "enlarged on 2x screens (no ramp@2x.png beside it)";
        // With its partner for 2x screens beside it, the tile is not told to be enlarged.
        const QString paired = image("paired.png", ramp);
        image("paired@2x.png", ramp);
        QTest::newRow("seam, tiled, 2x partner beside")
            << paired << Tile
            << "Text contrast 1.0:1 at worst (below 4.5:1) \u2014 Seams show where the tile "
               "repeats across";
        QTest::newRow("seam, tiled down only")
            << ramped << BackgroundLayout{BackgroundPlacement::TileDown, false}
            << "Text contrast 1.0:1 at worst (below 4.5:1) \u2014 Will be enlarged on 2x "
               "screens (no ramp@2x.png beside it)";
    }
    void note() {
        QFETCH(QString, path);
        QFETCH(BackgroundLayout, layout);
        QFETCH(QString, expected);
        QVERIFY(open("a.html"));
        choice()->setLayout(layout);
        QSignalSpy notes(choice(), &BackgroundChoice::noteChanged);
        // The image chosen just before is replaced: only the last one is told, with what
        // it weighs first.
        m_preview->setBackgroundImage(m_magenta);
        m_preview->setBackgroundImage(path);
        const QFileInfo file(path);
        const QString note = QStringLiteral("%1 %2, 64 x 64 \u2014 ")
                                 .arg(file.fileName(), ByteSizeText(file.size())) +
                             expected;
        QTRY_COMPARE_WITH_TIMEOUT(choice()->note(), note, 10000);
        QCOMPARE(notes.constLast().value(0).toString(), note);
    }

    void imageColourBecomesPageColour() {
        QVERIFY(open("a.html"));
        choice()->setLayout(CentredFixed);
        QSignalSpy colours(m_preview.get(), &Preview::backgroundColourSet);
        // Asked for before the analysis can have come: done when it comes.
        m_preview->setBackgroundImage(m_orange);
        choice()->useImageColour();
        QVERIFY(waitForPainted(view(), {{700, 520}, {100, 500}, {400, 300}}, Orange));
        QCOMPARE(colours.size(), 1);
        QCOMPARE(colours.constFirst().value(0).value<QColor>(), Orange);
    }
};

ZELVORIN_TEST_MAIN_WITH(TestBackgroundChoice, zelvorin::RegisterUrlSchemes)
#include "test_background_choice.moc"
