#include "FileMask.h"
#include "FileTestSupport.h"
#include "NeededLib.h"
#include "TestEnvironment.h"
#include "UsefulFileControls.h"

#include <QFontMetrics>
#include <QtTest>

using namespace zelvorin;

class FileControlFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { test::resetCurrentFolder(); }

    void joinFolderAndName_data() {
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
    void joinFolderAndName() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, joined);
        QCOMPARE(JoinFolderAndName(folder, name), joined);
        QCOMPARE(JoinFolderAndName(folder.toUtf8(), name.toUtf8()), joined.toUtf8());
    }

    void forceFolders() {
        QTemporaryDir dir;
        try {
            ForceFolders(QString());
            QFAIL("an empty path must raise");
        } catch (const FileControlError& error) {
            QCOMPARE(error.message(), QStringLiteral("Unable to create directory"));
        }
        const QString deep = dir.path() + "/a/b/c/";
        ForceFolders(deep);
        QVERIFY(QFileInfo(dir.path() + "/a/b/c").isDir());
        ForceFolders(deep); // existing: nothing to do, no error
        ForceFolders(QStringLiteral("/"));
        QVERIFY(QFileInfo(dir.path() + "/a/b/c").isDir());
    }

    void folderDepth() {
        QCOMPARE(FolderDepth(QStringLiteral("/")), 1);
        QCOMPARE(FolderDepth(QStringLiteral("/a/b")), 2);
        QCOMPARE(FolderDepth(QStringLiteral("a")), 0);
    }

    void attributeMasks() {
        const TFileType main = TFileAttr::ftReadOnly | TFileAttr::ftHidden | TFileAttr::ftSystem |
                               TFileAttr::ftArchive | TFileAttr::ftNormal;
        QCOMPARE(SearchAttributeMask(main), quint32(0x27));
        QCOMPARE(AllowedAttributeMask(main), quint32(0xA7));
        QCOMPARE(SearchAttributeMask(TFileAttr::ftNormal), quint32(0));
        QCOMPARE(AllowedAttributeMask(TFileAttr::ftNormal), quint32(0x80));
        QCOMPARE(AllowedAttributeMask(TFileAttr::ftVolumeID | TFileAttr::ftDirectory),
                 quint32(0x10));
    }

    void splitPath() {
        QTemporaryDir dir;
        const QString pics = dir.path() + "/pics";
        QDir().mkpath(pics + "/sub");
        test::touch(pics + "/a.jpg");
        const QString before = QDir::currentPath();

        PathParts parts = SplitPath(pics + "/a.jpg");
        QVERIFY(!parts.drive.isEmpty());
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QStringLiteral("a.jpg"));

        parts = SplitPath(pics);
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QString());

        parts = SplitPath(pics + "/");
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QString());

        parts = SplitPath(pics + "/*.jpg");
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QStringLiteral("*.jpg"));

        parts = SplitPath("[" + pics + "/sub]");
        QCOMPARE(parts.folder, pics + "/sub");
        QCOMPARE(parts.file, QString());

        parts = SplitPath(QStringLiteral("/"));
        QCOMPARE(parts.folder, QStringLiteral("/"));
        QCOMPARE(parts.file, QString());
        QCOMPARE(QDir::currentPath(), before);

        // A bare name resolves against the current folder.
        QDir::setCurrent(pics);
        parts = SplitPath(QStringLiteral("a.jpg"));
        QCOMPARE(parts.folder, pics);
        QCOMPARE(parts.file, QStringLiteral("a.jpg"));
        parts = SplitPath(QStringLiteral("sub"));
        QCOMPARE(parts.folder, pics + "/sub");
        QCOMPARE(parts.file, QString());
        QCOMPARE(QDir::currentPath(), pics);

        QVERIFY_THROWS_EXCEPTION(FileControlError, SplitPath(dir.path() + "/missing/a.jpg"));
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
            if (!mask.isEmpty() && MatchesWildcard(name, piece))
                expected = true;
        }
        const FileMask compiled(mask);
        QCOMPARE(compiled.matches(name), expected);
        QCOMPARE(compiled.found(name), expected || mask.split(';').contains("*.*"));
        const QByteArray raw = name.toUtf8();
        QCOMPARE(compiled.foundRaw(std::string_view(raw.constData(), size_t(raw.size()))),
                 compiled.found(name));
    }

    void cutFirstFolder_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cut");
        QTest::newRow("root") << "/"
                              << "";
        QTest::newRow("deep") << "/a/b/c/"
                              << "/.../b/c/";
        QTest::newRow("again") << "/.../b/c/"
                               << "/.../c/";
        QTest::newRow("last") << "/.../c/"
                              << "/.../";
        QTest::newRow("dots only") << ".../"
                                   << "";
        QTest::newRow("relative") << "a/b/"
                                  << ".../b/";
    }
    void cutFirstFolder() {
        QFETCH(QString, text);
        QFETCH(QString, cut);
        QCOMPARE(CutFirstFolder(text), cut);
    }

    void shortenPathToWidth() {
        const QFontMetrics metrics(QApplication::font());
        const QString path = QStringLiteral("/home/user/pictures/backgrounds/tile.png");
        QCOMPARE(ShortenPathToWidth(path, metrics, 10000), path);
        const QString shortened = ShortenPathToWidth(
            path, metrics, metrics.horizontalAdvance("/.../backgrounds/tile.png") + 1);
        QCOMPARE(shortened, QStringLiteral("/.../backgrounds/tile.png"));
        QCOMPARE(ShortenPathToWidth(path, metrics, 1), QStringLiteral("tile.png"));
    }
};

ZELVORIN_TEST_MAIN(FileControlFunctionsTest)
#include "tst_FileControlFunctions.moc"
