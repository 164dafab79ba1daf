// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Settings the file does not take: kept in memory for this run, said once with the
// system's reason and the file, and saved at the next write that the file takes.
#include "RegistryHive.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <QSignalSpy>
#include <sys/stat.h>
#include <unistd.h>

using zelvorin::platform::RegistryHive;

namespace {
const QString kInterface = QStringLiteral("Software\\Morvenkast\\Zelvorin\\Interface");
const QString kHistory = QStringLiteral("Software\\Morvenkast\\Zelvorin\\History");

bool writable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

void chattr(const QString& flag, const QString& path) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral("chattr"), {flag, path});
    process.waitForFinished();
}

// A file or folder nobody may write: its mode stops a user, the immutable attribute stops
// root too. False when neither can be set here.
bool makeUnwritable(const QString& path) {
    ::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? 0555 : 0444);
    if (!writable(path))
        return true;
    chattr(QStringLiteral("+i"), path);
    return !writable(path);
}

void makeWritable(const QString& path) {
    chattr(QStringLiteral("-i"), path);
    ::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? 0755 : 0644);
}

struct Told {
    QString file;
    QString reason;
    bool first = false;
};

// Every value below the settings root, as text, in a stable order.
QStringList dump(const QString& file) {
    RegistryHive hive(file, RegistryHive::Access::ReadOnly);
    QStringList lines;
    QStringList keys{QStringLiteral("Software")};
    while (!keys.isEmpty()) {
        const QString key = keys.takeFirst();
        for (const QString& sub : hive.subKeys(key).value_or(QStringList()))
            keys << key + "\\" + sub;
        for (const auto& value :
             hive.values(key).value_or(QList<zelvorin::platform::RegistryValue>()))
            lines << QStringLiteral("%1\\%2=%3:%4")
                         .arg(key.toLower(), value.name.toLower())
                         .arg(value.type)
                         .arg(QString::fromLatin1(value.data.toHex()));
    }
    lines.sort();
    return lines;
}
} // namespace

class TestRegistryUnsaved : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_unwritable;
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void breakPath(const QString& path) {
        m_unwritable << path;
        if (!makeUnwritable(path))
            QSKIP("neither file modes nor the immutable attribute stop writes here");
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        for (const QString& path : std::as_const(m_unwritable))
            makeWritable(path);
        m_unwritable.clear();
        m_dir.reset();
    }

    void keptToldAndSavedLater_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("config path is a file") << "config file"
                                               << "Not a directory";
        QTest::newRow("dangling symbolic link") << "dangling link"
                                                << "cannot be reached";
        QTest::newRow("read-only file") << "read-only file"
                                        << "readonly database";
        QTest::newRow("read-only folder") << "read-only folder"
                                          << "unable to open";
    }
    void keptToldAndSavedLater() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString file = path("store/registry.db");
        const bool stored = kind.startsWith("read-only");
        if (stored) {
            zelvorin::SettingsStore before(file);
            QVERIFY(before.writeInteger(kInterface, "FormHeight", 300));
        }
        if (kind == "config file") {
            file = path("config/zelvorin/registry.db");
            QVERIFY(zelvorin::test::writeFile(path("config"), "not a folder"));
        } else if (kind == "dangling link") {
            QVERIFY(QDir().mkpath(path("store")));
            QVERIFY(QFile::link(path("gone/target.db"), file));
        } else if (kind == "read-only file") {
            breakPath(file);
        } else {
            breakPath(path("store"));
        }

        zelvorin::SettingsStore registry(file);
        QList<Told> told;
        connect(&registry, &zelvorin::SettingsStore::saveFailed, this,
                [&](const QString& f, const QString& r, bool first) {
                    told.append({f, r, first});
                });
        QVERIFY(!registry.writeInteger(kInterface, "FormWidth", 800));
        const QStringList longer{"/a", "/b", "/c"};
        QVERIFY(!registry.writeStringList(kHistory, "LastFolders", &longer, 1));
        const QStringList folders{"/x", "/y"};
        QVERIFY(!registry.writeStringList(kHistory, "LastFolders", &folders, 1));
        QVERIFY(!registry.writeBool(kInterface, "ShowWelcomePage", false));
        QVERIFY(registry.hasUnsavedChanges());

        // Reads in this run give what was written; what the file holds is still read.
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 610), 800);
        QCOMPARE(registry.readBool(kInterface, "ShowWelcomePage", true), false);
        QStringList read;
        QVERIFY(registry.readStringList(kHistory, "LastFolders", &read, 1));
        QCOMPARE(read, folders);
        QCOMPARE(registry.readInteger(kInterface, "FormHeight", 442), stored ? 300 : 442);

        // Said once, with the file and the system's reason, however many writes failed.
        QCOMPARE(told.size(), 1);
        QCOMPARE(told.at(0).file, file);
        QVERIFY2(told.at(0).reason.contains(reason), qPrintable(told.at(0).reason));
        QVERIFY(told.at(0).first);

        // Once the file can be written, the next write saves everything kept.
        if (kind == "config file")
            QVERIFY(QFile::remove(path("config")));
        else if (kind == "dangling link")
            QVERIFY(QDir().mkpath(path("gone")));
        else
            makeWritable(kind == "read-only file" ? file : path("store"));
        QVERIFY(registry.writeInteger(kInterface, "FormTop", 5));
        QVERIFY(!registry.hasUnsavedChanges());
        QCOMPARE(told.size(), 1);
        zelvorin::SettingsStore again(file);
        QCOMPARE(again.readInteger(kInterface, "FormWidth", 0), 800);
        QCOMPARE(again.readBool(kInterface, "ShowWelcomePage", true), false);
        QCOMPARE(again.readInteger(kInterface, "FormTop", 0), 5);
        QVERIFY(again.readStringList(kHistory, "LastFolders", &read, 1));
        QCOMPARE(read, folders);
    }

    void toldAgainAfterASuccessWithoutTheMessage() {
        const QString config = path("config");
        const QString file = config + "/zelvorin/registry.db";
        zelvorin::SettingsStore registry(file);
        QList<Told> told;
        connect(&registry, &zelvorin::SettingsStore::saveFailed, this,
                [&](const QString& f, const QString& r, bool first) {
                    told.append({f, r, first});
                });
        const auto breakConfig = [&] {
            QDir(config).removeRecursively();
            return zelvorin::test::writeFile(config, "x");
        };
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 1));
        QVERIFY(breakConfig());
        QVERIFY(!registry.writeInteger(kInterface, "FormWidth", 2));
        QVERIFY(!registry.writeInteger(kInterface, "FormWidth", 3));
        QVERIFY(QFile::remove(config));
        QVERIFY(registry.writeInteger(kInterface, "FormHeight", 4));
        QVERIFY(breakConfig());
        QVERIFY(!registry.writeInteger(kInterface, "FormWidth", 5));
        QCOMPARE(told.size(), 2);
        QVERIFY(told.at(0).first);
        QVERIFY(!told.at(1).first);
        QVERIFY(told.at(1).reason.contains("Not a directory"));
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 0), 5);
    }

    // The same writes give the same reads while kept in memory, and the same file once
    // saved, as on a store that took each at once: numbered lists too, whose writing
    // removes old values only up to the first gap.
    void savedLaterAsIfSavedAtOnce() {
        const QString good = path("good/registry.db");
        const QString late = path("late/registry.db");
        for (const QString& file : {good, late}) {
            zelvorin::SettingsStore setup(file);
            for (const char* n : {"1", "2", "3", "5"})
                setup.writeString(kHistory, QStringLiteral("LastFolders") + n, n);
            setup.writeInteger(kInterface, "FormWidth", 1);
            setup.writeString(kInterface, "Extra", "e");
        }
        breakPath(late);
        zelvorin::SettingsStore a(good);
        zelvorin::SettingsStore b(late);
        const QStringList one{"/x"};
        const QStringList three{"/p", "/q", "/r"};
        const QStringList none;
        const QList<std::function<void(zelvorin::SettingsStore&)>> steps{
            [](zelvorin::SettingsStore& r) { r.writeInteger(kInterface, "FormWidth", 2); },
            [&](zelvorin::SettingsStore& r) {
                r.writeStringList(kHistory, "LastFolders", &one, 1);
            },
            [](zelvorin::SettingsStore& r) { r.writeInteger(kInterface, "formwidth", 3); },
            [](zelvorin::SettingsStore& r) { r.deleteValue(kInterface, "Extra"); },
            [](zelvorin::SettingsStore& r) { r.writeString(kHistory, "LastFolders2", "/y"); },
            [&](zelvorin::SettingsStore& r) {
                r.writeStringList(kHistory, "LastFolders", &three, 1);
            },
            [&](zelvorin::SettingsStore& r) {
                r.writeStringList(kHistory, "FavoriteFolders", &none, 1);
            },
            [](zelvorin::SettingsStore& r) { r.writeBool(kInterface, "ShowWelcomePage", false); },
        };
        const auto reads = [](zelvorin::SettingsStore& r) {
            QStringList seen;
            for (int n = 1; n <= 6; ++n)
                seen << r.readString(kHistory, QStringLiteral("LastFolders%1").arg(n), "-");
            QStringList list;
            r.readStringList(kHistory, "LastFolders", &list, 1);
            seen << list.join('|') << r.readString(kInterface, "Extra", "-")
                 << QString::number(r.readInteger(kInterface, "FormWidth", -1))
                 << QString::number(r.valueExists(kInterface, "ShowWelcomePage"));
            return seen;
        };
        for (qsizetype i = 0; i < steps.size(); ++i) {
            steps.at(i)(a);
            steps.at(i)(b);
            QVERIFY(b.hasUnsavedChanges());
            QCOMPARE(reads(b), reads(a));
        }
        makeWritable(late);
        QVERIFY(a.writeInteger(kInterface, "FormHeight", 9));
        QVERIFY(b.writeInteger(kInterface, "FormHeight", 9));
        QCOMPARE(dump(late), dump(good));
    }

    // A store that could only be read is read without leaving anything beside it that
    // blocks a later write; a refused write names the file to mend; once it can be
    // written, what was kept is saved without waiting for another write.
    void savedAsSoonAsTheFileTakesWrites_data() {
        QTest::addColumn<QString>("blocked");
        QTest::newRow("read-only store") << "registry.db";
        QTest::newRow("unwritable shared-memory file left beside it") << "registry.db-shm";
        QTest::newRow("unwritable log left beside it") << "registry.db-wal";
    }
    void savedAsSoonAsTheFileTakesWrites() {
        QFETCH(QString, blocked);
        const QString file = path("store/registry.db");
        QVERIFY(zelvorin::SettingsStore(file).writeInteger(kInterface, "FormHeight", 300));
        const QString side = path("store/") + blocked;
        if (!QFileInfo::exists(side))
            QVERIFY(zelvorin::test::writeFile(side, QByteArray()));
        breakPath(side);

        zelvorin::SettingsStore registry(file);
        QList<Told> told;
        connect(&registry, &zelvorin::SettingsStore::saveFailed, this,
                [&](const QString& f, const QString& r, bool first) {
                    told.append({f, r, first});
                });
        QSignalSpy saved(&registry, &zelvorin::SettingsStore::unsavedChangesSaved);
        QCOMPARE(registry.readInteger(kInterface, "FormHeight", 442), 300);
        QVERIFY(!registry.writeInteger(kInterface, "FormWidth", 800));
        const QStringList folders{"/x", "/y"};
        QVERIFY(!registry.writeStringList(kHistory, "LastFolders", &folders, 1));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.at(0).reason.contains(side) && told.at(0).reason.contains("writable"),
                 qPrintable(told.at(0).reason));
        // Reading made nothing that stays unwritable once the store is writable again.
        for (const char* suffix : {"-wal", "-shm", "-journal"})
            if (file + suffix != side)
                QVERIFY2(!QFileInfo::exists(file + suffix) || writable(file + suffix), suffix);

        makeWritable(side);
        QTRY_VERIFY(!registry.hasUnsavedChanges());
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.at(0).at(0).toString(), file);
        zelvorin::SettingsStore again(file);
        QCOMPARE(again.readInteger(kInterface, "FormWidth", 0), 800);
        QStringList read;
        QVERIFY(again.readStringList(kHistory, "LastFolders", &read, 1));
        QCOMPARE(read, folders);
    }

    // However many list writes the file refuses, what is kept stays one writing of the
    // list (reading it does not slow down), and reads and the saved file are those of a
    // store that took each write, old values beyond a gap included.
    void manyRefusedListWritesActAsTheirLast() {
        const QString good = path("good/registry.db");
        const QString late = path("late/registry.db");
        for (const QString& file : {good, late}) {
            zelvorin::SettingsStore setup(file);
            for (const char* n : {"1", "2", "3", "5", "6"})
                setup.writeString(kHistory, QStringLiteral("LastFolders") + n, n);
        }
        breakPath(late);
        zelvorin::SettingsStore a(good);
        zelvorin::SettingsStore b(late);
        zelvorin::UnsavedSettings kept;
        for (int i = 0; i < 50; ++i) {
            QStringList list;
            for (int n = 0; n < (i * 7) % 6; ++n)
                list << QStringLiteral("/%1/%2").arg(i).arg(n);
            for (zelvorin::SettingsStore* r : {&a, &b}) {
                r->writeStringList(kHistory, "LastFolders", &list, 1);
                r->writeString(kHistory, "LastFolder", list.value(0));
            }
            zelvorin::UnsavedWrite write;
            write.kind = zelvorin::UnsavedWrite::Kind::List;
            write.keyPath = kHistory;
            write.name = QStringLiteral("LastFolders");
            write.list = list;
            kept.add(write);
            QStringList fromA;
            QStringList fromB;
            a.readStringList(kHistory, "LastFolders", &fromA, 1);
            b.readStringList(kHistory, "LastFolders", &fromB, 1);
            QCOMPARE(fromB, fromA);
            for (int n = 1; n <= 7; ++n) {
                const QString name = QStringLiteral("LastFolders%1").arg(n);
                QCOMPARE(b.readString(kHistory, name, "-"), a.readString(kHistory, name, "-"));
            }
        }
        QCOMPARE(kept.writes().size(), 1);
        makeWritable(late);
        QTRY_VERIFY(!b.hasUnsavedChanges());
        QCOMPARE(dump(late), dump(good));
    }

    void repeatedWritesKeepOneValue() {
        zelvorin::UnsavedSettings unsaved;
        for (int i = 0; i < 100; ++i) {
            zelvorin::UnsavedWrite write;
            write.keyPath = kInterface;
            write.name = i % 2 ? QStringLiteral("FormWidth") : QStringLiteral("formheight");
            write.data = QByteArray::number(i);
            unsaved.add(write);
        }
        QCOMPARE(unsaved.writes().size(), 2);
        QCOMPARE(unsaved.writes().last().data, QByteArray("99"));
    }
};

ZELVORIN_TEST_MAIN(TestRegistryUnsaved)
#include "test_registry_unsaved.moc"
