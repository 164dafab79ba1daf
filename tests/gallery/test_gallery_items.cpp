// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The image-name filter and the markup of single gallery items: sizes, short names, the
// three styles, escaping of names and image addresses.
#include "GalleryPageBuilder.h"
#include "GalleryTemplates.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace gallery_test;

class TestGalleryItems : public QObject {
    Q_OBJECT

private slots:
    void isGalleryImage_data();
    void isGalleryImage();
    void keepGalleryImages_data();
    void keepGalleryImages();
    void keepGalleryImagesLargeList();
    void sizeTexts_data();
    void sizeTexts();
    void shortNames_data();
    void shortNames();
    void styles_data();
    void styles();
    void unknownStyleGivesNothing();
    void defaultImageUrl_data();
    void defaultImageUrl();
    void namesCannotInjectMarkup_data();
    void namesCannotInjectMarkup();
    void customImageUrlIsEscaped();
};

void TestGalleryItems::isGalleryImage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("image");
    QTest::newRow("gif") << "a.gif" << true;
    QTest::newRow("jpg") << "a.jpg" << true;
    QTest::newRow("jpeg") << "a.jpeg" << true;
    QTest::newRow("bmp") << "a.bmp" << true;
    QTest::newRow("png") << "a.png" << true;
    QTest::newRow("webp") << "a.webp" << true;
    QTest::newRow("avif") << "a.AVIF" << true;
    QTest::newRow("svg") << "a.svg" << true;
    QTest::newRow("svgz") << "a.Svgz" << true;
    QTest::newRow("ico") << "favicon.ico" << true;
    QTest::newRow("apng") << "a.apng" << true;
    QTest::newRow("svg cut short") << "a.sv" << false;
    QTest::newRow("upper case") << "PHOTO.JPG" << true;
    QTest::newRow("mixed case") << "x.JpEg" << true;
    QTest::newRow("only extension") << ".png" << true;
    QTest::newRow("two dots") << "a.png.jpg" << true;
    QTest::newRow("last dot counts") << "a.jpg.txt" << false;
    QTest::newRow("no dot") << "jpg" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("tif") << "a.tif" << false;
    QTest::newRow("jpe") << "a.jpe" << false;
    QTest::newRow("html") << "index.html" << false;
    QTest::newRow("trailing dot") << "a.jpg." << false;
    QTest::newRow("blank after") << "a.jpg " << false;
    QTest::newRow("backslash after dot") << "a.jpg\\b" << false;
    QTest::newRow("colon after dot") << "a.jpg:b" << false;
    QTest::newRow("slash after dot") << "dir.jpg/file" << false;
    QTest::newRow("folder with dot") << "/a.b/c.gif" << true;
    QTest::newRow("letters outside ASCII in the name") << QString::fromUtf8("фото.PNG") << true;
    QTest::newRow("letter outside ASCII in the extension") << QString::fromUtf8("a.pnġ") << false;
    QTest::newRow("wide letters") << QString::fromUtf8("a.ｊｐｇ") << false;
}

void TestGalleryItems::isGalleryImage() {
    QFETCH(QString, name);
    QFETCH(bool, image);
    QCOMPARE(zelvorin::isGalleryImage(name), image);
}

void TestGalleryItems::keepGalleryImages_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("empty") << QStringList{} << QStringList{};
    QTest::newRow("all images") << QStringList{"b.gif", "a.jpg"} << QStringList{"b.gif", "a.jpg"};
    QTest::newRow("none") << QStringList{"a.txt", "b.htm"} << QStringList{};
    // Two non-images in a row: the walk stays at the same place after a deletion.
    QTest::newRow("runs") << QStringList{"a.txt", "b.htm", "c.png", "d.doc", "e.doc", "f.BMP"}
                          << QStringList{"c.png", "f.BMP"};
    QTest::newRow("order kept") << QStringList{"z.jpg", "x.txt", "a.jpg", "m.gif"}
                                << QStringList{"z.jpg", "a.jpg", "m.gif"};
    QTest::newRow("duplicates") << QStringList{"a.jpg", "a.jpg", "a.txt"}
                                << QStringList{"a.jpg", "a.jpg"};
}

void TestGalleryItems::keepGalleryImages() {
    QFETCH(QStringList, names);
    QFETCH(QStringList, kept);
    zelvorin::keepGalleryImages(names);
    QCOMPARE(names, kept);
}

void TestGalleryItems::keepGalleryImagesLargeList() {
    QStringList names;
    QStringList expected;
    for (int i = 0; i < 100000; ++i) {
        const QString name = QString("f%1.%2").arg(i).arg(i % 3 == 0 ? "jpg" : "txt");
        names << name;
        if (i % 3 == 0)
            expected << name;
    }
    zelvorin::keepGalleryImages(names);
    QCOMPARE(names.size(), expected.size());
    QCOMPARE(names, expected);
}

void TestGalleryItems::sizeTexts_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0 bytes";
    QTest::newRow("5119") << qint64(5119) << "5119 bytes";
    QTest::newRow("5120") << qint64(5120) << "6 Kb";
    QTest::newRow("6000") << qint64(6000) << "6 Kb";
    QTest::newRow("6143") << qint64(6143) << "6 Kb";
    QTest::newRow("6144") << qint64(6144) << "7 Kb";
    QTest::newRow("one megabyte") << qint64(1 << 20) << "1025 Kb";
    // Beyond 2 GiB the size still counts up, never wraps to a negative number.
    QTest::newRow("5 GiB") << qint64(5) * 1024 * 1024 * 1024 << "5242881 Kb";
}

void TestGalleryItems::sizeTexts() {
    QFETCH(qint64, size);
    QFETCH(QString, text);
    const QString path = "/pics/a.jpg";
    const QString item = zelvorin::generateGalleryItem(path, 0, 7, size);
    QCOMPARE(item, simpleItem("file:///pics/a.jpg", 7, "a.jpg", size));
    QVERIFY(item.contains("&nbsp;&nbsp;&nbsp;&nbsp;" + text + "<p>"));
    QVERIFY(item.contains("(" + text + ") \">"));
}

void TestGalleryItems::shortNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short") << "a.jpg"
                           << "a.jpg";
    QTest::newRow("15 characters") << "abcdefghijk.jpg"
                                   << "abcdefghijk.jpg";
    QTest::newRow("16 characters") << "abcdefghijkl.jpg"
                                   << "abcdefghijkl...";
    QTest::newRow("long") << "a very long picture name.png"
                          << "a very long ...";
    // Shortened first, escaped after: "&" counts as one character.
    QTest::newRow("ampersand") << "a&b&c&d&e&f&g&h.gif"
                               << "a&amp;b&amp;c&amp;d&amp;e&amp;f&amp;...";
    QTest::newRow("surrogate pair at the cut")
        << QString("abcdefghijk") + QString::fromUcs4(U"\U0001F600") + "xyz.png"
        << QString("abcdefghijk...");
}

void TestGalleryItems::shortNames() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    const QString path = "/pics/" + name;
    const QString item = zelvorin::generateGalleryItem(path, 2, 3, 100);
    QVERIFY2(item.contains("&nbsp;<b>" + shown + "</b><br>"), qPrintable(item));
    // The alternate text always holds the whole name.
    QVERIFY(item.contains("alt=\"  " + name.toHtmlEscaped() + "    (100 bytes) \""));
}

void TestGalleryItems::styles_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("expected");
    const QString src = "file:///home/u/pics/sunset.jpg";
    QTest::newRow("simple list") << 0 << simpleItem(src, 12, "sunset.jpg", 4000);
    QTest::newRow("background list") << 1 << backgroundItem(src, 12, "sunset.jpg", 4000);
    QTest::newRow("thumbnail list")
        << 2 << thumbnailItem(src, 12, "sunset.jpg", "sunset.jpg", 4000);
}

void TestGalleryItems::styles() {
    QFETCH(int, style);
    QFETCH(QString, expected);
    QCOMPARE(zelvorin::generateGalleryItem("/home/u/pics/sunset.jpg", style, 12, 4000), expected);
}

void TestGalleryItems::unknownStyleGivesNothing() {
    QVERIFY(zelvorin::generateGalleryItem("/pics/a.jpg", 3, 1, 10).isEmpty());
    QVERIFY(zelvorin::generateGalleryItem("/pics/a.jpg", -1, 1, 10).isEmpty());
}

void TestGalleryItems::defaultImageUrl_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");
    QTest::newRow("plain") << "/a/b.jpg"
                           << "file:///a/b.jpg";
    QTest::newRow("blank") << "/my pics/a b.jpg"
                           << "file:///my%20pics/a%20b.jpg";
    QTest::newRow("hash and question mark") << "/p/#1?.png"
                                            << "file:///p/%231%3F.png";
    QTest::newRow("percent") << "/p/100%.gif"
                             << "file:///p/100%25.gif";
    QTest::newRow("non-ASCII") << QString::fromUtf8("/p/caf\xc3\xa9.jpg")
                               << "file:///p/caf%C3%A9.jpg";
    QTest::newRow("backslash") << "/p/a\\b.jpg"
                               << "file:///p/a%5Cb.jpg";
}

void TestGalleryItems::defaultImageUrl() {
    QFETCH(QString, path);
    QFETCH(QString, url);
    QCOMPARE(zelvorin::FileImageUrl(path), url);
    // The address goes back to the very same file.
    QCOMPARE(QUrl(url).toLocalFile(), path);
}

void TestGalleryItems::namesCannotInjectMarkup_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("tag") << "<script>alert(1)<\\script>.jpg";
    QTest::newRow("ampersand") << "fish & chips.jpg";
    QTest::newRow("double quote") << "a\" onerror=\"alert(1).jpg";
    QTest::newRow("single quote") << "it's.png";
    QTest::newRow("entity lookalike") << "&lt;b&gt;.gif";
    QTest::newRow("blanks") << "my  holiday   photo.jpg";
}

void TestGalleryItems::namesCannotInjectMarkup() {
    QFETCH(QString, name);
    const QString path = "/pics/" + name;
    const QString shown = name.toHtmlEscaped();
    const QString src = QString::fromLatin1("file://" + path.toUtf8().toPercentEncoding("/"));
    for (int style = 0; style <= 2; ++style) {
        const QString item = zelvorin::generateGalleryItem(path, style, 1, 10);
        QVERIFY(!item.contains("<script"));
        QVERIFY(!item.contains("\" onerror="));
        if (style == 2)
            QCOMPARE(item, thumbnailItem(src, 1, shown,
                                         name.size() > 15 ? (name.left(12)).toHtmlEscaped() + "..."
                                                          : shown,
                                         10));
        else if (style == 1)
            QCOMPARE(item, backgroundItem(src, 1, shown, 10));
        else
            QCOMPARE(item, simpleItem(src, 1, shown, 10));
    }
}

void TestGalleryItems::customImageUrlIsEscaped() {
    QStringList asked;
    const zelvorin::ImageUrlMaker maker = [&asked](const QString& path) {
        asked << path;
        return QString("zelvorin-local://t0k3n/a.jpg?x=1&y=\"2\"");
    };
    const QString item = zelvorin::generateGalleryItem("/pics/a.jpg", 0, 1, 10, maker);
    QCOMPARE(asked, QStringList{"/pics/a.jpg"});
    QCOMPARE(item,
             simpleItem("zelvorin-local://t0k3n/a.jpg?x=1&amp;y=&quot;2&quot;", 1, "a.jpg", 10));
}

ZELVORIN_TEST_MAIN(TestGalleryItems)
#include "test_gallery_items.moc"
