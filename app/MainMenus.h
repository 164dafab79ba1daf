// The main window's menus: the menu bar with its entries, captions and shortcuts, and the
// context menus of the folder list and the file list. Only the entries live here; the
// window connects them to the handlers of the subsystems.
#pragma once

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

struct MainMenus {
    // Builds every menu on the window's menu bar (the context menus belong to the window
    // too, so they close with it).
    void Create(QMainWindow* window);

    QMenu* FileMenuItem = nullptr;
    QAction* OpenDocumentMenuItem = nullptr;
    QAction* ChangeBackgroundMenuItem = nullptr;
    QAction* ShowImageGalleryMenuItem = nullptr;
    QMenu* LastFoldersMainMenuItem = nullptr;
    QMenu* FavoriteFoldersMainMenuItem = nullptr;
    QAction* AddToFavoriteFoldersMainMenuItem = nullptr;
    QAction* ExitMenuItem = nullptr;
    QMenu* EditMenuItem = nullptr;
    QAction* CopyMenuItem = nullptr;
    QAction* CopyBackgroundColorMenuItem = nullptr;
    QAction* CopyHTMLContentsMenuItem = nullptr;
    QAction* CopyCssMenuItem = nullptr;
    QAction* SaveWebCopyMenuItem = nullptr; // enabled while an image is chosen
    QAction* SelectAllMenuItem = nullptr;
    QAction* SetBackgroundColorMenuItem = nullptr;
    QAction* UseImageColourMenuItem = nullptr;
    // Also the toolbar's drop-down. Each placement entry's data is its stored number.
    QMenu* BackgroundPlacementMenuItem = nullptr;
    QActionGroup* BackgroundPlacementGroup = nullptr;
    QAction* BackgroundFixedMenuItem = nullptr;
    QAction* ClearPreviewAreaMenuItem = nullptr;
    QMenu* OptionsMenuItem = nullptr;
    QMenu* FontSizeMenuItem = nullptr;
    QActionGroup* FontSizeGroup = nullptr; // the five sizes; each entry's data is its level
    QAction* LargestMenuItem = nullptr;
    QAction* LargerMenuItem = nullptr;
    QAction* MediumMenuItem = nullptr;
    QAction* SmallerMenuItem = nullptr;
    QAction* SmallestMenuItem = nullptr;
    QMenu* ImageGalleryStyleMenuItem = nullptr;
    QActionGroup* GalleryStyleGroup = nullptr; // each entry's data is its style
    QAction* SimpleListMenuItem = nullptr;
    QAction* BackgroundListMenuItem = nullptr;
    QAction* ThumbnailListMenuItem = nullptr;
    QAction* ShowToolbarMenuItem = nullptr;
    QAction* ShowWelcomePageOnStartMenuItem = nullptr;
    QAction* HideDialoguesOfWebBrowserMenuItem = nullptr;
    QAction* ShowFileThumbnailsMenuItem = nullptr;
    QAction* ReloadChangedPageMenuItem = nullptr;
    QMenu* Tools1 = nullptr;
    QAction* CreateTextWithGradientFloodFillMenuItem = nullptr;
    QMenu* HelpMenuItem = nullptr;
    QAction* HelpContents1 = nullptr;
    QAction* AboutMenuItem = nullptr;
    QMenu* DeveloperMenu = nullptr;
    QAction* ShowLog1 = nullptr;
    QAction* ClearCaption1 = nullptr;
    QMenu* T2 = nullptr;
    QAction* ShowThumbnailsMenuItem = nullptr;
    QAction* FindItem1 = nullptr;
    QAction* FramesMenuItem = nullptr;

    QMenu* DirListPopupMenu = nullptr;
    QMenu* LastFoldersMenuItem = nullptr;
    QMenu* FavoriteFoldersMenuItem = nullptr;
    QAction* AddToFavoriteFoldersMenuItem = nullptr;
    QAction* Properties2 = nullptr;
    QMenu* FileListPopupMenu = nullptr;
    QAction* Copyname1 = nullptr;
    QAction* Copynameandpath1 = nullptr;
    QAction* Properties1 = nullptr;

private:
    void CreateMainMenu(QMainWindow* window);
    void CreateContextMenus(QMainWindow* window);
};
