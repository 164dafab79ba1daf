// Path, text, number and wildcard helpers, with the documented examples on POSIX paths.
#include "NeededLib.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QRandomGenerator>

#include <cmath>
#include <limits>

namespace {

// The matching rules written out literally, as the reference the fast matcher must equal.
bool referenceMatch(const QString& name, const QString& pattern) {
    if (pattern == QLatin1String("*"))
        return true;
    if (name.isEmpty())
        return pattern.isEmpty();
    if (pattern.isEmpty())
        return false;
    if (pattern.at(0) == u'*')
        return referenceMatch(name, pattern.mid(1)) || referenceMatch(name.mid(1), pattern);
    if (pattern.at(0) == u'?' || pattern.at(0) == name.at(0))
        return referenceMatch(name.mid(1), pattern.mid(1));
    return false;
}

QString randomText(QRandomGenerator& random, const QString& alphabet, int maxLength) {
    const int length = int(random.bounded(maxLength + 1));
    QString text;
    for (int i = 0; i < length; ++i)
        text += alphabet.at(int(random.bounded(int(alphabet.size()))));
    return text;
}

} // namespace

class TestNeededLib : public QObject {
    Q_OBJECT

private slots:
    void stripTrailingSlashes_data();
    void stripTrailingSlashes();
    void withTrailingBackslash_data();
    void withTrailingBackslash();
    void extractParentPath_data();
    void extractParentPath();
    void getParentFolder_data();
    void getParentFolder();
    void extractNameAfterSeparator_data();
    void extractNameAfterSeparator();
    void extractDriveOrShareIsEmptyOnPosix();

    void getWord_data();
    void getWord();
    void findTextFrom_data();
    void findTextFrom();
    void hexToInt_data();
    void hexToInt();
    void hexToIntRejects_data();
    void hexToIntRejects();
    void roundHalfUp_data();
    void roundHalfUp();
    void boolAndFlags();
    void copyStringList();

    void matchesWildcard_data();
    void matchesWildcard();
    void matchesWildcardEqualsRecursiveRules();
    void matchesWildcardManyStarsAnswers();
};

void TestNeededLib::stripTrailingSlashes_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two trailing") << "/home/dir//"
                                  << "/home/dir";
    QTest::newRow("one trailing") << "/home/dir/"
                                  << "/home/dir";
    QTest::newRow("none") << "/home/dir"
                          << "/home/dir";
    QTest::newRow("root stays root") << "/"
                                     << "/";
    QTest::newRow("two slashes are the root") << "//"
                                              << "/";
    QTest::newRow("three slashes are the root") << "///"
                                                << "/";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("relative") << "dir/"
                              << "dir";
    QTest::newRow("backslash is a name character") << "dir\\"
                                                   << "dir\\";
}

void TestNeededLib::stripTrailingSlashes() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(StripTrailingSlashes(path), expected);
}

void TestNeededLib::withTrailingBackslash_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("root of many slashes") << "///"
                                          << "/";
    QTest::newRow("trailing slash kept once") << "/home/dir/"
                                              << "/home/dir/";
    QTest::newRow("two trailing become one") << "/home/dir//"
                                             << "/home/dir/";
    QTest::newRow("appended") << "/home/dir"
                              << "/home/dir/";
    QTest::newRow("empty gives the separator") << ""
                                               << "/";
    QTest::newRow("relative") << "dir"
                              << "dir/";
    QTest::newRow("backslash is kept") << "dir\\"
                                       << "dir\\/";
}

void TestNeededLib::withTrailingBackslash() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(WithTrailingBackslash(path), expected);
}

void TestNeededLib::extractParentPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nested") << "/home/a/b"
                            << "/home/a";
    QTest::newRow("below root") << "/a"
                                << "/";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("trailing slash not stripped") << "/home/a/"
                                                 << "/home/a";
    QTest::newRow("relative") << "dir/name"
                              << "dir";
    QTest::newRow("bare name") << "name"
                               << "";
    QTest::newRow("colon is a name character") << "C:name"
                                               << "";
    QTest::newRow("backslash is a name character") << "dir\\name"
                                                   << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestNeededLib::extractParentPath() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(ExtractParentPath(path), expected);
}

void TestNeededLib::getParentFolder_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trailing slash") << "/home/a/b/"
                                    << "/home/a";
    QTest::newRow("no trailing slash") << "/home/a/b"
                                       << "/home/a";
    QTest::newRow("below root") << "/a"
                                << "/";
    QTest::newRow("below root, trailing") << "/a/"
                                          << "/";
    QTest::newRow("root has no parent") << "/"
                                        << "";
    QTest::newRow("root of many slashes") << "///"
                                          << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("relative") << "a/b"
                              << "a";
    QTest::newRow("bare name") << "a"
                               << "";
}

void TestNeededLib::getParentFolder() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(GetParentFolder(path), expected);
}

void TestNeededLib::extractNameAfterSeparator_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full path") << "/home/pics/b.jpg"
                               << "b.jpg";
    QTest::newRow("bare name") << "b.jpg"
                               << "b.jpg";
    QTest::newRow("trailing slash") << "/home/pics/"
                                    << "";
    QTest::newRow("colon stays in the name") << "/pics/a:b.jpg"
                                             << "a:b.jpg";
    QTest::newRow("backslash stays in the name") << "/pics/x\\y.jpg"
                                                 << "x\\y.jpg";
    QTest::newRow("empty") << ""
                           << "";
}

void TestNeededLib::extractNameAfterSeparator() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(ExtractNameAfterSeparator(path), expected);
}

void TestNeededLib::extractDriveOrShareIsEmptyOnPosix() {
    for (const char* path :
         {"/", "/home/a", "C:\\dir", "C:", "//srv/share/dir", "\\\\srv\\share", ""})
        QCOMPARE(ExtractDriveOrShare(QString::fromLatin1(path)), QString());
}

void TestNeededLib::getWord_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    const QString volume = QStringLiteral("  a:  [VOL]");
    QTest::newRow("first word") << volume << 1 << "a:";
    QTest::newRow("second word") << volume << 2 << "[VOL]";
    QTest::newRow("beyond the last word") << volume << 3 << "";
    QTest::newRow("zero") << volume << 0 << "";
    QTest::newRow("negative") << volume << -1 << "";
    QTest::newRow("empty text") << "" << 1 << "";
    QTest::newRow("only blanks") << "   " << 1 << "";
    QTest::newRow("control characters separate") << "a\tb\nc\x01"
                                                    "d"
                                                 << 4 << "d";
    QTest::newRow("trailing blanks") << "one two  " << 2 << "two";
}

void TestNeededLib::getWord() {
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(GetWord(text, n), expected);
}

void TestNeededLib::findTextFrom_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("expected");
    QTest::newRow("from the start") << 1 << ";"
                                    << "a;b;c" << 2;
    QTest::newRow("at the start position") << 2 << ";"
                                           << "a;b;c" << 2;
    QTest::newRow("after the first") << 3 << ";"
                                     << "a;b;c" << 4;
    QTest::newRow("zero counts as one") << 0 << ";"
                                        << "a;b;c" << 2;
    QTest::newRow("negative counts as one") << -5 << ";"
                                            << "a;b;c" << 2;
    QTest::newRow("none after start") << 5 << ";"
                                      << "a;b;c" << 0;
    QTest::newRow("start past the end") << 100 << ";"
                                        << "a;b;c" << 0;
    QTest::newRow("empty source") << 1 << ";"
                                  << "" << 0;
    QTest::newRow("empty separator") << 1 << ""
                                     << "a;b" << 0;
    QTest::newRow("not found") << 1 << "|"
                               << "a;b" << 0;
}

void TestNeededLib::findTextFrom() {
    QFETCH(int, start);
    QFETCH(QString, separator);
    QFETCH(QString, source);
    QFETCH(int, expected);
    QCOMPARE(FindTextFrom(start, separator, source), expected);
}

void TestNeededLib::hexToInt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("lower case") << "ff" << 255;
    QTest::newRow("upper case") << "FF" << 255;
    QTest::newRow("mixed") << "1a2B" << 0x1a2b;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("colour") << "00FF80" << 0x00ff80;
    QTest::newRow("largest") << "7FFFFFFF" << std::numeric_limits<int>::max();
    QTest::newRow("32 bits set") << "FFFFFFFF" << -1;
    QTest::newRow("wraps past 32 bits") << "100000001" << 1;
}

void TestNeededLib::hexToInt() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(HexToInt(text), expected);
}

void TestNeededLib::hexToIntRejects_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("prefix") << "0x1F";
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << " ff";
    QTest::newRow("sign") << "-1";
    QTest::newRow("not a digit") << "fg";
    QTest::newRow("non-latin digit") << QString::fromUtf8("\u0661");
}

void TestNeededLib::hexToIntRejects() {
    QFETCH(QString, text);
    try {
        HexToInt(text);
        QFAIL("no error raised");
    } catch (const zelvorin::ConversionError& error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

void TestNeededLib::roundHalfUp_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("half up") << 2.5 << 3;
    QTest::newRow("below half") << 2.49 << 2;
    QTest::newRow("negative half truncates") << -2.5 << -2;
    QTest::newRow("negative truncates") << -70.7 << -70;
    QTest::newRow("positive rounds") << 70.7 << 71;
    QTest::newRow("small half") << 0.5 << 1;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("small negative") << -0.4 << 0;
    QTest::newRow("channel") << 254.5 << 255;
    QTest::newRow("too large clamps") << 1e300 << std::numeric_limits<int>::max();
    QTest::newRow("too small clamps") << -1e300 << std::numeric_limits<int>::min();
    QTest::newRow("not a number") << std::nan("") << 0;
}

void TestNeededLib::roundHalfUp() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(RoundHalfUp(value), expected);
}

void TestNeededLib::boolAndFlags() {
    QCOMPARE(BoolToText(true), QStringLiteral("True"));
    QCOMPARE(BoolToText(false), QStringLiteral("False"));
    QVERIFY(HasAllFlags(0x27, 0x27));
    QVERIFY(HasAllFlags(0xff, 0x10));
    QVERIFY(HasAllFlags(0x00, 0x00));
    QVERIFY(!HasAllFlags(0x21, 0x27));
    QVERIFY(!HasAllFlags(0x00, 0x01));
}

void TestNeededLib::copyStringList() {
    const QStringList source{QStringLiteral("a.jpg"), QString(), QStringLiteral("line\nbreak"),
                             QStringLiteral("last")};
    QStringList destination{QStringLiteral("old")};
    QVERIFY(!CopyStringList(nullptr, &destination));
    QCOMPARE(destination, QStringList{QStringLiteral("old")});
    QVERIFY(!CopyStringList(&source, nullptr));
    QVERIFY(CopyStringList(&source, &destination));
    QCOMPARE(destination, source);
    QVERIFY(CopyStringList(&destination, &destination));
    QCOMPARE(destination, source);
    const QStringList empty;
    QVERIFY(CopyStringList(&empty, &destination));
    QVERIFY(destination.isEmpty());
}

void TestNeededLib::matchesWildcard_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("expected");
    QTest::newRow("case-insensitive extension") << "Photo.JPG"
                                                << "*.jpg" << true;
    QTest::newRow("star dot star needs a dot") << "readme"
                                               << "*.*" << false;
    QTest::newRow("star dot star with a dot") << "read.me"
                                              << "*.*" << true;
    QTest::newRow("question mark one") << "a"
                                       << "?" << true;
    QTest::newRow("question mark not two") << "ab"
                                           << "?" << false;
    QTest::newRow("htm star on htm") << "a.htm"
                                     << "*.htm*" << true;
    QTest::newRow("htm star on html") << "a.html"
                                      << "*.htm*" << true;
    QTest::newRow("plain equal ignoring case") << "ABC.gif"
                                               << "abc.GIF" << true;
    QTest::newRow("plain different") << "abc.gif"
                                     << "abd.gif" << false;
    QTest::newRow("lone star on empty") << ""
                                        << "*" << true;
    QTest::newRow("empty on empty") << ""
                                    << "" << true;
    QTest::newRow("question on empty") << ""
                                       << "?" << false;
    QTest::newRow("empty pattern") << "abc"
                                   << "" << false;
    QTest::newRow("two stars match a name") << "a"
                                            << "**" << true;
    QTest::newRow("two stars after a used-up name") << "a"
                                                    << "a**" << false;
    QTest::newRow("star then x on empty rest") << "a"
                                               << "a*x" << false;
    QTest::newRow("non-ASCII case")
        << QString::fromUtf8("\u00c9t\u00e9.PNG") << "\u00e9t\u00c9.png" << true;
    QTest::newRow("question matches a whole character")
        << QString::fromUtf8("\U0001F600.gif") << "?.gif" << true;
    // Lower-cased as a whole, "\u0130" is two characters ("i" and a combining dot).
    QTest::newRow("question matches a capital I with dot")
        << QString::fromUtf8("\u0130.gif") << "?.gif" << true;
    QTest::newRow("question then i does not split a capital I with dot")
        << QString::fromUtf8("\u0130.gif") << "i?.gif" << false;
    QTest::newRow("capital I with dot equals itself ignoring case")
        << QString::fromUtf8("\u0130stanbul.JPG") << QString::fromUtf8("\u0130STANBUL.jpg") << true;
    QTest::newRow("star in a name is literal in the pattern too") << "a*b"
                                                                  << "a*b" << true;
}

void TestNeededLib::matchesWildcard() {
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, expected);
    QCOMPARE(MatchesWildcard(name, pattern), expected);
}

void TestNeededLib::matchesWildcardEqualsRecursiveRules() {
    QRandomGenerator random(20240611);
    const QString nameAlphabet = QStringLiteral("abB.");
    const QString patternAlphabet = QStringLiteral("aAb.*?");
    for (int i = 0; i < 30000; ++i) {
        const QString name = randomText(random, nameAlphabet, 9);
        const QString pattern = randomText(random, patternAlphabet, 8);
        const bool expected = referenceMatch(name.toLower(), pattern.toLower());
        if (MatchesWildcard(name, pattern) != expected)
            QFAIL(qPrintable(QStringLiteral("name \"%1\", pattern \"%2\": expected %3")
                                 .arg(name, pattern, BoolToText(expected))));
    }
}

void TestNeededLib::matchesWildcardManyStarsAnswers() {
    const QString name(255, u'a');
    const QString stars(60, u'*');
    QVERIFY(!MatchesWildcard(name, stars + u'x'));
    QVERIFY(MatchesWildcard(name + u'x', stars + u'x'));
    QVERIFY(MatchesWildcard(name, stars));
}

ZELVORIN_TEST_MAIN(TestNeededLib)
#include "test_neededlib.moc"
