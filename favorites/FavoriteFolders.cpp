// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FavoriteFolders.h"

#include "ManageFoldersDialog.h"
#include "Paths.h"
#include "SettingsTable.h"

#include <QWidget>
#include <exception>

namespace zelvorin {

namespace {

bool isBlankOrControl(QChar c) {
    return c.unicode() <= 0x20;
}

QString trimBlanksAndControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString normalizeFolderPath(const QString& path) {
    // POSIX paths have no drive part, so the root form is always the one root "/".
    const QString trimmed = trimBlanksAndControls(path);
    if (path == QStringLiteral("/"))
        return withTrailingSlash(trimmed);
    return stripTrailingSlashes(trimmed);
}

FavoriteFolders::FavoriteFolders(QObject* parent) : QObject(parent) {}

FavoriteFolders::~FavoriteFolders() = default;

bool FavoriteFolders::addLastFolder(const QString& path, quintptr data) {
    return addFolderToList(m_lastFolders, path, m_lastFoldersLimit, data);
}

bool FavoriteFolders::addFavoriteFolder(const QString& path, quintptr data) {
    return addFolderToList(m_favoriteFolders, path, m_favoriteFoldersLimit, data);
}

bool FavoriteFolders::addFolderToList(FolderList& list, const QString& path, int limit,
                                      quintptr data) {
    const QString normalized = normalizeFolderPath(path);
    if (normalized.isEmpty())
        return false;
    const qsizetype found = indexOfFolder(list, normalized);
    if (found < 0)
        list.prepend(FolderEntry{normalized, 0});
    else
        list.move(found, 0);
    list.first().data = data;
    if (limit > 0 && list.size() > limit)
        list.resize(limit);
    return true;
}

bool FavoriteFolders::moveFolderToFront(FolderList& list, const QString& path) {
    const qsizetype found = indexOfFolder(list, path);
    if (found < 0)
        return false;
    list.move(found, 0);
    return true;
}

void FavoriteFolders::editFavoriteFolders() {
    // A dialog made for this one use; with the owner's window as parent it stays above it.
    ManageFoldersDialog dialog(qobject_cast<QWidget*>(parent()));
    dialog.setWindowTitle(m_dialogCaption);
    dialog.setFolderList(&m_favoriteFolders);
    dialog.setFolderAddedHandler(m_onAddFolderFromDialog);
    if (m_prepareDialog)
        m_prepareDialog(&dialog);
    dialog.exec();
}

bool FavoriteFolders::readFolderLists(const settings::SettingsAccess& settings) {
    m_lastFolders = folderEntries(settings.read(settings::LastFolders));
    m_favoriteFolders = folderEntries(settings.read(settings::FavoriteFolders));
    return !m_lastFolders.isEmpty() || !m_favoriteFolders.isEmpty();
}

bool FavoriteFolders::writeFolderLists(const settings::SettingsAccess& settings) const {
    const bool last = settings.write(settings::LastFolders, folderPaths(m_lastFolders));
    const bool favorites =
        settings.write(settings::FavoriteFolders, folderPaths(m_favoriteFolders));
    return last && favorites;
}

} // namespace zelvorin
