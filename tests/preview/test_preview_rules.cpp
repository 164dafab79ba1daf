// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The preview's rules that need no browser: colours, captions, status texts, the gauge,
// font size levels, command addresses, the address history and the local image table.
#include "AddressHistory.h"
#include "DownloadName.h"
#include "LocalImageUrls.h"
#include "PreviewRules.h"
#include "ProgramValues.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace zelvorin;
using namespace zelvorin::preview;

class TestPreviewRules : public QObject {
    Q_OBJECT

private slots:
    void colourRoundTrip_data();
    void colourRoundTrip();
    void colourText();
    void bgColorText_data();
    void bgColorText();
    void cssColour_data();
    void cssColour();
    void captions_data();
    void captions();
    void longTitleIsCut();
    void statusText_data();
    void statusText();
    void gauge_data();
    void gauge();
    void zoomLevels();
    void plainDownloadNames_data();
    void plainDownloadNames();
    void commandUrls_data();
    void commandUrls();
    void addressToGo_data();
    void addressToGo();
    void historyAfterGo_data();
    void historyAfterGo();
    void historyKeepsTwentyEntries();
    void addressBoxText_data();
    void addressBoxText();
    void urlForAddress();
    void localImageGrants();
    void localImageUnknownAddresses();
    void shownFilesApartFromChosenOnes();
};

void TestPreviewRules::colourRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red") << "#FF0000" << QColor(255, 0, 0);
    QTest::newRow("blue") << "#0000FF" << QColor(0, 0, 255);
    QTest::newRow("green") << "#00FF00" << QColor(0, 255, 0);
    QTest::newRow("mixed") << "#FFFFCC" << QColor(255, 255, 204);
}

void TestPreviewRules::colourRoundTrip() {
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QCOMPARE(ColorFromBgColorText(text), colour);
    QCOMPARE(ColorText(colour), text);
}

void TestPreviewRules::colourText() {
    QCOMPARE(ColorText(QColor(0xFF, 0xFF, 0xCC)), QStringLiteral("#FFFFCC"));
    QCOMPARE(ColorText(QColor(0x00, 0x00, 0x0A)), QStringLiteral("#00000A"));
    // Only the colour: no transparency.
    QCOMPARE(ColorText(QColor(0xAB, 0xCD, 0xEF, 0x12)), QStringLiteral("#ABCDEF"));
}

void TestPreviewRules::bgColorText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("with hash") << "#ffffcc" << QColor(255, 255, 204);
    QTest::newRow("upper case") << "#FF0000" << QColor(255, 0, 0);
    QTest::newRow("six digits") << "0000ff" << QColor(0, 0, 255);
    QTest::newRow("empty") << "" << QColor();
    QTest::newRow("name") << "yellow" << QColor();
    QTest::newRow("short") << "#fff" << QColor();
    QTest::newRow("not hex") << "#gggggg" << QColor();
}

void TestPreviewRules::bgColorText() {
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QCOMPARE(ColorFromBgColorText(text), colour);
}

void TestPreviewRules::cssColour_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("rgb") << "rgb(255, 255, 204)" << QColor(255, 255, 204);
    QTest::newRow("opaque rgba") << "rgba(1, 2, 3, 1)" << QColor(1, 2, 3);
    QTest::newRow("transparent") << "rgba(0, 0, 0, 0)" << QColor();
    QTest::newRow("keyword") << "transparent" << QColor();
    QTest::newRow("garbage") << "rgb(1,2)" << QColor();
}

void TestPreviewRules::cssColour() {
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QCOMPARE(ColorFromCssText(text), colour);
}

void TestPreviewRules::captions_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("application");
    QTest::newRow("empty") << "" << ProductTitle << ProductTitle;
    QTest::newRow("blank page") << "about:blank" << ProductTitle << ProductTitle;
    QTest::newRow("blank page capitals") << "About:Blank" << ProductTitle << ProductTitle;
    QTest::newRow("res page") << "res://zelvorin/WELCOMEPAGE" << ProductTitle << ProductTitle;
    QTest::newRow("res capitals") << "RES:x" << ProductTitle << ProductTitle;
    QTest::newRow("qrc page") << "qrc:/pages/WELCOMEPAGE.html" << ProductTitle << ProductTitle;
    QTest::newRow("home") << "Home"
                          << " Zelvorin -  Home"
                          << " Home";
    QTest::newRow("res later") << "My res: page"
                               << " Zelvorin -  My res: page"
                               << " My res: page";
}

void TestPreviewRules::captions() {
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QFETCH(QString, application);
    const Captions captions = CaptionsForTitle(title);
    QCOMPARE(captions.windowCaption, caption);
    QCOMPARE(captions.applicationTitle, application);
}

void TestPreviewRules::longTitleIsCut() {
    const QString title(300, QLatin1Char('x'));
    const Captions captions = CaptionsForTitle(title);
    QCOMPARE(captions.applicationTitle.size(), 255);
    QCOMPARE(captions.applicationTitle, QStringLiteral(" ") + title.left(254));
    QCOMPARE(captions.windowCaption, ProductTitle + QStringLiteral(" -  ") + title);
}

void TestPreviewRules::statusText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shown");
    QTest::newRow("plain") << "Done" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("res with blank") << "Opening page res://C:\\zelvorin.exe/WELCOMEPAGE" << false;
    QTest::newRow("res capitals with blank") << "Opening RES://x" << false;
    QTest::newRow("res at start") << "res://C:\\zelvorin.exe/WELCOMEPAGE" << true;
    QTest::newRow("qrc with blank") << "Opening qrc:/pages/WELCOMEPAGE.html" << false;
    QTest::newRow("qrc at start") << "qrc:/pages/WELCOMEPAGE.html" << true;
}

void TestPreviewRules::statusText() {
    QFETCH(QString, text);
    QFETCH(bool, shown);
    QCOMPARE(ShowsStatusText(text), shown);
}

void TestPreviewRules::gauge_data() {
    QTest::addColumn<bool>("enabledBefore");
    QTest::addColumn<int>("positionBefore");
    QTest::addColumn<qint64>("progress");
    QTest::addColumn<qint64>("maximum");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("position");
    QTest::newRow("start enables") << false << 40 << qint64(0) << qint64(10000) << true << 0;
    QTest::newRow("50 of 200") << true << 0 << qint64(50) << qint64(200) << true << 25;
    QTest::newRow("1 of 3 cut") << true << 0 << qint64(1) << qint64(3) << true << 33;
    QTest::newRow("done value") << true << 70 << qint64(-1) << qint64(200) << true << 70;
    QTest::newRow("0 of 0 disables") << true << 70 << qint64(0) << qint64(0) << false << 0;
    QTest::newRow("no maximum keeps") << true << 60 << qint64(5) << qint64(0) << true << 60;
    QTest::newRow("negative maximum keeps") << true << 60 << qint64(5) << qint64(-3) << true << 60;
    QTest::newRow("over maximum capped") << true << 0 << qint64(500) << qint64(100) << true << 100;
    QTest::newRow("large values") << true << 0 << qint64(3000000000LL) << qint64(6000000000LL)
                                  << true << 50;
}

void TestPreviewRules::gauge() {
    QFETCH(bool, enabledBefore);
    QFETCH(int, positionBefore);
    QFETCH(qint64, progress);
    QFETCH(qint64, maximum);
    QFETCH(bool, enabled);
    QFETCH(int, position);
    const Gauge after = GaugeAfterProgress({enabledBefore, positionBefore}, progress, maximum);
    QCOMPARE(after.enabled, enabled);
    QCOMPARE(after.position, position);
}

void TestPreviewRules::zoomLevels() {
    for (int level = 0; level < ZoomLevelCount; ++level)
        QCOMPARE(ZoomLevelForFactor(ZoomFactorForLevel(level)), level);
    QVERIFY(ZoomFactorForLevel(0) < ZoomFactorForLevel(1));
    QVERIFY(ZoomFactorForLevel(3) < ZoomFactorForLevel(4));
    QCOMPARE(ZoomFactorForLevel(2), 1.0);
    QCOMPARE(ZoomLevelForFactor(3.0), -1);
    QCOMPARE(ZoomLevelForFactor(0.3), -1);
}

void TestPreviewRules::commandUrls_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("command");
    QTest::newRow("plain") << "zelvorin://contacts" << true;
    QTest::newRow("capitals") << "ZELVORIN://ShowHelpManual" << true;
    QTest::newRow("inside") << "http://example.org/?go=zelvorin://imglist/1,25" << false;
    QTest::newRow("image scheme") << "zelvorin-file://abc/x.png" << false;
    QTest::newRow("no slashes") << "zelvorin:contacts" << false;
    QTest::newRow("web") << "http://example.org/" << false;
}

void TestPreviewRules::commandUrls() {
    QFETCH(QString, url);
    QFETCH(bool, command);
    QCOMPARE(IsCommandUrl(url), command);
}

void TestPreviewRules::addressToGo_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << ""
                           << "about:blank";
    QTest::newRow("blanks") << "    "
                            << "about:blank";
    QTest::newRow("kept untrimmed") << " example.org "
                                    << " example.org ";
}

void TestPreviewRules::addressToGo() {
    QFETCH(QString, text);
    QFETCH(QString, address);
    QCOMPARE(AddressToGo(text), address);
}

void TestPreviewRules::historyAfterGo_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("first address")
        << QStringList{"about:blank"} << "example.org" << QStringList{"example.org", "about:blank"};
    QTest::newRow("moves to top with new text")
        << QStringList{"a.org", "Example.ORG", "about:blank"} << "example.org"
        << QStringList{"example.org", "a.org", "about:blank"};
    QTest::newRow("blank page again") << QStringList{"a.org", "about:blank"} << "about:blank"
                                      << QStringList{"about:blank", "a.org"};
    QTest::newRow("kept untrimmed") << QStringList{} << " a.org" << QStringList{" a.org"};
}

void TestPreviewRules::historyAfterGo() {
    QFETCH(QStringList, before);
    QFETCH(QString, address);
    QFETCH(QStringList, after);
    QCOMPARE(HistoryAfterGo(before, address), after);
}

void TestPreviewRules::historyKeepsTwentyEntries() {
    QStringList history = InitialAddressHistory();
    QCOMPARE(history, QStringList{"about:blank"});
    for (int i = 1; i <= 19; ++i)
        history = HistoryAfterGo(history, QStringLiteral("site%1.org").arg(i));
    QCOMPARE(history.size(), 20);
    QCOMPARE(history.last(), QStringLiteral("about:blank"));
    // The preset falls out first when it was never used again.
    history = HistoryAfterGo(history, QStringLiteral("site20.org"));
    QCOMPARE(history.size(), 20);
    QCOMPARE(history.first(), QStringLiteral("site20.org"));
    QVERIFY(!history.contains(QStringLiteral("about:blank")));
    QCOMPARE(history.last(), QStringLiteral("site1.org"));
    // An entry already there moves up; nothing falls out.
    history = HistoryAfterGo(history, QStringLiteral("SITE1.org"));
    QCOMPARE(history.size(), 20);
    QCOMPARE(history.first(), QStringLiteral("SITE1.org"));
    QCOMPARE(history.last(), QStringLiteral("site2.org"));
}

void TestPreviewRules::addressBoxText_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("text");
    QTest::newRow("blank page") << "about:blank"
                                << "";
    QTest::newRow("blank page capitals") << "ABOUT:BLANK"
                                         << "";
    QTest::newRow("nothing") << "   "
                             << "";
    QTest::newRow("command") << "zelvorin://imglist/1,25"
                             << "";
    QTest::newRow("command capitals") << "ZELVORIN://imglist/1,25"
                                      << "";
    QTest::newRow("command with blanks") << "  zelvorin://contacts"
                                         << "";
    QTest::newRow("web") << "http://example.org/"
                         << "http://example.org/";
    QTest::newRow("file") << "/tmp/page.html"
                          << "/tmp/page.html";
}

void TestPreviewRules::addressBoxText() {
    QFETCH(QString, address);
    QFETCH(QString, text);
    QCOMPARE(AddressBoxTextAfterOpen(address), text);
}

void TestPreviewRules::urlForAddress() {
    QCOMPARE(UrlForAddress(QStringLiteral("/tmp/a page.html")),
             QUrl::fromLocalFile(QStringLiteral("/tmp/a page.html")));
    QCOMPARE(UrlForAddress(QStringLiteral("about:blank")), QUrl(QStringLiteral("about:blank")));
    QCOMPARE(UrlForAddress(QStringLiteral("  http://example.org/x ")),
             QUrl(QStringLiteral("http://example.org/x")));
    QCOMPARE(UrlForAddress(QStringLiteral("example.org")).scheme(), QStringLiteral("http"));
    QCOMPARE(UrlForAddress(QStringLiteral("ZELVORIN://imglist/1,25")).scheme(),
             QStringLiteral("zelvorin"));
}

void TestPreviewRules::localImageGrants() {
    LocalImageUrls urls;
    const LocalImageUrls::Grant first = urls.grant(QStringLiteral("/pictures/tile one.png"));
    QCOMPARE(first.remote.scheme(), QString::fromLatin1(RemoteImageScheme));
    QCOMPARE(first.local.scheme(), QString::fromLatin1(LocalImageScheme));
    QCOMPARE(first.remote.host(), first.local.host());
    QCOMPARE(first.remote.host().size(), 32);
    QCOMPARE(first.remote.path(), QStringLiteral("/tile one.png"));
    QCOMPARE(urls.pathFor(first.remote), QStringLiteral("/pictures/tile one.png"));
    QCOMPARE(urls.pathFor(first.local), QStringLiteral("/pictures/tile one.png"));
    // The same file keeps its address; another file gets another token.
    QCOMPARE(urls.grant(QStringLiteral("/pictures/tile one.png")).remote, first.remote);
    const LocalImageUrls::Grant second = urls.grant(QStringLiteral("/other/tile one.png"));
    QVERIFY(second.remote.host() != first.remote.host());
    QCOMPARE(urls.pathFor(second.remote), QStringLiteral("/other/tile one.png"));
    QCOMPARE(urls.size(), 2);
    // The address survives a round trip through its text, as pages hand it back.
    QCOMPARE(urls.pathFor(QUrl(first.remote.toString(QUrl::FullyEncoded))),
             QStringLiteral("/pictures/tile one.png"));
}

void TestPreviewRules::localImageUnknownAddresses() {
    LocalImageUrls urls;
    const LocalImageUrls::Grant grant = urls.grant(QStringLiteral("/pictures/a.png"));
    QUrl otherName = grant.remote;
    otherName.setPath(QStringLiteral("/b.png"));
    QVERIFY(!urls.pathFor(otherName));
    QUrl traversal = grant.remote;
    traversal.setPath(QStringLiteral("/../etc/passwd"));
    QVERIFY(!urls.pathFor(traversal));
    QUrl guessed = grant.remote;
    guessed.setHost(QString(32, QLatin1Char('0')));
    QVERIFY(!urls.pathFor(guessed));
    QVERIFY(!urls.pathFor(QUrl::fromLocalFile(QStringLiteral("/pictures/a.png"))));
    QVERIFY(!urls.pathFor(QUrl(QStringLiteral("http://") + grant.remote.host() + "/a.png")));
}

// What a local page shows is never one of the files the user chose: an image shown so
// served as itself would be readable, and a chosen file's address never serves a page's.
void TestPreviewRules::shownFilesApartFromChosenOnes() {
    using Shown = LocalImageUrls::Shown;
    LocalImageUrls urls;
    const QString path = QStringLiteral("/site/pic one.png");
    const QUrl image = urls.shownAddress(path, Shown::Image);
    const QUrl media = urls.shownAddress(path, Shown::Media);
    QCOMPARE(image.scheme(), QString::fromLatin1(LocalImageScheme));
    QCOMPARE(image.path(), QStringLiteral("/pic one.png"));
    QVERIFY(image.host() != media.host());
    QCOMPARE(urls.shownAddress(path, Shown::Image), image);
    QCOMPARE(urls.shownFileFor(image)->path, path);
    QCOMPARE(urls.shownFileFor(image)->kind, Shown::Image);
    QCOMPARE(urls.shownFileFor(media)->kind, Shown::Media);
    QVERIFY(!urls.pathFor(image));
    QCOMPARE(urls.size(), 0);
    const LocalImageUrls::Grant chosen = urls.grant(path);
    QVERIFY(chosen.local.host() != image.host());
    QVERIFY(!urls.shownFileFor(chosen.local));
    QUrl otherName = image;
    otherName.setPath(QStringLiteral("/secret.png"));
    QVERIFY(!urls.shownFileFor(otherName));
}

void TestPreviewRules::plainDownloadNames_data() {
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("plain");
    QTest::newRow("plain") << "report 1.txt"
                           << "report 1.txt";
    QTest::newRow("folders") << "a/b/c.png"
                             << "c.png";
    QTest::newRow("backslashes") << "..\\..\\x.bat"
                                 << "x.bat";
    QTest::newRow("only a folder") << "a/b/"
                                   << "download";
    QTest::newRow("dots only") << ".."
                               << "download";
    QTest::newRow("leading dots and blanks") << " . .hidden"
                                             << "hidden";
    QTest::newRow("carriage return and tab") << "a\rb\tc"
                                             << "a b c";
    QTest::newRow("line separator") << QString("a") + QChar(0x2028) + "b"
                                    << "a b";
    QTest::newRow("isolate and zero width")
        << QString("x") + QChar(0x2067) + "y" + QChar(0x200B) + "z" + QChar(0xFEFF) << "xyz";
    QTest::newRow("other controls") << QString("a") + QChar(0x7F) + QChar(0x9B) + "b"
                                    << "ab";
    QTest::newRow("letters beyond the first plane")
        << QString::fromUtf8("f\xF0\x9F\x98\x80.png") << QString::fromUtf8("f\xF0\x9F\x98\x80.png");
    QTest::newRow("too long, extension kept")
        << QString(300, 'a') + ".tar.gz" << QString(252, 'a') + ".gz";
    QTest::newRow("too long, not cut within a character")
        << QString(200, QChar(0x00E9)) + ".txt" << QString(125, QChar(0x00E9)) + ".txt";
}

void TestPreviewRules::plainDownloadNames() {
    QFETCH(QString, proposed);
    QFETCH(QString, plain);
    QCOMPARE(zelvorin::PlainDownloadName(proposed), plain);
}

ZELVORIN_TEST_MAIN(TestPreviewRules)
#include "test_preview_rules.moc"
