// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Trash.h"

#include "LosslessNames.h"

#include <QObject>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvorin::platform {

namespace {

constexpr char InfoSuffix[] = ".trashinfo";
// An info file without its file younger than this may be another program's trashing under
// way (the info file is made first); an older one was left by a trashing that was stopped.
constexpr std::time_t OrphanAgeSeconds = 60;

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The path with its folder resolved (links, "..", relative parts) and its last name kept
// as it is: a link is trashed as the link.
QByteArray absolutePath(const QByteArray& path, int* error) {
    char* folder =
        ::realpath(parentOf(path.startsWith('/') ? path : "./" + path).constData(), nullptr);
    if (folder == nullptr) {
        *error = errno;
        return QByteArray();
    }
    QByteArray resolved(folder);
    ::free(folder);
    if (!resolved.endsWith('/'))
        resolved += '/';
    return resolved + nameOf(path);
}

QByteArray dataHome() {
    QByteArray base = qgetenv("XDG_DATA_HOME");
    if (!base.startsWith('/'))
        base = qgetenv("HOME") + "/.local/share";
    return base;
}

// Makes every missing folder of an absolute path (mode 0700); 0 or an errno value.
int makeFolders(const QByteArray& path) {
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.left(slash);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash < 0)
            return 0;
    }
}

// A trash folder of the user's own with its files/ and info/, made when missing; 0 or an
// errno value. Neither it nor its parts may be a link or another user's: a trash another
// user could reach would hand them the files.
int usableTrash(const QByteArray& folder) {
    for (const QByteArray& part : {folder, folder + "/files", folder + "/info"}) {
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return errno;
        struct stat info {};
        if (::lstat(part.constData(), &info) != 0)
            return errno;
        if (!S_ISDIR(info.st_mode))
            return ENOTDIR;
        if (info.st_uid != ::geteuid())
            return EACCES;
    }
    return 0;
}

// The highest folder above `folder` that is still on `device`: the top of its volume.
QByteArray topFolder(QByteArray folder, dev_t device) {
    while (folder != "/") {
        const QByteArray parent = parentOf(folder);
        struct stat info {};
        if (::stat(parent.constData(), &info) != 0 || info.st_dev != device)
            break;
        folder = parent;
    }
    return folder;
}

struct Place {
    QByteArray folder; // holds files/ and info/
    QByteArray top;    // the original path is written relative to it; empty: absolute
};

// Where a file of `device` below `folder` goes: the home trash when it is on the same
// volume as the user's data folder (and nowhere else then), else the volume's own trash.
int placeFor(const QByteArray& folder, dev_t device, Place& place) {
    const QByteArray data = dataHome();
    struct stat dataInfo {};
    if (makeFolders(data) == 0 && ::stat(data.constData(), &dataInfo) == 0 &&
        dataInfo.st_dev == device) {
        const QByteArray home = data + "/Trash";
        if (const int error = usableTrash(home); error != 0)
            return error;
        place = {home, QByteArray()};
        return 0;
    }
    const QByteArray top = topFolder(folder, device);
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(::getuid());
    // The administrator's shared trash counts only as a real folder with the sticky bit,
    // so that no user can remove or replace another user's folder in it.
    struct stat shared {};
    const QByteArray sharedFolder = base + "/.Trash";
    if (::lstat(sharedFolder.constData(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) && usableTrash(sharedFolder + '/' + uid) == 0) {
        place = {sharedFolder + '/' + uid, top};
        return 0;
    }
    const QByteArray own = base + "/.Trash-" + uid;
    if (const int error = usableTrash(own); error != 0)
        return error;
    place = {own, top};
    return 0;
}

// The name in the trash for the n-th try: the file's own name, then "name.2.ext", ... and
// short enough that its .trashinfo file can be made.
QByteArray candidateName(const QByteArray& name, int attempt) {
    const qsizetype dot = name.lastIndexOf('.');
    const bool hasExtension = dot > 0 && name.size() - dot <= 16;
    QByteArray stem = hasExtension ? name.left(dot) : name;
    const QByteArray extension = hasExtension ? name.mid(dot) : QByteArray();
    const QByteArray number = attempt > 1 ? '.' + QByteArray::number(attempt) : QByteArray();
    const qsizetype room =
        NAME_MAX - qsizetype(sizeof(InfoSuffix) - 1) - extension.size() - number.size();
    if (stem.size() > room)
        stem.truncate(room);
    return stem + number + extension;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

QByteArray deletionDate() {
    const std::time_t now = std::time(nullptr);
    struct tm local {};
    ::localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &local);
    return QByteArray(text);
}

// Removes the info files of the trash folder that describe no file: the standard has the
// info file made before the file is moved in, so a trashing stopped in between (a killed
// program, a power cut) leaves one behind, which lists a file that is not there.
void removeOrphanInfoFiles(const QByteArray& folder) {
    const QByteArray infoFolder = folder + "/info/";
    DIR* dir = ::opendir(infoFolder.constData());
    if (dir == nullptr)
        return;
    const std::time_t now = std::time(nullptr);
    constexpr qsizetype SuffixLength = sizeof(InfoSuffix) - 1;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.endsWith(InfoSuffix) || name.size() == SuffixLength)
            continue;
        const QByteArray infoPath = infoFolder + name;
        struct stat info {};
        if (::lstat(infoPath.constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
            now - info.st_mtime < OrphanAgeSeconds)
            continue;
        const QByteArray filesPath = folder + "/files/" + name.chopped(SuffixLength);
        struct stat file {};
        if (::lstat(filesPath.constData(), &file) != 0 && errno == ENOENT)
            ::unlink(infoPath.constData());
    }
    ::closedir(dir);
}

// `cleaned` lists the trash folders whose orphans this trashing has removed already.
FileResult trashOne(const QByteArray& path, QList<QByteArray>& cleaned) {
    int error = 0;
    const QByteArray absolute = absolutePath(path, &error);
    if (absolute.isEmpty())
        return FileResult::failure(error, path);
    struct stat info {};
    if (::lstat(absolute.constData(), &info) != 0)
        return FileResult::failure(errno, path);
    Place place;
    if (const int placeError = placeFor(parentOf(absolute), info.st_dev, place); placeError != 0)
        return {FileResult::Kind::Failed, placeError,
                QObject::tr("there is no trash for it that can be used (%1)")
                    .arg(errorText(placeError)),
                path};
    if (!cleaned.contains(place.folder)) {
        cleaned.append(place.folder);
        removeOrphanInfoFiles(place.folder);
    }

    // The original path, %XX-escaped byte for byte; relative to the top of the volume in
    // a volume's own trash, so that it stays right wherever the volume is mounted.
    const QByteArray original = place.top.isEmpty() ? absolute
                                : place.top == "/"  ? absolute.mid(1)
                                                    : absolute.mid(place.top.size() + 1);
    const QByteArray contents = "[Trash Info]\nPath=" + original.toPercentEncoding("/") +
                                "\nDeletionDate=" + deletionDate() + '\n';
    const QByteArray name = nameOf(absolute);
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const QByteArray candidate = candidateName(name, attempt);
        const QByteArray infoPath = place.folder + "/info/" + candidate + InfoSuffix;
        const QByteArray filesPath = place.folder + "/files/" + candidate;
        // The .trashinfo file is made first and exclusively: it reserves the name.
        const int fd = ::open(infoPath.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return FileResult::failure(errno, path);
        }
        // On disk before the file is moved: a file in the trash always has its info.
        const bool written = writeAll(fd, contents) && ::fsync(fd) == 0;
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            const int failure = written ? errno : writeError;
            ::unlink(infoPath.constData());
            return FileResult::failure(failure, path);
        }
        struct stat taken {};
        if (::lstat(filesPath.constData(), &taken) == 0) {
            ::unlink(infoPath.constData()); // a leftover without its .trashinfo
            continue;
        }
        if (::rename(absolute.constData(), filesPath.constData()) != 0) {
            const int failure = errno;
            ::unlink(infoPath.constData());
            return FileResult::failure(failure, path);
        }
        return FileResult::done();
    }
    return FileResult::failure(EEXIST, path);
}

} // namespace

QByteArray trashFolderFor(const QByteArray& path, int* error) {
    int failure = 0;
    Place place;
    const QByteArray absolute = absolutePath(path, &failure);
    struct stat info {};
    if (!absolute.isEmpty() && ::lstat(absolute.constData(), &info) != 0)
        failure = errno;
    if (failure == 0)
        failure = placeFor(parentOf(absolute), info.st_dev, place);
    if (error != nullptr)
        *error = failure;
    return failure == 0 ? place.folder : QByteArray();
}

FileResult moveToTrash(const QList<QByteArray>& paths, bool confirm, QWidget* owner,
                       const QString& title, const AskFunction& ask) {
    if (paths.isEmpty())
        return FileResult::failure(ENOENT);
    for (const QByteArray& path : paths) {
        struct stat info {};
        if (path.isEmpty() || ::lstat(path.constData(), &info) != 0)
            return FileResult::failure(path.isEmpty() ? ENOENT : errno, path);
    }
    if (confirm) {
        const QString question =
            paths.size() == 1
                ? QObject::tr("Are you sure you want to move \"%1\" to the trash?")
                      .arg(displayName(nameOf(paths.first())))
                : QObject::tr("Are you sure you want to move these %1 items to the trash?")
                      .arg(paths.size());
        const bool yes =
            ask ? ask(owner, title, question) : askWithMessageBox(owner, title, question);
        if (!yes)
            return FileResult::declined();
    }
    FileResult first = FileResult::done();
    QList<QByteArray> cleaned;
    for (const QByteArray& path : paths) {
        const FileResult result = trashOne(path, cleaned);
        if (!result && first)
            first = result;
    }
    return first;
}

} // namespace zelvorin::platform
