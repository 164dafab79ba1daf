// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every command of the main window, named once: its entry's text, key and object name, the
// menu it sits in, its toolbar image and hint, and the command word that reaches it from a
// "zelvorin://" address. The menus, the toolbar buttons and the command dispatcher all
// take their actions from this one table (ActionRegistry), so a command's doors cannot
// drift apart.
#pragma once

#include "CommandUrl.h"
#include "ToolbarIcons.h"

#include <QSize>
#include <span>

namespace zelvorin {

enum class Command {
    // File
    OpenDocument,
    ChangeBackground,
    ShowImageGallery,
    AddToFavoriteFolders,
    Exit,
    // Edit
    Copy,
    CopyBackgroundColor,
    CopyHtmlSource,
    CopyCss,
    SaveWebCopy, // enabled while an image is chosen
    SelectAll,
    SetBackgroundColor,
    UseImageColour,
    PlaceTile,
    PlaceTileAcross,
    PlaceTileDown,
    PlaceCentreOnce,
    PlaceCover,
    PlaceFit,
    FixedWhileScrolling,
    ClearPreviewArea,
    // Options
    FontLargest,
    FontLarger,
    FontMedium,
    FontSmaller,
    FontSmallest,
    SimpleListStyle,
    BackgroundListStyle,
    ThumbnailListStyle,
    ShowToolbar,
    ShowWelcomePageOnStart,
    HideBrowserDialogues,
    ShowFileThumbnails,
    ReloadChangedPage,
    ViewFullWidth, // the widths the page is laid out at
    ViewPhoneWidth,
    ViewTabletWidth,
    ViewLaptopWidth,
    ViewDesktopWidth,
    SideBySide,
    SideWidthAutomatic, // the width of the second view side by side
    SidePhoneWidth,
    SideTabletWidth,
    SideLaptopWidth,
    SideDesktopWidth,
    // Tools and Help
    CreateGradientText,
    HelpContents,
    About,
    // The hidden developer menus
    ShowLog,
    ClearLog,
    ShowThumbnails,
    CycleGalleryStyle,
    // The toolbar's own
    AddCustomFilter,
    Go,
    Back,
    Forward,
    Refresh,
    Stop,
    // Reached only by their command words, from the program's own pages
    ShowContacts,
    ViewCleanBackgrounds,
    ViewLocalHtmlFiles,
    SetBackgroundsFilter,
    SwitchWelcomePageView,
    // The context menus of the folder list and the file list
    AddFolderToFavoriteFolders,
    FolderProperties,
    CopyFileName,
    CopyFileNameAndPath,
    FileProperties,
};

// The menus: the menu bar's, their submenus, and the two context menus.
enum class MenuId {
    None, // a command no menu shows
    File,
    LastFolders,
    FavoriteFolders,
    Edit,
    BackgroundPlacement,
    Options,
    FontSize,
    GalleryStyle,
    View,
    SideWidth,
    Tools,
    Help,
    Spacer,
    Developer,
    Hidden,
    FolderList,
    FolderListLastFolders,
    FolderListFavoriteFolders,
    FileList,
};

// A menu: its parent (None for the menu bar's and the context menus), object name and
// title, and whether the menu bar shows it.
struct MenuRow {
    MenuId id;
    MenuId parent;
    const char* name;
    const char* title; // empty: the title comes from the rules the menu belongs to
    bool shown = true;
    bool context = false;
};

enum class Check { None, Toggle, Radio };

// One line of a menu (an entry, a submenu in its place, or a separator) or a command no
// menu shows. Radio entries of one menu form one group; `value` is what the entry stands
// for there (a zoom level, a gallery style, a stored placement).
struct CommandRow {
    enum class Kind { Entry, Submenu, Separator };
    Kind kind = Kind::Entry;
    Command command = Command::Exit;
    MenuId menu = MenuId::None;
    const char* name = "";
    const char* text = ""; // empty: the text comes from the rules the command belongs to
    const char* key = "";
    Check check = Check::None;
    bool checked = false;
    int value = 0;
    preview::CommandWord word = preview::CommandWord::None;
    ToolbarImage image = ToolbarImage::None;
    QSize imageSize;
    const char* hint = "";
    MenuId submenu = MenuId::None;
};

std::span<const MenuRow> menuTable();
// In menu order; separators and submenus stand where they show.
std::span<const CommandRow> commandTable();

} // namespace zelvorin
