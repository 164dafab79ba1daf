// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings store. Every operation names a key path and a value name, opens the key,
// does one read or write and closes it again; nothing ever throws. Reads that fail give
// the caller's default, writes that fail give false. Values keep their registry types
// (REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY) in a typed hive kept in SQLite, so a
// value of the wrong type reads as missing.
//
// Strings keep every byte: a folder path that is not UTF-8 (in the lossless form the file
// actions use) and a leading U+FEFF come back as they were written.
//
// A write the file does not take (a read-only file or folder, a full disk, a file where
// the settings folder should be) is kept in memory: later reads in this run give it, and
// it is saved as soon as the file takes writes again (tried every few seconds, and with
// every write). The store says so through `saveFailed` on the first failure after a save
// that worked, and through `unsavedChangesSaved` once they are saved.
#pragma once

#include "UnsavedSettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

class QTimer;

namespace zelvorin {

namespace platform {
class RegistryHive;
}

class SettingsStore : public QObject {
    Q_OBJECT
public:
    enum class Root {
        CurrentUser, // the user's hive: $XDG_CONFIG_HOME/zelvorin/registry.db
        LocalMachine // the machine's hive, read-only for users: /etc/xdg/zelvorin/registry.db
    };

    // Root CurrentUser, empty current key path.
    SettingsStore();
    // A store whose CurrentUser root is the given hive file (tools and tests).
    explicit SettingsStore(const QString& currentUserHiveFile);
    ~SettingsStore() override;

    void setRoot(Root root);
    Root root() const { return m_root; }
    QString currentPath() const { return m_currentPath; }
    // The file behind the current root.
    QString hiveFile() const;

    bool openKey(const QString& keyPath, bool canCreate);

    QString readString(const QString& keyPath, const QString& name, const QString& defaultValue);
    int readInteger(const QString& keyPath, const QString& name, int defaultValue);
    bool readBool(const QString& keyPath, const QString& name, bool defaultValue);
    double readFloat(const QString& keyPath, const QString& name, double defaultValue);
    int dataSize(const QString& keyPath, const QString& name);
    bool readBinary(const QString& keyPath, const QString& name, QByteArray& buffer);

    bool writeString(const QString& keyPath, const QString& name, const QString& value);
    bool writeInteger(const QString& keyPath, const QString& name, int value);
    bool writeBool(const QString& keyPath, const QString& name, bool value);
    bool writeFloat(const QString& keyPath, const QString& name, double value);
    bool writeBinary(const QString& keyPath, const QString& name, const QByteArray& buffer);

    bool valueExists(const QString& keyPath, const QString& name);
    bool deleteValue(const QString& keyPath, const QString& name);

    bool readStringList(const QString& keyPath, const QString& baseName, QStringList* list,
                        int firstNumber);
    bool writeStringList(const QString& keyPath, const QString& baseName, const QStringList* list,
                         int firstNumber);

    // True while writes are kept in memory because the file did not take them.
    bool hasUnsavedChanges() const;
    // Why the last save the file did not take failed (with what to mend).
    QString saveProblem() const { return m_saveProblem; }

signals:
    // The file did not take a write: said on the first failure of the run and on the first
    // after a later save worked, not on every write while saving keeps failing.
    // `firstInSession` is true only the first time in this run.
    void saveFailed(const QString& file, const QString& reason, bool firstInSession);
    // Every write kept in memory has now been saved to the file.
    void unsavedChangesSaved(const QString& file);

private:
    QString fileOf(Root root) const;
    platform::RegistryHive* hive();
    UnsavedSettings& unsaved();
    platform::RegistryLookup lookup(const QString& keyPath, const QString& name,
                                    platform::RegistryValue* value);
    // The value's bytes when it exists with the given type, else nothing.
    std::optional<QByteArray> typedData(const QString& keyPath, const QString& name, quint32 type);
    // Saves the unsaved writes and this one (if any) in one transaction; keeps this one in
    // memory when that fails. `applied` is the write's own outcome (a deletion of a missing
    // value is saved but not applied).
    bool save(const UnsavedWrite* write, bool* applied = nullptr);
    bool save(const UnsavedWrite& write) { return save(&write); }
    void retrySaving();
    bool apply(platform::RegistryHive& hive, const UnsavedWrite& write);
    bool applyDelete(platform::RegistryHive& hive, const QString& keyPath, const QString& name);
    void noteSaveFailure(const QString& reason);

    Root m_root = Root::CurrentUser;
    QString m_currentPath;
    QString m_currentUserFile;
    std::unique_ptr<platform::RegistryHive> m_hive;
    // One per root, indexed by Root.
    std::array<UnsavedSettings, 2> m_unsaved;
    bool m_saveFailing = false;
    bool m_saveFailureTold = false;
    QString m_saveProblem;
    QTimer* m_retryTimer = nullptr;
    // Lets go of the file once the store is idle (see RegistryHive::release).
    QTimer* m_idleTimer = nullptr;
};

} // namespace zelvorin
