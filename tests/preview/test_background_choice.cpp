// The chosen background's placement, notes, colour and CSS on real pages: what the view
// paints for two placements on a local page and a frameset, the placement kept for the
// next page and after a live reload, the contrast and seam note, the image's colour as
// the page colour, and the CSS rule.
#include "BackgroundChoice.h"
#include "LiveReload.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;
using preview::BackgroundLayout;
using preview::BackgroundPlacement;

namespace {
const QColor Magenta(255, 0, 255);
const QColor Orange(255, 128, 0);
const BackgroundLayout Tile{BackgroundPlacement::Tile, false};
const BackgroundLayout CentredFixed{BackgroundPlacement::CentreOnce, true};
} // namespace

Q_DECLARE_METATYPE(zelvorin::preview::BackgroundLayout)

class TestBackgroundChoice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void placementPaints_data();
    void placementPaints();
    void placementKeptForNextPageAndReload();
    void note_data();
    void note();
    void imageColourBecomesPageColour();
    void cssText();

private:
    bool applyAndWait(int requestId);
    bool open(const QString& path);
    QString writePage(const QString& name, const QByteArray& html);
    QString writeImage(const QString& name, const std::function<void(QPainter&)>& paint);
    BackgroundChoice* choice() const { return m_preview->background(); }

    QTemporaryDir m_folder;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
    QSignalSpy* m_applied = nullptr;
    QString m_magenta;
    QString m_orange;
};

void TestBackgroundChoice::initTestCase() {
    QVERIFY(m_folder.isValid());
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->WebBrowser1()->resize(800, 600);
    m_preview->WebBrowser1()->show();
    m_applied = new QSignalSpy(m_preview.get(), &Preview::backgroundApplied);
    m_magenta = writeSolidImage(m_folder.filePath("images/magenta.png"), Magenta, 40);
    m_orange = writeSolidImage(m_folder.filePath("images/orange.png"), Orange, 40);
    const QByteArray text = "<html><body style='color: #000; margin: 0'><p>Some words of "
                            "the page, enough to be its main text.</p></body></html>";
    writePage("plain.html", text);
    writePage("other.html", text);
    writePage("frameset.html", "<html><frameset cols='50%,50%' frameborder='0' border='0'>"
                               "<frame src='plain.html' scrolling='no'>"
                               "<frame src='other.html' scrolling='no'></frameset></html>");
}

void TestBackgroundChoice::cleanupTestCase() {
    delete m_applied;
    m_preview.reset();
}

void TestBackgroundChoice::init() {
    choice()->SetLayout(Tile);
}

QString TestBackgroundChoice::writePage(const QString& name, const QByteArray& html) {
    const QString path = m_folder.filePath("pages/" + name);
    writeFile(path, html);
    return path;
}

QString TestBackgroundChoice::writeImage(const QString& name,
                                         const std::function<void(QPainter&)>& paint) {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter);
    painter.end();
    const QString path = m_folder.filePath("images/" + name);
    image.save(path);
    return path;
}

bool TestBackgroundChoice::open(const QString& path) {
    return loadAndWait(m_preview->page(), QUrl::fromLocalFile(m_folder.filePath(path)));
}

bool TestBackgroundChoice::applyAndWait(int requestId) {
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        for (const QList<QVariant>& arguments : *m_applied)
            if (arguments.value(0).toInt() == requestId)
                return true;
        m_applied->wait(100);
    }
    return false;
}

void TestBackgroundChoice::placementPaints_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QList<QPoint>>("centres"); // of each frame's view
    QTest::addColumn<QList<QPoint>>("far");     // far from any centre and the first tile
    QTest::newRow("local page") << "pages/plain.html" << QList<QPoint>{{400, 300}}
                                << QList<QPoint>{{700, 520}, {100, 500}, {700, 100}};
    QTest::newRow("frameset") << "pages/frameset.html" << QList<QPoint>{{200, 300}, {600, 300}}
                              << QList<QPoint>{{350, 520}, {750, 520}, {700, 100}};
}

void TestBackgroundChoice::placementPaints() {
    QFETCH(QString, page);
    QFETCH(QList<QPoint>, centres);
    QFETCH(QList<QPoint>, far);
    QWebEngineView* view = m_preview->WebBrowser1();
    QVERIFY(open(page));
    QVERIFY(applyAndWait(m_preview->SetPageBackgroundImage(m_magenta)));
    QVERIFY(waitForPainted(view, centres + far, Magenta));

    // A new placement reaches the page and every frame at once, without choosing again.
    choice()->SetLayout(CentredFixed);
    QVERIFY(waitForPainted(view, far, Qt::white));
    QVERIFY(waitForPainted(view, centres, Magenta));

    // The next image is laid out the same way.
    QVERIFY(applyAndWait(m_preview->SetPageBackgroundImage(m_orange)));
    QVERIFY(waitForPainted(view, centres, Orange));
    QVERIFY(waitForPainted(view, far, Qt::white));

    choice()->SetLayout(Tile);
    QVERIFY(waitForPainted(view, centres + far, Orange));
}

void TestBackgroundChoice::placementKeptForNextPageAndReload() {
    QWebEngineView* view = m_preview->WebBrowser1();
    const QList<QPoint> centre{{400, 300}};
    const QList<QPoint> far{{700, 520}, {100, 500}};
    QVERIFY(open("pages/plain.html"));
    choice()->SetLayout(CentredFixed);
    QVERIFY(applyAndWait(m_preview->SetPageBackgroundImage(m_magenta)));
    QVERIFY(waitForPainted(view, centre, Magenta));

    // Another page starts with its own background, and the next image takes the placement.
    QVERIFY(open("pages/other.html"));
    QVERIFY(waitForPainted(view, centre + far, Qt::white));
    QVERIFY(choice()->Image().isEmpty());
    QVERIFY(applyAndWait(m_preview->SetPageBackgroundImage(m_orange)));
    QVERIFY(waitForPainted(view, centre, Orange));
    QVERIFY(waitForPainted(view, far, Qt::white));

    // Saved again on disk: the page comes back with the image where it was.
    QSignalSpy reloaded(m_preview->liveReload(), &LiveReload::reloaded);
    QTRY_VERIFY_WITH_TIMEOUT(!m_preview->liveReload()->watchedFiles().isEmpty(), 10000);
    writePage("other.html", "<html><body style='margin: 0'><p>Edited.</p></body></html>");
    QVERIFY(reloaded.wait(15000));
    QVERIFY(waitForPainted(view, centre, Orange));
    QVERIFY(waitForPainted(view, far, Qt::white));
}

void TestBackgroundChoice::note_data() {
    QTest::addColumn<QString>("image");
    QTest::addColumn<BackgroundLayout>("layout");
    QTest::addColumn<QString>("expected");
    const auto solid = [](const QColor& colour) {
        return [colour](QPainter& p) { p.fillRect(0, 0, 64, 64, colour); };
    };
    // Black to white from left to right: the copies meet with black against white.
    const auto ramp = [](QPainter& p) {
        QLinearGradient gradient(0, 0, 63, 0);
        gradient.setColorAt(0, Qt::black);
        gradient.setColorAt(1, Qt::white);
        p.fillRect(0, 0, 64, 64, gradient);
    };
    QTest::newRow("white tile") << writeImage("white.png", solid(Qt::white)) << Tile
                                << "Text contrast 21.0:1 at worst (meets 4.5:1)";
    QTest::newRow("dark tile") << writeImage("dark.png", solid(QColor(0x40, 0x40, 0x40))) << Tile
                               << "Text contrast 2.0:1 at worst (below 4.5:1)";
    QTest::newRow("seam, tiled")
        << writeImage("ramp.png", ramp) << Tile
        << "Text contrast 1.0:1 at worst (below 4.5:1) \u2014 Seams show where the tile repeats "
           "across";
    QTest::newRow("seam, tiled down only")
        << writeImage("ramp.png", ramp) << BackgroundLayout{BackgroundPlacement::TileDown, false}
        << "Text contrast 1.0:1 at worst (below 4.5:1)";
}

void TestBackgroundChoice::note() {
    QFETCH(QString, image);
    QFETCH(BackgroundLayout, layout);
    QFETCH(QString, expected);
    QVERIFY(open("pages/plain.html"));
    choice()->SetLayout(layout);
    QSignalSpy notes(choice(), &BackgroundChoice::noteChanged);
    // The image chosen just before is replaced: only the last one is told.
    m_preview->SetPageBackgroundImage(m_magenta);
    m_preview->SetPageBackgroundImage(image);
    QTRY_COMPARE_WITH_TIMEOUT(choice()->Note(), expected, 10000);
    QVERIFY(!notes.isEmpty());
    QCOMPARE(notes.constLast().value(0).toString(), expected);
}

void TestBackgroundChoice::imageColourBecomesPageColour() {
    QWebEngineView* view = m_preview->WebBrowser1();
    QVERIFY(open("pages/plain.html"));
    choice()->SetLayout(CentredFixed);
    QSignalSpy colours(m_preview.get(), &Preview::backgroundColorSet);
    // Asked for before the analysis can have come: done when it comes.
    m_preview->SetPageBackgroundImage(m_orange);
    choice()->UseImageColourMenuItemClick();
    QVERIFY(waitForPainted(view, {{700, 520}, {100, 500}, {400, 300}}, Orange));
    QCOMPARE(colours.size(), 1);
    QCOMPARE(colours.constFirst().value(0).toUInt(), 0x0080FFu); // red in the low byte
}

void TestBackgroundChoice::cssText() {
    QVERIFY(open("pages/plain.html"));
    // Nothing chosen and a page without a colour of its own: nothing to copy.
    QCOMPARE(choice()->CssText(), QString());
    choice()->SetLayout(CentredFixed);
    QVERIFY(applyAndWait(m_preview->SetPageBackgroundImage(m_magenta)));
    QCOMPARE(
        choice()->CssText(),
        QString("body { background: url(\"../images/magenta.png\") center no-repeat fixed; }"));
    QVERIFY(applyAndWait(m_preview->SetPageBackgroundColor(0x00AEBFC8u)));
    choice()->SetLayout(Tile);
    QCOMPARE(choice()->CssText(),
             QString("body { background: #c8bfae url(\"../images/magenta.png\") repeat; }"));
}

ZELVORIN_TEST_MAIN_WITH(TestBackgroundChoice, zelvorin::RegisterUrlSchemes)
#include "test_background_choice.moc"
