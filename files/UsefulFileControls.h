// The file column's controls: the sorted file list with the icon of each file's type
// (TUsefulFileBox), the volume box (TUsefulDriveBox), the folder list with the path from
// the root down and the subfolders (TUsefulDirectoryBox) and the panel that passes its
// enabled state on (TUsefulPanel), plus the path functions they share.
//
// The shown folder is also the process's current folder: every folder change goes through
// making the folder current and reading the current folder back, so that relative paths
// typed by the user resolve against what is shown. Names are kept as raw bytes beside
// their display text, so names that are not valid UTF-8 are listed and can be opened.
#pragma once

#include <QByteArray>
#include <QFlags>
#include <QString>

#include <stdexcept>

class QFont;

// The attribute kinds a file list shows; the values are the attribute bits they stand for.
enum class TFileAttr : quint32 {
    ftReadOnly = 0x01,
    ftHidden = 0x02,
    ftSystem = 0x04,
    ftVolumeID = 0x08,
    ftDirectory = 0x10,
    ftArchive = 0x20,
    ftNormal = 0x80
};
Q_DECLARE_FLAGS(TFileType, TFileAttr)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFileType)

enum class TTextCase { tcLowerCase, tcUpperCase };

namespace zelvorin {

// The errors the file controls raise: a folder that cannot be made current, a typed file
// name that does not exist, a folder path that cannot be created.
class FileControlError : public std::runtime_error {
public:
    explicit FileControlError(const QString& message, int code = 0);
    QString message() const { return QString::fromUtf8(what()); }
    int code() const { return m_code; }

private:
    int m_code = 0;
};

// The parts of a typed path: the volume (its mount point), the folder and the file name.
struct PathParts {
    QString drive;
    QString folder;
    QString file;
};

// Search bits of a file type (what a folder search may return) and the bits an entry may
// carry and still stay listed.
quint32 SearchAttributeMask(TFileType type);
quint32 AllowedAttributeMask(TFileType type);

// Makes a folder the current one; raises FileControlError when that fails.
void ChangeCurrentFolder(const QString& path);
// The current folder as a path text Qt can open (see platform/LosslessNames.h).
QString CurrentFolderText();

} // namespace zelvorin

// folder + name, with exactly one "/" between them when the folder does not end in one.
QString JoinFolderAndName(const QString& folder, const QString& name);
QByteArray JoinFolderAndName(const QByteArray& folder, const QByteArray& name);
// The height of a line of text in the font.
int FontLineHeight(const QFont& font);
// Creates every missing folder of the path; an empty path raises "Unable to create
// directory". Failures to create are not reported (the caller checks the result).
void ForceFolders(const QString& path);
// The number of "/" in the path.
int FolderDepth(const QString& path);
// Splits a typed path into volume, folder and file, resolving relative parts against the
// current folder; a last name that is neither an existing file nor a pattern is taken as
// a folder. Raises FileControlError when a folder part cannot be entered. The current
// folder is the same afterwards.
zelvorin::PathParts SplitPath(const QString& text);

#include "UsefulDirectoryBox.h"
#include "UsefulDriveBox.h"
#include "UsefulFileBox.h"
#include "UsefulPanel.h"
