// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShellOperations.h"

#include "LosslessNames.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QUrl>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zelvorin::platform {

namespace {

constexpr qint64 ChunkSize = 1024 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

bool ask(const TransferOptions& options, const QString& question) {
    if (options.ask)
        return options.ask(options.owner, options.title, question);
    return askWithMessageBox(options.owner, options.title, question);
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Makes a finished rename survive a crash before the source of a move is removed.
void syncFolder(const QByteArray& folder) {
    FileDescriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

// Links an unnamed file into its folder under a fresh temporary name.
bool giveName(int fd, const QByteArray& prefix, QByteArray& name) {
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, name.constData(),
                     AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    name.clear();
    return false;
}

// A file being written beside its destination, which takes the destination's name only
// when complete and flushed: preferably an unnamed file, which folder listings (and the
// file list) never see and which vanishes by itself if the program dies half-way; else
// one under a temporary name, removed unless it reached its place.
class PendingFile {
public:
    explicit PendingFile(const QByteArray& destination) : m_destination(destination) {
        const QByteArray folder = folderOf(destination);
        m_folder = folder;
        m_prefix = folder + (folder.endsWith('/') ? "" : "/") + ".zelvorin-copy-";
    }
    ~PendingFile() {
        if (!m_complete && !m_temporary.isEmpty())
            ::unlink(m_temporary.constData());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the file with `mode` (less the umask); 0 or an errno value.
    int create(mode_t mode) {
        m_fd.reset(::open(m_folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        for (int attempt = 0; m_fd.get() < 0 && attempt < 100; ++attempt) {
            m_temporary =
                m_prefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
            m_fd.reset(
                ::open(m_temporary.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
            if (m_fd.get() < 0 && errno != EEXIST) {
                m_temporary.clear();
                return errno;
            }
        }
        if (m_fd.get() < 0) {
            m_temporary.clear();
            return EEXIST;
        }
        return 0;
    }
    int fd() const { return m_fd.get(); }

    // Flushes the file and gives it the destination's name, replacing a file of that name
    // when `replace`, else never (a file that took the name meanwhile makes it fail with
    // EEXIST); 0 or an errno value.
    int place(bool replace) {
        if (::fsync(m_fd.get()) != 0)
            return errno;
        if (!replace && m_temporary.isEmpty()) {
            // An unnamed file is linked under the name, which a link never takes over.
            const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(m_fd.get());
            if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, m_destination.constData(),
                         AT_SYMLINK_FOLLOW) == 0)
                return finish();
            if (errno == EEXIST)
                return errno;
        }
        if (m_temporary.isEmpty() && !giveName(m_fd.get(), m_prefix, m_temporary))
            return errno;
        if (!m_fd.close())
            return errno;
        if (!replace) {
            if (::link(m_temporary.constData(), m_destination.constData()) == 0)
                return finish();
            // File systems without links (FAT) take a rename after a last look.
            if (errno == EEXIST || ::access(m_destination.constData(), F_OK) == 0)
                return EEXIST;
        }
        if (::rename(m_temporary.constData(), m_destination.constData()) != 0)
            return errno;
        m_temporary.clear();
        return finish();
    }

private:
    int finish() {
        m_complete = true;
        if (!m_temporary.isEmpty())
            ::unlink(m_temporary.constData());
        if (!m_fd.close())
            return errno;
        syncFolder(m_folder);
        return 0;
    }

    QByteArray m_destination;
    QByteArray m_folder;
    QByteArray m_prefix;
    QByteArray m_temporary;
    FileDescriptor m_fd;
    bool m_complete = false;
};

// Copies the open source into a temporary file beside the destination and renames it
// into place only when every byte is written and flushed. On any failure or cancel the
// temporary file is dropped, so the destination is untouched.
FileResult copyIntoPlace(int source, const struct stat& sourceInfo, const QByteArray& destination,
                         const TransferOptions& options) {
    PendingFile target(destination);
    if (const int error = target.create(0600); error != 0)
        return FileResult::failure(error);
    const qint64 total = qint64(sourceInfo.st_size);
    const auto goOn = [&](qint64 copied) {
        return !options.progress || options.progress(copied, total);
    };
    std::vector<char> buffer(static_cast<size_t>(ChunkSize));
    qint64 copied = 0;
    for (;;) {
        const ssize_t got = ::read(source, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FileResult::failure(errno);
        }
        if (got == 0)
            break;
        if (!writeAll(target.fd(), buffer.data(), got))
            return FileResult::failure(errno);
        copied += got;
        if (!goOn(copied))
            return FileResult::declined();
    }
    if (copied == 0 && !goOn(0))
        return FileResult::declined();

    // Keep the source's permissions and modification time, as a shell copy does.
    ::fchmod(target.fd(), sourceInfo.st_mode & 0777);
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    ::futimens(target.fd(), times);
    if (const int error = target.place(true); error != 0)
        return FileResult::failure(error);
    return FileResult::done();
}

QString replaceQuestion(const QByteArray& destination) {
    return QObject::tr("The file \"%1\" already exists.\n\nDo you want to replace it?")
        .arg(displayName(destination));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Checks the destination before a copy or move: not a folder, not the source itself, and
// replaced only with the user's consent when asked for.
FileResult destinationAccepted(const struct stat& sourceInfo, const QByteArray& destination,
                               const TransferOptions& options) {
    struct stat existing {};
    if (::stat(destination.constData(), &existing) != 0)
        return errno == ENOENT ? FileResult::done() : FileResult::failure(errno);
    if (S_ISDIR(existing.st_mode))
        return FileResult::failure(EISDIR);
    if (sameFile(existing, sourceInfo))
        return FileResult::failure(QObject::tr("the source and the destination are the same file"));
    if (!options.confirmReplace)
        return FileResult::done();
    return ask(options, replaceQuestion(destination)) ? FileResult::done() : FileResult::declined();
}

// Only regular files are copied or moved.
FileResult fileKindAccepted(const struct stat& info) {
    if (S_ISREG(info.st_mode))
        return FileResult::done();
    return S_ISDIR(info.st_mode) ? FileResult::failure(EISDIR)
                                 : FileResult::failure(QObject::tr("it is not a file"));
}

// Looks at the source of a copy or move without opening it: it must be a regular file.
FileResult lookAtSource(const QByteArray& source, struct stat& info) {
    if (::stat(source.constData(), &info) != 0)
        return FileResult::failure(errno);
    return fileKindAccepted(info);
}

// Opens the source of a copy or move and checks that it is a regular file.
FileResult openSource(const QByteArray& source, FileDescriptor& input, struct stat& info) {
    input.reset(::open(source.constData(), O_RDONLY | O_CLOEXEC));
    if (input.get() < 0 || ::fstat(input.get(), &info) != 0)
        return FileResult::failure(errno);
    return fileKindAccepted(info);
}

} // namespace

FileResult FileResult::failure(int error, const QByteArray& path) {
    return {Kind::Failed, error, errorText(error), path};
}

FileResult FileResult::failure(const QString& reason, const QByteArray& path) {
    return {Kind::Failed, 0, reason, path};
}

QString errorText(int error) {
    char buffer[256] = {};
    // The GNU strerror_r: its answer may or may not be the buffer.
    return QString::fromLocal8Bit(::strerror_r(error, buffer, sizeof(buffer)));
}

FileResult openWithDesktop(const QByteArray& path, const DesktopServices& desktop) {
    struct stat info {};
    if (path.isEmpty())
        return FileResult::failure(ENOENT);
    if (::stat(path.constData(), &info) != 0)
        return FileResult::failure(errno);
    QByteArray absolute = path;
    if (!absolute.startsWith('/')) {
        char* here = ::getcwd(nullptr, 0);
        if (here == nullptr)
            return FileResult::failure(errno);
        absolute = QByteArray(here) + '/' + path;
        ::free(here);
    }
    const QUrl url = fileUrl(absolute);
    const bool taken = desktop.openUrl ? desktop.openUrl(url) : QDesktopServices::openUrl(url);
    if (!taken)
        return FileResult::failure(QObject::tr("no program could be started to open it"));
    return FileResult::done();
}

FileResult writeNewFile(const QByteArray& destination, const QByteArray& bytes,
                        const TransferOptions& options) {
    struct stat existing {};
    bool replace = false;
    if (::stat(destination.constData(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            return FileResult::failure(EISDIR);
        if (options.confirmReplace && !ask(options, replaceQuestion(destination)))
            return FileResult::declined();
        replace = true;
    } else if (errno != ENOENT) {
        return FileResult::failure(errno);
    }
    PendingFile target(destination);
    if (const int error = target.create(0666); error != 0)
        return FileResult::failure(error);
    if (!writeAll(target.fd(), bytes.constData(), bytes.size()))
        return FileResult::failure(errno);
    if (const int error = target.place(replace); error != 0)
        return FileResult::failure(error);
    return FileResult::done();
}

bool askWithMessageBox(QWidget* owner, const QString& title, const QString& question) {
    return QMessageBox::question(owner, title, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

FileResult transferAllowed(const QByteArray& source, const QByteArray& destination,
                           const TransferOptions& options) {
    struct stat sourceInfo {};
    if (FileResult looked = lookAtSource(source, sourceInfo); !looked)
        return looked;
    return destinationAccepted(sourceInfo, destination, options);
}

FileResult copyFile(const QByteArray& source, const QByteArray& destination,
                    const TransferOptions& options) {
    FileDescriptor input;
    struct stat sourceInfo {};
    if (FileResult opened = openSource(source, input, sourceInfo); !opened)
        return opened;
    if (FileResult accepted = destinationAccepted(sourceInfo, destination, options); !accepted)
        return accepted;
    return copyIntoPlace(input.get(), sourceInfo, destination, options);
}

FileResult moveFile(const QByteArray& source, const QByteArray& destination,
                    const TransferOptions& options) {
    // A rename needs no right to read the file, so the source is only looked at here.
    struct stat sourceInfo {};
    if (FileResult looked = lookAtSource(source, sourceInfo); !looked)
        return looked;
    if (FileResult accepted = destinationAccepted(sourceInfo, destination, options); !accepted)
        return accepted;
    if (::rename(source.constData(), destination.constData()) == 0)
        return FileResult::done();
    if (errno != EXDEV || options.renameOnly)
        return FileResult::failure(errno);
    FileDescriptor input;
    if (FileResult opened = openSource(source, input, sourceInfo); !opened)
        return opened;
    if (FileResult copied = copyIntoPlace(input.get(), sourceInfo, destination, options); !copied)
        return copied;
    // The destination is complete and on disk; only now may the source go. If it cannot,
    // the move is reported as failed and both copies stay.
    if (::unlink(source.constData()) != 0)
        return FileResult::failure(errno);
    return FileResult::done();
}

} // namespace zelvorin::platform
