#include "ShellOperations.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QUrl>

#include <cerrno>
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
bool copyIntoPlace(int source, const struct stat& sourceInfo, const QByteArray& destination,
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
            return false;
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
            return false;
        }
        if (got == 0)
            break;
        if (!writeAll(target.get(), buffer.data(), got))
            return false;
        copied += got;
        if (!progress.report(copied))
            return false;
    }
    if (copied == 0 && !progress.report(0))
        return false;

    // Keep the source's permissions and modification time, as a shell copy does.
    ::fchmod(target.get(), sourceInfo.st_mode & 0777);
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    ::futimens(target.get(), times);
    if (::fsync(target.get()) != 0)
        return false;
    if (temporary.isEmpty() && !giveName(target.get(), prefix, temporary))
        return false;
    if (!target.close())
        return false;
    if (::rename(temporary.constData(), destination.constData()) != 0)
        return false;
    complete = true;
    syncFolder(folder);
    return true;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Checks the destination before a copy or move: not a folder, not the source itself, and
// replaced only with the user's consent when asked for.
bool destinationAccepted(const struct stat& sourceInfo, const QByteArray& destination,
                         const QString& destinationText, const TransferOptions& options) {
    struct stat existing {};
    if (::stat(destination.constData(), &existing) != 0)
        return errno == ENOENT;
    if (S_ISDIR(existing.st_mode) || sameFile(existing, sourceInfo))
        return false;
    if (!options.confirmReplace)
        return true;
    return ask(options, QObject::tr("The file \"%1\" already exists.\n\nDo you want to replace it?")
                            .arg(destinationText));
}

} // namespace

bool openWithDesktop(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool askWithMessageBox(QWidget* owner, const QString& title, const QString& question) {
    return QMessageBox::question(owner, title, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool copyFile(const QString& source, const QString& destination, const TransferOptions& options) {
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray destinationPath = QFile::encodeName(destination);
    FileDescriptor input(::open(sourcePath.constData(), O_RDONLY | O_CLOEXEC));
    struct stat sourceInfo {};
    if (input.get() < 0 || ::fstat(input.get(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode))
        return false;
    if (!destinationAccepted(sourceInfo, destinationPath, destination, options))
        return false;
    return copyIntoPlace(input.get(), sourceInfo, destinationPath, options,
                         QFileInfo(source).fileName());
}

bool moveFile(const QString& source, const QString& destination, const TransferOptions& options) {
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray destinationPath = QFile::encodeName(destination);
    struct stat sourceInfo {};
    if (::stat(sourcePath.constData(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode))
        return false;
    if (!destinationAccepted(sourceInfo, destinationPath, destination, options))
        return false;
    if (::rename(sourcePath.constData(), destinationPath.constData()) == 0)
        return true;
    if (errno != EXDEV)
        return false;

    FileDescriptor input(::open(sourcePath.constData(), O_RDONLY | O_CLOEXEC));
    if (input.get() < 0 || ::fstat(input.get(), &sourceInfo) != 0)
        return false;
    if (!copyIntoPlace(input.get(), sourceInfo, destinationPath, options,
                       QFileInfo(source).fileName()))
        return false;
    // The destination is complete and on disk; only now may the source go. If it cannot,
    // the move is reported as failed and both copies stay.
    return ::unlink(sourcePath.constData()) == 0;
}

bool moveToTrash(const QString& paths, bool confirm, QWidget* owner, const QString& title,
                 const AskFunction& askFunction) {
    QStringList list = paths.split(QChar(0), Qt::SkipEmptyParts);
    if (list.isEmpty())
        return false;
    for (const QString& path : list) {
        if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
            return false;
    }
    if (confirm) {
        const QString question =
            list.size() == 1
                ? QObject::tr("Are you sure you want to move \"%1\" to the trash?")
                      .arg(QFileInfo(list.first()).fileName())
                : QObject::tr("Are you sure you want to move these %1 items to the trash?")
                      .arg(list.size());
        const bool yes = askFunction ? askFunction(owner, title, question)
                                     : askWithMessageBox(owner, title, question);
        if (!yes)
            return false;
    }
    bool all = true;
    for (const QString& path : list)
        all = QFile::moveToTrash(path) && all;
    return all;
}

} // namespace zelvorin::platform
