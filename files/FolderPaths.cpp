// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderPaths.h"

#include "LosslessNames.h"
#include "RawFolderReader.h"

#include <cstring>

namespace zelvorin {

FileControlError::FileControlError(const QString& message, int code)
    : std::runtime_error(message.toStdString()), m_code(code) {}

void changeCurrentFolder(const QString& path) {
    const int error = platform::changeFolderBytes(platform::encodePath(path));
    if (error != 0)
        throw FileControlError(cannotOpenFolderText(path, error), error);
}

QString cannotOpenFolderText(const QString& path, int error) {
    return QStringLiteral("Cannot open the folder \"%1\": %2")
        .arg(path, QString::fromLocal8Bit(strerror(error)));
}

QString currentFolderText() {
    return platform::openablePath(platform::currentFolderBytes());
}

QString joinFolderAndName(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QByteArray joinFolderAndName(const QByteArray& folder, const QByteArray& name) {
    if (folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

int folderDepth(const QString& path) {
    return int(path.count(QLatin1Char('/')));
}

QString strippedFolderPath(const QString& path) {
    QString text = path;
    while (text.size() > 1 && text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text == QStringLiteral("/") ? QString() : text;
}

PathParts splitPath(const QString& text) {
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
        parts.folder = currentFolderText();
        if (parts.folder.isEmpty())
            parts.folder = QStringLiteral("/");
    }
    if (!parts.folder.isEmpty())
        changeCurrentFolder(parts.folder);
    const bool pattern =
        parts.file.contains(QLatin1Char('*')) || parts.file.contains(QLatin1Char('?'));
    if (!parts.file.isEmpty() && !pattern &&
        !platform::fileExistsBytes(platform::encodePath(parts.file))) {
        changeCurrentFolder(parts.file);
        parts.folder = joinFolderAndName(parts.folder, parts.file);
        parts.file.clear();
    }
    return parts;
}

} // namespace zelvorin
