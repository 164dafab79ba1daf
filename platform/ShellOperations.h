// The file operations the desktop shell performs on Windows, done by the program itself
// on Linux: open with the user's default program, copy and move with a replace question
// and a progress window, and moving to the freedesktop trash.
//
// Copies never leave a partial file at the destination: the data goes into a temporary
// file beside it, which is renamed into place only when complete and flushed to disk.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace zelvorin::platform {

// Opens a local file with the desktop's default program. False when the file does not
// exist or no program took it.
bool openWithDesktop(const QString& path);

// Asks a question with the answers Yes and No; true for Yes.
using AskFunction =
    std::function<bool(QWidget* owner, const QString& title, const QString& question)>;

// A message box question, No being the default answer.
bool askWithMessageBox(QWidget* owner, const QString& title, const QString& question);

// Told after each piece of a copy how many bytes of how many are done; false cancels.
using ProgressFunction = std::function<bool(qint64 copied, qint64 total)>;

struct TransferOptions {
    bool confirmReplace = true; // ask before replacing an existing destination
    bool showProgress = true;   // a progress window for copies lasting over half a second
    QWidget* owner = nullptr;
    QString title;             // title of the questions and of the progress window
    AskFunction ask;           // null: askWithMessageBox
    ProgressFunction progress; // when set, used instead of the progress window
    int progressDelayMs = 500; // how long a copy runs before its progress window shows
};

// Copies one regular file to the full destination path. False when refused, cancelled
// or failed; the destination is then as it was before.
bool copyFile(const QString& source, const QString& destination, const TransferOptions& options);

// Moves one regular file: a rename on the same file system; across file systems a full
// copy flushed to disk, after which the source is removed.
bool moveFile(const QString& source, const QString& destination, const TransferOptions& options);

// Moves each path (several may be joined by NUL characters) to the user's trash, after
// asking when `confirm` is true. True only when every path went to the trash; nothing
// is ever deleted for good.
bool moveToTrash(const QString& paths, bool confirm, QWidget* owner, const QString& title,
                 const AskFunction& ask = {});

} // namespace zelvorin::platform
