#include "UsefulFileControls.h"

#include "LosslessNames.h"
#include "NeededLib.h"
#include "RawFolderReader.h"
#include "Volumes.h"

#include <QFontMetrics>

#include <cstring>

namespace zelvorin {

FileControlError::FileControlError(const QString& message, int code)
    : std::runtime_error(message.toStdString()), m_code(code) {}

quint32 SearchAttributeMask(TFileType type) {
    return quint32(type.toInt()) & 0x3F;
}

quint32 AllowedAttributeMask(TFileType type) {
    quint32 mask = quint32(type.toInt()) & (0x01 | 0x02 | 0x04 | 0x10 | 0x20);
    if (type.testFlag(TFileAttr::ftNormal))
        mask |= 0x80;
    return mask;
}

void ChangeCurrentFolder(const QString& path) {
    const int error = platform::changeFolderBytes(platform::encodePath(path));
    if (error != 0) {
        throw FileControlError(QStringLiteral("Cannot open the folder \"%1\": %2")
                                   .arg(path, QString::fromLocal8Bit(strerror(error))),
                               error);
    }
}

QString CurrentFolderText() {
    return platform::openablePath(platform::currentFolderBytes());
}

} // namespace zelvorin

QString JoinFolderAndName(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QByteArray JoinFolderAndName(const QByteArray& folder, const QByteArray& name) {
    if (folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

int FontLineHeight(const QFont& font) {
    return QFontMetrics(font).height();
}

int FolderDepth(const QString& path) {
    return int(path.count(QLatin1Char('/')));
}

void ForceFolders(const QString& path) {
    if (path.isEmpty())
        throw zelvorin::FileControlError(QStringLiteral("Unable to create directory"));
    QString folder = path;
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    // The root (the only path of one character that is a folder) is never created.
    if (folder.size() > 1 && !FolderExists(folder)) {
        const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
        const QString parent = slash == 0 ? QStringLiteral("/") : folder.left(slash);
        if (slash >= 0 && parent != folder && !parent.isEmpty())
            ForceFolders(parent);
        zelvorin::platform::makeFolderBytes(zelvorin::platform::encodePath(folder));
    }
}

zelvorin::PathParts SplitPath(const QString& text) {
    using namespace zelvorin;
    const QByteArray saved = platform::currentFolderBytes();
    struct Restore {
        QByteArray folder;
        ~Restore() {
            if (platform::folderExistsBytes(folder))
                platform::changeFolderBytes(folder);
        }
    } restore{saved};

    PathParts parts;
    parts.folder = text;
    if (text.size() >= 2 && text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        parts.folder = text.mid(1, text.size() - 2);

    const qsizetype slash = parts.folder.lastIndexOf(QLatin1Char('/'));
    parts.file = slash < 0 ? parts.folder : parts.folder.mid(slash + 1);
    if (parts.folder.size() == parts.file.size() + 1) {
        parts.folder = QStringLiteral("/");
    } else if (parts.file.size() < parts.folder.size()) {
        parts.folder.chop(parts.file.size() + 1);
    } else {
        parts.folder = CurrentFolderText();
        if (parts.folder.isEmpty())
            parts.folder = QStringLiteral("/");
    }
    if (!parts.folder.isEmpty())
        ChangeCurrentFolder(parts.folder);
    const bool pattern =
        parts.file.contains(QLatin1Char('*')) || parts.file.contains(QLatin1Char('?'));
    if (!parts.file.isEmpty() && !pattern &&
        !platform::fileExistsBytes(platform::encodePath(parts.file))) {
        ChangeCurrentFolder(parts.file);
        parts.folder = JoinFolderAndName(parts.folder, parts.file);
        parts.file.clear();
    }
    parts.drive = platform::volumeOf(CurrentFolderText(), platform::mountedVolumes()).rootPath;
    return parts;
}
