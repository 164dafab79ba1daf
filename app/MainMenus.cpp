// The main menu and the two context menus: captions, shortcuts and the handler behind
// each entry. Entries whose handlers belong to other subsystems are bound where those
// subsystems are wired in.
#include "MainUnit.h"

#include <QActionGroup>
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

void TMainForm::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    FileMenuItem = bar->addMenu(tr("&File"));
    FileMenuItem->setObjectName("FileMenuItem");
    OpenDocumentMenuItem = addEntry(FileMenuItem, "OpenDocumentMenuItem", tr("&Open document..."),
                                    QKeySequence("Ctrl+O"));
    ChangeBackgroundMenuItem = addEntry(FileMenuItem, "ChangeBackgroundMenuItem",
                                        tr("Change &background..."), QKeySequence("Ctrl+B"));
    addSeparator(FileMenuItem, "N7");
    ShowImageGalleryMenuItem = addEntry(FileMenuItem, "ShowImageGalleryMenuItem",
                                        tr("Show &image gallery"), QKeySequence("Ctrl+I"));
    addSeparator(FileMenuItem, "N2");
    LastFoldersMainMenuItem =
        addSubmenu(FileMenuItem, "LastFoldersMainMenuItem", tr("&Last Folders"));
    FavoriteFoldersMainMenuItem =
        addSubmenu(FileMenuItem, "FavoriteFoldersMainMenuItem", tr("&Favorite Folders"));
    AddToFavoriteFoldersMainMenuItem =
        addEntry(FileMenuItem, "AddToFavoriteFoldersMainMenuItem", tr("&Add to Favorite Folders"));
    addSeparator(FileMenuItem, "N9");
    ExitMenuItem = addEntry(FileMenuItem, "ExitMenuItem", tr("E&xit"), QKeySequence("Ctrl+X"));
    connect(ExitMenuItem, &QAction::triggered, this, &TMainForm::ExitMenuItemClick);

    EditMenuItem = bar->addMenu(tr("&Edit"));
    EditMenuItem->setObjectName("EditMenuItem");
    CopyMenuItem = addEntry(EditMenuItem, "CopyMenuItem", tr("&Copy"));
    CopyBackgroundColorMenuItem =
        addEntry(EditMenuItem, "CopyBackgroundColorMenuItem", tr("Copy &background color"));
    CopyHTMLContentsMenuItem =
        addEntry(EditMenuItem, "CopyHTMLContentsMenuItem", tr("Copy &HTML source"));
    SelectAllMenuItem = addEntry(EditMenuItem, "SelectAllMenuItem", tr("Select &All"));
    addSeparator(EditMenuItem, "N3");
    SetBackgroundColorMenuItem =
        addEntry(EditMenuItem, "SetBackgroundColorMenuItem", tr("Set &Background Color..."));
    ClearPreviewAreaMenuItem =
        addEntry(EditMenuItem, "ClearPreviewAreaMenuItem", tr("Clear &Preview Area"));

    OptionsMenuItem = bar->addMenu(tr("&Options"));
    OptionsMenuItem->setObjectName("OptionsMenuItem");
    FontSizeMenuItem = addSubmenu(OptionsMenuItem, "FontSizeMenuItem", tr("&Font size"));
    m_fontSizeGroup = new QActionGroup(this);
    const auto addFontSize = [&](const char* name, const QString& caption, int level) {
        QAction* action = addEntry(FontSizeMenuItem, name, caption);
        action->setCheckable(true);
        action->setData(level); // the entry's tag: the zoom level
        m_fontSizeGroup->addAction(action);
        return action;
    };
    LargestMenuItem = addFontSize("LargestMenuItem", tr("Lar&gest"), 4);
    LargerMenuItem = addFontSize("LargerMenuItem", tr("&Larger"), 3);
    MediumMenuItem = addFontSize("MediumMenuItem", tr("&Medium"), 2);
    SmallerMenuItem = addFontSize("SmallerMenuItem", tr("&Smaller"), 1);
    SmallestMenuItem = addFontSize("SmallestMenuItem", tr("Sm&allest"), 0);

    ImageGalleryStyleMenuItem =
        addSubmenu(OptionsMenuItem, "ImageGalleryStyleMenuItem", tr("Image &Gallery Style"));
    m_galleryStyleGroup = new QActionGroup(this);
    const auto addStyle = [&](const char* name, const QString& caption, int style) {
        QAction* action = addEntry(ImageGalleryStyleMenuItem, name, caption);
        action->setCheckable(true);
        action->setData(style);
        m_galleryStyleGroup->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, action] { ThumbnailListMenuItemClick(action); });
        return action;
    };
    SimpleListMenuItem = addStyle("SimpleListMenuItem", tr("&Simple list"), 0);
    BackgroundListMenuItem = addStyle("BackgroundListMenuItem", tr("&Background list"), 1);
    ThumbnailListMenuItem = addStyle("ThumbnailListMenuItem", tr("&Thumbnail list"), 2);
    ThumbnailListMenuItem->setChecked(true);
    addSeparator(OptionsMenuItem, "N8");
    ShowToolbarMenuItem = addEntry(OptionsMenuItem, "ShowToolbarMenuItem", tr("Show &Toolbar"),
                                   QKeySequence("Ctrl+T"));
    ShowToolbarMenuItem->setCheckable(true);
    ShowToolbarMenuItem->setChecked(true);
    // The handler flips the check mark itself, so the action must not flip it first.
    connect(ShowToolbarMenuItem, &QAction::triggered, this, [this] {
        ShowToolbarMenuItem->setChecked(!ShowToolbarMenuItem->isChecked());
        ShowToolbarMenuItemClick();
    });
    ShowWelcomePageOnStartMenuItem = addEntry(OptionsMenuItem, "ShowWelcomePageOnStartMenuItem",
                                              tr("Show &Welcome page on start"));
    ShowWelcomePageOnStartMenuItem->setCheckable(true);
    ShowWelcomePageOnStartMenuItem->setChecked(true);
    connect(ShowWelcomePageOnStartMenuItem, &QAction::triggered, this, [this] {
        ShowWelcomePageOnStartMenuItem->setChecked(!ShowWelcomePageOnStartMenuItem->isChecked());
        ShowWelcomePageOnStartMenuItemClick();
    });
    HideDialoguesOfWebBrowserMenuItem = addEntry(
        OptionsMenuItem, "HideDialoguesOfWebBrowserMenuItem", tr("Hide &dialogues of web browser"));
    HideDialoguesOfWebBrowserMenuItem->setCheckable(true);

    Tools1 = bar->addMenu(tr("&Tools!"));
    Tools1->setObjectName("Tools1");
    CreateTextWithGradientFloodFillMenuItem =
        addEntry(Tools1, "CreateTextWithGradientFloodFillMenuItem", tr("Create a gradient &text"));

    HelpMenuItem = bar->addMenu(tr("&Help"));
    HelpMenuItem->setObjectName("HelpMenuItem");
    HelpContents1 = addEntry(HelpMenuItem, "HelpContents1", tr("Help &Contents..."));
    connect(HelpContents1, &QAction::triggered, this, &TMainForm::HelpContents1Click);
    addSeparator(HelpMenuItem, "N1");
    AboutMenuItem = addEntry(HelpMenuItem, "AboutMenuItem", tr("&About..."));

    // Never visible: a blank spacer, the developer menu with the log commands, and the
    // diagnostic gallery entries.
    QMenu* spacer = bar->addMenu(QStringLiteral(" "));
    spacer->setObjectName("SpacerMenuItem");
    spacer->menuAction()->setVisible(false);
    DeveloperMenu = bar->addMenu(QStringLiteral("Developer"));
    DeveloperMenu->setObjectName("DeveloperMenu");
    DeveloperMenu->menuAction()->setVisible(false);
    ShowLog1 = addEntry(DeveloperMenu, "ShowLog1", QStringLiteral("ShowLog"));
    connect(ShowLog1, &QAction::triggered, this, &TMainForm::ShowLog1Click);
    ClearCaption1 = addEntry(DeveloperMenu, "ClearCaption1", QStringLiteral("Clear Log"));
    connect(ClearCaption1, &QAction::triggered, this, &TMainForm::ClearCaption1Click);
    T2 = bar->addMenu(QStringLiteral("T2"));
    T2->setObjectName("T2");
    T2->menuAction()->setVisible(false);
    ShowThumbnailsMenuItem =
        addEntry(T2, "ShowThumbnailsMenuItem", QStringLiteral("Show thumbnails"));
    FindItem1 = addEntry(T2, "FindItem1", QStringLiteral("FindItem"));
    connect(FindItem1, &QAction::triggered, this, &TMainForm::FindItem1Click);
    FramesMenuItem = addEntry(T2, "FramesMenuItem", QStringLiteral("Frames"));
}

void TMainForm::createContextMenus() {
    DirListPopupMenu = new QMenu(this);
    DirListPopupMenu->setObjectName("DirListPopupMenu");
    LastFoldersMenuItem = addSubmenu(DirListPopupMenu, "LastFoldersMenuItem", tr("&Last Folders"));
    FavoriteFoldersMenuItem =
        addSubmenu(DirListPopupMenu, "FavoriteFoldersMenuItem", tr("&Favorite Folders"));
    AddToFavoriteFoldersMenuItem =
        addEntry(DirListPopupMenu, "AddToFavoriteFoldersMenuItem", tr("&Add to Favorite Folders"));
    addSeparator(DirListPopupMenu, "N6");
    Properties2 = addEntry(DirListPopupMenu, "Properties2", tr("P&roperties"));

    FileListPopupMenu = new QMenu(this);
    FileListPopupMenu->setObjectName("FileListPopupMenu");
    Copyname1 = addEntry(FileListPopupMenu, "Copyname1", tr("Copy &name"));
    Copynameandpath1 = addEntry(FileListPopupMenu, "Copynameandpath1", tr("Copy name and &path"));
    addSeparator(FileListPopupMenu, "N5");
    Properties1 = addEntry(FileListPopupMenu, "Properties1", tr("P&roperties"));
}
