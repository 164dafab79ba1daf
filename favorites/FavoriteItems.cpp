#include "FavoriteItems.h"

#include "ManageFoldersUnit.h"
#include "NeededLib.h"
#include "SettingsTable.h"

#include <QWidget>
#include <exception>

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

QString NormalizeFolderPath(const QString& path) {
    // POSIX paths have no drive part, so the root form is always the one root "/".
    const QString rootForm = WithTrailingBackslash(ExtractDriveOrShare(path));
    const QString trimmed = trimBlanksAndControls(path);
    if (path == rootForm)
        return WithTrailingBackslash(trimmed);
    return StripTrailingSlashes(trimmed);
}

TFavoriteFolders::TFavoriteFolders(QObject* parent) : QObject(parent) {}

TFavoriteFolders::~TFavoriteFolders() = default;

bool TFavoriteFolders::AddLastFolder(const QString& path, quintptr data) {
    return AddFolderToList(m_lastFolders, path, m_lastFoldersLimit, data);
}

bool TFavoriteFolders::AddFavoriteFolder(const QString& path, quintptr data) {
    return AddFolderToList(m_favoriteFolders, path, m_favoriteFoldersLimit, data);
}

bool TFavoriteFolders::AddFolderToList(zelvorin::FolderList& list, const QString& path, int limit,
                                       quintptr data) {
    try {
        const QString normalized = NormalizeFolderPath(path);
        if (normalized.isEmpty())
            return false;
        const qsizetype found = zelvorin::IndexOfFolder(list, normalized);
        if (found < 0)
            list.prepend(zelvorin::FolderEntry{normalized, 0});
        else
            list.move(found, 0);
        list.first().data = data;
        if (limit > 0 && list.size() > limit)
            list.resize(limit);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TFavoriteFolders::MoveFolderToFront(zelvorin::FolderList& list, const QString& path) {
    const qsizetype found = zelvorin::IndexOfFolder(list, path);
    if (found < 0)
        return false;
    list.move(found, 0);
    return true;
}

bool TFavoriteFolders::EditFavoriteFolders() {
    try {
        // A dialog made for this one use; with the owner's window as parent it stays above it.
        TManageFoldersForm dialog(qobject_cast<QWidget*>(parent()));
        dialog.setWindowTitle(m_dialogCaption);
        dialog.SetFolderList(&m_favoriteFolders);
        dialog.SetOnAddFolderFromDialog(m_onAddFolderFromDialog);
        if (m_prepareDialog)
            m_prepareDialog(&dialog);
        dialog.exec();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TFavoriteFolders::ReadFolderLists(const zelvorin::settings::SettingsAccess& settings) {
    m_lastFolders = zelvorin::FolderEntries(settings.Read(zelvorin::settings::LastFolders));
    m_favoriteFolders = zelvorin::FolderEntries(settings.Read(zelvorin::settings::FavoriteFolders));
    return !m_lastFolders.isEmpty() || !m_favoriteFolders.isEmpty();
}

bool TFavoriteFolders::WriteFolderLists(const zelvorin::settings::SettingsAccess& settings) const {
    const bool last =
        settings.Write(zelvorin::settings::LastFolders, zelvorin::FolderPaths(m_lastFolders));
    const bool favorites = settings.Write(zelvorin::settings::FavoriteFolders,
                                          zelvorin::FolderPaths(m_favoriteFolders));
    return last && favorites;
}
