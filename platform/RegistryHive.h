// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A registry hive kept in one SQLite file: a tree of keys addressed by backslash-separated
// paths, each key holding typed values (REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD and any
// other type number, kept as bytes). Key paths and value names compare without regard to
// case and keep the spelling they were first written with.
//
// Every call is one short transaction on its own unless a Batch is active, so a crash never
// leaves half a write behind and several processes may use the same file at once. A file
// that is not a valid hive is moved aside (never deleted) and a new one is started; one
// that may not be written is read without anything made beside it.
//
// Texts (key paths, value names) keep every byte: they are stored in their lossless form
// (LosslessNames.h).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct sqlite3;

namespace zelvorin::platform {

class Statement;

inline constexpr quint32 RegSz = 1;
inline constexpr quint32 RegExpandSz = 2;
inline constexpr quint32 RegBinary = 3;
inline constexpr quint32 RegDword = 4;

struct RegistryValue {
    QString name;
    quint32 type = 0;
    QByteArray data;
};

enum class RegistryLookup { Found, ValueMissing, KeyMissing, Failed };

class RegistryHive {
public:
    enum class Access { ReadWrite, ReadOnly };

    explicit RegistryHive(const QString& fileName, Access access = Access::ReadWrite);
    ~RegistryHive();
    RegistryHive(const RegistryHive&) = delete;
    RegistryHive& operator=(const RegistryHive&) = delete;

    QString fileName() const { return m_fileName; }
    Access access() const { return m_access; }
    // Why the last call that failed did so: SQLite's message, with the system's reason when
    // the operating system refused (e.g. "unable to open database file (Not a directory)").
    // Cleared when the next call begins.
    QString lastError() const { return m_lastError; }

    // The empty path is the root key, which always exists.
    bool keyExists(const QString& path);
    // Creates the key and every missing parent.
    bool createKey(const QString& path);
    // The key's full path as first written, or an empty optional when it does not exist.
    std::optional<QString> keySpelling(const QString& path);

    RegistryLookup readValue(const QString& path, const QString& name, RegistryValue* value);
    // Creates the key (and its parents) when missing; an existing value keeps its spelling.
    bool writeValue(const QString& path, const QString& name, quint32 type, const QByteArray& data);
    // False when the key or the value does not exist.
    bool deleteValue(const QString& path, const QString& name);

    // True when the key holds values or sub-keys; empty when the key is missing or on error.
    std::optional<bool> keyHasContent(const QString& path);
    // Without `recursive` only a key with neither values nor sub-keys is removed.
    bool deleteKey(const QString& path, bool recursive);

    // Values in the order they were first written.
    std::optional<QList<RegistryValue>> values(const QString& path);
    // Names of the direct sub-keys as first written, sorted without regard to case.
    std::optional<QStringList> subKeys(const QString& path);

    // Runs SQLite's full integrity check; true when the file is sound.
    bool checkIntegrity();

    // Opens another hive file (set up, or moved aside and started anew, as any hive file)
    // in this hive's connection: a write Batch of this hive then covers both files, and
    // its commit keeps the changes of both or of neither, whatever happens (both files
    // are turned to a rollback journal, and SQLite commits the files of one connection
    // together through a super-journal). The returned hive works on that file and must
    // not outlive this one. Null, with lastError() saying why, when either file cannot be
    // written or cannot take part.
    std::unique_ptr<RegistryHive> attach(const QString& fileName);

    // Lets go of the file until the next call, so that other programs may change its
    // journal mode (an import of both roots waits for that).
    void release();

    // Groups the calls made while it lives into one transaction. A write batch takes the
    // write lock at once so that its reads and writes see one state of the file.
    class Batch {
    public:
        Batch(RegistryHive& hive, bool write);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        bool isOpen() const { return m_open; }
        // Commits when every call in the batch succeeded, otherwise rolls back.
        bool commit();

    private:
        RegistryHive& m_hive;
        bool m_open = false;
    };

    // Splits a key path into its parts, ignoring empty parts (leading, trailing or doubled
    // backslashes).
    static QStringList pathParts(const QString& path);
    // The form in which key paths compare: parts case-folded and joined by one backslash.
    static QString foldedKey(const QString& path);

private:
    class Scope;
    friend class Scope;
    friend class Batch;

    bool ensureOpen();
    bool openFile();
    bool openForReading(QString* reason);
    bool mendSideFiles(unsigned mode, QString* problem);
    bool sharesOneCommit();
    void closeFile();
    // A prepared statement whose "main." tables are those of this hive's schema.
    Statement statement(const char* sql) const;
    enum class Validity { Valid, Empty, Broken, Unavailable };
    Validity validate(QString* reason);
    bool initialise();
    bool moveAside(const QString& reason);
    bool begin(bool write);
    bool end(bool commit);
    void noteError(int code);
    QString describe(int code) const;
    QString fileProblem(int systemError, QString* advice) const;
    void noteProblem(const QString& reason);
    bool exec(const char* sql);
    bool createKeyInTransaction(const QStringList& parts);
    bool keyExistsInTransaction(const QString& folded);

    QString m_fileName;
    Access m_access = Access::ReadWrite;
    sqlite3* m_db = nullptr;
    // An attached hive works in its host's connection and transactions, on its own schema.
    RegistryHive* m_host = nullptr;
    QByteArray m_schema = "main";
    int m_attached = 0;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    int m_depth = 0;
    bool m_writeTransaction = false;
    bool m_failed = false;
    bool m_suspectCorrupt = false;
    QString m_lastError;
    // Set while the file is open for reading only because it could not be opened for
    // writing; m_fallbackReason says why.
    bool m_readOnlyFallback = false;
    QString m_fallbackReason;
};

} // namespace zelvorin::platform
