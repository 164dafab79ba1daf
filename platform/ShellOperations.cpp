#include "ShellOperations.h"

#include "LosslessNames.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
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

// The progress window appears only when a copy lasts longer than half a second, so
// ordinary small copies show nothing.
class CopyProgress {
public:
    CopyProgress(const TransferOptions& options, qint64 total, const QString& name)
        : m_options(options), m_total(total), m_name(name) {
        m_clock.start();
    }
    ~CopyProgress() { delete m_dialog.data(); }
    CopyProgress(const CopyProgress&) = delete;
    CopyProgress& operator=(const CopyProgress&) = delete;

    // False when the user or the observer cancelled.
    bool report(qint64 copied) {
        if (m_options.progress)
            return m_options.progress(copied, m_total);
        if (!m_options.showProgress ||
            qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return true;
        if (m_dialog.isNull()) {
            if (m_clock.elapsed() < m_options.progressDelayMs)
                return true;
            auto* dialog = new QProgressDialog(m_options.owner);
            dialog->setWindowTitle(m_options.title);
            dialog->setLabelText(QObject::tr("Copying \"%1\"").arg(m_name));
            dialog->setRange(0, 1000);
            dialog->setMinimumDuration(0);
            dialog->setWindowModality(m_options.owner != nullptr ? Qt::WindowModal
                                                                 : Qt::ApplicationModal);
            dialog->setAutoReset(false);
            dialog->setAutoClose(false);
            dialog->show();
            m_dialog = dialog;
        }
        const int permille = m_total > 0 ? int(qMin<qint64>(1000, copied * 1000 / m_total)) : 1000;
        m_dialog->setValue(permille);
        QCoreApplication::processEvents();
        return !m_dialog->wasCanceled();
    }

private:
    const TransferOptions& m_options;
    qint64 m_total = 0;
    QString m_name;
    QElapsedTimer m_clock;
    QPointer<QProgressDialog> m_dialog;
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

// Copies the open source into a temporary file beside the destination and renames it
// into place only when every byte is written and flushed. On any failure or cancel the
// temporary file is dropped, so the destination is untouched.
FileResult copyIntoPlace(int source, const struct stat& sourceInfo, const QByteArray& destination,
                         const TransferOptions& options, const QString& name) {
    const QByteArray folder = folderOf(destination);
    const QByteArray prefix = folder + (folder.endsWith('/') ? "" : "/") + ".zelvorin-copy-";
    // Preferably an unnamed file: folder listings (and the file list) never see it, and
    // it vanishes by itself if the program dies half-way. It gets a name only when
    // complete, for the instant before the rename.
    QByteArray temporary;
    FileDescriptor target(::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (target.get() < 0) {
        temporary = prefix + "XXXXXX";
        target.reset(::mkostemp(temporary.data(), O_CLOEXEC));
        if (target.get() < 0)
            return FileResult::failure(errno);
    }
    bool complete = false;
    struct RemoveUnlessComplete {
        const QByteArray& path;
        const bool& complete;
        ~RemoveUnlessComplete() {
            if (!complete && !path.isEmpty())
                ::unlink(path.constData());
        }
    } guard{temporary, complete};

    CopyProgress progress(options, qint64(sourceInfo.st_size), name);
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
        if (!writeAll(target.get(), buffer.data(), got))
            return FileResult::failure(errno);
        copied += got;
        if (!progress.report(copied))
            return FileResult::declined();
    }
    if (copied == 0 && !progress.report(0))
        return FileResult::declined();

    // Keep the source's permissions and modification time, as a shell copy does.
    ::fchmod(target.get(), sourceInfo.st_mode & 0777);
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    ::futimens(target.get(), times);
    if (::fsync(target.get()) != 0)
        return FileResult::failure(errno);
    if (temporary.isEmpty() && !giveName(target.get(), prefix, temporary))
        return FileResult::failure(errno);
    if (!target.close())
        return FileResult::failure(errno);
    if (::rename(temporary.constData(), destination.constData()) != 0)
        return FileResult::failure(errno);
    complete = true;
    syncFolder(folder);
    return FileResult::done();
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
    const QString question = QObject::tr("The file \"%1\" already exists.\n\nDo you want to "
                                         "replace it?")
                                 .arg(displayName(destination));
    return ask(options, question) ? FileResult::done() : FileResult::declined();
}

// Opens the source of a copy or move and checks that it is a regular file.
FileResult openSource(const QByteArray& source, FileDescriptor& input, struct stat& info) {
    input.reset(::open(source.constData(), O_RDONLY | O_CLOEXEC));
    if (input.get() < 0 || ::fstat(input.get(), &info) != 0)
        return FileResult::failure(errno);
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? FileResult::failure(EISDIR)
                                     : FileResult::failure(QObject::tr("it is not a file"));
    return FileResult::done();
}

QString shownName(const QByteArray& path) {
    return displayName(path.mid(path.lastIndexOf('/') + 1));
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

bool askWithMessageBox(QWidget* owner, const QString& title, const QString& question) {
    return QMessageBox::question(owner, title, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

FileResult copyFile(const QByteArray& source, const QByteArray& destination,
                    const TransferOptions& options) {
    FileDescriptor input;
    struct stat sourceInfo {};
    if (FileResult opened = openSource(source, input, sourceInfo); !opened)
        return opened;
    if (FileResult accepted = destinationAccepted(sourceInfo, destination, options); !accepted)
        return accepted;
    return copyIntoPlace(input.get(), sourceInfo, destination, options, shownName(source));
}

FileResult moveFile(const QByteArray& source, const QByteArray& destination,
                    const TransferOptions& options) {
    // A rename needs no right to read the file, so the source is only looked at here.
    struct stat sourceInfo {};
    if (::stat(source.constData(), &sourceInfo) != 0)
        return FileResult::failure(errno);
    if (!S_ISREG(sourceInfo.st_mode))
        return S_ISDIR(sourceInfo.st_mode) ? FileResult::failure(EISDIR)
                                           : FileResult::failure(QObject::tr("it is not a file"));
    if (FileResult accepted = destinationAccepted(sourceInfo, destination, options); !accepted)
        return accepted;
    if (::rename(source.constData(), destination.constData()) == 0)
        return FileResult::done();
    if (errno != EXDEV)
        return FileResult::failure(errno);
    FileDescriptor input;
    if (FileResult opened = openSource(source, input, sourceInfo); !opened)
        return opened;
    if (FileResult copied =
            copyIntoPlace(input.get(), sourceInfo, destination, options, shownName(source));
        !copied)
        return copied;
    // The destination is complete and on disk; only now may the source go. If it cannot,
    // the move is reported as failed and both copies stay.
    if (::unlink(source.constData()) != 0)
        return FileResult::failure(errno);
    return FileResult::done();
}

} // namespace zelvorin::platform
