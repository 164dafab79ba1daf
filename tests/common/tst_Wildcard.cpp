// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Wildcard matching: the documented cases, the literal recursive rules as the reference,
// and patterns of many stars.
#include "TestEnvironment.h"
#include "Wildcard.h"

#include <QRandomGenerator>

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

class WildcardTest : public QObject {
    Q_OBJECT

private slots:
    void matchesWildcard_data();
    void matchesWildcard();
    void matchesWildcardEqualsRecursiveRules();
    void matchesWildcardManyStarsAnswers();
};

void WildcardTest::matchesWildcard_data() {
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

void WildcardTest::matchesWildcard() {
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, expected);
    QCOMPARE(zelvorin::matchesWildcard(name, pattern), expected);
}

void WildcardTest::matchesWildcardEqualsRecursiveRules() {
    QRandomGenerator random(20240611);
    const QString nameAlphabet = QStringLiteral("abB.");
    const QString patternAlphabet = QStringLiteral("aAb.*?");
    for (int i = 0; i < 30000; ++i) {
        const QString name = randomText(random, nameAlphabet, 9);
        const QString pattern = randomText(random, patternAlphabet, 8);
        const bool expected = referenceMatch(name.toLower(), pattern.toLower());
        if (zelvorin::matchesWildcard(name, pattern) != expected)
            QFAIL(qPrintable(QStringLiteral("name \"%1\", pattern \"%2\": expected %3")
                                 .arg(name, pattern, expected ? "true" : "false")));
    }
}

void WildcardTest::matchesWildcardManyStarsAnswers() {
    const QString name(255, u'a');
    const QString stars(60, u'*');
    QVERIFY(!zelvorin::matchesWildcard(name, stars + u'x'));
    QVERIFY(zelvorin::matchesWildcard(name + u'x', stars + u'x'));
    QVERIFY(zelvorin::matchesWildcard(name, stars));
}

ZELVORIN_TEST_MAIN(WildcardTest)
#include "tst_Wildcard.moc"
