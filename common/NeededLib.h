// The program's stateless helpers: path arithmetic on POSIX paths, folder searches, file
// operations that stand in for the desktop shell's (open, copy, move, trash), text and
// number conversions and wildcard matching. Every subsystem calls them by these names.
//
// Paths: "/" is the only separator and the root. A backslash or a colon is an ordinary
// character of a Linux file name, so neither ever splits a path. There are no drive
// letters; a root has no parent.
#pragma once

#include "FileAttributes.h"
#include "ShellOperations.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

class QWidget;

namespace zelvorin {

namespace platform {
class FolderSearch;
}

// One entry found by FindFirstEntry / FindNextEntry, plus the open search itself. A
// record whose `handle` is empty holds no open search.
struct SearchRecord {
    QString name;           // the entry's name, without its folder
    quint32 attributes = 0; // FileAttribute bits
    qint64 size = 0;        // bytes; 0 for folders
    QDateTime modified;     // last modification time, in UTC
    std::shared_ptr<platform::FolderSearch> handle;

    bool isOpen() const { return handle != nullptr; }
};

// Raised by HexToInt for a text that is not a hexadecimal number.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& message);
};

} // namespace zelvorin

// Path helpers.
QString StripTrailingSlashes(const QString& path);
QString WithTrailingBackslash(const QString& path);
QString ExtractDriveOrShare(const QString& path);
QString ExtractParentPath(const QString& path);
QString GetParentFolder(const QString& path);
QString ExtractNameAfterSeparator(const QString& path);

// File-system helpers. Find* return 0 on success, otherwise an errno value (ENOENT when
// nothing or nothing more matches).
bool FolderExists(const QString& path);
qint64 GetFileSizeByName(const QString& path);
int FindFirstEntry(const QString& pattern, quint32 attributeMask, zelvorin::SearchRecord& record);
int FindNextEntry(zelvorin::SearchRecord& record);
void FindCloseEntry(zelvorin::SearchRecord& record);

// Shell helpers. Path texts (see platform/LosslessNames.h) reach the very file; several
// paths for DeleteToRecycleBin are joined by NUL characters.
bool OpenWithShell(const QString& path);
bool DeleteToRecycleBin(const QString& path, bool confirm);
bool CopyFileWithShell(const QString& source, const QString& destination, bool confirm,
                       bool showProgress, QWidget* owner);
bool MoveFileWithShell(const QString& source, const QString& destination, bool confirm,
                       bool showProgress, QWidget* owner);

// The same on raw paths, telling what became of the operation: done, declined by the
// user, or failed with the reason the user is to hear (the program shows it; on Windows
// the shell does).
zelvorin::platform::FileResult OpenWithShell(const QByteArray& path);
zelvorin::platform::FileResult DeleteToRecycleBin(const QList<QByteArray>& paths, bool confirm,
                                                  QWidget* owner);
zelvorin::platform::FileResult CopyFileWithShell(const QByteArray& source,
                                                 const QByteArray& destination, bool confirm,
                                                 bool showProgress, QWidget* owner);
zelvorin::platform::FileResult MoveFileWithShell(const QByteArray& source,
                                                 const QByteArray& destination, bool confirm,
                                                 bool showProgress, QWidget* owner);

// Text and number helpers.
QString GetWord(const QString& text, int n);
int FindTextFrom(int start, const QString& separator, const QString& source);
int HexToInt(const QString& text); // throws zelvorin::ConversionError
int RoundHalfUp(double value);
QString BoolToText(bool value);
bool HasAllFlags(quint32 value, quint32 flags);
bool CopyStringList(const QStringList* source, QStringList* destination);
bool MatchesWildcard(const QString& name, const QString& pattern);
