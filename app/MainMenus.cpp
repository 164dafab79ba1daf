#include "MainMenus.h"

#include "BackgroundPlacement.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {
QAction* addEntry(QMenu* menu, const char* name, const QString& caption,
                  const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QMenu* addSubmenu(QMenu* menu, const char* name, const QString& caption) {
    QMenu* submenu = menu->addMenu(caption);
    submenu->setObjectName(QString::fromLatin1(name));
    submenu->menuAction()->setObjectName(QString::fromLatin1(name) + "Action");
    return submenu;
}

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}
} // namespace

void MainMenus::Create(QMainWindow* window) {
    CreateMainMenu(window);
    CreateContextMenus(window);
}

void MainMenus::CreateMainMenu(QMainWindow* window) {
    QMenuBar* bar = window->menuBar();
    bar->setObjectName("MainMenu1");

    FileMenuItem = bar->addMenu(QObject::tr("&File"));
    FileMenuItem->setObjectName("FileMenuItem");
    OpenDocumentMenuItem = addEntry(FileMenuItem, "OpenDocumentMenuItem",
                                    QObject::tr("&Open document..."), QKeySequence("Ctrl+O"));
    ChangeBackgroundMenuItem =
        addEntry(FileMenuItem, "ChangeBackgroundMenuItem", QObject::tr("Change &background..."),
                 QKeySequence("Ctrl+B"));
    addSeparator(FileMenuItem, "N7");
    ShowImageGalleryMenuItem = addEntry(FileMenuItem, "ShowImageGalleryMenuItem",
                                        QObject::tr("Show &image gallery"), QKeySequence("Ctrl+I"));
    addSeparator(FileMenuItem, "N2");
    LastFoldersMainMenuItem =
        addSubmenu(FileMenuItem, "LastFoldersMainMenuItem", QObject::tr("&Last Folders"));
    FavoriteFoldersMainMenuItem =
        addSubmenu(FileMenuItem, "FavoriteFoldersMainMenuItem", QObject::tr("&Favorite Folders"));
    AddToFavoriteFoldersMainMenuItem = addEntry(FileMenuItem, "AddToFavoriteFoldersMainMenuItem",
                                                QObject::tr("&Add to Favorite Folders"));
    addSeparator(FileMenuItem, "N9");
    ExitMenuItem =
        addEntry(FileMenuItem, "ExitMenuItem", QObject::tr("E&xit"), QKeySequence("Ctrl+X"));

    EditMenuItem = bar->addMenu(QObject::tr("&Edit"));
    EditMenuItem->setObjectName("EditMenuItem");
    CopyMenuItem = addEntry(EditMenuItem, "CopyMenuItem", QObject::tr("&Copy"));
    CopyBackgroundColorMenuItem = addEntry(EditMenuItem, "CopyBackgroundColorMenuItem",
                                           QObject::tr("Copy &background color"));
    CopyHTMLContentsMenuItem =
        addEntry(EditMenuItem, "CopyHTMLContentsMenuItem", QObject::tr("Copy &HTML source"));
    CopyCssMenuItem = addEntry(EditMenuItem, "CopyCssMenuItem", QObject::tr("Copy C&SS"));
    SaveWebCopyMenuItem =
        addEntry(EditMenuItem, "SaveWebCopyMenuItem", QObject::tr("Save a &web copy..."));
    SelectAllMenuItem = addEntry(EditMenuItem, "SelectAllMenuItem", QObject::tr("Select &All"));
    addSeparator(EditMenuItem, "N3");
    SetBackgroundColorMenuItem = addEntry(EditMenuItem, "SetBackgroundColorMenuItem",
                                          QObject::tr("Set &Background Color..."));
    UseImageColourMenuItem =
        addEntry(EditMenuItem, "UseImageColourMenuItem", QObject::tr("&Use image's colour"));
    namespace bg = zelvorin::preview;
    BackgroundPlacementMenuItem =
        addSubmenu(EditMenuItem, "BackgroundPlacementMenuItem", bg::PlacementMenuTitle());
    BackgroundPlacementGroup = new QActionGroup(window);
    for (const bg::BackgroundPlacement placement : bg::AllPlacements) {
        QAction* action =
            BackgroundPlacementMenuItem->addAction(bg::PlacementMenuCaption(placement));
        action->setObjectName(
            QStringLiteral("Placement%1MenuItem").arg(bg::StoredPlacement(placement)));
        action->setCheckable(true);
        action->setData(bg::StoredPlacement(placement));
        BackgroundPlacementGroup->addAction(action);
    }
    BackgroundPlacementGroup->actions().constFirst()->setChecked(true);
    addSeparator(BackgroundPlacementMenuItem, "N10");
    BackgroundFixedMenuItem =
        addEntry(BackgroundPlacementMenuItem, "BackgroundFixedMenuItem", bg::FixedMenuCaption());
    BackgroundFixedMenuItem->setCheckable(true);
    ClearPreviewAreaMenuItem =
        addEntry(EditMenuItem, "ClearPreviewAreaMenuItem", QObject::tr("Clear &Preview Area"));

    OptionsMenuItem = bar->addMenu(QObject::tr("&Options"));
    OptionsMenuItem->setObjectName("OptionsMenuItem");
    FontSizeMenuItem = addSubmenu(OptionsMenuItem, "FontSizeMenuItem", QObject::tr("&Font size"));
    FontSizeGroup = new QActionGroup(window);
    const auto addFontSize = [&](const char* name, const QString& caption, int level) {
        QAction* action = addEntry(FontSizeMenuItem, name, caption);
        action->setCheckable(true);
        action->setData(level); // the entry's tag: the zoom level
        FontSizeGroup->addAction(action);
        return action;
    };
    LargestMenuItem = addFontSize("LargestMenuItem", QObject::tr("Lar&gest"), 4);
    LargerMenuItem = addFontSize("LargerMenuItem", QObject::tr("&Larger"), 3);
    MediumMenuItem = addFontSize("MediumMenuItem", QObject::tr("&Medium"), 2);
    SmallerMenuItem = addFontSize("SmallerMenuItem", QObject::tr("&Smaller"), 1);
    SmallestMenuItem = addFontSize("SmallestMenuItem", QObject::tr("Sm&allest"), 0);

    ImageGalleryStyleMenuItem = addSubmenu(OptionsMenuItem, "ImageGalleryStyleMenuItem",
                                           QObject::tr("Image &Gallery Style"));
    GalleryStyleGroup = new QActionGroup(window);
    const auto addStyle = [&](const char* name, const QString& caption, int style) {
        QAction* action = addEntry(ImageGalleryStyleMenuItem, name, caption);
        action->setCheckable(true);
        action->setData(style);
        GalleryStyleGroup->addAction(action);
        return action;
    };
    SimpleListMenuItem = addStyle("SimpleListMenuItem", QObject::tr("&Simple list"), 0);
    BackgroundListMenuItem = addStyle("BackgroundListMenuItem", QObject::tr("&Background list"), 1);
    ThumbnailListMenuItem = addStyle("ThumbnailListMenuItem", QObject::tr("&Thumbnail list"), 2);
    ThumbnailListMenuItem->setChecked(true);
    addSeparator(OptionsMenuItem, "N8");
    ShowToolbarMenuItem = addEntry(OptionsMenuItem, "ShowToolbarMenuItem",
                                   QObject::tr("Show &Toolbar"), QKeySequence("Ctrl+T"));
    ShowToolbarMenuItem->setCheckable(true);
    ShowToolbarMenuItem->setChecked(true);
    ShowWelcomePageOnStartMenuItem = addEntry(OptionsMenuItem, "ShowWelcomePageOnStartMenuItem",
                                              QObject::tr("Show &Welcome page on start"));
    ShowWelcomePageOnStartMenuItem->setCheckable(true);
    ShowWelcomePageOnStartMenuItem->setChecked(true);
    HideDialoguesOfWebBrowserMenuItem =
        addEntry(OptionsMenuItem, "HideDialoguesOfWebBrowserMenuItem",
                 QObject::tr("Hide &dialogues of web browser"));
    HideDialoguesOfWebBrowserMenuItem->setCheckable(true);
    ShowFileThumbnailsMenuItem =
        addEntry(OptionsMenuItem, "ShowFileThumbnailsMenuItem", QObject::tr("Show thumbnails"));
    ShowFileThumbnailsMenuItem->setCheckable(true);
    ReloadChangedPageMenuItem = addEntry(OptionsMenuItem, "ReloadChangedPageMenuItem",
                                         QObject::tr("Reload the page when it changes"));
    ReloadChangedPageMenuItem->setCheckable(true);

    Tools1 = bar->addMenu(QObject::tr("&Tools!"));
    Tools1->setObjectName("Tools1");
    CreateTextWithGradientFloodFillMenuItem = addEntry(
        Tools1, "CreateTextWithGradientFloodFillMenuItem", QObject::tr("Create a gradient &text"));

    HelpMenuItem = bar->addMenu(QObject::tr("&Help"));
    HelpMenuItem->setObjectName("HelpMenuItem");
    HelpContents1 = addEntry(HelpMenuItem, "HelpContents1", QObject::tr("Help &Contents..."));
    addSeparator(HelpMenuItem, "N1");
    AboutMenuItem = addEntry(HelpMenuItem, "AboutMenuItem", QObject::tr("&About..."));

    // Never visible: a blank spacer, the developer menu with the log commands, and the
    // diagnostic gallery entries.
    QMenu* spacer = bar->addMenu(QStringLiteral(" "));
    spacer->setObjectName("SpacerMenuItem");
    spacer->menuAction()->setVisible(false);
    DeveloperMenu = bar->addMenu(QStringLiteral("Developer"));
    DeveloperMenu->setObjectName("DeveloperMenu");
    DeveloperMenu->menuAction()->setVisible(false);
    ShowLog1 = addEntry(DeveloperMenu, "ShowLog1", QStringLiteral("ShowLog"));
    ClearCaption1 = addEntry(DeveloperMenu, "ClearCaption1", QStringLiteral("Clear Log"));
    T2 = bar->addMenu(QStringLiteral("T2"));
    T2->setObjectName("T2");
    T2->menuAction()->setVisible(false);
    ShowThumbnailsMenuItem =
        addEntry(T2, "ShowThumbnailsMenuItem", QStringLiteral("Show thumbnails"));
    FindItem1 = addEntry(T2, "FindItem1", QStringLiteral("FindItem"));
    FramesMenuItem = addEntry(T2, "FramesMenuItem", QStringLiteral("Frames"));
}

void MainMenus::CreateContextMenus(QMainWindow* window) {
    DirListPopupMenu = new QMenu(window);
    DirListPopupMenu->setObjectName("DirListPopupMenu");
    LastFoldersMenuItem =
        addSubmenu(DirListPopupMenu, "LastFoldersMenuItem", QObject::tr("&Last Folders"));
    FavoriteFoldersMenuItem =
        addSubmenu(DirListPopupMenu, "FavoriteFoldersMenuItem", QObject::tr("&Favorite Folders"));
    AddToFavoriteFoldersMenuItem = addEntry(DirListPopupMenu, "AddToFavoriteFoldersMenuItem",
                                            QObject::tr("&Add to Favorite Folders"));
    addSeparator(DirListPopupMenu, "N6");
    Properties2 = addEntry(DirListPopupMenu, "Properties2", QObject::tr("P&roperties"));

    FileListPopupMenu = new QMenu(window);
    FileListPopupMenu->setObjectName("FileListPopupMenu");
    Copyname1 = addEntry(FileListPopupMenu, "Copyname1", QObject::tr("Copy &name"));
    Copynameandpath1 =
        addEntry(FileListPopupMenu, "Copynameandpath1", QObject::tr("Copy name and &path"));
    addSeparator(FileListPopupMenu, "N5");
    Properties1 = addEntry(FileListPopupMenu, "Properties1", QObject::tr("P&roperties"));
}
