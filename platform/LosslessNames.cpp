#include "LosslessNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvorin::platform {

QString displayName(const QByteArray& raw) {
    return QFile::decodeName(raw);
}

bool roundTrips(const QByteArray& raw) {
    return QFile::encodeName(QFile::decodeName(raw)) == raw;
}

QByteArray encodePath(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray originalPath(const QString& path) {
    const QByteArray raw = encodePath(path);
    const QString folder = standInFolder();
    if (folder.isEmpty() || !path.startsWith(folder + QLatin1Char('/')))
        return raw;
    char target[4096];
    const ssize_t length = readlink(raw.constData(), target, sizeof(target));
    if (length <= 0 || size_t(length) >= sizeof(target) || target[0] != '/')
        return raw;
    return QByteArray(target, int(length));
}

QString standInFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString folder = base + QStringLiteral("/zelvorin-names-") + QString::number(getuid());
    const QByteArray raw = QFile::encodeName(folder);
    if (mkdir(raw.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    return folder;
}

namespace {

// The extension of the last name of a raw path, when it is plain text.
QByteArray plainExtension(const QByteArray& rawPath) {
    const qsizetype slash = rawPath.lastIndexOf('/');
    const qsizetype dot = rawPath.lastIndexOf('.');
    if (dot <= slash + 1 || rawPath.size() - dot > 16)
        return QByteArray();
    const QByteArray extension = rawPath.mid(dot);
    for (const char c : extension) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '/')
            return QByteArray();
    }
    return extension;
}

} // namespace

QString openablePath(const QByteArray& rawPath) {
    if (rawPath.isEmpty() || roundTrips(rawPath))
        return QFile::decodeName(rawPath);
    const QString folder = standInFolder();
    if (folder.isEmpty())
        return QFile::decodeName(rawPath);
    const QByteArray hash =
        QCryptographicHash::hash(rawPath, QCryptographicHash::Sha1).toHex().left(24);
    const QByteArray link = QFile::encodeName(folder) + '/' + hash + plainExtension(rawPath);
    char target[4096];
    const ssize_t length = readlink(link.constData(), target, sizeof(target));
    if (length < 0 || QByteArray(target, int(length)) != rawPath) {
        unlink(link.constData());
        if (symlink(rawPath.constData(), link.constData()) != 0)
            return QFile::decodeName(rawPath);
    }
    return QFile::decodeName(link);
}

} // namespace zelvorin::platform
