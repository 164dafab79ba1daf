// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every value the program keeps, declared once with its key, kind and default, and read
// and written only through this table. Keys are relative to the settings root
// ("Software\Morvenkast\Zelvorin"). A missing store reads as defaults and ignores writes.
#pragma once

#include <QString>
#include <QStringList>

namespace zelvorin {
class SettingsStore;
}

namespace zelvorin::settings {

inline const QString InterfaceKey = QStringLiteral("\\Interface");
inline const QString OptionsKey = QStringLiteral("\\Options");
inline const QString HistoryKey = QStringLiteral("\\History");

struct IntegerSetting {
    QString key;
    QString name;
    int defaultValue;
};
struct BooleanSetting {
    QString key;
    QString name;
    bool defaultValue;
};
struct StringSetting {
    QString key;
    QString name;
};
// A numbered list: base name followed by 1, 2, 3 ...
struct ListSetting {
    QString key;
    QString baseName;
};

inline const BooleanSetting ShowWelcomePage{InterfaceKey, QStringLiteral("ShowWelcomePage"), true};
inline const IntegerSetting FormWidth{InterfaceKey, QStringLiteral("FormWidth"), 610};
inline const IntegerSetting FormHeight{InterfaceKey, QStringLiteral("FormHeight"), 442};
// The defaults of the position are where the window system put the window.
inline const IntegerSetting FormTop{InterfaceKey, QStringLiteral("FormTop"), 0};
inline const IntegerSetting FormLeft{InterfaceKey, QStringLiteral("FormLeft"), 0};
inline const IntegerSetting WindowState{InterfaceKey, QStringLiteral("WindowState"), 2};
inline const IntegerSetting MainFilePanelWidth{InterfaceKey, QStringLiteral("MainFilePanelWidth"),
                                               170};
inline const IntegerSetting DirBoxHeight{InterfaceKey, QStringLiteral("DirBoxHeight"), 148};
inline const IntegerSetting DefImageGalleryStyle{InterfaceKey,
                                                 QStringLiteral("DefImageGalleryStyle"), 2};
// How the background image is laid out: the number of a preview::BackgroundPlacement
// (0 Tile), and whether it stays in place while the page scrolls.
inline const IntegerSetting BackgroundPlacement{InterfaceKey, QStringLiteral("BackgroundPlacement"),
                                                0};
inline const BooleanSetting BackgroundFixed{InterfaceKey, QStringLiteral("BackgroundFixed"), false};
// The CSS width the page is laid out at in the preview (preview::PageWidthPresets), 0 for
// the whole preview area.
inline const IntegerSetting PageWidth{InterfaceKey, QStringLiteral("PageWidth"), 0};
// The page is shown a second time beside the first, at another width ("Side by side").
inline const BooleanSetting SideBySide{InterfaceKey, QStringLiteral("SideBySide"), false};
// The CSS width of that second view (a preset other than the whole area), 0 for a phone's,
// or a desktop's beside a phone's.
inline const IntegerSetting SideWidth{InterfaceKey, QStringLiteral("SideWidth"), 0};

inline const BooleanSetting HideBrowserDialogues{OptionsKey, QStringLiteral("HideBrowserDialogues"),
                                                 false};
inline const StringSetting DefaultFolder{OptionsKey, QStringLiteral("DefaultFolder")};
// Images in the file list show their thumbnails ("Show thumbnails" of the Options menu).
inline const BooleanSetting ShowThumbnails{OptionsKey, QStringLiteral("ShowThumbnails"), false};
// A local page in the preview is reloaded when it, or a file it loads from its folder,
// changes on disk ("Reload the page when it changes").
inline const BooleanSetting ReloadChangedPage{OptionsKey, QStringLiteral("ReloadChangedPage"),
                                              true};

inline const StringSetting LastFolder{HistoryKey, QStringLiteral("LastFolder")};
inline const IntegerSetting LastFileFilter{HistoryKey, QStringLiteral("LastFileFilter"), 0};
inline const ListSetting LastFolders{HistoryKey, QStringLiteral("LastFolders")};
inline const ListSetting FavoriteFolders{HistoryKey, QStringLiteral("FavoriteFolders")};

// What the window says when the store could not save (zelvorin::SettingsStore::saveFailed): a
// line for the status bar and the text of the message shown the first time in a run.
QString NotSavedStatusText(const QString& file, const QString& reason);
QString NotSavedMessageText(const QString& file, const QString& reason);
// What the window says when it closes with settings the file has still not taken.
QString UnsavedAtCloseText(const QString& file, const QString& reason);

// Reads and writes the table's values in a store below a root key path.
class SettingsAccess {
public:
    SettingsAccess(zelvorin::SettingsStore* store, const QString& root)
        : m_store(store), m_root(root) {}

    bool hasStore() const { return m_store != nullptr; }

    int read(const IntegerSetting& setting) const { return read(setting, setting.defaultValue); }
    int read(const IntegerSetting& setting, int defaultValue) const;
    bool read(const BooleanSetting& setting) const;
    QString read(const StringSetting& setting) const;
    QStringList read(const ListSetting& setting) const;

    bool write(const IntegerSetting& setting, int value) const;
    bool write(const BooleanSetting& setting, bool value) const;
    bool write(const StringSetting& setting, const QString& value) const;
    bool write(const ListSetting& setting, const QStringList& values) const;

private:
    zelvorin::SettingsStore* m_store;
    QString m_root;
};

} // namespace zelvorin::settings
