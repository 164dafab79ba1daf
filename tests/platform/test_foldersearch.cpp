// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The folder listing under the helpers' search: attributes, masks, filters and failures.
#include "FolderSearch.h"
#include "RawFolderReader.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace zelvorin;
using zelvorin::test::writeFile;

namespace {

QMap<QString, platform::FolderEntry> listAll(const QString& folder, quint32 mask,
                                             platform::FolderSearch::NameFilter filter = {}) {
    QMap<QString, platform::FolderEntry> entries;
    int error = -1;
    auto search = platform::FolderSearch::open(folder, std::move(filter), mask, &error);
    if (!search)
        return entries;
    platform::FolderEntry entry;
    while (search->next(entry) == 0)
        entries.insert(entry.name, entry);
    return entries;
}

constexpr quint32 Everything = FileAttribute::ReadOnly | FileAttribute::Hidden |
                               FileAttribute::System | FileAttribute::Directory |
                               FileAttribute::Archive;

} // namespace

class TestFolderSearch : public QObject {
    Q_OBJECT

private slots:
    void init();
    void attributesOfEachKind();
    void readOnlyMeansNotWritableByTheUser();
    void maskExcludesFoldersHiddenAndSystem_data();
    void maskExcludesFoldersHiddenAndSystem();
    void filterDecidesByName();
    void failures();
    void manyFiles();
    void readOneEntry();
    void entryMayExist_data();
    void entryMayExist();

private:
    QString m_folder;
};

void TestFolderSearch::init() {
    m_folder = qEnvironmentVariable("HOME") + QStringLiteral("/search");
    QDir(m_folder).removeRecursively();
    QVERIFY(QDir().mkpath(m_folder));
    QVERIFY(writeFile(m_folder + QStringLiteral("/file.txt"), "12345"));
    QVERIFY(writeFile(m_folder + QStringLiteral("/.hidden"), "1"));
    QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/sub")));
    QVERIFY(mkfifo(QFile::encodeName(m_folder + QStringLiteral("/pipe")).constData(), 0600) == 0);
    QVERIFY(
        QFile::link(m_folder + QStringLiteral("/file.txt"), m_folder + QStringLiteral("/link")));
    QVERIFY(
        QFile::link(m_folder + QStringLiteral("/nowhere"), m_folder + QStringLiteral("/dangling")));
}

void TestFolderSearch::attributesOfEachKind() {
    const auto entries = listAll(m_folder, Everything);
    QCOMPARE(entries.size(), 8);
    const auto file = entries.value(QStringLiteral("file.txt"));
    QCOMPARE(file.attributes & ~FileAttribute::ReadOnly, FileAttribute::Archive);
    QCOMPARE(file.size, qint64(5));
    QVERIFY(qAbs(file.modified.secsTo(QDateTime::currentDateTimeUtc())) < 3600);
    QCOMPARE(entries.value(QStringLiteral(".hidden")).attributes & ~FileAttribute::ReadOnly,
             FileAttribute::Archive | FileAttribute::Hidden);
    QCOMPARE(entries.value(QStringLiteral("sub")).attributes & ~FileAttribute::ReadOnly,
             FileAttribute::Directory);
    QCOMPARE(entries.value(QStringLiteral("sub")).size, qint64(0));
    QCOMPARE(entries.value(QStringLiteral("pipe")).attributes & ~FileAttribute::ReadOnly,
             FileAttribute::System);
    // A link is what it points at; a dangling one is neither file nor folder.
    QCOMPARE(entries.value(QStringLiteral("link")).attributes & ~FileAttribute::ReadOnly,
             FileAttribute::Archive);
    QCOMPARE(entries.value(QStringLiteral("link")).size, qint64(5));
    QCOMPARE(entries.value(QStringLiteral("dangling")).attributes & ~FileAttribute::ReadOnly,
             FileAttribute::System);
    // "." and ".." are folders, never hidden, as the Windows search reports them.
    QCOMPARE(entries.value(QStringLiteral(".")).attributes & ~FileAttribute::ReadOnly,
             FileAttribute::Directory);
    QCOMPARE(entries.value(QStringLiteral("..")).attributes & ~FileAttribute::ReadOnly,
             FileAttribute::Directory);
    for (const auto& entry : entries)
        QVERIFY((entry.attributes & FileAttribute::Normal) == 0);
}

void TestFolderSearch::readOnlyMeansNotWritableByTheUser() {
    const QString path = m_folder + QStringLiteral("/locked.txt");
    QVERIFY(writeFile(path, "x"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const auto entries = listAll(m_folder, Everything);
    if (geteuid() == 0) {
        // The superuser may write every file, so nothing is read-only to it.
        QCOMPARE(entries.value(QStringLiteral("locked.txt")).attributes, FileAttribute::Archive);
        return;
    }
    QCOMPARE(entries.value(QStringLiteral("locked.txt")).attributes,
             FileAttribute::Archive | FileAttribute::ReadOnly);
    QCOMPARE(entries.value(QStringLiteral("file.txt")).attributes, FileAttribute::Archive);
}

void TestFolderSearch::maskExcludesFoldersHiddenAndSystem_data() {
    QTest::addColumn<quint32>("mask");
    QTest::addColumn<QStringList>("expected");
    const QStringList plain{QStringLiteral("file.txt"), QStringLiteral("link")};
    QTest::newRow("files only") << quint32(0) << plain;
    QTest::newRow("read-only and archive add nothing")
        << (FileAttribute::ReadOnly | FileAttribute::Archive) << plain;
    QTest::newRow("hidden") << FileAttribute::Hidden
                            << plain + QStringList{QStringLiteral(".hidden")};
    QTest::newRow("system") << FileAttribute::System
                            << plain +
                                   QStringList{QStringLiteral("dangling"), QStringLiteral("pipe")};
    QTest::newRow("folders") << FileAttribute::Directory
                             << plain + QStringList{QStringLiteral("."), QStringLiteral(".."),
                                                    QStringLiteral("sub")};
}

void TestFolderSearch::maskExcludesFoldersHiddenAndSystem() {
    QFETCH(quint32, mask);
    QFETCH(QStringList, expected);
    QStringList names = listAll(m_folder, mask).keys();
    expected.sort();
    names.sort();
    QCOMPARE(names, expected);
}

void TestFolderSearch::filterDecidesByName() {
    const auto entries =
        listAll(m_folder, Everything, [](const QString& name) { return name.endsWith(u't'); });
    QCOMPARE(entries.keys(), QStringList{QStringLiteral("file.txt")});
}

void TestFolderSearch::failures() {
    int error = 0;
    QVERIFY(!platform::FolderSearch::open(m_folder + QStringLiteral("/missing"), {}, Everything,
                                          &error));
    QCOMPARE(error, ENOENT);
    QVERIFY(!platform::FolderSearch::open(m_folder + QStringLiteral("/file.txt"), {}, Everything,
                                          &error));
    QCOMPARE(error, ENOTDIR);
    auto search = platform::FolderSearch::open(m_folder + QStringLiteral("/sub"), {}, 0, &error);
    QVERIFY(search);
    platform::FolderEntry entry;
    QCOMPARE(search->next(entry), ENOENT);
    QCOMPARE(search->next(entry), ENOENT);
}

void TestFolderSearch::manyFiles() {
    const QString folder = m_folder + QStringLiteral("/many");
    QVERIFY(QDir().mkpath(folder));
    for (int i = 0; i < 2000; ++i)
        QVERIFY(writeFile(folder + QStringLiteral("/f%1.jpg").arg(i), QByteArray(i % 7, 'x')));
    const auto entries = listAll(folder, 0);
    QCOMPARE(entries.size(), 2000);
    QCOMPARE(entries.value(QStringLiteral("f1234.jpg")).size, qint64(1234 % 7));
}

void TestFolderSearch::readOneEntry() {
    platform::FolderEntry entry;
    QCOMPARE(platform::readFolderEntry(m_folder + QStringLiteral("/file.txt"), entry), 0);
    QCOMPARE(entry.name, QStringLiteral("file.txt"));
    QCOMPARE(entry.size, qint64(5));
    QCOMPARE(platform::readFolderEntry(m_folder + QStringLiteral("/missing"), entry), ENOENT);
    QCOMPARE(platform::readFolderEntry(QStringLiteral("/"), entry), 0);
    QVERIFY(entry.attributes & FileAttribute::Directory);
}

void TestFolderSearch::entryMayExist_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << "file.txt" << true;
    QTest::newRow("folder") << "sub" << true;
    QTest::newRow("pipe") << "pipe" << true;
    QTest::newRow("dangling link") << "dangling" << true;
    QTest::newRow("missing") << "missing" << false;
}

void TestFolderSearch::entryMayExist() {
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QCOMPARE(platform::entryMayExistBytes(QFile::encodeName(m_folder + '/' + name)), exists);
}

ZELVORIN_TEST_MAIN(TestFolderSearch)
#include "test_foldersearch.moc"
