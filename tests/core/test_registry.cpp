// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LosslessNames.h"
#include "PlatformInfo.h"
#include "RegistryHive.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QtEndian>
#include <climits>
#include <cmath>

using zelvorin::platform::RegistryHive;
using zelvorin::platform::RegistryLookup;
using zelvorin::platform::RegistryValue;

namespace {
const QString kInterface = QStringLiteral("Software\\Morvenkast\\Zelvorin\\Interface");
const QString kHistory = QStringLiteral("Software\\Morvenkast\\Zelvorin\\History");
} // namespace

class TestRegistry : public QObject {
    Q_OBJECT

private:
    QString m_file;
    QString freshFile() {
        static int counter = 0;
        return QDir::tempPath() + QStringLiteral("/zelvorin-registry-test-%1-%2/registry.db")
                                      .arg(QCoreApplication::applicationPid())
                                      .arg(++counter);
    }

private slots:
    void init() { m_file = freshFile(); }
    void cleanup() { QDir(QFileInfo(m_file).absolutePath()).removeRecursively(); }

    void integerRoundTrip_data() {
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << 0;
        QTest::newRow("design width") << 610;
        QTest::newRow("negative") << -1;
        QTest::newRow("largest") << INT_MAX;
        QTest::newRow("smallest") << INT_MIN;
    }
    void integerRoundTrip() {
        QFETCH(int, value);
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", value));
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 12345), value);
        QCOMPARE(registry.dataSize(kInterface, "FormWidth"), 4);
        zelvorin::SettingsStore again(m_file);
        QCOMPARE(again.readInteger(kInterface, "FormWidth", 12345), value);
    }

    void stringRoundTrip_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("path") << QStringLiteral("/home/user/Pictures");
        QTest::newRow("backslashes and quotes") << QStringLiteral("C:\\a \"b\"\\");
        QTest::newRow("unicode") << QStringLiteral(
            "Bilder \u00e4\u00f6\u00fc \u6f22\u5b57 \U0001F600");
        QTest::newRow("line breaks") << QStringLiteral("one\ntwo\r\nthree");
    }
    void stringRoundTrip() {
        QFETCH(QString, value);
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeString(kHistory, "LastFolder", value));
        QCOMPARE(registry.readString(kHistory, "LastFolder", "default"), value);
        zelvorin::SettingsStore again(m_file);
        QCOMPARE(again.readString(kHistory, "LastFolder", "default"), value);
    }

    // Folder paths travel as lossless texts (bytes that are not UTF-8 kept as U+DC80 ..
    // U+DCFF); the store keeps their bytes, alone and in lists, and a leading U+FEFF.
    void textsKeepEveryByte_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("not UTF-8") << QByteArray("/home/u/caf\xe9");
        QTest::newRow("a cut character") << QByteArray("/x/\xc3");
        QTest::newRow("leading U+FEFF") << QByteArray("\xef\xbb\xbftext");
        QTest::newRow("two U+FEFF and nothing else") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf");
        QTest::newRow("UTF-8, as before") << QByteArray("/home/u/caf\xc3\xa9");
    }
    void textsKeepEveryByte() {
        QFETCH(QByteArray, raw);
        const QString text = zelvorin::platform::openablePath(raw);
        {
            zelvorin::SettingsStore registry(m_file);
            QVERIFY(registry.writeString(kHistory, "LastFolder", text));
            const QStringList list{"/plain", text};
            QVERIFY(registry.writeStringList(kHistory, "FavoriteFolders", &list, 1));
        }
        RegistryValue stored;
        QCOMPARE(RegistryHive(m_file).readValue(kHistory, "LastFolder", &stored),
                 RegistryLookup::Found);
        QCOMPARE(stored.data, raw);
        QCOMPARE(RegistryHive(m_file).readValue(kHistory, "FavoriteFolders2", &stored),
                 RegistryLookup::Found);
        QCOMPARE(stored.data, raw);
        zelvorin::SettingsStore again(m_file);
        QCOMPARE(zelvorin::platform::encodePath(again.readString(kHistory, "LastFolder", "")), raw);
        QStringList read;
        QVERIFY(again.readStringList(kHistory, "FavoriteFolders", &read, 1));
        QCOMPARE(read, (QStringList{"/plain", text}));
    }

    void floatRoundTrip_data() {
        QTest::addColumn<double>("value");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("fraction") << -1.5;
        QTest::newRow("huge") << 1e300;
        QTest::newRow("tiny") << 4.9e-324;
    }
    void floatRoundTrip() {
        QFETCH(double, value);
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeFloat(kInterface, "Zoom", value));
        QCOMPARE(registry.dataSize(kInterface, "Zoom"), 8);
        QCOMPARE(registry.readFloat(kInterface, "Zoom", 7.0), value);
        RegistryHive hive(m_file);
        RegistryValue stored;
        QCOMPARE(hive.readValue(kInterface, "Zoom", &stored), RegistryLookup::Found);
        QCOMPARE(stored.type, zelvorin::platform::RegBinary);
    }

    void booleansAreDwords() {
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeBool(kInterface, "ShowWelcomePage", false));
        QCOMPARE(registry.readBool(kInterface, "ShowWelcomePage", true), false);
        QCOMPARE(registry.readInteger(kInterface, "ShowWelcomePage", -1), 0);
        QVERIFY(registry.writeBool(kInterface, "ShowWelcomePage", true));
        QCOMPARE(registry.readInteger(kInterface, "ShowWelcomePage", -1), 1);
        // Any value other than 0 is true; written back it becomes 1.
        QVERIFY(registry.writeInteger(kInterface, "ShowWelcomePage", 5));
        const bool read = registry.readBool(kInterface, "ShowWelcomePage", false);
        QCOMPARE(read, true);
        QVERIFY(registry.writeBool(kInterface, "ShowWelcomePage", read));
        QCOMPARE(registry.readInteger(kInterface, "ShowWelcomePage", -1), 1);
        QCOMPARE(registry.readBool(kInterface, "Missing", true), true);
    }

    void missingKeyGivesDefaultWithoutCreatingIt() {
        zelvorin::SettingsStore registry(m_file);
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 610), 610);
        QCOMPARE(registry.readString(kInterface, "Name", "fallback"), QStringLiteral("fallback"));
        QCOMPARE(registry.readFloat(kInterface, "Zoom", 2.5), 2.5);
        QCOMPARE(registry.dataSize(kInterface, "FormWidth"), -1);
        QVERIFY(!registry.valueExists(kInterface, "FormWidth"));
        QVERIFY(!registry.openKey(kInterface, false));
        QVERIFY(!registry.openKey("Software", false));
    }

    void missingValueInExistingKeyReadsEmptyString() {
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 1));
        QCOMPARE(registry.readString(kInterface, "NoSuchValue", "not empty"), QString());
        QCOMPARE(registry.readInteger(kInterface, "NoSuchValue", 77), 77);
        QCOMPARE(registry.dataSize(kInterface, "NoSuchValue"), -1);
    }

    void valueOfAnotherTypeCountsAsMissing_data() {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("integerReads");
        QTest::addColumn<bool>("stringReads");
        QTest::addColumn<bool>("floatReads");
        const QByteArray four("\x0a\0\0\0", 4);
        QTest::newRow("text") << zelvorin::platform::RegSz << QByteArray("610") << false << true
                              << false;
        QTest::newRow("dword") << zelvorin::platform::RegDword << four << true << false << false;
        QTest::newRow("short dword")
            << zelvorin::platform::RegDword << QByteArray("\x01", 1) << false << false << false;
        QTest::newRow("4-byte binary")
            << zelvorin::platform::RegBinary << four << false << false << false;
        QTest::newRow("8-byte binary")
            << zelvorin::platform::RegBinary << QByteArray(8, '\0') << false << false << true;
        QTest::newRow("unknown type")
            << quint32(7) << QByteArray("a\0\0", 3) << false << false << false;
    }
    void valueOfAnotherTypeCountsAsMissing() {
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(bool, integerReads);
        QFETCH(bool, stringReads);
        QFETCH(bool, floatReads);
        QVERIFY(RegistryHive(m_file).writeValue(kInterface, "FormWidth", type, data));
        zelvorin::SettingsStore registry(m_file);
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", -99) != -99, integerReads);
        QCOMPARE(registry.readBool(kInterface, "FormWidth", false), integerReads);
        QCOMPARE(registry.readString(kInterface, "FormWidth", "dflt") != "dflt", stringReads);
        QCOMPARE(registry.readFloat(kInterface, "FormWidth", -99.0) != -99.0, floatReads);
        QVERIFY(registry.valueExists(kInterface, "FormWidth"));
        QCOMPARE(registry.dataSize(kInterface, "FormWidth"), int(data.size()));
    }

    void expandStringsReadWithoutExpansion() {
        const QString raw = QStringLiteral("$HOME/%USERPROFILE%/x");
        QVERIFY(RegistryHive(m_file).writeValue(kHistory, "DefaultFolder",
                                                zelvorin::platform::RegExpandSz, raw.toUtf8()));
        zelvorin::SettingsStore registry(m_file);
        QCOMPARE(registry.readString(kHistory, "DefaultFolder", "dflt"), raw);
    }

    void binaryValues() {
        zelvorin::SettingsStore registry(m_file);
        const QByteArray bytes("\x00\x01\xfe\xff zz", 7);
        QVERIFY(registry.writeBinary(kInterface, "Blob", bytes));
        QCOMPARE(registry.dataSize(kInterface, "Blob"), 7);
        QByteArray buffer("unchanged");
        QVERIFY(registry.readBinary(kInterface, "Blob", buffer));
        QCOMPARE(buffer, bytes);

        // An empty value has size 0, so nothing is read.
        QVERIFY(registry.writeBinary(kInterface, "Empty", QByteArray()));
        QCOMPARE(registry.dataSize(kInterface, "Empty"), 0);
        buffer = "unchanged";
        QVERIFY(!registry.readBinary(kInterface, "Empty", buffer));
        QCOMPARE(buffer, QByteArray("unchanged"));
        QVERIFY(!registry.readBinary(kInterface, "Missing", buffer));
        QVERIFY(!registry.readBinary("No\\Such\\Key", "Blob", buffer));
        QVERIFY(registry.writeString(kInterface, "Text", "abc"));
        QVERIFY(!registry.readBinary(kInterface, "Text", buffer));
        QCOMPARE(buffer, QByteArray("unchanged"));
    }

    void namesAndPathsIgnoreCaseAndKeepFirstSpelling() {
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 1));
        QVERIFY(registry.writeInteger(kInterface.toUpper(), "FORMWIDTH", 2));
        QCOMPARE(registry.readInteger(kInterface.toLower(), "formwidth", 0), 2);
        RegistryHive hive(m_file);
        const auto values = hive.values(kInterface);
        QVERIFY(values);
        QCOMPARE(values->size(), 1);
        QCOMPARE(values->at(0).name, QStringLiteral("FormWidth"));
        QCOMPARE(hive.subKeys("SOFTWARE\\MORVENKAST").value_or(QStringList()),
                 QStringList{"Zelvorin"});
        QCOMPARE(hive.keySpelling("software\\morvenkast\\zelvorin\\interface").value_or(""),
                 kInterface);
    }

    void writeCreatesMissingParents() {
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeString("A\\B\\C\\D", "V", "x"));
        for (const char* path : {"A", "A\\B", "A\\B\\C", "A\\B\\C\\D", "a\\b"})
            QVERIFY2(registry.openKey(path, false), path);
        // Empty parts of a path are ignored, as leading and doubled separators.
        QCOMPARE(registry.readString("\\A\\\\B\\C\\D\\", "V", "dflt"), QStringLiteral("x"));
    }

    void openKeyRemembersThePath() {
        zelvorin::SettingsStore registry(m_file);
        QCOMPARE(registry.currentPath(), QString());
        QCOMPARE(registry.root(), zelvorin::SettingsStore::Root::CurrentUser);
        QVERIFY(!registry.openKey(kInterface, false));
        QCOMPARE(registry.currentPath(), QString());
        QVERIFY(registry.openKey(kInterface, true));
        QCOMPARE(registry.currentPath(), kInterface);
        QVERIFY(registry.openKey(kInterface, false));
        QVERIFY(!registry.openKey(kHistory, false));
        QCOMPARE(registry.currentPath(), kInterface);
    }

    void deleteValue() {
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 1));
        QVERIFY(registry.writeInteger(kInterface, "FormHeight", 2));
        QVERIFY(registry.deleteValue(kInterface, "formwidth"));
        QVERIFY(!registry.valueExists(kInterface, "FormWidth"));
        QVERIFY(registry.openKey(kInterface, false));
        // The last value goes, and the key with it; its parents stay.
        QVERIFY(registry.deleteValue(kInterface, "FormHeight"));
        QVERIFY(!registry.openKey(kInterface, false));
        QVERIFY(registry.openKey("Software\\Morvenkast\\Zelvorin", false));
        QVERIFY(!registry.deleteValue(kInterface, "FormHeight"));
        QVERIFY(!registry.openKey(kInterface, false));
    }

    void deleteValueKeepsKeyWithSubKeys() {
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeInteger("Software\\Z", "V", 1));
        QVERIFY(registry.writeInteger("Software\\Z\\Sub", "W", 1));
        QVERIFY(registry.deleteValue("Software\\Z", "V"));
        QVERIFY(registry.openKey("Software\\Z", false));
        QVERIFY(registry.readInteger("Software\\Z\\Sub", "W", 0) == 1);
    }

    void deleteValueOfExistingKeyWithoutTheValue() {
        zelvorin::SettingsStore registry(m_file);
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 1));
        QVERIFY(!registry.deleteValue(kInterface, "Other"));
        QCOMPARE(registry.readInteger(kInterface, "FormWidth", 0), 1);
    }

    void readStringList_data() {
        QTest::addColumn<QStringList>("stored"); // "n=text" entries
        QTest::addColumn<int>("first");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("result");
        QTest::newRow("three") << QStringList{"1=a", "2=b", "3=c"} << 1
                               << QStringList{"a", "b", "c"} << true;
        QTest::newRow("gap after two")
            << QStringList{"1=a", "2=b", "4=d"} << 1 << QStringList{"a", "b"} << true;
        QTest::newRow("first missing") << QStringList{"2=b"} << 1 << QStringList() << false;
        QTest::newRow("none") << QStringList() << 1 << QStringList() << false;
        QTest::newRow("from zero")
            << QStringList{"0=z", "1=a"} << 0 << QStringList{"z", "a"} << true;
        QTest::newRow("empty texts") << QStringList{"1=", "2="} << 1 << QStringList{"", ""} << true;
    }
    void readStringList() {
        QFETCH(QStringList, stored);
        QFETCH(int, first);
        QFETCH(QStringList, expected);
        QFETCH(bool, result);
        zelvorin::SettingsStore registry(m_file);
        for (const QString& entry : stored) {
            const QStringList parts = entry.split('=');
            QVERIFY(registry.writeString(kHistory, "LastFolders" + parts[0], parts[1]));
        }
        QStringList list{"old"};
        QCOMPARE(registry.readStringList(kHistory, "LastFolders", &list, first), result);
        QCOMPARE(list, expected);
        QVERIFY(!registry.readStringList(kHistory, "LastFolders", nullptr, first));
    }

    void writeStringListStopsDeletingAtTheGap() {
        zelvorin::SettingsStore registry(m_file);
        for (int n : {1, 2, 4})
            QVERIFY(registry.writeString(kHistory, QStringLiteral("LastFolders%1").arg(n),
                                         QStringLiteral("old%1").arg(n)));
        QStringList read;
        QVERIFY(registry.readStringList(kHistory, "LastFolders", &read, 1));
        QCOMPARE(read, (QStringList{"old1", "old2"}));
        const QStringList one{"new"};
        QVERIFY(registry.writeStringList(kHistory, "LastFolders", &one, 1));
        QCOMPARE(registry.readString(kHistory, "LastFolders1", "x"), QStringLiteral("new"));
        QVERIFY(!registry.valueExists(kHistory, "LastFolders2"));
        QCOMPARE(registry.readString(kHistory, "LastFolders4", "x"), QStringLiteral("old4"));
    }

    void writeStringList() {
        zelvorin::SettingsStore registry(m_file);
        const QStringList three{"/a", "/b", "/c"};
        QVERIFY(registry.writeStringList(kHistory, "FavoriteFolders", &three, 1));
        QStringList read;
        QVERIFY(registry.readStringList(kHistory, "FavoriteFolders", &read, 1));
        QCOMPARE(read, three);
        QVERIFY(!registry.writeStringList(kHistory, "FavoriteFolders", nullptr, 1));
        QCOMPARE(registry.readString(kHistory, "FavoriteFolders3", ""), QStringLiteral("/c"));
        // An empty list only removes the old values.
        QVERIFY(registry.writeInteger(kHistory, "LastFileFilter", 2));
        const QStringList none;
        QVERIFY(registry.writeStringList(kHistory, "FavoriteFolders", &none, 1));
        QVERIFY(!registry.readStringList(kHistory, "FavoriteFolders", &read, 1));
        QVERIFY(read.isEmpty());
        QVERIFY(!registry.valueExists(kHistory, "FavoriteFolders1"));
        QCOMPARE(registry.readInteger(kHistory, "LastFileFilter", 0), 2);
    }

    void defaultStoreLivesInTheUserConfigFolder() {
        zelvorin::SettingsStore registry;
        const QString expected = zelvorin::platform::userConfigFolder() + "/registry.db";
        QCOMPARE(registry.hiveFile(), expected);
        QVERIFY(expected.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
        QVERIFY(registry.writeInteger(kInterface, "FormWidth", 700));
        QVERIFY(QFileInfo(expected).isFile());
        QCOMPARE(zelvorin::SettingsStore().readInteger(kInterface, "FormWidth", 0), 700);
    }

    void localMachineIsReadOnly() {
        zelvorin::SettingsStore registry(m_file);
        registry.setRoot(zelvorin::SettingsStore::Root::LocalMachine);
        QCOMPARE(registry.root(), zelvorin::SettingsStore::Root::LocalMachine);
        QCOMPARE(registry.hiveFile(), QStringLiteral("/etc/xdg/zelvorin/registry.db"));
        if (QFileInfo::exists(registry.hiveFile()))
            QSKIP("this machine has a machine-wide settings store");
        QCOMPARE(registry.readString("Software\\Microsoft\\Internet Explorer", "Version", "none"),
                 QStringLiteral("none"));
        QVERIFY(!registry.writeString("Software\\X", "V", "x"));
        QVERIFY(!QFileInfo::exists(registry.hiveFile()));
        registry.setRoot(zelvorin::SettingsStore::Root::CurrentUser);
        QCOMPARE(registry.hiveFile(), m_file);
    }

    void readOnlyHive() {
        QVERIFY(zelvorin::SettingsStore(m_file).writeString("Software\\X", "V", "stored"));
        RegistryHive hive(m_file, RegistryHive::Access::ReadOnly);
        RegistryValue value;
        QCOMPARE(hive.readValue("Software\\X", "V", &value), RegistryLookup::Found);
        QCOMPARE(value.data, QByteArray("stored"));
        QVERIFY(!hive.writeValue("Software\\X", "V", zelvorin::platform::RegSz, "new"));
        QVERIFY(!hive.deleteKey("Software\\X", true));
        RegistryHive missing(m_file + ".missing", RegistryHive::Access::ReadOnly);
        QCOMPARE(missing.readValue("Software\\X", "V", &value), RegistryLookup::Failed);
        QVERIFY(!QFileInfo::exists(m_file + ".missing"));
    }

    void hiveDeletesKeys() {
        RegistryHive hive(m_file);
        QVERIFY(hive.writeValue("A\\B", "v", zelvorin::platform::RegSz, "1"));
        QVERIFY(hive.writeValue("A\\B\\C", "v", zelvorin::platform::RegSz, "2"));
        QVERIFY(hive.writeValue("A\\BC", "v", zelvorin::platform::RegSz, "3"));
        QVERIFY(!hive.deleteKey("A\\B", false));
        QVERIFY(hive.deleteKey("a\\b", true));
        QVERIFY(!hive.keyExists("A\\B"));
        QVERIFY(!hive.keyExists("A\\B\\C"));
        QVERIFY(hive.keyExists("A\\BC"));
        QCOMPARE(hive.subKeys("A").value_or(QStringList()), QStringList{"BC"});
        QVERIFY(!hive.deleteKey("", true));
        QVERIFY(!hive.deleteKey("Nope", true));
        QVERIFY(hive.createKey("Empty"));
        QVERIFY(hive.deleteKey("Empty", false));
        QVERIFY(hive.checkIntegrity());
    }

    void failedBatchLeavesNothing() {
        RegistryHive hive(m_file);
        QVERIFY(hive.writeValue("K", "kept", zelvorin::platform::RegSz, "old"));
        {
            RegistryHive::Batch batch(hive, true);
            QVERIFY(batch.isOpen());
            QVERIFY(hive.writeValue("K", "kept", zelvorin::platform::RegSz, "new"));
            QVERIFY(hive.writeValue("K", "added", zelvorin::platform::RegSz, "x"));
        } // not committed
        RegistryValue value;
        QCOMPARE(hive.readValue("K", "kept", &value), RegistryLookup::Found);
        QCOMPARE(value.data, QByteArray("old"));
        QCOMPARE(hive.readValue("K", "added", &value), RegistryLookup::ValueMissing);
    }
};

ZELVORIN_TEST_MAIN(TestRegistry)
#include "test_registry.moc"
