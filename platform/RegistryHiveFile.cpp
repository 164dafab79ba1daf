// The file behind a hive: opening it (or, when it cannot be written, reading it), telling
// a valid store from a broken one, moving a broken one aside, and saying in words why a
// call failed.
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

} // namespace zelvorin::platform
