// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

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

// What the user can do about a system error met on `path`; empty when there is nothing.
QString mendAdvice(const QString& path, int error) {
    switch (error) {
    case EACCES:
        return QStringLiteral("make %1 writable").arg(path);
    case EPERM:
        return QStringLiteral("make %1 writable (it may be marked immutable: lsattr shows it)")
            .arg(path);
    case EROFS:
        return QStringLiteral("the file system that holds %1 is mounted read-only").arg(path);
    case ENOSPC:
        return QStringLiteral("free some space on the disk that holds %1").arg(path);
    case EDQUOT:
        return QStringLiteral("free some space: the disk quota for %1 is used up").arg(path);
    case ENOTDIR:
        return QStringLiteral("%1 is a file where a folder is needed: move it aside").arg(path);
    default:
        return QString();
    }
}

// True when the file starts as a SQLite database kept in WAL mode (its read and write
// format numbers are 2).
bool inWalMode(const QByteArray& file) {
    QFile database(QFile::decodeName(file));
    if (!database.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = database.read(20);
    return header.size() == 20 && header.at(18) == 2 && header.at(19) == 2;
}

qint64 fileSize(const QByteArray& file) {
    struct stat info {};
    return ::stat(file.constData(), &info) == 0 ? qint64(info.st_size) : -1;
}

// Creates the folder and its missing parents; on failure gives the path that failed, the
// system's reason, which QDir::mkpath would swallow (a regular file where a folder should
// be, a folder without write permission), and what to do about it.
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
            const QString failed = QFile::decodeName(part);
            // A folder that cannot be made is mended in the folder that holds it.
            const QString mended = error == ENOTDIR ? failed : QFileInfo(failed).path();
            const QString advice = mendAdvice(mended, error);
            *reason = failed + QStringLiteral(": ") + systemReason(error) +
                      (advice.isEmpty() ? QString() : QStringLiteral("; ") + advice);
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
    if (m_host) {
        // Detached once the host's transaction is over; the host's connection stays.
        if (m_db && m_db == m_host->m_db && m_host->m_depth == 0)
            sqlite3_exec(m_db, ("DETACH " + m_schema).constData(), nullptr, nullptr, nullptr);
        m_db = nullptr;
        return;
    }
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_suspectCorrupt = false;
    m_readOnlyFallback = false;
}

void RegistryHive::release() {
    if (m_depth == 0 && !m_host)
        closeFile();
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
        // A file this user may not write is only read. Opened as a writer, SQLite would
        // read it all the same, but reading a file left in WAL mode would leave -wal and
        // -shm files as unwritable as the file, which block every write once the file is
        // writable again.
        if (exists && ::access(encoded.constData(), W_OK) != 0) {
            const int error = errno;
            if (openForReading(&reason)) {
                m_readOnlyFallback = true;
                m_fallbackReason = QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)) +
                                   QStringLiteral(" (") + systemReason(error) +
                                   QStringLiteral("); ") + mendAdvice(m_fileName, error);
                break;
            }
            if (reason.isEmpty() || !moveAside(reason))
                return false;
            continue;
        }
        if (exists && !mendSideFiles(info.st_mode, &problem)) {
            // What the file holds is still read; every write says which file to mend.
            if (openForReading(&reason)) {
                m_readOnlyFallback = true;
                m_fallbackReason = problem;
                break;
            }
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
            // The file may still be readable (a read-only folder): the settings it holds
            // are used, and every write says why it cannot be made.
            const QString writeProblem = m_lastError;
            QString ignored;
            if (exists && validity != Validity::Empty && openForReading(&ignored)) {
                m_readOnlyFallback = true;
                m_fallbackReason = writeProblem;
                break;
            }
            return false;
        }
        // SQLite opens a file it may not write (a read-only file system) for reading
        // without a word; writes then fail until the connection is made again.
        if (sqlite3_db_readonly(m_db, "main") == 1) {
            m_readOnlyFallback = true;
            m_fallbackReason = QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY));
            if (::access(encoded.constData(), W_OK) != 0)
                m_fallbackReason += QStringLiteral(" (") + systemReason(errno) +
                                    QStringLiteral("); ") + mendAdvice(m_fileName, errno);
            break;
        }
        // WAL with synchronous=NORMAL: a commit is atomic against a killed process and
        // readers never wait for a writer. (An import of both roots turns both files to a
        // rollback journal for its one transaction; see attach.)
        {
            Statement mode(m_db, "PRAGMA main.journal_mode=WAL");
            mode.step();
        }
        exec("PRAGMA main.synchronous=NORMAL");
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
    const bool wal = inWalMode(encoded);
    const QByteArray immutable =
        "file:" + QUrl::toPercentEncoding(m_fileName, "/") + "?immutable=1";
    // A store this user may write is opened as a writer (nothing is written through it),
    // so that what a killed writer left half done is rolled back before it is read; a
    // reader that may not write refuses such a file. A WAL file nobody may write with
    // nothing in its log is read as immutable: SQLite would otherwise make -wal and -shm
    // files beside it, as unwritable as the file.
    const bool writable = ::access(encoded.constData(), W_OK) == 0;
    const bool plain = writable || !wal || fileSize(encoded + "-wal") > 0;
    if (plain && sqlite3_open_v2(encoded.constData(), &m_db,
                                 writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY,
                                 nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        if (validate(reason) == Validity::Valid)
            return true;
    }
    closeFile();
    // A file left in WAL mode cannot be opened read-only when its folder is not writable
    // for the shared-memory file; nobody can change such a file while it is read, so it
    // can be read as immutable. A file with a rollback journal is never read so: its
    // journal may hold a killed writer's half-done transaction.
    if (wal && reason->isEmpty() &&
        sqlite3_open_v2(immutable.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                        nullptr) == SQLITE_OK &&
        validate(reason) == Validity::Valid)
        return true;
    closeFile();
    return false;
}

// Side files an earlier run left unwritable (SQLite gives them the store's own mode, so
// reading a read-only store in WAL mode made them read-only) block every write once the
// store is writable again: they are given the store's mode. One that stays unwritable is
// named, with what to do.
bool RegistryHive::mendSideFiles(unsigned mode, QString* problem) {
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        const QByteArray side = QFile::encodeName(m_fileName) + suffix;
        if (::access(side.constData(), F_OK) != 0 || ::access(side.constData(), W_OK) == 0)
            continue;
        ::chmod(side.constData(), mode_t(mode) & 07777);
        if (::access(side.constData(), W_OK) == 0)
            continue;
        const int error = errno;
        *problem = QStringLiteral("%1 cannot be written (%2); %3")
                       .arg(QFile::decodeName(side), systemReason(error),
                            mendAdvice(QFile::decodeName(side), error));
        return false;
    }
    return true;
}

std::unique_ptr<RegistryHive> RegistryHive::attach(const QString& fileName) {
    m_lastError.clear();
    {
        // Opened on its own first: a new file is set up, a broken one moved aside, and one
        // that cannot be written says why.
        RegistryHive alone(fileName);
        if (!alone.createKey(QString())) {
            noteProblem(alone.lastError());
            return nullptr;
        }
    }
    if (m_host || !ensureOpen())
        return nullptr;
    if (m_readOnlyFallback) {
        noteProblem(m_fallbackReason);
        return nullptr;
    }
    auto attached = std::unique_ptr<RegistryHive>(new RegistryHive(fileName));
    attached->m_host = this;
    attached->m_db = m_db;
    attached->m_schema = "hive" + QByteArray::number(++m_attached);
    Statement attach(m_db, "ATTACH DATABASE ? AS " + attached->m_schema);
    attach.bind(1, fileName);
    if (attach.step() != SQLITE_DONE) {
        noteProblem(describe(attach.code()));
        return nullptr;
    }
    // SQLite commits several files of one connection together only with rollback
    // journals; in WAL mode each file commits apart. The change waits (under the busy
    // timeout) until no other connection has the file open in WAL mode: a running
    // program lets go of its store when idle for a moment. Writers turn the files back to
    // WAL when they next open them.
    for (RegistryHive* hive : {this, attached.get()}) {
        Statement mode(m_db, "PRAGMA " + hive->m_schema + ".journal_mode=DELETE");
        exec(("PRAGMA " + hive->m_schema + ".synchronous=FULL").constData());
        if (mode.step() != SQLITE_ROW ||
            mode.text(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
            m_lastError.clear();
            noteProblem(QStringLiteral("%1 is in use by another program; try again when it is "
                                       "closed")
                            .arg(hive->m_fileName));
            return nullptr;
        }
    }
    return attached;
}

// True when every file of this connection keeps a rollback journal, as a transaction over
// attached files needs; another connection may have turned one back to WAL between the
// attaching and the transaction's locks.
bool RegistryHive::sharesOneCommit() {
    for (int n = 0; n <= m_attached; ++n) {
        const QByteArray schema = n == 0 ? QByteArray("main") : "hive" + QByteArray::number(n);
        Statement mode(m_db, "PRAGMA " + schema + ".journal_mode");
        if (mode.step() == SQLITE_ROW &&
            mode.text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
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
    QString cause;
    QString advice;
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR || primary == SQLITE_FULL) {
        cause = fileProblem(sqlite3_system_errno(m_db), &advice);
    } else if (primary == SQLITE_READONLY &&
               ::access(QFile::encodeName(m_fileName).constData(), W_OK) != 0) {
        // SQLite opens a file it may not write for reading without saying why; the system
        // tells (a read-only file, an immutable one, a read-only file system).
        const int error = errno;
        cause = systemReason(error);
        advice = mendAdvice(m_fileName, error);
    }
    if (!cause.isEmpty())
        text += QStringLiteral(" (") + cause + QLatin1Char(')');
    if (!advice.isEmpty())
        text += QStringLiteral("; ") + advice;
    return text;
}

// Why the file or its journal could not be opened, and what to do about it. SQLite's own
// errno is often that of a later probe ("No such file or directory" for a journal it
// could not create), so the causes a user can act on are looked for first.
QString RegistryHive::fileProblem(int systemError, QString* advice) const {
    const QByteArray file = QFile::encodeName(m_fileName);
    struct stat info {};
    if (::lstat(file.constData(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::stat(file.constData(), &info) != 0) {
        *advice = QStringLiteral("make the link point to a file that can be reached, or "
                                 "remove it");
        return QStringLiteral("a symbolic link to %1, which cannot be reached: %2")
            .arg(QFileInfo(m_fileName).symLinkTarget(), systemReason(errno));
    }
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) {
        const int error = errno;
        *advice = mendAdvice(folder, error);
        return folder + QStringLiteral(": ") + systemReason(error);
    }
    if (systemError == 0)
        return QString();
    *advice = mendAdvice(m_fileName, systemError);
    return systemReason(systemError);
}

// The first problem of a call is its cause; what follows (a rollback) is a consequence.
void RegistryHive::noteProblem(const QString& reason) {
    if (m_lastError.isEmpty())
        m_lastError = reason;
}

} // namespace zelvorin::platform
