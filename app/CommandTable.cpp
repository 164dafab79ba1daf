// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CommandTable.h"

#include <QtGlobal>

#include <vector>

namespace zelvorin {

namespace {

using Kind = CommandRow::Kind;
using Word = preview::CommandWord;
using Image = ToolbarImage;

constexpr QSize Small(16, 16);

CommandRow entry(Command command, MenuId menu, const char* name, const char* text,
                 const char* key = "") {
    CommandRow row;
    row.command = command;
    row.menu = menu;
    row.name = name;
    row.text = text;
    row.key = key;
    return row;
}

CommandRow toggle(Command command, MenuId menu, const char* name, const char* text,
                  bool checked = false, const char* key = "") {
    CommandRow row = entry(command, menu, name, text, key);
    row.check = Check::Toggle;
    row.checked = checked;
    return row;
}

CommandRow radio(Command command, MenuId menu, const char* name, const char* text, int value,
                 bool checked = false) {
    CommandRow row = entry(command, menu, name, text);
    row.check = Check::Radio;
    row.value = value;
    row.checked = checked;
    return row;
}

CommandRow separator(MenuId menu, const char* name) {
    CommandRow row;
    row.kind = Kind::Separator;
    row.menu = menu;
    row.name = name;
    return row;
}

CommandRow submenu(MenuId menu, MenuId opens) {
    CommandRow row;
    row.kind = Kind::Submenu;
    row.menu = menu;
    row.submenu = opens;
    return row;
}

CommandRow withWord(CommandRow row, Word word) {
    row.word = word;
    return row;
}

CommandRow onToolbar(CommandRow row, Image image, QSize size, const char* hint) {
    row.image = image;
    row.imageSize = size;
    row.hint = hint;
    return row;
}

// The placements' texts are the placement rules' own (BackgroundPlacement.h).
CommandRow placement(Command command, const char* name, int stored, bool checked = false) {
    return radio(command, MenuId::BackgroundPlacement, name, "", stored, checked);
}

const MenuRow Menus[] = {
    {MenuId::File, MenuId::None, "FileMenuItem", QT_TR_NOOP("&File")},
    {MenuId::LastFolders, MenuId::File, "LastFoldersMainMenuItem", QT_TR_NOOP("&Last Folders")},
    {MenuId::FavoriteFolders, MenuId::File, "FavoriteFoldersMainMenuItem",
     QT_TR_NOOP("&Favorite Folders")},
    {MenuId::Edit, MenuId::None, "EditMenuItem", QT_TR_NOOP("&Edit")},
    {MenuId::BackgroundPlacement, MenuId::Edit, "BackgroundPlacementMenuItem", ""},
    {MenuId::Options, MenuId::None, "OptionsMenuItem", QT_TR_NOOP("&Options")},
    {MenuId::FontSize, MenuId::Options, "FontSizeMenuItem", QT_TR_NOOP("&Font size")},
    {MenuId::GalleryStyle, MenuId::Options, "ImageGalleryStyleMenuItem",
     QT_TR_NOOP("Image &Gallery Style")},
    {MenuId::View, MenuId::Options, "ViewMenuItem", QT_TR_NOOP("&View")},
    {MenuId::SideWidth, MenuId::View, "SideWidthMenuItem", QT_TR_NOOP("Second &width")},
    {MenuId::Tools, MenuId::None, "Tools1", QT_TR_NOOP("&Tools!")},
    {MenuId::Help, MenuId::None, "HelpMenuItem", QT_TR_NOOP("&Help")},
    // Never shown: a blank spacer, the developer menu with the log commands, and the
    // gallery's diagnostic entries.
    {MenuId::Spacer, MenuId::None, "SpacerMenuItem", " ", false},
    {MenuId::Developer, MenuId::None, "DeveloperMenu", "Developer", false},
    {MenuId::Hidden, MenuId::None, "T2", "T2", false},
    {MenuId::FolderList, MenuId::None, "DirListPopupMenu", "", true, true},
    {MenuId::FolderListLastFolders, MenuId::FolderList, "LastFoldersMenuItem",
     QT_TR_NOOP("&Last Folders")},
    {MenuId::FolderListFavoriteFolders, MenuId::FolderList, "FavoriteFoldersMenuItem",
     QT_TR_NOOP("&Favorite Folders")},
    {MenuId::FileList, MenuId::None, "FileListPopupMenu", "", true, true},
};

const std::vector<CommandRow>& rows() {
    using C = Command;
    using M = MenuId;
    static const std::vector<CommandRow> table = {
        entry(C::OpenDocument, M::File, "OpenDocumentMenuItem", QT_TR_NOOP("&Open document..."),
              "Ctrl+O"),
        entry(C::ChangeBackground, M::File, "ChangeBackgroundMenuItem",
              QT_TR_NOOP("Change &background..."), "Ctrl+B"),
        separator(M::File, "N7"),
        onToolbar(entry(C::ShowImageGallery, M::File, "ShowImageGalleryMenuItem",
                        QT_TR_NOOP("Show &image gallery"), "Ctrl+I"),
                  Image::Gallery, QSize(18, 20), " Show image gallery "),
        separator(M::File, "N2"),
        submenu(M::File, M::LastFolders),
        submenu(M::File, M::FavoriteFolders),
        entry(C::AddToFavoriteFolders, M::File, "AddToFavoriteFoldersMainMenuItem",
              QT_TR_NOOP("&Add to Favorite Folders")),
        separator(M::File, "N9"),
        entry(C::Exit, M::File, "ExitMenuItem", QT_TR_NOOP("E&xit"), "Ctrl+X"),

        onToolbar(entry(C::Copy, M::Edit, "CopyMenuItem", QT_TR_NOOP("&Copy")), Image::Copy, Small,
                  " Copy "),
        entry(C::CopyBackgroundColor, M::Edit, "CopyBackgroundColorMenuItem",
              QT_TR_NOOP("Copy &background color")),
        entry(C::CopyHtmlSource, M::Edit, "CopyHTMLContentsMenuItem",
              QT_TR_NOOP("Copy &HTML source")),
        entry(C::CopyCss, M::Edit, "CopyCssMenuItem", QT_TR_NOOP("Copy C&SS")),
        entry(C::SaveWebCopy, M::Edit, "SaveWebCopyMenuItem", QT_TR_NOOP("Save a &web copy...")),
        entry(C::SelectAll, M::Edit, "SelectAllMenuItem", QT_TR_NOOP("Select &All")),
        separator(M::Edit, "N3"),
        onToolbar(entry(C::SetBackgroundColor, M::Edit, "SetBackgroundColorMenuItem",
                        QT_TR_NOOP("Set &Background Color...")),
                  Image::BackgroundColor, Small, " Change the background color... "),
        entry(C::UseImageColour, M::Edit, "UseImageColourMenuItem",
              QT_TR_NOOP("&Use image's colour")),
        submenu(M::Edit, M::BackgroundPlacement),
        placement(C::PlaceTile, "Placement0MenuItem", 0, true),
        placement(C::PlaceTileAcross, "Placement1MenuItem", 1),
        placement(C::PlaceTileDown, "Placement2MenuItem", 2),
        placement(C::PlaceCentreOnce, "Placement3MenuItem", 3),
        placement(C::PlaceCover, "Placement4MenuItem", 4),
        placement(C::PlaceFit, "Placement5MenuItem", 5),
        separator(M::BackgroundPlacement, "N10"),
        toggle(C::FixedWhileScrolling, M::BackgroundPlacement, "BackgroundFixedMenuItem", ""),
        onToolbar(entry(C::ClearPreviewArea, M::Edit, "ClearPreviewAreaMenuItem",
                        QT_TR_NOOP("Clear &Preview Area")),
                  Image::Clear, Small, " Clear the Preview Area "),

        submenu(M::Options, M::FontSize),
        radio(C::FontLargest, M::FontSize, "LargestMenuItem", QT_TR_NOOP("Lar&gest"), 4),
        radio(C::FontLarger, M::FontSize, "LargerMenuItem", QT_TR_NOOP("&Larger"), 3),
        radio(C::FontMedium, M::FontSize, "MediumMenuItem", QT_TR_NOOP("&Medium"), 2),
        radio(C::FontSmaller, M::FontSize, "SmallerMenuItem", QT_TR_NOOP("&Smaller"), 1),
        radio(C::FontSmallest, M::FontSize, "SmallestMenuItem", QT_TR_NOOP("Sm&allest"), 0),
        submenu(M::Options, M::GalleryStyle),
        radio(C::SimpleListStyle, M::GalleryStyle, "SimpleListMenuItem", QT_TR_NOOP("&Simple list"),
              0),
        radio(C::BackgroundListStyle, M::GalleryStyle, "BackgroundListMenuItem",
              QT_TR_NOOP("&Background list"), 1),
        radio(C::ThumbnailListStyle, M::GalleryStyle, "ThumbnailListMenuItem",
              QT_TR_NOOP("&Thumbnail list"), 2, true),
        submenu(M::Options, M::View),
        radio(C::ViewFullWidth, M::View, "FullWidthMenuItem", QT_TR_NOOP("&Full"), 0, true),
        radio(C::ViewPhoneWidth, M::View, "PhoneWidthMenuItem", QT_TR_NOOP("&Phone 390"), 390),
        radio(C::ViewTabletWidth, M::View, "TabletWidthMenuItem", QT_TR_NOOP("&Tablet 820"), 820),
        radio(C::ViewLaptopWidth, M::View, "LaptopWidthMenuItem", QT_TR_NOOP("&Laptop 1366"), 1366),
        radio(C::ViewDesktopWidth, M::View, "DesktopWidthMenuItem", QT_TR_NOOP("&Desktop 1920"),
              1920),
        separator(M::View, "N11"),
        toggle(C::SideBySide, M::View, "SideBySideMenuItem", QT_TR_NOOP("&Side by side")),
        submenu(M::View, M::SideWidth),
        radio(C::SideWidthAutomatic, M::SideWidth, "SideAutomaticWidthMenuItem",
              QT_TR_NOOP("&Automatic"), 0, true),
        radio(C::SidePhoneWidth, M::SideWidth, "SidePhoneWidthMenuItem", QT_TR_NOOP("&Phone 390"),
              390),
        radio(C::SideTabletWidth, M::SideWidth, "SideTabletWidthMenuItem",
              QT_TR_NOOP("&Tablet 820"), 820),
        radio(C::SideLaptopWidth, M::SideWidth, "SideLaptopWidthMenuItem",
              QT_TR_NOOP("&Laptop 1366"), 1366),
        radio(C::SideDesktopWidth, M::SideWidth, "SideDesktopWidthMenuItem",
              QT_TR_NOOP("&Desktop 1920"), 1920),
        separator(M::Options, "N8"),
        toggle(C::ShowToolbar, M::Options, "ShowToolbarMenuItem", QT_TR_NOOP("Show &Toolbar"), true,
               "Ctrl+T"),
        toggle(C::ShowWelcomePageOnStart, M::Options, "ShowWelcomePageOnStartMenuItem",
               QT_TR_NOOP("Show &Welcome page on start"), true),
        toggle(C::HideBrowserDialogues, M::Options, "HideDialoguesOfWebBrowserMenuItem",
               QT_TR_NOOP("Hide &dialogues of web browser")),
        toggle(C::ShowFileThumbnails, M::Options, "ShowFileThumbnailsMenuItem",
               QT_TR_NOOP("Show t&humbnails")),
        toggle(C::ReloadChangedPage, M::Options, "ReloadChangedPageMenuItem",
               QT_TR_NOOP("&Reload the page when it changes")),

        entry(C::CreateGradientText, M::Tools, "CreateTextWithGradientFloodFillMenuItem",
              QT_TR_NOOP("Create a gradient &text")),

        withWord(entry(C::HelpContents, M::Help, "HelpContents1", QT_TR_NOOP("Help &Contents...")),
                 Word::ShowHelpManual),
        separator(M::Help, "N1"),
        entry(C::About, M::Help, "AboutMenuItem", QT_TR_NOOP("&About...")),

        entry(C::ShowLog, M::Developer, "ShowLog1", "ShowLog"),
        entry(C::ClearLog, M::Developer, "ClearCaption1", "Clear Log"),
        entry(C::ShowThumbnails, M::Hidden, "ShowThumbnailsMenuItem", "Show thumbnails"),
        entry(C::CycleGalleryStyle, M::Hidden, "FindItem1", "FindItem"),

        onToolbar(entry(C::AddCustomFilter, M::None, "AddCustomFilterCommand",
                        QT_TR_NOOP("Add a custom filter...")),
                  Image::CustomFilter, Small, " Add a custom filter... "),
        onToolbar(entry(C::Go, M::None, "GoCommand", QT_TR_NOOP("Load document")), Image::Go,
                  QSize(27, 16), " Load document "),
        onToolbar(entry(C::Back, M::None, "BackCommand", QT_TR_NOOP("Back")), Image::Back,
                  QSize(18, 10), "Back"),
        onToolbar(entry(C::Forward, M::None, "ForwardCommand", QT_TR_NOOP("Forward")),
                  Image::Forward, QSize(18, 10), "Forward"),
        onToolbar(entry(C::Refresh, M::None, "RefreshCommand", QT_TR_NOOP("Refresh")),
                  Image::Refresh, Small, " Refresh "),
        onToolbar(entry(C::Stop, M::None, "StopCommand", QT_TR_NOOP("Stop")), Image::Stop, Small,
                  " Stop "),

        withWord(entry(C::ShowContacts, M::None, "ContactsCommand", "Contacts"), Word::Contacts),
        withWord(entry(C::ViewCleanBackgrounds, M::None, "ViewCleanBackgroundsCommand",
                       "View clean backgrounds"),
                 Word::ViewCleanBackgrounds),
        withWord(entry(C::ViewLocalHtmlFiles, M::None, "ViewLocalHtmlFilesCommand",
                       "View local HTML files"),
                 Word::ViewLocalHtmlFiles),
        withWord(entry(C::SetBackgroundsFilter, M::None, "SetBackgroundsFilterCommand",
                       "Set the backgrounds filter"),
                 Word::SetBackgroundsFilter),
        withWord(entry(C::SwitchWelcomePageView, M::None, "SwitchWelcomePageViewCommand",
                       "Switch the welcome page on start"),
                 Word::SwitchWelcomePageView),

        submenu(M::FolderList, M::FolderListLastFolders),
        submenu(M::FolderList, M::FolderListFavoriteFolders),
        entry(C::AddFolderToFavoriteFolders, M::FolderList, "AddToFavoriteFoldersMenuItem",
              QT_TR_NOOP("&Add to Favorite Folders")),
        separator(M::FolderList, "N6"),
        entry(C::FolderProperties, M::FolderList, "Properties2", QT_TR_NOOP("P&roperties")),
        entry(C::CopyFileName, M::FileList, "Copyname1", QT_TR_NOOP("Copy &name")),
        entry(C::CopyFileNameAndPath, M::FileList, "Copynameandpath1",
              QT_TR_NOOP("Copy name and &path")),
        separator(M::FileList, "N5"),
        entry(C::FileProperties, M::FileList, "Properties1", QT_TR_NOOP("P&roperties")),
    };
    return table;
}

} // namespace

std::span<const MenuRow> menuTable() {
    return Menus;
}

std::span<const CommandRow> commandTable() {
    return rows();
}

} // namespace zelvorin
