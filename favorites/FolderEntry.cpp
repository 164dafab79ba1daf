// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FolderEntry.h"

#include <QCollator>
#include <QLocale>
#include <QStringList>

namespace zelvorin {

#ifdef Q_OS_WIN
namespace {

const QCollator& folderCollator() {
    // Building a collator is far dearer than a comparison; one per thread is enough.
    thread_local const QCollator collator = [] {
        QCollator made{QLocale()};
        made.setCaseSensitivity(Qt::CaseInsensitive);
        made.setNumericMode(false);
        made.setIgnorePunctuation(false);
        return made;
    }();
    return collator;
}

} // namespace

bool sameFolderText(const QString& a, const QString& b) {
    if (a.compare(b, Qt::CaseInsensitive) == 0)
        return true;
    return folderCollator().compare(a, b) == 0;
}
#else
// Linux file systems tell names apart by their bytes: /x/Pics and /x/pics are two folders,
// so two entries are one only when their texts are equal.
bool sameFolderText(const QString& a, const QString& b) {
    return a == b;
}
#endif

qsizetype indexOfFolder(const FolderList& list, const QString& path) {
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (sameFolderText(list.at(i).path, path))
            return i;
    }
    return -1;
}

QStringList folderPaths(const FolderList& list) {
    QStringList paths;
    paths.reserve(list.size());
    for (const FolderEntry& entry : list)
        paths.append(entry.path);
    return paths;
}

FolderList folderEntries(const QStringList& paths) {
    FolderList list;
    list.reserve(paths.size());
    for (const QString& path : paths)
        list.append(FolderEntry{path, 0});
    return list;
}

} // namespace zelvorin
