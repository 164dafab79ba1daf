// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Path arithmetic on POSIX paths, with the documented examples, and the folder check.
#include "Paths.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

using zelvorin::test::writeFile;

class PathsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void stripTrailingSlashes_data();
    void stripTrailingSlashes();
    void withTrailingSlash_data();
    void withTrailingSlash();
    void parentPath_data();
    void parentPath();
    void lastPathPart_data();
    void lastPathPart();
    void folderExistsFollowsLinks();

private:
    QString m_folder;
};

void PathsTest::init() {
    m_folder = qEnvironmentVariable("HOME") + QStringLiteral("/paths");
    QDir(m_folder).removeRecursively();
    QVERIFY(QDir().mkpath(m_folder));
}

void PathsTest::stripTrailingSlashes_data() {
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

void PathsTest::stripTrailingSlashes() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(zelvorin::stripTrailingSlashes(path), expected);
}

void PathsTest::withTrailingSlash_data() {
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

void PathsTest::withTrailingSlash() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(zelvorin::withTrailingSlash(path), expected);
}

void PathsTest::parentPath_data() {
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

void PathsTest::parentPath() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(zelvorin::parentPath(path), expected);
}

void PathsTest::lastPathPart_data() {
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

void PathsTest::lastPathPart() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(zelvorin::lastPathPart(path), expected);
}

void PathsTest::folderExistsFollowsLinks() {
    QVERIFY(zelvorin::folderExists(QStringLiteral("/")));
    QVERIFY(zelvorin::folderExists(m_folder));
    QVERIFY(zelvorin::folderExists(m_folder + QStringLiteral("//")));
    QVERIFY(writeFile(m_folder + QStringLiteral("/file.txt"), "abc"));
    QVERIFY(!zelvorin::folderExists(m_folder + QStringLiteral("/file.txt")));
    QVERIFY(!zelvorin::folderExists(m_folder + QStringLiteral("/missing")));
    QVERIFY(!zelvorin::folderExists(QString()));
    QVERIFY(QFile::link(m_folder, m_folder + QStringLiteral("/link")));
    QVERIFY(zelvorin::folderExists(m_folder + QStringLiteral("/link/")));
}

ZELVORIN_TEST_MAIN(PathsTest)
#include "tst_Paths.moc"
