// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Whole gallery pages: counters, Prev/Next links, the three layouts, the item range, missing
// files, folder names and escaping, compared byte for byte with the templates.
#include "GalleryPageBuilder.h"
#include "GalleryTemplates.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using namespace gallery_test;
using Link = std::optional<std::pair<qint64, qint64>>;
Q_DECLARE_METATYPE(Link)

class TestGalleryPage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void pages_data();
    void pages();
    void noImages_data();
    void noImages();
    void deletedFileLeavesGap();
    void folderWithTrailingSlash();
    void rootFolder();
    void namesCarryingTheirFolder();
    void onlyThePageRangeIsLookedAt();
    void folderAndNamesAreEscaped();

private:
    static QString nameOf(qint64 k) { return QString("img%1.jpg").arg(k, 2, 10, QChar('0')); }
    static qint64 sizeOf(qint64 k) { return 1000 + k * 200; }
    // Every byte of the name but the unreserved ones is escaped, so any name reaches its file.
    QString src(const QString& path) const {
        return QString::fromLatin1("file://" + path.toUtf8().toPercentEncoding("/"));
    }
    QStringList names(qint64 count) const {
        QStringList list;
        for (qint64 k = 1; k <= count; ++k)
            list << nameOf(k);
        return list;
    }
    // The items text of the numbers from..to of m_folder in `style`; numbers in `missing`
    // have no file.
    QString expectedItems(int style, qint64 from, qint64 to, const QSet<qint64>& missing = {},
                          const QString& folder = {}) const;

    zelvorin::test::TestEnvironment* m_environment = nullptr;
    QString m_folder;
};

void TestGalleryPage::initTestCase() {
    static zelvorin::test::TestEnvironment environment;
    m_environment = &environment;
    m_folder = environment.makeFolder("pictures");
    for (qint64 k = 1; k <= 40; ++k)
        QVERIFY(zelvorin::test::writeFile(m_folder + "/" + nameOf(k), QByteArray(sizeOf(k), 'x')));
}

QString TestGalleryPage::expectedItems(int style, qint64 from, qint64 to,
                                       const QSet<qint64>& missing, const QString& folder) const {
    const QString base = folder.isEmpty() ? m_folder : folder;
    auto item = [&](qint64 k) -> QString {
        if (missing.contains(k))
            return {};
        const QString path = base + "/" + nameOf(k);
        if (style == 2)
            return R"(<td width="120" align=center valign=middle>)" +
                   thumbnailItem(src(path), k, nameOf(k), nameOf(k), sizeOf(k)) + "</td>";
        if (style == 1)
            return backgroundItem(src(path), k, nameOf(k), sizeOf(k));
        return simpleItem(src(path), k, nameOf(k), sizeOf(k));
    };
    QString text;
    if (style != 2) {
        for (qint64 k = from; k <= to; ++k)
            text += item(k);
        return text;
    }
    text = "<table align=center border=0 cellspacing=0 cellpadding=2>";
    for (qint64 rowStart = from; rowStart <= to; rowStart += 5) {
        text += "<tr>";
        for (qint64 k = rowStart; k < rowStart + 5 && k <= to; ++k)
            text += item(k);
        text += "</tr>";
    }
    return text + "</table>";
}

void TestGalleryPage::pages_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("perPage");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("counterText");
    QTest::addColumn<Link>("prev");
    QTest::addColumn<Link>("next");
    QTest::addColumn<qint64>("itemFrom");
    QTest::addColumn<qint64>("itemTo");
    QTest::addColumn<int>("rows"); // thumbnail grid rows, -1 for list layouts

    auto link = [](qint64 a, qint64 b) { return Link(std::pair(a, b)); };
    QTest::newRow("40 images, first page")
        << 40 << qint64(1) << qint64(25) << 2 << counter(40, 1, 25) << Link() << link(26, 25)
        << qint64(1) << qint64(25) << 5;
    QTest::newRow("40 images, second page")
        << 40 << qint64(26) << qint64(25) << 2 << counter(40, 26, 40) << link(1, 25) << Link()
        << qint64(26) << qint64(40) << 3;
    QTest::newRow("exactly 25 images") << 25 << qint64(1) << qint64(25) << 2 << counter(25, 1, 25)
                                       << Link() << Link() << qint64(1) << qint64(25) << 5;
    QTest::newRow("26 images") << 26 << qint64(1) << qint64(25) << 2 << counter(26, 1, 25) << Link()
                               << link(26, 25) << qint64(1) << qint64(25) << 5;
    QTest::newRow("one image") << 1 << qint64(1) << qint64(25) << 2
                               << QString("<i><center>(1 image)</center></i>\r\n") << Link()
                               << Link() << qint64(1) << qint64(1) << 1;
    QTest::newRow("two images") << 2 << qint64(1) << qint64(25) << 2 << counter(2, 1, 2) << Link()
                                << Link() << qint64(1) << qint64(2) << 1;
    QTest::newRow("first item 0") << 40 << qint64(0) << qint64(25) << 2 << counter(40, 1, 24)
                                  << Link() << link(25, 25) << qint64(1) << qint64(24) << 5;
    QTest::newRow("first item negative")
        << 40 << qint64(-10) << qint64(25) << 2 << counter(40, 1, 14) << Link() << link(15, 25)
        << qint64(1) << qint64(14) << 3;
    QTest::newRow("first item beyond the images")
        << 40 << qint64(50) << qint64(25) << 2
        << QString("<i><center>(50-40&nbsp;&nbsp;of 40&nbsp;&nbsp;images)</center></i>\r\n")
        << link(25, 25) << Link() << qint64(50) << qint64(40) << 0;
    QTest::newRow("items per page negative")
        << 40 << qint64(1) << qint64(-5) << 2 << counter(40, 1, -5) << Link() << link(-4, -5)
        << qint64(1) << qint64(40) << 8;
    QTest::newRow("items per page negative, later first")
        << 40 << qint64(30) << qint64(-5) << 0 << counter(40, 30, 24) << link(35, -5)
        << link(25, -5) << qint64(30) << qint64(40) << -1;
    QTest::newRow("items per page 0") << 3 << qint64(1) << qint64(0) << 2 << counter(3, 1, 0)
                                      << Link() << link(1, 0) << qint64(1) << qint64(0) << 0;
    QTest::newRow("simple list, second page")
        << 40 << qint64(26) << qint64(25) << 0 << counter(40, 26, 40) << link(1, 25) << Link()
        << qint64(26) << qint64(40) << -1;
    QTest::newRow("background list") << 12 << qint64(1) << qint64(10) << 1 << counter(12, 1, 10)
                                     << Link() << link(11, 10) << qint64(1) << qint64(10) << -1;
    QTest::newRow("background list, last page")
        << 12 << qint64(11) << qint64(10) << 1 << counter(12, 11, 12) << link(1, 10) << Link()
        << qint64(11) << qint64(12) << -1;
    QTest::newRow("style 3 is a simple list")
        << 40 << qint64(1) << qint64(25) << 3 << counter(40, 1, 25) << Link() << link(26, 25)
        << qint64(1) << qint64(25) << -1;
    QTest::newRow("style 255 is a simple list")
        << 3 << qint64(1) << qint64(25) << 255 << counter(3, 1, 3) << Link() << Link() << qint64(1)
        << qint64(3) << -1;
    QTest::newRow("middle page of three")
        << 40 << qint64(11) << qint64(10) << 2 << counter(40, 11, 20) << link(1, 10) << link(21, 10)
        << qint64(11) << qint64(20) << 2;
}

void TestGalleryPage::pages() {
    QFETCH(int, count);
    QFETCH(qint64, first);
    QFETCH(qint64, perPage);
    QFETCH(int, style);
    QFETCH(QString, counterText);
    QFETCH(Link, prev);
    QFETCH(Link, next);
    QFETCH(qint64, itemFrom);
    QFETCH(qint64, itemTo);
    QFETCH(int, rows);

    const int itemStyle = style == 2 ? 2 : style == 1 ? 1 : 0;
    const QString items = expectedItems(itemStyle, itemFrom, itemTo);
    const QString nav = navigation(prev, next);
    const QString expected = page(m_folder, counterText, nav, items, footer());
    const QString actual = zelvorin::generateGalleryPage(m_folder, names(count), first, perPage,
                                                         zelvorin::GalleryStyleValue(style));
    QCOMPARE(actual, expected);

    if (rows >= 0) {
        const qsizetype actualRows =
            actual.count("cellpadding=2><tr>") + actual.count("</td></tr><tr>");
        QCOMPARE(actualRows, qsizetype(rows));
    }
    // Every image of the range is on the page once, under its own number.
    for (qint64 k = itemFrom; k <= itemTo; ++k)
        QCOMPARE(actual.count(src(m_folder + "/" + nameOf(k)) + "\""), 1);
}

void TestGalleryPage::noImages_data() {
    QTest::addColumn<int>("style");
    QTest::newRow("simple") << 0;
    QTest::newRow("background") << 1;
    QTest::newRow("thumbnail") << 2;
}

void TestGalleryPage::noImages() {
    QFETCH(int, style);
    const QString actual =
        zelvorin::generateGalleryPage(m_folder, {}, 1, 25, zelvorin::GalleryStyleValue(style));
    QCOMPARE(actual, page(m_folder, counter(0, 0, 0), QString(), QString(), QString()));
    QVERIFY(!actual.contains("imglist"));
    QVERIFY(!actual.contains("example.org"));
}

void TestGalleryPage::deletedFileLeavesGap() {
    const QString folder = m_environment->makeFolder("gap");
    for (qint64 k = 1; k <= 7; ++k)
        QVERIFY(zelvorin::test::writeFile(folder + "/" + nameOf(k), QByteArray(sizeOf(k), 'x')));
    const QStringList list = names(7);
    QVERIFY(QFile::remove(folder + "/" + nameOf(3)));

    for (int style : {0, 1, 2}) {
        const QString actual = zelvorin::generateGalleryPage(folder, list, 1, 25, quint8(style));
        const QString expected = page(folder, counter(7, 1, 7), navigation({}, {}),
                                      expectedItems(style, 1, 7, {3}, folder), footer());
        QCOMPARE(actual, expected);
        QVERIFY(!actual.contains(nameOf(3)));
    }
    const QString grid = zelvorin::generateGalleryPage(folder, list, 1, 25, 2);
    QCOMPARE(grid.count("</td></tr><tr>"), 1); // two rows: 1 2 _ 4 5 | 6 7
    QCOMPARE(grid.count(R"(<td width="120")"), 6);
}

void TestGalleryPage::folderWithTrailingSlash() {
    for (const QString& suffix : QStringList{"/", "//"}) {
        const QString actual = zelvorin::generateGalleryPage(m_folder + suffix, names(2), 1, 25, 2);
        QCOMPARE(actual, page(m_folder, counter(2, 1, 2), navigation({}, {}),
                              expectedItems(2, 1, 2), footer()));
        QVERIFY(actual.contains("<title>" + m_folder + "</title>"));
        QVERIFY(actual.contains("&nbsp;&nbsp;&nbsp;\"" + m_folder + "\"  </font>"));
    }
}

void TestGalleryPage::rootFolder() {
    QStringList asked;
    const zelvorin::ImageUrlMaker maker = [&asked](const QString& path) {
        asked << path;
        return path;
    };
    // A name below "/" that exists on every Linux system.
    const QString actual = zelvorin::generateGalleryPage("/", {"etc"}, 1, 25, 0, maker);
    QVERIFY(actual.contains("<title>/</title>"));
    QVERIFY(actual.contains("&nbsp;&nbsp;&nbsp;\"/\"  </font>"));
    QVERIFY(asked.isEmpty()); // "/etc" is a folder, not an image file
}

void TestGalleryPage::namesCarryingTheirFolder() {
    const QString other = m_environment->makeFolder("elsewhere");
    QVERIFY(zelvorin::test::writeFile(other + "/far.png", QByteArray(10, 'x')));
    const QStringList list{other + "/far.png", nameOf(1)};
    const QString actual = zelvorin::generateGalleryPage(m_folder, list, 1, 25, 0);
    QVERIFY(actual.contains(simpleItem(src(other + "/far.png"), 1, "far.png", 10)));
    QVERIFY(actual.contains(simpleItem(src(m_folder + "/" + nameOf(1)), 2, nameOf(1), sizeOf(1))));
    // A name with a folder that does not exist there is not looked for elsewhere.
    const QString missing =
        zelvorin::generateGalleryPage(m_folder, {"/nowhere/" + nameOf(1)}, 1, 25, 0);
    QVERIFY(!missing.contains("<img"));
}

void TestGalleryPage::onlyThePageRangeIsLookedAt() {
    // 100,000 names, of which only the page's own have to exist.
    QStringList list;
    for (int i = 1; i <= 100000; ++i)
        list << QString("n%1.jpg").arg(i, 6, 10, QChar('0'));
    const QString folder = m_environment->makeFolder("big");
    for (int i = 26; i <= 50; ++i)
        QVERIFY(zelvorin::test::writeFile(folder + "/" + list.at(i - 1), "x"));
    QStringList asked;
    const zelvorin::ImageUrlMaker maker = [&asked](const QString& path) {
        asked << path;
        return QString("zelvorin-file://token/") + path.section('/', -1);
    };
    const QString actual = zelvorin::generateGalleryPage(folder, list, 26, 25, 2, maker);
    QCOMPARE(asked.size(), 25);
    QCOMPARE(asked.first(), folder + "/n000026.jpg");
    QCOMPARE(asked.last(), folder + "/n000050.jpg");
    QVERIFY(actual.contains("(26-50&nbsp;&nbsp;of 100000&nbsp;&nbsp;images)"));
    QVERIFY(actual.contains("src=\"zelvorin-file://token/n000026.jpg\""));
    QVERIFY(actual.contains("zelvorin://imglist/51,25\"onMouseOver"));
    QVERIFY(actual.contains("zelvorin://imglist/1,25\" onMouseOver"));
}

void TestGalleryPage::folderAndNamesAreEscaped() {
    const QString folder = m_environment->makeFolder("a<b>&\"c\" d");
    const QStringList list{"<img src=x onerror=alert(1)>.jpg", "fish & chips.png", "quote\".gif",
                           "it's here.bmp"};
    for (const QString& name : list)
        QVERIFY(zelvorin::test::writeFile(folder + "/" + name, QByteArray(20, 'x')));
    const QString shownFolder = folder.toHtmlEscaped();
    for (int style : {0, 1, 2}) {
        const QString actual = zelvorin::generateGalleryPage(folder, list, 1, 25, quint8(style));
        QVERIFY(actual.contains("<title>" + shownFolder + "</title>"));
        QVERIFY(actual.contains("&nbsp;&nbsp;&nbsp;\"" + shownFolder + "\"  </font>"));
        QVERIFY(!actual.contains("<img src=x"));
        QVERIFY(!actual.contains("a<b>"));
        QVERIFY(!actual.contains("quote\".gif"));
        // Every item is there: each name shows once per caption, escaped.
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString path = folder + "/" + list.at(i);
            QVERIFY2(actual.contains(src(path)), qPrintable(list.at(i)));
            if (style != 2)
                QVERIFY(actual.contains("<b>" + list.at(i).toHtmlEscaped() + "</b>"));
        }
        // The only tags are the generator's own: each "<" opens a known element.
        QRegularExpression tag("<(/?)([a-zA-Z]+)");
        const QSet<QString> known{"html", "head", "title", "body",   "font", "table",
                                  "tr",   "td",   "br",    "center", "b",    "i",
                                  "a",    "img",  "p",     "hr",     "div"};
        for (auto it = tag.globalMatch(actual); it.hasNext();) {
            const QString element = it.next().captured(2).toLower();
            QVERIFY2(known.contains(element), qPrintable(element));
        }
        QCOMPARE(actual.count("<img"), style == 1 ? 0 : 4);
    }
}

ZELVORIN_TEST_MAIN(TestGalleryPage)
#include "test_gallery_page.moc"
