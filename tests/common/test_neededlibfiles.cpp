// The file-system and shell helpers as the rest of the program calls them.
#include "NeededLib.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using zelvorin::test::writeFile;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QSet<QString> listNames(const QString& pattern, quint32 mask) {
    QSet<QString> names;
    zelvorin::SearchRecord record;
    for (int result = FindFirstEntry(pattern, mask, record); result == 0;
         result = FindNextEntry(record))
        names.insert(record.name);
    FindCloseEntry(record);
    return names;
}

} // namespace

class TestNeededLibFiles : public QObject {
    Q_OBJECT

private slots:
    void init();
    void folderExists();
    void fileSize();
    void fileSizeOverFourGibibytes();
    void searchListsEveryNameForStarDotStar();
    void searchMatchesCaseInsensitively();
    void searchReportsFailure();
    void searchOfAPlainName();
    void copyAndMoveRefuseBareNames();
    void copyAndMoveWithoutQuestions();
    void deleteToRecycleBinWithoutQuestion();
    void openWithShellRefusesMissingFiles();

private:
    QString m_folder;
};

void TestNeededLibFiles::init() {
    m_folder = qEnvironmentVariable("HOME") + QStringLiteral("/neededlib");
    QDir(m_folder).removeRecursively();
    QVERIFY(QDir().mkpath(m_folder));
}

void TestNeededLibFiles::folderExists() {
    QVERIFY(FolderExists(QStringLiteral("/")));
    QVERIFY(FolderExists(m_folder));
    QVERIFY(FolderExists(m_folder + QStringLiteral("//")));
    QVERIFY(writeFile(m_folder + QStringLiteral("/file.txt"), "abc"));
    QVERIFY(!FolderExists(m_folder + QStringLiteral("/file.txt")));
    QVERIFY(!FolderExists(m_folder + QStringLiteral("/missing")));
    QVERIFY(!FolderExists(QString()));
    QVERIFY(QFile::link(m_folder, m_folder + QStringLiteral("/link")));
    QVERIFY(FolderExists(m_folder + QStringLiteral("/link/")));
}

void TestNeededLibFiles::fileSize() {
    QVERIFY(writeFile(m_folder + QStringLiteral("/three.bin"), "abc"));
    QVERIFY(writeFile(m_folder + QStringLiteral("/.hidden"), "hidden!"));
    QVERIFY(writeFile(m_folder + QStringLiteral("/empty.bin"), ""));
    QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/sub.bin")));
    QCOMPARE(GetFileSizeByName(m_folder + QStringLiteral("/three.bin")), qint64(3));
    QCOMPARE(GetFileSizeByName(m_folder + QStringLiteral("/.hidden")), qint64(7));
    QCOMPARE(GetFileSizeByName(m_folder + QStringLiteral("/empty.bin")), qint64(0));
    QCOMPARE(GetFileSizeByName(m_folder + QStringLiteral("/sub.bin")), qint64(-1));
    QCOMPARE(GetFileSizeByName(m_folder + QStringLiteral("/missing.bin")), qint64(-1));
    QCOMPARE(GetFileSizeByName(m_folder + QStringLiteral("/")), qint64(-1));
    QCOMPARE(GetFileSizeByName(QString()), qint64(-1));
    // A wildcard takes the first match; the folder of the same pattern is never found.
    QCOMPARE(GetFileSizeByName(m_folder + QStringLiteral("/thr*.BIN")), qint64(3));
}

void TestNeededLibFiles::fileSizeOverFourGibibytes() {
    const QString path = m_folder + QStringLiteral("/large.bin");
    const qint64 size = qint64(5) * 1024 * 1024 * 1024 + 7;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (!file.resize(size))
        QSKIP("no sparse files here");
    file.close();
    QCOMPARE(GetFileSizeByName(path), size);
}

void TestNeededLibFiles::searchListsEveryNameForStarDotStar() {
    QVERIFY(writeFile(m_folder + QStringLiteral("/a.jpg"), "x"));
    QVERIFY(writeFile(m_folder + QStringLiteral("/README"), "x"));
    QVERIFY(writeFile(m_folder + QStringLiteral("/.hidden"), "x"));
    QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/sub")));
    using namespace zelvorin;
    const quint32 files = FileAttribute::ReadOnly | FileAttribute::Archive;
    const QSet<QString> plain{QStringLiteral("a.jpg"), QStringLiteral("README")};
    QCOMPARE(listNames(m_folder + QStringLiteral("/*.*"), files), plain);
    QCOMPARE(listNames(m_folder + QStringLiteral("/*"), files), plain);
    QCOMPARE(listNames(m_folder + QStringLiteral("/*.*"), files | FileAttribute::Hidden),
             plain + QSet<QString>{QStringLiteral(".hidden")});
    // Folders come with the directory bit, "." and ".." among them, as the callers expect.
    QCOMPARE(listNames(m_folder + QStringLiteral("/*.*"), files | FileAttribute::Directory),
             plain +
                 (QSet<QString>{QStringLiteral("sub"), QStringLiteral("."), QStringLiteral("..")}));
}

void TestNeededLibFiles::searchMatchesCaseInsensitively() {
    QVERIFY(writeFile(m_folder + QStringLiteral("/A.JPG"), "12345"));
    QVERIFY(writeFile(m_folder + QStringLiteral("/b.gif"), "x"));
    zelvorin::SearchRecord record;
    QCOMPARE(FindFirstEntry(m_folder + QStringLiteral("/*.jpg"), 0x27, record), 0);
    QVERIFY(record.isOpen());
    QCOMPARE(record.name, QStringLiteral("A.JPG"));
    QCOMPARE(record.size, qint64(5));
    QVERIFY(HasAllFlags(record.attributes, zelvorin::FileAttribute::Archive));
    QVERIFY(record.modified.isValid());
    QCOMPARE(FindNextEntry(record), ENOENT);
    FindCloseEntry(record);
    QVERIFY(!record.isOpen());
    FindCloseEntry(record);
    QVERIFY(!record.isOpen());
}

void TestNeededLibFiles::searchReportsFailure() {
    zelvorin::SearchRecord record;
    QVERIFY(FindFirstEntry(m_folder + QStringLiteral("/missing/*.*"), 0x27, record) != 0);
    QVERIFY(!record.isOpen());
    QVERIFY(FindFirstEntry(m_folder + QStringLiteral("/*.none"), 0x27, record) != 0);
    QVERIFY(!record.isOpen());
    QVERIFY(FindNextEntry(record) != 0);
}

void TestNeededLibFiles::searchOfAPlainName() {
    QVERIFY(writeFile(m_folder + QStringLiteral("/one.txt"), "1"));
    zelvorin::SearchRecord record;
    QCOMPARE(FindFirstEntry(m_folder + QStringLiteral("/one.txt"), 0x27, record), 0);
    QCOMPARE(record.name, QStringLiteral("one.txt"));
    QCOMPARE(FindNextEntry(record), ENOENT);
    FindCloseEntry(record);
    QVERIFY(FindFirstEntry(m_folder, 0x27, record) != 0); // a folder, not in the mask
    QCOMPARE(FindFirstEntry(m_folder, 0x37, record), 0);
    QVERIFY(HasAllFlags(record.attributes, zelvorin::FileAttribute::Directory));
    FindCloseEntry(record);
}

void TestNeededLibFiles::copyAndMoveRefuseBareNames() {
    const QString source = m_folder + QStringLiteral("/source.txt");
    QVERIFY(writeFile(source, "data"));
    QVERIFY(QDir::setCurrent(m_folder));
    QVERIFY(!CopyFileWithShell(QStringLiteral("source.txt"), m_folder + QStringLiteral("/c.txt"),
                               false, false, nullptr));
    QVERIFY(!CopyFileWithShell(source, QStringLiteral("c.txt"), false, false, nullptr));
    QVERIFY(!MoveFileWithShell(QStringLiteral("source.txt"), m_folder + QStringLiteral("/m.txt"),
                               false, false, nullptr));
    QVERIFY(!MoveFileWithShell(source, QStringLiteral("m.txt"), false, false, nullptr));
    QCOMPARE(QDir(m_folder).entryList(QDir::Files), QStringList{QStringLiteral("source.txt")});
}

void TestNeededLibFiles::copyAndMoveWithoutQuestions() {
    const QString source = m_folder + QStringLiteral("/source.txt");
    const QString copy = m_folder + QStringLiteral("/copy.txt");
    const QString moved = m_folder + QStringLiteral("/moved.txt");
    QVERIFY(writeFile(source, "new data"));
    QVERIFY(writeFile(copy, "old"));
    QVERIFY(CopyFileWithShell(source, copy, false, false, nullptr));
    QCOMPARE(readAll(copy), QByteArray("new data"));
    QCOMPARE(readAll(source), QByteArray("new data"));
    QVERIFY(MoveFileWithShell(source, moved, false, true, nullptr));
    QVERIFY(!QFile::exists(source));
    QCOMPARE(readAll(moved), QByteArray("new data"));
    QVERIFY(!CopyFileWithShell(source, copy, false, false, nullptr)); // gone now
}

void TestNeededLibFiles::deleteToRecycleBinWithoutQuestion() {
    const QString path = m_folder + QStringLiteral("/doomed.txt");
    QVERIFY(writeFile(path, "bye"));
    QVERIFY(DeleteToRecycleBin(path, false));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!DeleteToRecycleBin(path, false));
}

void TestNeededLibFiles::openWithShellRefusesMissingFiles() {
    QVERIFY(!OpenWithShell(m_folder + QStringLiteral("/missing.html")));
    QVERIFY(!OpenWithShell(QString()));
}

ZELVORIN_TEST_MAIN(TestNeededLibFiles)
#include "test_neededlibfiles.moc"
