// The settings store. Every operation names a key path and a value name, opens the key,
// does one read or write and closes it again; nothing ever throws. Reads that fail give
// the caller's default, writes that fail give false. Values keep their registry types
// (REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY) in a typed hive kept in SQLite, so a
// value of the wrong type reads as missing.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

namespace zelvorin::platform {
class RegistryHive;
}

enum class TRootKey {
    CurrentUser, // the user's hive: $XDG_CONFIG_HOME/zelvorin/registry.db
    LocalMachine // the machine's hive, read-only for users: /etc/xdg/zelvorin/registry.db
};

class TUsefulRegistry {
public:
    // Root CurrentUser, empty current key path.
    TUsefulRegistry();
    // A store whose CurrentUser root is the given hive file (tools and tests).
    explicit TUsefulRegistry(const QString& currentUserHiveFile);
    ~TUsefulRegistry();
    TUsefulRegistry(const TUsefulRegistry&) = delete;
    TUsefulRegistry& operator=(const TUsefulRegistry&) = delete;

    void SetRootKey(TRootKey root);
    TRootKey RootKey() const { return m_root; }
    QString CurrentPath() const { return m_currentPath; }
    // The file behind the current root.
    QString HiveFile() const;

    bool OpenKey(const QString& keyPath, bool canCreate);

    QString ReadString(const QString& keyPath, const QString& name, const QString& defaultValue);
    int ReadInteger(const QString& keyPath, const QString& name, int defaultValue);
    bool ReadBool(const QString& keyPath, const QString& name, bool defaultValue);
    double ReadFloat(const QString& keyPath, const QString& name, double defaultValue);
    int GetDataSize(const QString& keyPath, const QString& name);
    bool ReadBinary(const QString& keyPath, const QString& name, QByteArray& buffer);

    bool WriteString(const QString& keyPath, const QString& name, const QString& value);
    bool WriteInteger(const QString& keyPath, const QString& name, int value);
    bool WriteBool(const QString& keyPath, const QString& name, bool value);
    bool WriteFloat(const QString& keyPath, const QString& name, double value);
    bool WriteBinary(const QString& keyPath, const QString& name, const QByteArray& buffer);

    bool ValueExists(const QString& keyPath, const QString& name);
    bool DeleteValue(const QString& keyPath, const QString& name);

    bool ReadStringList(const QString& keyPath, const QString& baseName, QStringList* list,
                        int firstNumber);
    bool WriteStringList(const QString& keyPath, const QString& baseName,
                         const QStringList* list, int firstNumber);

private:
    zelvorin::platform::RegistryHive* hive();

    TRootKey m_root = TRootKey::CurrentUser;
    QString m_currentPath;
    QString m_currentUserFile;
    std::unique_ptr<zelvorin::platform::RegistryHive> m_hive;
};
