// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileKinds.h"
#include "FileMask.h"
#include "FileTestSupport.h"
#include "FolderPaths.h"
#include "TestEnvironment.h"
#include "Wildcard.h"

#include <QtTest>

using namespace zelvorin;

class FolderPathsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { test::resetCurrentFolder(); }

    void joiningNames_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("joined");
        QTest::newRow("no slash") << "/pics"
                                  << "a.jpg"
                                  << "/pics/a.jpg";
        QTest::newRow("slash") << "/pics/"
                               << "a.jpg"
                               << "/pics/a.jpg";
        QTest::newRow("root") << "/"
                              << "a.jpg"
                              << "/a.jpg";
        QTest::newRow("empty folder") << ""
                                      << "a.jpg"
                                      << "/a.jpg";
    }
    void joiningNames() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, joined);
        QCOMPARE(joinFolderAndName(folder, name), joined);
        QCOMPARE(joinFolderAndName(folder.toUtf8(), name.toUtf8()), joined.toUtf8());
    }

    void depthOfFolders() {
        QCOMPARE(folderDepth(QStringLiteral("/")), 1);
        QCOMPARE(folderDepth(QStringLiteral("/a/b")), 2);
        QCOMPARE(folderDepth(QStringLiteral("a")), 0);
    }

    void strippingFolders_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("stripped");
        QTest::newRow("plain") << "/a/b"
                               << "/a/b";
        QTest::newRow("slashes") << "/a/b//"
                                 << "/a/b";
        QTest::newRow("root") << "/"
                              << "";
        QTest::newRow("root twice") << "//"
                                    << "";
        QTest::newRow("relative") << "a/"
                                  << "a";
    }
    void strippingFolders() {
        QFETCH(QString, path);
        QFETCH(QString, stripped);
        QCOMPARE(strippedFolderPath(path), stripped);
    }

    void attributeMasks() {
        const FileKinds main = FileKind::ReadOnly | FileKind::Hidden | FileKind::System |
                               FileKind::Archive | FileKind::Normal;
        QCOMPARE(searchAttributeMask(main), quint32(0x27));
        QCOMPARE(searchAttributeMask(FileKind::Normal), quint32(0));
        QCOMPARE(searchAttributeMask(FileKind::VolumeId | FileKind::Directory), quint32(0x18));
    }

    void typedPathsSplit() {
        QTemporaryDir dir;
        const QString pics = dir.path() + "/pics";
        QDir().mkpath(pics + "/sub");
        test::touch(pics + "/a.jpg");
        const QString before = QDir::currentPath();

        PathParts parts = splitPath(pics + "/a.jpg");
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QStringLiteral("a.jpg"));

        parts = splitPath(pics);
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QString());

        parts = splitPath(pics + "/");
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QString());

        parts = splitPath(pics + "/*.jpg");
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QStringLiteral("*.jpg"));

        parts = splitPath("[" + pics + "/sub]");
        QCOMPARE(parts.folder, pics + "/sub");
        QCOMPARE(parts.file, QString());

        parts = splitPath(QStringLiteral("/"));
        QCOMPARE(parts.folder, QStringLiteral("/"));
        QCOMPARE(parts.file, QString());
        QCOMPARE(QDir::currentPath(), before);

        // A bare name resolves against the current folder.
        QDir::setCurrent(pics);
        parts = splitPath(QStringLiteral("a.jpg"));
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QStringLiteral("a.jpg"));
        parts = splitPath(QStringLiteral("sub"));
        QCOMPARE(parts.folder, pics + "/sub");
        QCOMPARE(parts.file, QString());
        QCOMPARE(QDir::currentPath(), pics);

        QVERIFY_THROWS_EXCEPTION(FileControlError, splitPath(dir.path() + "/missing/a.jpg"));
        QCOMPARE(QDir::currentPath(), pics);
    }

    void fileMaskAgreesWithMatchesWildcard_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("name");
        const QStringList names = {"Photo.JPG", "readme",   "a",      "ab",
                                   "page.html", "page.htm", "x.jpeg", "ÄBC.png",
                                   "noext.",    ".hidden",  "a.b.c",  "IMG_1.Jpg"};
        const QStringList masks = {
            "*.jpg", "*.*",   "?", "*",  "*.htm*", "readme", "README", "*.jpg;*.gif;*.png",
            "a**",   "*.png", "",  "ab", "*."};
        for (const QString& mask : masks) {
            for (const QString& name : names)
                QTest::newRow(qPrintable(mask + " | " + name)) << mask << name;
        }
    }
    void fileMaskAgreesWithMatchesWildcard() {
        QFETCH(QString, mask);
        QFETCH(QString, name);
        bool expected = false;
        for (const QString& piece : mask.split(QLatin1Char(';'))) {
            if (!mask.isEmpty() && matchesWildcard(name, piece))
                expected = true;
        }
        const FileMask compiled(mask);
        QCOMPARE(compiled.matches(name), expected);
        QCOMPARE(compiled.found(name), expected || mask.split(';').contains("*.*"));
        const QByteArray raw = name.toUtf8();
        QCOMPARE(compiled.foundRaw(std::string_view(raw.constData(), size_t(raw.size()))),
                 compiled.found(name));
    }
};

ZELVORIN_TEST_MAIN(FolderPathsTest)
#include "tst_FolderPaths.moc"
