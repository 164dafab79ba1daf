// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An import over both roots is one commit: a kill at the second file's commit, or a full
// disk there, leaves both roots with all of the import or none of it, read as such by the
// next program that opens them. The importer is this test executable itself, started with
// "--import"; a file layer of the test's own under SQLite stops it at the chosen moment.
#include "RegTool.h"
#include "RegistryHive.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <csignal>
#include <cstring>
#include <sqlite3.h>

using zelvorin::platform::RegistryHive;

namespace {

const QString kImported = QStringLiteral("Software\\Imported");
const QString kBefore = QStringLiteral("Software\\Before");

// Where the importer is stopped.
enum class Fault {
    KillAtSecondFile, // killed as the second file's pages are written (the first's are)
    KillAfterCommit,  // killed once the commit point (the super-journal's removal) is passed
    SecondFileFull,   // the second file's disk is full
};

struct Layer {
    sqlite3_vfs vfs{};
    sqlite3_vfs* real = nullptr;
    QByteArray secondFile;
    Fault fault = Fault::KillAtSecondFile;
    // Set once SQLite starts a commit over several files.
    bool committing = false;
} layer;

struct LayerFile {
    sqlite3_file base;
    sqlite3_file* real;
    bool second;
};

sqlite3_file* realOf(sqlite3_file* file) {
    return reinterpret_cast<LayerFile*>(file)->real;
}

int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    if (reinterpret_cast<LayerFile*>(file)->second && layer.committing) {
        if (layer.fault == Fault::KillAtSecondFile)
            std::raise(SIGKILL);
        if (layer.fault == Fault::SecondFileFull)
            return SQLITE_FULL;
    }
    return realOf(file)->pMethods->xWrite(realOf(file), data, amount, offset);
}

// Every other call goes to the real file as it is.
sqlite3_io_methods methods = {
    3,
    [](sqlite3_file* f) { return realOf(f)->pMethods->xClose(realOf(f)); },
    [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
        return realOf(f)->pMethods->xRead(realOf(f), b, n, o);
    },
    write,
    [](sqlite3_file* f, sqlite3_int64 s) { return realOf(f)->pMethods->xTruncate(realOf(f), s); },
    [](sqlite3_file* f, int flags) { return realOf(f)->pMethods->xSync(realOf(f), flags); },
    [](sqlite3_file* f, sqlite3_int64* s) { return realOf(f)->pMethods->xFileSize(realOf(f), s); },
    [](sqlite3_file* f, int l) { return realOf(f)->pMethods->xLock(realOf(f), l); },
    [](sqlite3_file* f, int l) { return realOf(f)->pMethods->xUnlock(realOf(f), l); },
    [](sqlite3_file* f, int* r) { return realOf(f)->pMethods->xCheckReservedLock(realOf(f), r); },
    [](sqlite3_file* f, int op, void* a) {
        return realOf(f)->pMethods->xFileControl(realOf(f), op, a);
    },
    [](sqlite3_file* f) { return realOf(f)->pMethods->xSectorSize(realOf(f)); },
    [](sqlite3_file* f) { return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f)); },
    [](sqlite3_file* f, int p, int s, int e, void volatile** m) {
        return realOf(f)->pMethods->xShmMap(realOf(f), p, s, e, m);
    },
    [](sqlite3_file* f, int o, int n, int flags) {
        return realOf(f)->pMethods->xShmLock(realOf(f), o, n, flags);
    },
    [](sqlite3_file* f) { realOf(f)->pMethods->xShmBarrier(realOf(f)); },
    [](sqlite3_file* f, int d) { return realOf(f)->pMethods->xShmUnmap(realOf(f), d); },
    [](sqlite3_file* f, sqlite3_int64 o, int n, void** p) {
        return realOf(f)->pMethods->xFetch(realOf(f), o, n, p);
    },
    [](sqlite3_file* f, sqlite3_int64 o, void* p) {
        return realOf(f)->pMethods->xUnfetch(realOf(f), o, p);
    },
};

int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* mine = reinterpret_cast<LayerFile*>(file);
    mine->real = reinterpret_cast<sqlite3_file*>(mine + 1);
    mine->second = name && (flags & SQLITE_OPEN_MAIN_DB) && layer.secondFile == name;
    // SQLite makes a super-journal only to commit several files together.
    if (flags & SQLITE_OPEN_SUPER_JOURNAL)
        layer.committing = true;
    const int code = layer.real->xOpen(layer.real, name, mine->real, flags, outFlags);
    mine->base.pMethods = mine->real->pMethods ? &methods : nullptr;
    return code;
}

int remove(sqlite3_vfs*, const char* name, int syncDirectory) {
    const int code = layer.real->xDelete(layer.real, name, syncDirectory);
    if (layer.committing && layer.fault == Fault::KillAfterCommit &&
        QByteArray(name).contains("-mj"))
        std::raise(SIGKILL);
    return code;
}

int runImporter(Fault fault, const QString& user, const QString& machine, const QString& file) {
    layer.real = sqlite3_vfs_find(nullptr);
    layer.vfs = *layer.real;
    layer.vfs.zName = "zelvorin-faults";
    layer.vfs.szOsFile = int(sizeof(LayerFile)) + layer.real->szOsFile;
    layer.vfs.xOpen = open;
    layer.vfs.xDelete = remove;
    layer.secondFile = QFile::encodeName(machine);
    layer.fault = fault;
    sqlite3_vfs_register(&layer.vfs, 1);
    QString input;
    QTextStream in(&input);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return zelvorin::tools::runRegTool({"import", file}, {user, machine}, in, out, err);
}

bool imported(const QString& file) {
    return RegistryHive(file).keyExists(kImported);
}

} // namespace

class TestRegImportKill : public QObject {
    Q_OBJECT

private slots:
    void bothRootsOrNeither_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("killed");
        QTest::addColumn<bool>("kept");
        QTest::newRow("killed at the second file's commit")
            << int(Fault::KillAtSecondFile) << true << false;
        QTest::newRow("killed past the commit point")
            << int(Fault::KillAfterCommit) << true << true;
        QTest::newRow("second file's disk full") << int(Fault::SecondFileFull) << false << false;
    }
    void bothRootsOrNeither() {
        QFETCH(int, fault);
        QFETCH(bool, killed);
        QFETCH(bool, kept);
        QTemporaryDir folder;
        const QString user = folder.filePath("user/registry.db");
        const QString machine = folder.filePath("machine/registry.db");
        for (const QString& file : {user, machine})
            QVERIFY(RegistryHive(file).writeValue(kBefore, "V", 1, "kept"));
        QVERIFY(zelvorin::test::writeFile(folder.filePath("both.reg"),
                                          "Windows Registry Editor Version 5.00\n\n"
                                          "[HKEY_CURRENT_USER\\Software\\Imported]\n"
                                          "\"A\"=\"1\"\n\n"
                                          "[-HKEY_CURRENT_USER\\Software\\Before]\n\n"
                                          "[HKEY_LOCAL_MACHINE\\Software\\Imported]\n"
                                          "\"B\"=\"2\"\n"));

        QProcess importer;
        importer.start(
            QCoreApplication::applicationFilePath(),
            {"--import", QString::number(fault), user, machine, folder.filePath("both.reg")});
        QVERIFY(importer.waitForFinished(60000));
        QCOMPARE(importer.exitStatus(), killed ? QProcess::CrashExit : QProcess::NormalExit);
        if (!killed) {
            QCOMPARE(importer.exitCode(), 1);
            const QString err = QString::fromLocal8Bit(importer.readAllStandardError());
            QVERIFY2(err.contains("nothing was imported") && err.contains(machine),
                     qPrintable(err));
        }

        // What the next program reads: the tool's query (a reader) first, then the store.
        QString none;
        QTextStream in(&none);
        QString shown;
        QTextStream out(&shown);
        QTextStream err(&none);
        QCOMPARE(zelvorin::tools::runRegTool({"query", "HKLM\\Software\\Imported"}, {user, machine},
                                             in, out, err),
                 kept ? 0 : 1);
        QCOMPARE(imported(user), kept);
        QCOMPARE(imported(machine), kept);
        QCOMPARE(RegistryHive(user).keyExists(kBefore), !kept);
        QVERIFY(RegistryHive(machine).keyExists(kBefore));
        for (const QString& file : {user, machine})
            QVERIFY(RegistryHive(file).checkIntegrity());
        // Nothing of the stopped commit is left to be found again.
        for (const char* sub : {"user", "machine"})
            QCOMPARE(QDir(folder.filePath(sub)).entryList({"*-journal", "*-mj*"}, QDir::Files),
                     QStringList());
    }
};

int main(int argc, char** argv) {
    if (argc == 6 && qstrcmp(argv[1], "--import") == 0) {
        QCoreApplication app(argc, argv);
        return runImporter(Fault(std::atoi(argv[2])), QString::fromLocal8Bit(argv[3]),
                           QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[5]));
    }
    zelvorin::test::TestEnvironment environment;
    QApplication app(argc, argv);
    TestRegImportKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_reg_import_kill.moc"
