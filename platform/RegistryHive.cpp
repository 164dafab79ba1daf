#include "RegistryHive.h"

#include "SqliteStatement.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QtDebug>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvorin::platform {

namespace {

// "ZLRG": marks a file as ours, so a database of another program is never mistaken for it.
constexpr int kApplicationId = 0x5A4C5247;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 5000;

const char* const kSchema = "CREATE TABLE keys("
                            " id INTEGER PRIMARY KEY,"
                            " folded TEXT NOT NULL UNIQUE,"
                            " parent TEXT NOT NULL,"
                            " name TEXT NOT NULL);"
                            "CREATE INDEX keys_by_parent ON keys(parent);"
                            "CREATE TABLE vals("
                            " id INTEGER PRIMARY KEY,"
                            " key TEXT NOT NULL,"
                            " folded TEXT NOT NULL,"
                            " name TEXT NOT NULL,"
                            " type INTEGER NOT NULL,"
                            " data BLOB NOT NULL,"
                            " UNIQUE(key, folded));";

bool isCorruption(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

QString foldedPath(const QStringList& parts) {
    QStringList folded;
    folded.reserve(parts.size());
    for (const QString& part : parts)
        folded << part.toCaseFolded();
    return folded.join(QLatin1Char('\\'));
}

bool statFile(const QString& path, struct stat* info) {
    return ::stat(QFile::encodeName(path).constData(), info) == 0;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Creates the folder and its missing parents; on failure gives the path that failed and
// the system's reason, which QDir::mkpath would swallow (a regular file where a folder
// should be, a folder without write permission).
bool makeFolders(const QString& folder, QString* reason) {
    const QByteArray path = QFile::encodeName(folder);
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path.at(end) != '/')
            continue;
        const QByteArray part = path.left(end);
        struct stat info {};
        int error = 0;
        if (::stat(part.constData(), &info) == 0)
            error = S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
        else if (errno != ENOENT)
            error = errno;
        else if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            error = errno;
        if (error != 0) {
            *reason = QFile::decodeName(part) + QStringLiteral(": ") + systemReason(error);
            return false;
        }
    }
    return true;
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

bool RegistryHive::ensureOpen() {
    if (m_db) {
        // Another process may have moved a broken file aside and started a new one; a
        // connection to the old file would write where nobody reads.
        struct stat info {};
        if (statFile(m_fileName, &info) && quint64(info.st_dev) == m_device &&
            quint64(info.st_ino) == m_inode)
            return true;
        closeFile();
    }
    return openFile();
}

void RegistryHive::closeFile() {
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_suspectCorrupt = false;
    m_readOnlyFallback = false;
}

bool RegistryHive::openFile() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct stat info {};
        const bool exists = statFile(m_fileName, &info);
        const int statError = exists ? 0 : errno;
        const QByteArray encoded = QFile::encodeName(m_fileName);
        QString reason;
        if (m_access == Access::ReadOnly) {
            if (!exists || S_ISDIR(info.st_mode)) {
                noteProblem(systemReason(exists ? EISDIR : statError));
                return false;
            }
            if (openForReading(&reason))
                break;
            if (!reason.isEmpty())
                noteProblem(QStringLiteral("it is not a valid settings store (%1)").arg(reason));
            return false;
        }

        if (exists && S_ISDIR(info.st_mode)) {
            if (!moveAside(QStringLiteral("a folder is in its place")))
                return false;
            continue;
        }
        QString problem;
        if (!makeFolders(QFileInfo(m_fileName).absolutePath(), &problem)) {
            noteProblem(problem);
            return false;
        }
        const int opened = sqlite3_open_v2(encoded.constData(), &m_db,
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (opened != SQLITE_OK) {
            noteError(opened);
            closeFile();
            return false;
        }
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        const Validity validity = validate(&reason);
        if (validity == Validity::Broken) {
            closeFile();
            if (!moveAside(reason))
                return false;
            continue;
        }
        if (validity == Validity::Unavailable || (validity == Validity::Empty && !initialise())) {
            closeFile();
            // The file may still be readable (a read-only folder or file): the settings
            // it holds are used, and every write says why it cannot be made.
            const QString writeProblem = m_lastError;
            QString ignored;
            if (exists && validity != Validity::Empty && openForReading(&ignored)) {
                m_readOnlyFallback = true;
                m_fallbackReason = writeProblem;
                break;
            }
            return false;
        }
        // SQLite opens a file it may not write (a read-only or immutable file) for reading
        // without a word; writes then fail until the connection is made again.
        if (sqlite3_db_readonly(m_db, "main") == 1) {
            m_readOnlyFallback = true;
            m_fallbackReason = QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY));
            if (::access(encoded.constData(), W_OK) != 0)
                m_fallbackReason += QStringLiteral(" (") + systemReason(errno) + QLatin1Char(')');
            break;
        }
        // WAL with synchronous=NORMAL: a commit is atomic against a killed process and
        // readers never wait for a writer.
        {
            Statement mode(m_db, "PRAGMA journal_mode=WAL");
            mode.step();
        }
        exec("PRAGMA synchronous=NORMAL");
        break;
    }
    if (!m_db)
        return false;
    struct stat info {};
    if (!statFile(m_fileName, &info)) {
        noteProblem(systemReason(errno));
        closeFile();
        return false;
    }
    m_device = quint64(info.st_dev);
    m_inode = quint64(info.st_ino);
    // Problems met on the way (a file moved aside, a first read-only attempt) were overcome.
    m_lastError.clear();
    return true;
}

bool RegistryHive::openForReading(QString* reason) {
    const QByteArray encoded = QFile::encodeName(m_fileName);
    if (sqlite3_open_v2(encoded.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        if (validate(reason) == Validity::Valid)
            return true;
    }
    closeFile();
    // A file left in WAL mode cannot be opened read-only when its folder is not writable
    // for the shared-memory file; nobody can change such a file while it is read, so it
    // can be read as immutable.
    const QByteArray uri = "file:" + QUrl::toPercentEncoding(m_fileName, "/") + "?immutable=1";
    if (sqlite3_open_v2(uri.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
            SQLITE_OK &&
        validate(reason) == Validity::Valid)
        return true;
    closeFile();
    return false;
}

RegistryHive::Validity RegistryHive::validate(QString* reason) {
    {
        Statement check(m_db, "PRAGMA quick_check");
        const int code = check.step();
        if (isCorruption(code) || (code == SQLITE_ROW && check.text(0) != QLatin1String("ok"))) {
            *reason = code == SQLITE_ROW ? QStringLiteral("damaged: ") + check.text(0)
                                         : QString::fromUtf8(sqlite3_errstr(code));
            return Validity::Broken;
        }
        if (code != SQLITE_ROW) {
            noteError(code);
            return Validity::Unavailable;
        }
    }
    Statement id(m_db, "PRAGMA application_id");
    Statement objects(m_db, "SELECT count(*) FROM sqlite_master");
    if (id.step() != SQLITE_ROW || objects.step() != SQLITE_ROW) {
        noteError(id.code() != SQLITE_ROW ? id.code() : objects.code());
        return Validity::Unavailable;
    }
    if (id.integer(0) == kApplicationId) {
        Statement keys(m_db, "SELECT id, folded, parent, name FROM keys LIMIT 0");
        Statement vals(m_db, "SELECT id, key, folded, name, type, data FROM vals LIMIT 0");
        if (keys.prepared() && vals.prepared())
            return Validity::Valid;
        *reason = QStringLiteral("its tables are not those of a settings store");
        return Validity::Broken;
    }
    if (id.integer(0) == 0 && objects.integer(0) == 0)
        return Validity::Empty;
    *reason = QStringLiteral("it is a database of another kind");
    return Validity::Broken;
}

bool RegistryHive::initialise() {
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    // Another process may have set the file up while this one waited for the lock.
    Statement id(m_db, "PRAGMA application_id");
    if (id.step() == SQLITE_ROW && id.integer(0) == kApplicationId)
        return exec("COMMIT");
    const QByteArray pragmas = QByteArray("PRAGMA application_id=") +
                               QByteArray::number(kApplicationId) +
                               ";PRAGMA user_version=" + QByteArray::number(kSchemaVersion);
    if (exec(kSchema) && exec(pragmas.constData()) && exec("COMMIT"))
        return true;
    exec("ROLLBACK");
    return false;
}

bool RegistryHive::moveAside(const QString& reason) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_fileName + QStringLiteral(".broken-") + stamp;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target =
            m_fileName + QStringLiteral(".broken-") + stamp + QLatin1Char('-') + QString::number(n);
    if (std::rename(QFile::encodeName(m_fileName).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        noteProblem(QStringLiteral("it is not a valid settings store (%1) and could not be moved "
                                   "aside: %2")
                        .arg(reason, systemReason(errno)));
        qWarning("Settings file %s is not a valid settings store (%s) and could not be moved "
                 "aside; settings are not kept",
                 qPrintable(m_fileName), qPrintable(reason));
        return false;
    }
    // A journal left beside the new file would be replayed into it.
    for (const char* suffix : {"-wal", "-journal", "-shm"}) {
        const QString side = m_fileName + QLatin1String(suffix);
        if (QFileInfo::exists(side))
            std::rename(QFile::encodeName(side).constData(),
                        QFile::encodeName(target + QLatin1String(suffix)).constData());
    }
    qWarning("Settings file %s is not a valid settings store (%s); moved it to %s and started "
             "a new one",
             qPrintable(m_fileName), qPrintable(reason), qPrintable(target));
    return true;
}

bool RegistryHive::exec(const char* sql) {
    const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        noteError(code);
    return code == SQLITE_OK;
}

void RegistryHive::noteError(int code) {
    if (isCorruption(code))
        m_suspectCorrupt = true;
    noteProblem(describe(code));
}

QString RegistryHive::describe(int code) const {
    if (!m_db)
        return QString::fromUtf8(sqlite3_errstr(code));
    QString text = QString::fromUtf8(sqlite3_errmsg(m_db));
    const int primary = code & 0xff;
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR) {
        const QString cause = fileProblem(sqlite3_system_errno(m_db));
        if (!cause.isEmpty())
            text += QStringLiteral(" (") + cause + QLatin1Char(')');
    } else if (primary == SQLITE_READONLY &&
               ::access(QFile::encodeName(m_fileName).constData(), W_OK) != 0) {
        // SQLite opens a file it may not write for reading without saying why; the system
        // tells (a read-only file, an immutable one, a read-only file system).
        text += QStringLiteral(" (") + systemReason(errno) + QLatin1Char(')');
    }
    return text;
}

// Why the file or its journal could not be opened. SQLite's own errno is often that of a
// later probe ("No such file or directory" for a journal it could not create), so the
// causes a user can act on are looked for first.
QString RegistryHive::fileProblem(int systemError) const {
    const QByteArray file = QFile::encodeName(m_fileName);
    struct stat info {};
    if (::lstat(file.constData(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::stat(file.constData(), &info) != 0)
        return QStringLiteral("a symbolic link to %1, which cannot be reached: %2")
            .arg(QFileInfo(m_fileName).symLinkTarget(), systemReason(errno));
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        return folder + QStringLiteral(": ") + systemReason(errno);
    return systemError != 0 ? systemReason(systemError) : QString();
}

// The first problem of a call is its cause; what follows (a rollback) is a consequence.
void RegistryHive::noteProblem(const QString& reason) {
    if (m_lastError.isEmpty())
        m_lastError = reason;
}

bool RegistryHive::begin(bool write) {
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
    m_writeTransaction = write;
    m_failed = false;
    m_depth = 1;
    return true;
}

bool RegistryHive::end(bool success) {
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
    Statement find(m_db, "SELECT 1 FROM keys WHERE folded = ?");
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
        Statement insert(m_db, "INSERT INTO keys(folded, parent, name) VALUES(?, ?, ?) "
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
        Statement find(m_db, "SELECT name FROM keys WHERE folded = ?");
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
    Statement find(m_db, "SELECT name, type, data FROM vals WHERE key = ? AND folded = ?");
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
    Statement upsert(m_db, "INSERT INTO vals(key, folded, name, type, data) VALUES(?, ?, ?, ?, ?) "
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
    Statement remove(m_db, "DELETE FROM vals WHERE key = ? AND folded = ?");
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
    Statement query(m_db, "SELECT EXISTS(SELECT 1 FROM vals WHERE key = ?1) OR "
                          "EXISTS(SELECT 1 FROM keys WHERE parent = ?1)");
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
        Statement query(m_db, "SELECT EXISTS(SELECT 1 FROM vals WHERE key = ?1) OR "
                              "EXISTS(SELECT 1 FROM keys WHERE parent = ?1)");
        query.bind(1, key);
        const int code = query.step();
        if (code != SQLITE_ROW || query.integer(0) != 0) {
            scope.finish(scope.check(code));
            return false;
        }
    }
    Statement values(m_db, "DELETE FROM vals WHERE key = ?1 OR (key >= ?2 AND key < ?3)");
    values.bind(1, key);
    values.bind(2, low);
    values.bind(3, high);
    if (!scope.check(values.step()))
        return scope.finish(false);
    Statement keys(m_db, "DELETE FROM keys WHERE folded = ?1 OR (folded >= ?2 AND folded < ?3)");
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
    Statement query(m_db, "SELECT name, type, data FROM vals WHERE key = ? ORDER BY id");
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
    Statement query(m_db, "SELECT name FROM keys WHERE parent = ? ORDER BY folded");
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
    Statement check(m_db, "PRAGMA integrity_check");
    const int code = check.step();
    const bool sound = code == SQLITE_ROW && check.text(0) == QLatin1String("ok");
    return scope.finish(scope.check(code)) && sound;
}

} // namespace zelvorin::platform
