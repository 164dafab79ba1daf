// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileProperties.h"

#include "FileStamp.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QUrl>

#include <cerrno>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

namespace zelvorin::platform {

namespace {

const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");
const QString FileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");
// A file manager that is started by the request itself may take a moment; one that does
// not answer within this time counts as absent, so the program's own window shows.
constexpr int FileManagerTimeoutMs = 4000;

bool askFileManager(const QByteArray& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusConnectionInterface* names = bus.interface();
    if (names == nullptr)
        return false;
    if (!names->isServiceRegistered(FileManagerService).value() &&
        !names->activatableServiceNames().value().contains(FileManagerService))
        return false;
    QDBusMessage request =
        QDBusMessage::createMethodCall(FileManagerService, FileManagerPath, FileManagerService,
                                       QStringLiteral("ShowItemProperties"));
    request << QStringList{fileUrl(path).toString(QUrl::FullyEncoded)} << QString();
    const QDBusMessage reply = bus.call(request, QDBus::Block, FileManagerTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace

namespace {

QString userName(uid_t uid) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid) {
    struct group entry {};
    struct group* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

} // namespace

FileDetails fileDetails(const QByteArray& path) {
    FileDetails details;
    struct stat info {};
    if (path.isEmpty() ||
        (::stat(path.constData(), &info) != 0 && ::lstat(path.constData(), &info) != 0)) {
        details.error = path.isEmpty() ? ENOENT : errno;
        return details;
    }
    details.folder = S_ISDIR(info.st_mode);
    details.size = qint64(info.st_size);
    if (details.folder)
        visitRawFolder(path, ReadOnlyCheck::Skip,
                       [&details](std::string_view, quint32) { ++details.entries; });
    details.modified = utcDateTime(info.st_mtim);
    details.accessed = utcDateTime(info.st_atim);
    details.permissions = info.st_mode & 0777;
    details.owner = userName(info.st_uid);
    details.group = groupName(info.st_gid);
    return details;
}

bool onSameFileSystem(const QByteArray& first, const QByteArray& second) {
    struct stat a {};
    struct stat b {};
    if (::stat(first.constData(), &a) != 0 || ::stat(second.constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev;
}

bool showItemPropertiesInFileManager(const QByteArray& path, const DesktopServices& desktop) {
    if (path.isEmpty())
        return false;
    if (desktop.showItemProperties)
        return desktop.showItemProperties(openablePath(path));
    return askFileManager(path);
}

} // namespace zelvorin::platform
