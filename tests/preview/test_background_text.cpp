// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The background as text: placement values and captions, the stored layout, the image
// address for pages, the "Copy CSS" rule with the image for twice the density found
// beside the chosen one, and the status notes.
#include "BackgroundCss.h"
#include "BackgroundNotes.h"
#include "HighDensityImage.h"
#include "LosslessNames.h"
#include "SettingsStore.h"
#include "SettingsTable.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

using namespace zelvorin::preview;
namespace st = zelvorin::settings;

Q_DECLARE_METATYPE(BackgroundPlacement)

namespace {

QImage ramp() {
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, x, y));
    }
    return image;
}

} // namespace

class TestBackgroundText : public QObject {
    Q_OBJECT

private slots:
    void placements_data() {
        QTest::addColumn<BackgroundPlacement>("placement");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("menuCaption");
        QTest::addColumn<QStringList>("css"); // repeat, position, size, attachment
        QTest::addColumn<QString>("shorthand");
        using P = BackgroundPlacement;
        QTest::newRow("tile") << P::Tile << false << "Tile"
                              << "&Tile" << QStringList{"repeat", "0% 0%", "auto", "scroll"}
                              << "repeat";
        QTest::newRow("tile, fixed")
            << P::Tile << true << "Tile"
            << "&Tile" << QStringList{"repeat", "0% 0%", "auto", "fixed"} << "repeat fixed";
        QTest::newRow("across") << P::TileAcross << false << "Tile across"
                                << "Tile &across"
                                << QStringList{"repeat-x", "0% 0%", "auto", "scroll"} << "repeat-x";
        QTest::newRow("down") << P::TileDown << true << "Tile down"
                              << "Tile &down" << QStringList{"repeat-y", "0% 0%", "auto", "fixed"}
                              << "repeat-y fixed";
        QTest::newRow("centre") << P::CentreOnce << false << "Centre once"
                                << "&Centre once"
                                << QStringList{"no-repeat", "center", "auto", "scroll"}
                                << "center no-repeat";
        QTest::newRow("cover") << P::Cover << true << "Cover"
                               << "Co&ver" << QStringList{"no-repeat", "center", "cover", "fixed"}
                               << "center / cover no-repeat fixed";
        QTest::newRow("fit") << P::Fit << false << "Fit"
                             << "&Fit" << QStringList{"no-repeat", "center", "contain", "scroll"}
                             << "center / contain no-repeat";
    }
    void placements() {
        QFETCH(BackgroundPlacement, placement);
        QFETCH(bool, fixed);
        QFETCH(QString, caption);
        QFETCH(QString, menuCaption);
        QFETCH(QStringList, css);
        QFETCH(QString, shorthand);
        QCOMPARE(PlacementCaption(placement), caption);
        QCOMPARE(PlacementMenuCaption(placement), menuCaption);
        const BackgroundCssValues values = CssValues({placement, fixed});
        QCOMPARE((QStringList{values.repeat, values.position, values.size, values.attachment}),
                 css);
        QCOMPARE(CssShorthandWords({placement, fixed}), shorthand);
        QCOMPARE(PlacementFromStored(StoredPlacement(placement)), placement);
    }

    void storedLayout_data() {
        QTest::addColumn<QVariant>("storedPlacement"); // invalid: nothing stored
        QTest::addColumn<QVariant>("storedFixed");
        QTest::addColumn<BackgroundPlacement>("placement");
        QTest::addColumn<bool>("fixed");
        using P = BackgroundPlacement;
        QTest::newRow("nothing stored") << QVariant() << QVariant() << P::Tile << false;
        QTest::newRow("fit, fixed") << QVariant(5) << QVariant(true) << P::Fit << true;
        QTest::newRow("unknown number") << QVariant(6) << QVariant(true) << P::Tile << true;
        QTest::newRow("text instead of a number")
            << QVariant(QStringLiteral("3")) << QVariant() << P::Tile << false;
    }
    void storedLayout() {
        QFETCH(QVariant, storedPlacement);
        QFETCH(QVariant, storedFixed);
        QFETCH(BackgroundPlacement, placement);
        QFETCH(bool, fixed);
        QTemporaryDir folder;
        zelvorin::SettingsStore store(folder.filePath("registry.db"));
        const QString root = QStringLiteral("Software\\Morvenkast\\Zelvorin");
        const st::SettingsAccess settings(&store, root);
        const QString key = root + st::InterfaceKey;
        if (storedPlacement.typeId() == QMetaType::Int)
            QVERIFY(store.writeInteger(key, "BackgroundPlacement", storedPlacement.toInt()));
        else if (storedPlacement.isValid())
            QVERIFY(store.writeString(key, "BackgroundPlacement", storedPlacement.toString()));
        if (storedFixed.isValid())
            QVERIFY(store.writeBool(key, "BackgroundFixed", storedFixed.toBool()));

        const BackgroundLayout read = ReadBackgroundLayout(settings);
        QCOMPARE(read.placement, placement);
        QCOMPARE(read.fixed, fixed);

        const BackgroundLayout other{BackgroundPlacement::CentreOnce, !fixed};
        QVERIFY(WriteBackgroundLayout(settings, other));
        QCOMPARE(store.readInteger(key, "BackgroundPlacement", -1), 3);
        QVERIFY(ReadBackgroundLayout(settings) == other);
    }

    void imageAddress_data() {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QUrl>("page");
        QTest::addColumn<QString>("address");
        const QUrl site = QUrl::fromLocalFile("/home/ann/site/index.html");
        const QUrl web("https://example.com/a/page.html");
        QTest::newRow("same folder")
            << QByteArray("/home/ann/site/linen.jpg") << site << "linen.jpg";
        QTest::newRow("folder below")
            << QByteArray("/home/ann/site/img/linen.jpg") << site << "img/linen.jpg";
        QTest::newRow("folder beside")
            << QByteArray("/home/ann/pics/cream paper.jpg") << site << "../pics/cream%20paper.jpg";
        QTest::newRow("other tree")
            << QByteArray("/srv/tiles/a.png") << site << "../../../srv/tiles/a.png";
        QTest::newRow("page at the root")
            << QByteArray("/srv/a.png") << QUrl::fromLocalFile("/index.html") << "srv/a.png";
        QTest::newRow("page address with ..")
            << QByteArray("/home/ann/site/a.png") << QUrl("file:///home/ann/site/sub/../index.html")
            << "a.png";
        QTest::newRow("page folder not UTF-8")
            << QByteArray("/home/\xE9t\xE9/a.png")
            << QUrl::fromEncoded("file:///home/%E9t%E9/p.html") << "a.png";
        QTest::newRow("web page") << QByteArray("/home/ann/pics/cream paper.jpg") << web
                                  << "file:///home/ann/pics/cream%20paper.jpg";
        QTest::newRow("no page") << QByteArray("/tmp/a.png") << QUrl() << "file:///tmp/a.png";
        QTest::newRow("page on another host")
            << QByteArray("/tmp/a.png") << QUrl("file://server/share/p.html")
            << "file:///tmp/a.png";
        QTest::newRow("name not UTF-8")
            << QByteArray("/tmp/t\xE9\xFF.png") << web << "file:///tmp/t%E9%FF.png";
        QTest::newRow("quotes, brackets, backslash")
            << QByteArray("/home/ann/site/a\"b'c)(d\\e.png") << site << "a%22b%27c%29%28d%5Ce.png";
        QTest::newRow("markup") << QByteArray("/home/ann/site/<style>&x.png") << site
                                << "%3Cstyle%3E%26x.png";
        QTest::newRow("percent sign stays itself")
            << QByteArray("/home/ann/site/%41.png") << site << "%2541.png";
        QTest::newRow("colon is not a scheme")
            << QByteArray("/home/ann/site/c:d.png") << site << "c%3Ad.png";
        QTest::newRow("relative image path") << QByteArray("linen.jpg") << site << "";
    }
    void imageAddress() {
        QFETCH(QByteArray, image);
        QFETCH(QUrl, page);
        QFETCH(QString, address);
        QCOMPARE(ImageAddress(image, page), address);
    }

    void cssString_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "linen.jpg"
                               << "\"linen.jpg\"";
        QTest::newRow("double quote") << "a\"b"
                                      << "\"a\\\"b\"";
        QTest::newRow("backslash") << "a\\b"
                                   << "\"a\\\\b\"";
        QTest::newRow("line break") << "a\nb"
                                    << "\"a\\a b\"";
        QTest::newRow("end of style element") << "</style>"
                                              << "\"\\3c /style>\"";
    }
    void cssString() {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        QCOMPARE(CssString(text), quoted);
    }

    void copyCss_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("address");
        QTest::addColumn<BackgroundPlacement>("placement");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<QString>("doubleDensity");
        QTest::addColumn<QString>("rule");
        using P = BackgroundPlacement;
        QTest::newRow("colour, image, fixed tile")
            << QColor(0xc8, 0xbf, 0xae) << "linen.jpg" << P::Tile << true << ""
            << "body { background: #c8bfae url(\"linen.jpg\") repeat fixed; }";
        QTest::newRow("no colour") << QColor() << "img/a%20b.png" << P::TileAcross << false << ""
                                   << "body { background: url(\"img/a%20b.png\") repeat-x; }";
        QTest::newRow("colour only, placement left out")
            << QColor(Qt::white) << "" << P::Cover << true << ""
            << "body { background: #ffffff; }";
        QTest::newRow("nothing") << QColor() << "" << P::Tile << false << ""
                                 << "";
        QTest::newRow("an image for twice the density")
            << QColor() << "paper.png" << P::Tile << false << "paper@2x.png"
            << "body { background: url(\"paper.png\") repeat; background-image: "
               "image-set(\"paper.png\" 1x, \"paper@2x.png\" 2x); }";
        QTest::newRow("twice the density, colour and placement")
            << QColor(0xc8, 0xbf, 0xae) << "a/b c.webp" << P::CentreOnce << true << "a/b c@2x.webp"
            << "body { background: #c8bfae url(\"a/b c.webp\") center no-repeat fixed; "
               "background-image: image-set(\"a/b c.webp\" 1x, \"a/b c@2x.webp\" 2x); }";
        // The page's root stands as tall as the window, or "center" is the middle of a
        // short page's content.
        QTest::newRow("centred in a scrolling page")
            << QColor() << "linen.jpg" << P::Fit << false << ""
            << "html { min-height: 100%; }\nbody { background: url(\"linen.jpg\") center / "
               "contain no-repeat; }";
        QTest::newRow("twice the density without an image")
            << QColor(Qt::white) << "" << P::Tile << false << "x@2x.png"
            << "body { background: #ffffff; }";
    }
    void copyCss() {
        QFETCH(QColor, colour);
        QFETCH(QString, address);
        QFETCH(BackgroundPlacement, placement);
        QFETCH(bool, fixed);
        QFETCH(QString, doubleDensity);
        QFETCH(QString, rule);
        QCOMPARE(CopyCssText(colour, address, {placement, fixed}, doubleDensity), rule);
    }

    void doubleDensityPartner_data() {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<QString>("partner"); // empty: none
        QTest::newRow("the common name")
            << "paper.png" << QStringList{"paper@2x.png"} << "paper@2x.png";
        QTest::newRow("none there") << "paper.png" << QStringList{"paper@3x.png"} << "";
        QTest::newRow("another kind is not it")
            << "paper.png" << QStringList{"paper@2x.webp"} << "";
        QTest::newRow("no suffix") << "paper" << QStringList{"paper@2x"} << "paper@2x";
        QTest::newRow("dots in the name") << "a.b.svg" << QStringList{"a.b@2x.svg"} << "a.b@2x.svg";
        QTest::newRow("a 2x image itself") << "p@2x.png" << QStringList{"p@2x@2x.png"} << "";
        QTest::newRow("a folder of the name") << "q.png" << QStringList{"q@2x.png/"} << "";
    }
    void doubleDensityPartner() {
        QFETCH(QString, image);
        QFETCH(QStringList, beside);
        QFETCH(QString, partner);
        QTemporaryDir folder;
        beside << image;
        for (const QString& name : std::as_const(beside)) {
            if (name.endsWith('/'))
                QVERIFY(QDir(folder.path()).mkpath(name));
            else
                QVERIFY(zelvorin::test::writeFile(folder.filePath(name), "x"));
        }
        const QByteArray found = HighDensityPartner(QFile::encodeName(folder.filePath(image)));
        QCOMPARE(found,
                 partner.isEmpty() ? QByteArray() : QFile::encodeName(folder.filePath(partner)));
    }

    void contrastText_data() {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QString>("text");
        QTest::newRow("low") << 3.14 << "Text contrast 3.1:1 at worst (below 4.5:1)";
        QTest::newRow("just below is cut, not rounded up")
            << 4.4999 << "Text contrast 4.4:1 at worst (below 4.5:1)";
        QTest::newRow("4.5 from sums")
            << 1.35 / 0.3 << "Text contrast 4.5:1 at worst (meets 4.5:1)";
        QTest::newRow("high") << 7.06 << "Text contrast 7.0:1 at worst (meets 4.5:1)";
    }
    void contrastText() {
        QFETCH(double, ratio);
        QFETCH(QString, text);
        QCOMPARE(ContrastText(ratio), text);
    }

    void backgroundNote_data() {
        QTest::addColumn<QColor>("text");
        QTest::addColumn<BackgroundPlacement>("placement");
        QTest::addColumn<QString>("note");
        using P = BackgroundPlacement;
        const QString contrast = QStringLiteral("Text contrast 1.2:1 at worst (below 4.5:1)");
        const QString seams = QStringLiteral(" \u2014 Seams show where the tile repeats ");
        QTest::newRow("tile") << QColor(Qt::black) << P::Tile
                              << contrast + seams + "across and down";
        QTest::newRow("across") << QColor(Qt::black) << P::TileAcross
                                << contrast + seams + "across";
        QTest::newRow("down") << QColor(Qt::black) << P::TileDown << contrast + seams + "down";
        QTest::newRow("centre once: no seams") << QColor(Qt::black) << P::CentreOnce << contrast;
        QTest::newRow("text colour not known")
            << QColor() << P::TileDown << "Seams show where the tile repeats down";
    }
    void backgroundNote() {
        QFETCH(QColor, text);
        QFETCH(BackgroundPlacement, placement);
        QFETCH(QString, note);
        const TileAnalysisResult result{1, "ramp.png", AnalyseTile(ramp()), QString()};
        QCOMPARE(BackgroundNote(result, text, placement), note);
    }

    void noteForAnUnreadableImage() {
        const TileAnalysisResult result{1, "x.png", std::nullopt, "File not found"};
        QCOMPARE(
            BackgroundNote(result, Qt::black, BackgroundPlacement::Tile),
            QStringLiteral("Text contrast unknown: the image cannot be read (File not found)"));
        QCOMPARE(UnreadableImageText(QString()),
                 QStringLiteral("Text contrast unknown: the image cannot be read"));
    }

    void chosenImageNote_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("note");
        const QString readable = QStringLiteral("Text contrast 1.2:1 at worst (below 4.5:1)");
        QTest::newRow("read") << "/tiles/ramp.png" << true << qint64(24 * 1024)
                              << "ramp.png 24 KB, 256 x 256 \u2014 " + readable;
        QTest::newRow("damaged")
            << "/tiles/broken.webp" << false << qint64(240)
            << "broken.webp 240 bytes \u2014 Text contrast unknown: the image cannot be read "
               "(Damaged WebP image)";
        QTest::newRow("a name that is not UTF-8")
            << zelvorin::platform::openablePath("/tiles/caf\xe9.svg") << true << qint64(3000)
            << QStringLiteral("caf\ufffd.svg 3 KB, 256 x 256 \u2014 ") + readable;
        QTest::newRow("gone") << "/tiles/gone.avif" << false << qint64(-1)
                              << "gone.avif \u2014 Text contrast unknown: the image cannot be read "
                                 "(Damaged WebP image)";
    }
    void chosenImageNote() {
        QFETCH(QString, path);
        QFETCH(bool, readable);
        QFETCH(qint64, bytes);
        QFETCH(QString, note);
        const TileAnalysisResult result{1, path, readable ? AnalyseTile(ramp()) : std::nullopt,
                                        readable ? QString() : "Damaged WebP image", bytes};
        QCOMPARE(ChosenImageNote(result, Qt::black, BackgroundPlacement::CentreOnce, false), note);
    }

    // A tile without a partner for 2x screens is told to be enlarged there, after the
    // contrast; one with a partner, one the layout does not repeat, a partner itself and an
    // image that cannot be read are not.
    void enlargedTileNote_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<BackgroundPlacement>("placement");
        QTest::addColumn<bool>("partner");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("ending");
        using P = BackgroundPlacement;
        const QString contrast = QStringLiteral("(below 4.5:1)");
        const QString seams = QStringLiteral("repeats across and down");
        const QString enlarged =
            QStringLiteral(" \u2014 Will be enlarged on 2x screens (no ramp@2x.png beside it)");
        QTest::newRow("tiled, no partner")
            << "/t/ramp.png" << P::Tile << false << true << seams + enlarged;
        QTest::newRow("across, no partner")
            << "/t/ramp.png" << P::TileAcross << false << true << "repeats across" + enlarged;
        QTest::newRow("tiled, with partner") << "/t/ramp.png" << P::Tile << true << true << seams;
        QTest::newRow("once, no partner") << "/t/ramp.png" << P::Cover << false << true << contrast;
        QTest::newRow("the partner itself")
            << "/t/ramp@2x.png" << P::Tile << false << true << seams;
        QTest::newRow("unreadable") << "/t/ramp.png" << P::Tile << false << false << "(Damaged)";
    }
    void enlargedTileNote() {
        QFETCH(QString, path);
        QFETCH(BackgroundPlacement, placement);
        QFETCH(bool, partner);
        QFETCH(bool, readable);
        QFETCH(QString, ending);
        const TileAnalysisResult result{1, path, readable ? AnalyseTile(ramp()) : std::nullopt,
                                        readable ? QString() : "Damaged", 100};
        const QString note = ChosenImageNote(result, Qt::black, placement, partner);
        QVERIFY2(note.endsWith(ending), qPrintable(note));
    }
};

ZELVORIN_TEST_MAIN(TestBackgroundText)

#include "test_background_text.moc"
