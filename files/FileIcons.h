// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The icons of the file column, one cache per process shared by the three controls: file
// icons come from the desktop's icon theme by file type (looked up by name only, never by
// reading the file) and are cached per type, so each type is looked up once.
#pragma once

#include "Volumes.h"

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>
#include <QVector>

namespace zelvorin {

class FileIcons {
public:
    static FileIcons& instance();

    // The index of the icon for a file name's type; stable for the whole run.
    int indexForName(const QString& name);
    // The index of the icon for a folder.
    int folderIndex();
    QIcon icon(int index) const;
    int count() const { return int(m_icons.size()); }

    QIcon openFolderIcon();
    QIcon closedFolderIcon();
    QIcon volumeIcon(platform::VolumeKind kind);

    // The side of a small icon in pixels.
    static int smallIconSize();

private:
    FileIcons() = default;
    int indexForKey(const QString& key, const QIcon& fallback);

    QMimeDatabase m_mimeTypes;
    QVector<QIcon> m_icons;
    QHash<QString, int> m_indexByKey;    // MIME type name -> icon index
    QHash<QString, int> m_indexBySuffix; // lower-case suffix -> icon index
};

} // namespace zelvorin
