// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RegistryHive.h"

#include "SqliteStatement.h"

#include <sqlite3.h>

namespace zelvorin::platform {

namespace {

QString foldedPath(const QStringList& parts) {
    QStringList folded;
    folded.reserve(parts.size());
    for (const QString& part : parts)
        folded << part.toCaseFolded();
    return folded.join(QLatin1Char('\\'));
}

} // namespace

// One call's share of a transaction: the outermost scope begins and ends it.
class RegistryHive::Scope {
public:
    Scope(RegistryHive& hive, bool write) : m_hive(hive) { m_open = hive.begin(write); }
    ~Scope() {
        if (m_open)
            m_hive.end(false);
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

    bool isOpen() const { return m_open; }
    sqlite3* db() const { return m_hive.m_db; }
    // Ends this call's share; true when it went well and (for the outermost) committed.
    bool finish(bool success) {
        if (!m_open)
            return false;
        m_open = false;
        return m_hive.end(success) && success;
    }
    // Records the outcome of a statement; false on an error.
    bool check(int code) {
        if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
            return true;
        m_hive.noteError(code);
        return false;
    }

private:
    RegistryHive& m_hive;
    bool m_open = false;
};

RegistryHive::RegistryHive(const QString& fileName, Access access)
    : m_fileName(fileName), m_access(access) {}

RegistryHive::~RegistryHive() {
    closeFile();
}

QStringList RegistryHive::pathParts(const QString& path) {
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

QString RegistryHive::foldedKey(const QString& path) {
    return foldedPath(pathParts(path));
}

Statement RegistryHive::statement(const char* sql) const {
    if (m_schema == "main")
        return Statement(m_db, sql);
    return Statement(m_db, QByteArray(sql).replace("main.", m_schema + '.').constData());
}

bool RegistryHive::begin(bool write) {
    if (m_host) {
        if (!m_host->begin(write)) {
            noteProblem(m_host->lastError());
            return false;
        }
        m_db = m_host->m_db;
        return true;
    }
    if (m_depth > 0) {
        if (write && !m_writeTransaction) {
            m_failed = true;
            return false;
        }
        ++m_depth;
        return true;
    }
    m_lastError.clear();
    if (write && m_access == Access::ReadOnly) {
        noteProblem(QStringLiteral("the store is open for reading only"));
        return false;
    }
    // A store that could only be read may have become writable since.
    if (write && m_readOnlyFallback)
        closeFile();
    if (!ensureOpen())
        return false;
    if (write && m_readOnlyFallback) {
        noteProblem(m_fallbackReason);
        return false;
    }
    // IMMEDIATE takes the write lock up front (waiting for it under the busy timeout); a
    // deferred transaction that later needs to write could fail at once instead of waiting.
    if (!exec(write ? "BEGIN IMMEDIATE" : "BEGIN")) {
        if (m_suspectCorrupt)
            closeFile();
        return false;
    }
    // With the write locks held, no other connection can turn a file back to WAL.
    if (write && m_attached > 0 && !sharesOneCommit()) {
        exec("ROLLBACK");
        noteProblem(QStringLiteral("a file of the transaction was turned back to WAL mode by "
                                   "another program; try again"));
        return false;
    }
    m_writeTransaction = write;
    m_failed = false;
    m_depth = 1;
    return true;
}

bool RegistryHive::end(bool success) {
    if (m_host)
        return m_host->end(success);
    if (m_depth <= 0)
        return false;
    if (!success)
        m_failed = true;
    if (--m_depth > 0)
        return success;
    bool committed = false;
    if (!m_failed)
        committed = exec("COMMIT");
    if (!committed)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    // A damaged file is checked (and moved aside) when the next call opens it again.
    if (m_suspectCorrupt)
        closeFile();
    return committed;
}

RegistryHive::Batch::Batch(RegistryHive& hive, bool write) : m_hive(hive) {
    m_open = hive.begin(write);
}

RegistryHive::Batch::~Batch() {
    if (m_open)
        m_hive.end(false);
}

bool RegistryHive::Batch::commit() {
    if (!m_open)
        return false;
    m_open = false;
    return m_hive.end(true);
}

bool RegistryHive::keyExistsInTransaction(const QString& folded) {
    if (folded.isEmpty())
        return true;
    Statement find = statement("SELECT 1 FROM main.keys WHERE folded = ?");
    find.bind(1, folded);
    const int code = find.step();
    if (code != SQLITE_ROW && code != SQLITE_DONE)
        noteError(code);
    return code == SQLITE_ROW;
}

bool RegistryHive::createKeyInTransaction(const QStringList& parts) {
    QString parent;
    for (const QString& part : parts) {
        const QString folded = parent.isEmpty() ? part.toCaseFolded()
                                                : parent + QLatin1Char('\\') + part.toCaseFolded();
        Statement insert = statement("INSERT INTO main.keys(folded, parent, name) VALUES(?, ?, ?) "
                                     "ON CONFLICT(folded) DO NOTHING");
        insert.bind(1, folded);
        insert.bind(2, parent);
        insert.bind(3, part);
        const int code = insert.step();
        if (code != SQLITE_DONE) {
            noteError(code);
            return false;
        }
        parent = folded;
    }
    return true;
}

bool RegistryHive::keyExists(const QString& path) {
    Scope scope(*this, false);
    if (!scope.isOpen())
        return false;
    const bool exists = keyExistsInTransaction(foldedPath(pathParts(path)));
    return scope.finish(true) && exists;
}

bool RegistryHive::createKey(const QString& path) {
    Scope scope(*this, true);
    if (!scope.isOpen())
        return false;
    return scope.finish(createKeyInTransaction(pathParts(path)));
}

std::optional<QString> RegistryHive::keySpelling(const QString& path) {
    Scope scope(*this, false);
    if (!scope.isOpen())
        return std::nullopt;
    QStringList spelled;
    QStringList prefix;
    for (const QString& part : pathParts(path)) {
        prefix << part;
        Statement find = statement("SELECT name FROM main.keys WHERE folded = ?");
        find.bind(1, foldedPath(prefix));
        const int code = find.step();
        if (code != SQLITE_ROW) {
            scope.finish(scope.check(code));
            return std::nullopt;
        }
        spelled << find.text(0);
    }
    if (!scope.finish(true))
        return std::nullopt;
    return spelled.join(QLatin1Char('\\'));
}

RegistryLookup RegistryHive::readValue(const QString& path, const QString& name,
                                       RegistryValue* value) {
    Scope scope(*this, false);
    if (!scope.isOpen())
        return RegistryLookup::Failed;
    const QString key = foldedPath(pathParts(path));
    if (!keyExistsInTransaction(key))
        return scope.finish(true) ? RegistryLookup::KeyMissing : RegistryLookup::Failed;
    Statement find =
        statement("SELECT name, type, data FROM main.vals WHERE key = ? AND folded = ?");
    find.bind(1, key);
    find.bind(2, name.toCaseFolded());
    const int code = find.step();
    if (code == SQLITE_ROW && value) {
        value->name = find.text(0);
        value->type = quint32(find.integer(1));
        value->data = find.blob(2);
    }
    if (!scope.finish(scope.check(code)))
        return RegistryLookup::Failed;
    return code == SQLITE_ROW ? RegistryLookup::Found : RegistryLookup::ValueMissing;
}

bool RegistryHive::writeValue(const QString& path, const QString& name, quint32 type,
                              const QByteArray& data) {
    Scope scope(*this, true);
    if (!scope.isOpen())
        return false;
    const QStringList parts = pathParts(path);
    if (!createKeyInTransaction(parts))
        return scope.finish(false);
    Statement upsert =
        statement("INSERT INTO main.vals(key, folded, name, type, data) VALUES(?, ?, ?, ?, ?) "
                  "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, "
                  "data = excluded.data");
    upsert.bind(1, foldedPath(parts));
    upsert.bind(2, name.toCaseFolded());
    upsert.bind(3, name);
    upsert.bind(4, qint64(type));
    upsert.bind(5, data);
    return scope.finish(scope.check(upsert.step()));
}

bool RegistryHive::deleteValue(const QString& path, const QString& name) {
    Scope scope(*this, true);
    if (!scope.isOpen())
        return false;
    const QString key = foldedPath(pathParts(path));
    if (!keyExistsInTransaction(key)) {
        scope.finish(true);
        return false;
    }
    Statement remove = statement("DELETE FROM main.vals WHERE key = ? AND folded = ?");
    remove.bind(1, key);
    remove.bind(2, name.toCaseFolded());
    const bool ok = scope.check(remove.step());
    const bool removed = ok && sqlite3_changes(m_db) > 0;
    return scope.finish(ok) && removed;
}

std::optional<bool> RegistryHive::keyHasContent(const QString& path) {
    Scope scope(*this, false);
    if (!scope.isOpen())
        return std::nullopt;
    const QString key = foldedPath(pathParts(path));
    if (!keyExistsInTransaction(key)) {
        scope.finish(true);
        return std::nullopt;
    }
    Statement query = statement("SELECT EXISTS(SELECT 1 FROM main.vals WHERE key = ?1) OR "
                                "EXISTS(SELECT 1 FROM main.keys WHERE parent = ?1)");
    query.bind(1, key);
    const int code = query.step();
    const bool content = code == SQLITE_ROW && query.integer(0) != 0;
    if (!scope.finish(scope.check(code)) || code != SQLITE_ROW)
        return std::nullopt;
    return content;
}

bool RegistryHive::deleteKey(const QString& path, bool recursive) {
    const QString key = foldedPath(pathParts(path));
    if (key.isEmpty())
        return false;
    Scope scope(*this, true);
    if (!scope.isOpen())
        return false;
    if (!keyExistsInTransaction(key)) {
        scope.finish(true);
        return false;
    }
    // Every path below the key starts with "key\"; in byte order they all lie between
    // "key\" and "key]" (']' follows '\').
    const QString low = key + QLatin1Char('\\');
    const QString high = key + QLatin1Char(']');
    if (!recursive) {
        Statement query = statement("SELECT EXISTS(SELECT 1 FROM main.vals WHERE key = ?1) OR "
                                    "EXISTS(SELECT 1 FROM main.keys WHERE parent = ?1)");
        query.bind(1, key);
        const int code = query.step();
        if (code != SQLITE_ROW || query.integer(0) != 0) {
            scope.finish(scope.check(code));
            return false;
        }
    }
    Statement values =
        statement("DELETE FROM main.vals WHERE key = ?1 OR (key >= ?2 AND key < ?3)");
    values.bind(1, key);
    values.bind(2, low);
    values.bind(3, high);
    if (!scope.check(values.step()))
        return scope.finish(false);
    Statement keys =
        statement("DELETE FROM main.keys WHERE folded = ?1 OR (folded >= ?2 AND folded < ?3)");
    keys.bind(1, key);
    keys.bind(2, low);
    keys.bind(3, high);
    return scope.finish(scope.check(keys.step()));
}

std::optional<QList<RegistryValue>> RegistryHive::values(const QString& path) {
    Scope scope(*this, false);
    if (!scope.isOpen())
        return std::nullopt;
    const QString key = foldedPath(pathParts(path));
    if (!keyExistsInTransaction(key)) {
        scope.finish(true);
        return std::nullopt;
    }
    QList<RegistryValue> result;
    Statement query = statement("SELECT name, type, data FROM main.vals WHERE key = ? ORDER BY id");
    query.bind(1, key);
    int code;
    while ((code = query.step()) == SQLITE_ROW)
        result.append({query.text(0), quint32(query.integer(1)), query.blob(2)});
    if (!scope.finish(scope.check(code)))
        return std::nullopt;
    return result;
}

std::optional<QStringList> RegistryHive::subKeys(const QString& path) {
    Scope scope(*this, false);
    if (!scope.isOpen())
        return std::nullopt;
    const QString key = foldedPath(pathParts(path));
    if (!keyExistsInTransaction(key)) {
        scope.finish(true);
        return std::nullopt;
    }
    QStringList result;
    Statement query = statement("SELECT name FROM main.keys WHERE parent = ? ORDER BY folded");
    query.bind(1, key);
    int code;
    while ((code = query.step()) == SQLITE_ROW)
        result << query.text(0);
    if (!scope.finish(scope.check(code)))
        return std::nullopt;
    return result;
}

bool RegistryHive::checkIntegrity() {
    Scope scope(*this, false);
    if (!scope.isOpen())
        return false;
    Statement check = statement("PRAGMA main.integrity_check");
    const int code = check.step();
    const bool sound = code == SQLITE_ROW && check.text(0) == QLatin1String("ok");
    return scope.finish(scope.check(code)) && sound;
}

} // namespace zelvorin::platform
