// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The file operations the desktop shell performs on Windows, done by the program itself
// on Linux: open with the user's default program, copy and move with a replace question
// and progress reports, and moving to the freedesktop trash (Trash.h). Every path is
// the file's raw bytes.
//
// Copies never leave a partial file at the destination: the data goes into a temporary
// file beside it, which is renamed into place only when complete and flushed to disk.
#pragma once

#include "DesktopServices.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QUrl;
class QWidget;

namespace zelvorin::platform {

// What became of a file operation: done; declined by the user (a No, a cancel), which
// needs no word; or failed, with the reason to tell the user.
struct FileResult {
    enum class Kind { Done, Declined, Failed };
    Kind kind = Kind::Done;
    int error = 0;   // the errno value of a failure; 0 when the reason is the program's own
    QString reason;  // a failure's reason: the system's text for `error`, or the program's
    QByteArray path; // the file a failure concerns, when the operation had several

    static FileResult done() { return {}; }
    static FileResult declined() { return {Kind::Declined, 0, {}, {}}; }
    // A failure for the errno value, its reason the system's text.
    static FileResult failure(int error, const QByteArray& path = {});
    // A failure whose reason is the program's own.
    static FileResult failure(const QString& reason, const QByteArray& path = {});
    bool ok() const { return kind == Kind::Done; }
    bool failed() const { return kind == Kind::Failed; }
    explicit operator bool() const { return ok(); }
};

// The system's text for an errno value ("No space left on device").
QString errorText(int error);

// Opens a local file with the desktop's default program (or the one `desktop` stands in
// with). Fails when the file cannot be looked at or no program could be started for it.
FileResult openWithDesktop(const QByteArray& path, const DesktopServices& desktop);

// Asks a question with the answers Yes and No; true for Yes.
using AskFunction =
    std::function<bool(QWidget* owner, const QString& title, const QString& question)>;

// A message box question, No being the default answer.
bool askWithMessageBox(QWidget* owner, const QString& title, const QString& question);

// Told after each piece of a copy how many bytes of how many are done; false cancels. A
// copy may run on a worker thread, and so may this.
using ProgressFunction = std::function<bool(qint64 copied, qint64 total)>;

struct TransferOptions {
    bool confirmReplace = true; // ask before replacing an existing destination
    bool renameOnly = false;    // a move across file systems fails (EXDEV) instead of copying
    QWidget* owner = nullptr;
    QString title;             // title of the questions
    AskFunction ask;           // null: askWithMessageBox
    ProgressFunction progress; // null: the copy runs to its end
};

// The checks a copy or move makes before it touches anything, the question included: the
// source a regular file, the destination not a folder nor the source itself, an existing
// destination replaced only when the user agrees (with confirmReplace). Done when the
// transfer may go ahead.
FileResult transferAllowed(const QByteArray& source, const QByteArray& destination,
                           const TransferOptions& options);

// Copies one regular file to the full destination path. Unless done, the destination is
// as it was before: declined when the user said No to replacing or cancelled, failed when
// the system refused (the source missing, not a regular file, the destination a folder or
// the source itself, a full disk, ...).
FileResult copyFile(const QByteArray& source, const QByteArray& destination,
                    const TransferOptions& options);

// Writes `bytes` as a new file of the user's (mode 0666 less the umask), whole and flushed
// to disk before it takes its name. An existing file is replaced only when the user says
// Yes (with confirmReplace; without it, as a copy does, at once), a folder never; a file
// that appears while the new one is written is never replaced.
FileResult writeNewFile(const QByteArray& destination, const QByteArray& bytes,
                        const TransferOptions& options);

// Moves one regular file: a rename on the same file system; across file systems a full
// copy flushed to disk, after which the source is removed. Unless done, the source is
// where it was.
FileResult moveFile(const QByteArray& source, const QByteArray& destination,
                    const TransferOptions& options);

} // namespace zelvorin::platform
