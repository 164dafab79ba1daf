// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Addresses of the "zelvorin://" scheme: which command each names, the "imglist" numbers,
// and the addresses that must do nothing.
#include "CommandUrl.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace zelvorin::preview;

class TestCommandUrl : public QObject {
    Q_OBJECT

private slots:
    void isCommandUrl_data();
    void isCommandUrl();
    void commands_data();
    void commands();
    void imgList_data();
    void imgList();
    void wordTexts();
};

void TestCommandUrl::isCommandUrl_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("command");
    QTest::newRow("plain") << "zelvorin://contacts" << true;
    QTest::newRow("upper case") << "ZELVORIN://ShowHelpManual" << true;
    // A web address carrying a command address in its query is a web address.
    QTest::newRow("inside another address")
        << "http://x.example/?a=zelvorin://imglist/1,25" << false;
    QTest::newRow("blanks before") << "  zelvorin://contacts" << true;
    QTest::newRow("unknown word") << "zelvorin://nosuchcommand" << true;
    QTest::newRow("web") << "https://zelvorin.example.org/" << false;
    QTest::newRow("one slash") << "zelvorin:/contacts" << false;
    QTest::newRow("image scheme") << "zelvorin-file://token/a.jpg" << false;
    QTest::newRow("empty") << "" << false;
}

void TestCommandUrl::isCommandUrl() {
    QFETCH(QString, url);
    QFETCH(bool, command);
    QCOMPARE(IsCommandUrl(url), command);
}

void TestCommandUrl::commands_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<CommandWord>("word");
    QTest::addColumn<bool>("valid");
    using W = CommandWord;
    QTest::newRow("showhelpmanual") << "zelvorin://showhelpmanual" << W::ShowHelpManual << true;
    QTest::newRow("contacts") << "zelvorin://contacts" << W::Contacts << true;
    QTest::newRow("viewcleanbackgrounds")
        << "zelvorin://viewcleanbackgrounds" << W::ViewCleanBackgrounds << true;
    QTest::newRow("viewlocalhtmlfiles")
        << "zelvorin://viewlocalhtmlfiles" << W::ViewLocalHtmlFiles << true;
    QTest::newRow("setbackgroundsfilter")
        << "zelvorin://setbackgroundsfilter" << W::SetBackgroundsFilter << true;
    QTest::newRow("imglist") << "zelvorin://imglist/26,25" << W::ImgList << true;
    QTest::newRow("switchwelcomepageview")
        << "zelvorin://switchwelcomepageview" << W::SwitchWelcomePageView << true;
    QTest::newRow("upper case") << "ZELVORIN://ShowHelpManual" << W::ShowHelpManual << true;
    QTest::newRow("trailing slash") << "zelvorin://contacts/" << W::Contacts << true;
    QTest::newRow("trailing slashes") << "zelvorin://contacts//" << W::Contacts << true;
    QTest::newRow("trailing backslash") << "zelvorin://contacts\\" << W::Contacts << true;
    QTest::newRow("arguments ignored") << "zelvorin://contacts/whatever" << W::Contacts << true;
    QTest::newRow("switch, normalised")
        << "zelvorin://switchwelcomepageview/" << W::SwitchWelcomePageView << true;
    QTest::newRow("unknown word") << "zelvorin://nosuchcommand" << W::None << false;
    QTest::newRow("word with extra letters") << "zelvorin://contactsx" << W::None << false;
    QTest::newRow("prefix of a word") << "zelvorin://contact" << W::None << false;
    QTest::newRow("empty command") << "zelvorin://" << W::None << false;
    QTest::newRow("not a command address") << "https://example.org/contacts" << W::None << false;
    QTest::newRow("blank in the word") << "zelvorin://contacts%20" << W::None << false;
    // The prefix's eleven characters are taken from the start, wherever the prefix stood,
    // so a prefix inside another address leaves no command word behind.
    QTest::newRow("prefix not at the start") << "x-zelvorin://contacts" << W::None << false;
    QTest::newRow("prefix inside a web address")
        << "http://a.example/zelvorin://contacts" << W::None << false;
}

void TestCommandUrl::commands() {
    QFETCH(QString, url);
    QFETCH(CommandWord, word);
    QFETCH(bool, valid);
    const CommandUrl command = ParseCommandUrl(url);
    QCOMPARE(command.word, word);
    QCOMPARE(command.argumentsValid, valid);
}

void TestCommandUrl::imgList_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("perPage");
    QTest::newRow("menu address") << "zelvorin://imglist/1,25" << true << 1 << 25;
    QTest::newRow("next page") << "zelvorin://imglist/26,25" << true << 26 << 25;
    QTest::newRow("upper case") << "ZELVORIN://IMGLIST/26,25" << true << 26 << 25;
    QTest::newRow("negative numbers") << "zelvorin://imglist/-24,-5" << true << -24 << -5;
    QTest::newRow("zero") << "zelvorin://imglist/0,0" << true << 0 << 0;
    QTest::newRow("plus sign") << "zelvorin://imglist/+3,+4" << true << 3 << 4;
    QTest::newRow("leading zeros") << "zelvorin://imglist/007,025" << true << 7 << 25;
    QTest::newRow("largest") << "zelvorin://imglist/2147483647,-2147483648" << true << 2147483647
                             << int(-2147483648LL);
    QTest::newRow("trailing slash after the numbers")
        << "zelvorin://imglist/1,25/" << false << 0 << 0;
    QTest::newRow("no comma") << "zelvorin://imglist/1" << false << 0 << 0;
    QTest::newRow("no arguments") << "zelvorin://imglist" << false << 0 << 0;
    QTest::newRow("only a slash") << "zelvorin://imglist/" << false << 0 << 0;
    QTest::newRow("empty first") << "zelvorin://imglist/,25" << false << 0 << 0;
    QTest::newRow("empty second") << "zelvorin://imglist/1," << false << 0 << 0;
    QTest::newRow("three numbers") << "zelvorin://imglist/1,2,3" << false << 0 << 0;
    QTest::newRow("letters") << "zelvorin://imglist/a,25" << false << 0 << 0;
    QTest::newRow("hexadecimal") << "zelvorin://imglist/0x10,25" << false << 0 << 0;
    QTest::newRow("blank") << "zelvorin://imglist/1, 25" << false << 0 << 0;
    QTest::newRow("sign alone") << "zelvorin://imglist/-,25" << false << 0 << 0;
    QTest::newRow("too large") << "zelvorin://imglist/2147483648,25" << false << 0 << 0;
    QTest::newRow("too small") << "zelvorin://imglist/1,-2147483649" << false << 0 << 0;
    QTest::newRow("very long") << "zelvorin://imglist/1,99999999999999999999999" << false << 0 << 0;
    QTest::newRow("fraction") << "zelvorin://imglist/1.5,25" << false << 0 << 0;
    QTest::newRow("doubled slash") << "zelvorin://imglist//1,25" << false << 0 << 0;
}

void TestCommandUrl::imgList() {
    QFETCH(QString, url);
    QFETCH(bool, valid);
    QFETCH(int, first);
    QFETCH(int, perPage);
    const CommandUrl command = ParseCommandUrl(url);
    QCOMPARE(command.word, CommandWord::ImgList);
    QCOMPARE(command.argumentsValid, valid);
    if (valid) {
        QCOMPARE(command.first, first);
        QCOMPARE(command.perPage, perPage);
    }
}

void TestCommandUrl::wordTexts() {
    for (CommandWord word :
         {CommandWord::ShowHelpManual, CommandWord::Contacts, CommandWord::ViewCleanBackgrounds,
          CommandWord::ViewLocalHtmlFiles, CommandWord::SetBackgroundsFilter, CommandWord::ImgList,
          CommandWord::SwitchWelcomePageView}) {
        const QString text = CommandWordText(word);
        QVERIFY(!text.isEmpty());
        QCOMPARE(ParseCommandUrl("zelvorin://" + text).word, word);
    }
    QVERIFY(CommandWordText(CommandWord::None).isEmpty());
}

ZELVORIN_TEST_MAIN(TestCommandUrl)
#include "test_command_url.moc"
