// The window's wiring: every menu entry, button and subsystem signal connected to the
// handler that answers it. Nothing here decides anything.
#include "MainUnit.h"

#include "AboutWindow.h"
#include "BackgroundChoice.h"
#include "BrowserEvents.h"
#include "Downloads.h"
#include "FavoriteFolders.h"
#include "FileListCommands.h"
#include "FileMessages.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderMenus.h"
#include "FolderSession.h"
#include "GalleryPageBuilder.h"
#include "HelpWindow.h"
#include "MainToolbar.h"
#include "OpenFileDialog.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
#include "StatusBar.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolButton>

#include <utility>

using zelvorin::Preview;

namespace {

// An entry whose handler sets the check mark itself: the action must not flip it first.
template <typename Handler>
void connectCheckedByHandler(QAction* action, TMainForm* form, Handler handler) {
    QObject::connect(action, &QAction::triggered, form, [action, form, handler] {
        action->setChecked(!action->isChecked());
        (form->*handler)();
    });
}

} // namespace

void TMainForm::connectMenus() {
    const MainMenus& m = m_menus;
    connect(m.ExitMenuItem, &QAction::triggered, this, &TMainForm::ExitMenuItemClick);
    connect(m.HelpContents1, &QAction::triggered, this, &TMainForm::HelpContents1Click);
    connect(m.ShowLog1, &QAction::triggered, this, &TMainForm::ShowLog1Click);
    connect(m.ClearCaption1, &QAction::triggered, this, &TMainForm::ClearCaption1Click);
    connect(m.FindItem1, &QAction::triggered, this, &TMainForm::FindItem1Click);
    connectCheckedByHandler(m.ShowToolbarMenuItem, this, &TMainForm::ShowToolbarMenuItemClick);
    connectCheckedByHandler(m.ShowWelcomePageOnStartMenuItem, this,
                            &TMainForm::ShowWelcomePageOnStartMenuItemClick);
    for (QAction* style : m.GalleryStyleGroup->actions())
        connect(style, &QAction::triggered, this,
                [this, style] { ThumbnailListMenuItemClick(style); });
    for (QAction* gallery : {m.ShowImageGalleryMenuItem, m.ShowThumbnailsMenuItem})
        connect(gallery, &QAction::triggered, this, &TMainForm::ShowImageGalleryMenuItemClick);
    connect(m.FontSizeMenuItem, &QMenu::aboutToShow, this, &TMainForm::ShowWBFontSize);
    for (QAction* entry : m.FontSizeGroup->actions())
        connect(entry, &QAction::triggered, this,
                [this, entry] { ChangeWBFontSizeMenuItemClick(entry); });
    connect(m.HideDialoguesOfWebBrowserMenuItem, &QAction::triggered, this,
            &TMainForm::HideDialoguesOfWebBrowserMenuItemClick);
    connect(m.ShowFileThumbnailsMenuItem, &QAction::triggered, this,
            &TMainForm::ShowFileThumbnailsMenuItemClick);
    connect(m.ReloadChangedPageMenuItem, &QAction::triggered, this,
            &TMainForm::ReloadChangedPageMenuItemClick);
    for (QAction* placement : m.BackgroundPlacementGroup->actions())
        connect(placement, &QAction::triggered, this,
                [this, placement] { BackgroundPlacementMenuItemClick(placement); });
    connect(m.BackgroundFixedMenuItem, &QAction::triggered, this,
            &TMainForm::BackgroundFixedMenuItemClick);
    connect(m.AboutMenuItem, &QAction::triggered, this, &TMainForm::AboutMenuItemClick);
    connect(m.CreateTextWithGradientFloodFillMenuItem, &QAction::triggered, this,
            &TMainForm::CreateTextWithGradientFloodFillMenuItemClick);
    connect(
        m_aboutForm, &zelvorin::AboutWindow::helpTopicRequested, this,
        [this](const QString& topic) { zelvorin::ShowHelpTopic(m_values.HelpFileName(), topic); });
    if (zelvorin::SettingsStore* store = m_values.Settings()) {
        connect(store, &zelvorin::SettingsStore::saveFailed, this, &TMainForm::SettingsSaveFailed);
        connect(store, &zelvorin::SettingsStore::unsavedChangesSaved, this,
                &TMainForm::SettingsSaved);
    }
}

void TMainForm::connectToolbar() {
    connect(m_toolbar->SpeedButton4, &QToolButton::clicked, this,
            &TMainForm::ShowImageGalleryMenuItemClick);
    connect(m_toolbar->CustomFilterSpeedButton, &QToolButton::clicked, m_mainFilePanel,
            &zelvorin::FilePanel::addCustomFilter);
    m_toolbar->PlacementSpeedButton->setMenu(m_menus.BackgroundPlacementMenuItem);
}

void TMainForm::connectPreview() {
    Preview* preview = m_preview;
    preview->setOpenFileForm(m_openFileForm);
    preview->setAddressBox(m_toolbar->AddressComboBox);
    connect(preview, &Preview::commandUrlRequested, this, &TMainForm::ExecuteCommandUrl);
    connect(preview, &Preview::previewingFile, this, &TMainForm::AddShownFolderToLastFolders);
    connect(preview, &Preview::loadFileTimerElapsed, this, &TMainForm::LoadFileTimerTimer);
    // The font size entries show the browser's level from the first page on, not only
    // once their menu has been opened.
    connect(preview->page(), &QWebEnginePage::loadFinished, this, &TMainForm::ShowWBFontSize);

    const auto bind = [this, preview](QAction* action, void (Preview::*handler)()) {
        connect(action, &QAction::triggered, preview, handler);
    };
    const auto bindButton = [preview](QToolButton* button, void (Preview::*handler)()) {
        connect(button, &QToolButton::clicked, preview, handler);
    };
    const MainMenus& m = m_menus;
    bind(m.OpenDocumentMenuItem, &Preview::OpenDocumentMenuItemClick);
    bind(m.ChangeBackgroundMenuItem, &Preview::ChangeBackgroundMenuItemClick);
    bind(m.CopyMenuItem, &Preview::CopyMenuItemClick);
    bind(m.CopyBackgroundColorMenuItem, &Preview::CopyBackgroundColorMenuItemClick);
    bind(m.CopyHTMLContentsMenuItem, &Preview::CopyHTMLContentsMenuItemClick);
    bind(m.SelectAllMenuItem, &Preview::SelectAllMenuItemClick);
    bind(m.SetBackgroundColorMenuItem, &Preview::SetBackgroundColorMenuItemClick);
    bind(m.ClearPreviewAreaMenuItem, &Preview::ClearPreviewAreaMenuItemClick);
    const MainToolbar* t = m_toolbar;
    bindButton(t->SpeedButton1, &Preview::SetBackgroundColorMenuItemClick);
    bindButton(t->SpeedButton2, &Preview::CopyMenuItemClick);
    bindButton(t->SpeedButton3, &Preview::ClearPreviewAreaMenuItemClick);
    bindButton(t->GoButton, &Preview::GoButtonClick);
    bindButton(t->BackSpeedButton, &Preview::BackSpeedButtonClick);
    bindButton(t->ForwardSpeedButton, &Preview::ForwardSpeedButtonClick);
    bindButton(t->RefreshSpeedButton, &Preview::RefreshSpeedButton2Click);
    bindButton(t->StopSpeedButton, &Preview::StopSpeedButton2Click);

    zelvorin::BackgroundChoice* background = preview->background();
    connect(m.UseImageColourMenuItem, &QAction::triggered, background,
            &zelvorin::BackgroundChoice::UseImageColourMenuItemClick);
    connect(m.CopyCssMenuItem, &QAction::triggered, background,
            &zelvorin::BackgroundChoice::CopyCssMenuItemClick);
    connect(background, &zelvorin::BackgroundChoice::layoutChanged, this,
            &TMainForm::ShowBackgroundLayout);
    connect(background, &zelvorin::BackgroundChoice::noteChanged, m_statusBar,
            [this](const QString& note) { m_statusBar->setText(note); });

    zelvorin::BrowserEvents* events = preview->events();
    connect(events, &zelvorin::BrowserEvents::logLine, this, &TMainForm::AddLogLine);
    connect(events, &zelvorin::BrowserEvents::captionChanged, this,
            [this](const QString& caption, const QString&) { setWindowTitle(caption); });
    connect(events, &zelvorin::BrowserEvents::statusTextChanged, m_statusBar,
            [this](const QString& text) { m_statusBar->setText(text); });
    // Page loads and downloads share the gauge: whichever moved last shows.
    const auto showGauge = [this](bool enabled, int position) {
        m_statusBar->setGaugeShown(enabled);
        m_statusBar->setGaugePosition(unsigned(qBound(0, position, 100)));
        m_statusBar->repaint();
    };
    connect(events, &zelvorin::BrowserEvents::gaugeChanged, this, showGauge);
    zelvorin::Downloads* downloads = m_downloads;
    connect(downloads, &zelvorin::Downloads::logLine, this, &TMainForm::AddLogLine);
    connect(downloads, &zelvorin::Downloads::statusTextChanged, m_statusBar,
            [this](const QString& text) { m_statusBar->setText(text); });
    connect(downloads, &zelvorin::Downloads::gaugeChanged, this, showGauge);
    connect(events, &zelvorin::BrowserEvents::backForwardChanged, m_toolbar,
            [this](bool back, bool forward) {
                m_toolbar->BackSpeedButton->setEnabled(back);
                m_toolbar->ForwardSpeedButton->setEnabled(forward);
            });
}

void TMainForm::connectFileColumn() {
    zelvorin::FilePanel* panel = m_mainFilePanel;
    zelvorin::FolderSession* session = panel->session();
    connect(session, &zelvorin::FolderSession::fileChosen, this, &TMainForm::previewChosenFile);
    // The gallery's pages come from the file list's image names, kept as the list changes.
    session->files()->setMarkRule(&zelvorin::isGalleryImage);
    connect(session->files(), &zelvorin::FolderFiles::readProgress, m_statusBar,
            [this](qint64 read, qint64 estimate) {
                m_folderNoteShown = true;
                m_statusBar->setText(zelvorin::readingFolderText(read));
                m_statusBar->setGaugeShown(true);
                m_statusBar->setGaugePosition(
                    unsigned(zelvorin::readingFolderGauge(read, estimate)));
            });
    connect(session->files(), &zelvorin::FolderFiles::readFinished, m_statusBar, [this] {
        if (!std::exchange(m_folderNoteShown, false))
            return;
        m_statusBar->setText(QString());
        m_statusBar->setGaugePosition(0);
        m_statusBar->setGaugeShown(false);
    });
    const MainMenus& m = m_menus;
    panel->commands()->setContextMenus({m.FileListPopupMenu, m.Copyname1, m.Copynameandpath1,
                                        m.Properties1, m.DirListPopupMenu, m.Properties2});
}

void TMainForm::connectFavorites() {
    zelvorin::FolderMenus* menus = m_folderMenus;
    menus->setOpenFolder(
        [this](const QString& folder) { m_mainFilePanel->session()->setFolder(folder); });
    menus->setCurrentFolder([this] { return m_mainFilePanel->session()->folder(); });
    // The submenus are rebuilt each time their menu opens, so they show the lists as they are.
    const MainMenus& m = m_menus;
    connect(m.FileMenuItem, &QMenu::aboutToShow, menus, [this] {
        m_folderMenus->fillFolderMenus(m_menus.LastFoldersMainMenuItem,
                                       m_menus.FavoriteFoldersMainMenuItem);
    });
    connect(m.DirListPopupMenu, &QMenu::aboutToShow, menus, [this] {
        m_folderMenus->fillFolderMenus(m_menus.LastFoldersMenuItem,
                                       m_menus.FavoriteFoldersMenuItem);
    });
    for (QAction* add : {m.AddToFavoriteFoldersMainMenuItem, m.AddToFavoriteFoldersMenuItem})
        connect(add, &QAction::triggered, menus,
                &zelvorin::FolderMenus::addCurrentFolderToFavorites);
}
