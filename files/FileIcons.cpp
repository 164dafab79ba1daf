// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileIcons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QStyle>

namespace zelvorin {

FileIcons& FileIcons::instance() {
    static FileIcons icons;
    return icons;
}

int FileIcons::smallIconSize() {
    return QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
}

int FileIcons::indexForKey(const QString& key, const QIcon& fallback) {
    const auto found = m_indexByKey.constFind(key);
    if (found != m_indexByKey.constEnd())
        return *found;
    m_icons.append(fallback);
    const int index = int(m_icons.size()) - 1;
    m_indexByKey.insert(key, index);
    return index;
}

int FileIcons::indexForName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString suffix = dot > 0 ? name.mid(dot + 1).toLower() : QString();
    const auto known = m_indexBySuffix.constFind(suffix);
    if (known != m_indexBySuffix.constEnd())
        return *known;
    // By extension only: never opens the file, so a slow volume cannot stall drawing.
    const QMimeType type = m_mimeTypes.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    int index = -1;
    const auto cached = m_indexByKey.constFind(type.name());
    if (cached != m_indexByKey.constEnd()) {
        index = *cached;
    } else {
        static const QFileIconProvider provider;
        QIcon icon = QIcon::fromTheme(type.iconName());
        if (icon.isNull())
            icon = QIcon::fromTheme(type.genericIconName());
        if (icon.isNull())
            icon = provider.icon(QFileIconProvider::File);
        index = indexForKey(type.name(), icon);
    }
    m_indexBySuffix.insert(suffix, index);
    return index;
}

int FileIcons::folderIndex() {
    static const QFileIconProvider provider;
    return indexForKey(
        QStringLiteral("inode/directory"),
        QIcon::fromTheme(QStringLiteral("folder"), provider.icon(QFileIconProvider::Folder)));
}

QIcon FileIcons::icon(int index) const {
    return index >= 0 && index < m_icons.size() ? m_icons.at(index) : QIcon();
}

QIcon FileIcons::openFolderIcon() {
    static const QFileIconProvider provider;
    return QIcon::fromTheme(QStringLiteral("folder-open"),
                            provider.icon(QFileIconProvider::Folder));
}

QIcon FileIcons::closedFolderIcon() {
    return icon(folderIndex());
}

QIcon FileIcons::volumeIcon(platform::VolumeKind kind) {
    static const QFileIconProvider provider;
    const QIcon drive = provider.icon(QFileIconProvider::Drive);
    switch (kind) {
    case platform::VolumeKind::Removable:
        return QIcon::fromTheme(QStringLiteral("drive-removable-media"), drive);
    case platform::VolumeKind::Fixed:
        return QIcon::fromTheme(QStringLiteral("drive-harddisk"), drive);
    case platform::VolumeKind::Network:
        return QIcon::fromTheme(QStringLiteral("folder-remote"),
                                provider.icon(QFileIconProvider::Network));
    case platform::VolumeKind::Optical:
        return QIcon::fromTheme(QStringLiteral("media-optical"), drive);
    case platform::VolumeKind::Ram:
        return QIcon::fromTheme(QStringLiteral("media-flash"), drive);
    case platform::VolumeKind::Unknown:
        break;
    }
    return drive;
}

} // namespace zelvorin
