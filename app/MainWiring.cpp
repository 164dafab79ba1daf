// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's wiring: every action and subsystem signal connected to the handler that
// answers it. Nothing here decides anything.
#include "MainWindow.h"

#include "ActionRegistry.h"
#include "BackgroundChoice.h"
#include "BrowserEvents.h"
#include "Downloads.h"
#include "EventLog.h"
#include "FavoriteFolders.h"
#include "FileListCommands.h"
#include "FileMessages.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderMenus.h"
#include "FolderSession.h"
#include "GalleryPageBuilder.h"
#include "HelpWindow.h"
#include "MainMenus.h"
#include "MainToolbar.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "ProgramPages.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
#include "StatusBar.h"
#include "StatusReports.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace zelvorin {

namespace {

template <typename Receiver, typename Handler>
void onTriggered(const ActionRegistry& actions, Command command, Receiver* receiver,
                 Handler handler) {
    QObject::connect(actions.action(command), &QAction::triggered, receiver, handler);
}

} // namespace

void MainWindow::connectCommands() {
    const ActionRegistry& a = *m_actions;
    onTriggered(a, Command::Exit, this, &QWidget::close);
    onTriggered(a, Command::HelpContents, this, &MainWindow::showHelpContents);
    onTriggered(a, Command::ShowLog, this, &MainWindow::toggleLog);
    onTriggered(a, Command::ClearLog, m_eventLog, &EventLog::clearLines);
    onTriggered(a, Command::CycleGalleryStyle, this, &MainWindow::cycleGalleryStyle);
    onTriggered(a, Command::ShowImageGallery, this, &MainWindow::showImageGallery);
    onTriggered(a, Command::ShowThumbnails, this, &MainWindow::showImageGallery);
    onTriggered(a, Command::About, this, &MainWindow::showAbout);
    onTriggered(a, Command::CreateGradientText, this, &MainWindow::showGradientText);
    onTriggered(a, Command::ShowContacts, this,
                [this] { m_values.showHelpTopic(QStringLiteral("Contacts_link")); });
    onTriggered(a, Command::ViewCleanBackgrounds, this, &MainWindow::viewCleanBackgrounds);
    onTriggered(a, Command::ViewLocalHtmlFiles, this, [this] { m_filePanel->selectFilter(1); });
    onTriggered(a, Command::SetBackgroundsFilter, this, [this] { m_filePanel->selectFilter(0); });
    onTriggered(a, Command::SwitchWelcomePageView, this, &MainWindow::switchWelcomePageFromPage);
    onTriggered(a, Command::AddCustomFilter, m_filePanel, &FilePanel::addCustomFilter);
    for (QAction* style : a.group(MenuId::GalleryStyle)->actions())
        connect(style, &QAction::triggered, this,
                [this, style] { setGalleryStyle(actionValue(style)); });
    if (SettingsStore* store = m_values.Settings()) {
        connect(store, &SettingsStore::saveFailed, this, &MainWindow::tellSettingsNotSaved);
        connect(store, &SettingsStore::unsavedChangesSaved, this, &MainWindow::clearSettingsNote);
    }
}

void MainWindow::connectOptions() {
    // Each option's action has moved its own check mark when it says so.
    const ActionRegistry& a = *m_actions;
    onTriggered(a, Command::ShowToolbar, m_toolbar, &QWidget::setVisible);
    onTriggered(a, Command::ShowWelcomePageOnStart, this, &MainWindow::setShowWelcomePage);
    onTriggered(a, Command::HideBrowserDialogues, this, &MainWindow::setBrowserDialoguesHidden);
    onTriggered(a, Command::ShowFileThumbnails, this, &MainWindow::setFileThumbnailsShown);
    onTriggered(a, Command::ReloadChangedPage, this, &MainWindow::setChangedPageReloaded);
    onTriggered(a, Command::FixedWhileScrolling, this, &MainWindow::setBackgroundFixed);
    onTriggered(a, Command::SideBySide, this, &MainWindow::setSideBySide);
    for (QAction* placement : a.group(MenuId::BackgroundPlacement)->actions())
        connect(placement, &QAction::triggered, this,
                [this, placement] { setBackgroundPlacement(actionValue(placement)); });
    for (QAction* width : a.group(MenuId::View)->actions())
        connect(width, &QAction::triggered, this,
                [this, width] { setPageWidth(actionValue(width)); });
    for (QAction* width : a.group(MenuId::SideWidth)->actions())
        connect(width, &QAction::triggered, this,
                [this, width] { setSideWidth(actionValue(width)); });
    connect(m_menus->menu(MenuId::FontSize), &QMenu::aboutToShow, this, &MainWindow::markFontSize);
    for (QAction* size : a.group(MenuId::FontSize)->actions())
        connect(size, &QAction::triggered, this, [this, size] { setFontSize(actionValue(size)); });
}

void MainWindow::connectPreview() {
    Preview* preview = m_preview;
    preview->setAddressBox(m_toolbar->addressBox());
    connect(preview, &Preview::commandUrlRequested, this, &MainWindow::runCommandAddress);
    connect(preview, &Preview::previewingFile, this, &MainWindow::addShownFolderToLastFolders);
    connect(preview, &Preview::startPreviewDue, this, &MainWindow::previewStartingFile);
    // The font size entries show the browser's level from the first page on, not only
    // once their menu has been opened.
    connect(preview->page(), &QWebEnginePage::loadFinished, this, &MainWindow::markFontSize);
    connect(preview->programPages(), &ProgramPages::shown, this, &MainWindow::galleryPageShown);

    const ActionRegistry& a = *m_actions;
    // The file dialog is made when first asked for, before the preview asks the user.
    onTriggered(a, Command::OpenDocument, this, [this] {
        openFileDialog();
        m_preview->openDocument();
    });
    onTriggered(a, Command::ChangeBackground, this, [this] {
        openFileDialog();
        m_preview->chooseBackgroundImage();
    });
    onTriggered(a, Command::Copy, preview, &Preview::copySelection);
    onTriggered(a, Command::CopyBackgroundColor, preview, &Preview::copyBackgroundColour);
    onTriggered(a, Command::CopyHtmlSource, preview, &Preview::copyDocumentSource);
    onTriggered(a, Command::SelectAll, preview, &Preview::selectAll);
    onTriggered(a, Command::SetBackgroundColor, preview, &Preview::chooseBackgroundColour);
    onTriggered(a, Command::ClearPreviewArea, preview, &Preview::clearPreviewArea);
    onTriggered(a, Command::Go, preview, &Preview::openTypedAddress);
    onTriggered(a, Command::Back, preview, &Preview::goBack);
    onTriggered(a, Command::Forward, preview, &Preview::goForward);
    onTriggered(a, Command::Refresh, preview, &Preview::reload);
    onTriggered(a, Command::Stop, preview, &Preview::stop);

    BackgroundChoice* background = preview->background();
    onTriggered(a, Command::UseImageColour, background, &BackgroundChoice::useImageColour);
    onTriggered(a, Command::CopyCss, background, &BackgroundChoice::copyCss);
    onTriggered(a, Command::SaveWebCopy, this, &MainWindow::saveWebCopy);
    connect(m_menus->menu(MenuId::Edit), &QMenu::aboutToShow, background, [this, background] {
        m_actions->action(Command::SaveWebCopy)->setEnabled(!background->image().isEmpty());
    });
    connect(background, &BackgroundChoice::layoutChanged, this, &MainWindow::showBackgroundLayout);
    connect(background, &BackgroundChoice::noteChanged, m_statusReports,
            [this](const QString& note) {
                m_statusReports->setText(StatusReports::Source::Note, note);
            });
}

void MainWindow::connectPreviewEvents() {
    BrowserEvents* events = m_preview->events();
    connect(events, &BrowserEvents::logLine, this, &MainWindow::addLogLine);
    connect(events, &BrowserEvents::captionChanged, this,
            [this](const QString& caption, const QString&) { setWindowTitle(caption); });
    StatusReports* reports = m_statusReports;
    connect(events, &BrowserEvents::statusTextChanged, reports, [reports](const QString& text) {
        reports->setText(StatusReports::Source::Browser, text);
    });
    connect(events, &BrowserEvents::gaugeChanged, reports, [this](bool enabled, int position) {
        m_statusReports->setProgress(StatusReports::Activity::Page, enabled, position);
        m_statusBar->repaint();
    });
    connect(m_downloads, &Downloads::logLine, this, &MainWindow::addLogLine);
    connect(m_downloads, &Downloads::statusTextChanged, reports, [reports](const QString& text) {
        reports->setText(StatusReports::Source::Download, text);
    });
    connect(m_downloads, &Downloads::gaugeChanged, reports, [reports](bool enabled, int percent) {
        reports->setProgress(StatusReports::Activity::Download, enabled, percent);
    });
    connect(events, &BrowserEvents::backForwardChanged, this, [this](bool back, bool forward) {
        m_actions->action(Command::Back)->setEnabled(back);
        m_actions->action(Command::Forward)->setEnabled(forward);
    });
}

void MainWindow::connectFileColumn() {
    FolderSession* session = m_filePanel->session();
    connect(session, &FolderSession::fileChosen, this, &MainWindow::previewChosenFile);
    // The gallery's pages come from the file list's image names, kept as the list changes.
    session->files()->setMarkRule(&isGalleryImage);
    StatusReports* reports = m_statusReports;
    connect(session->files(), &FolderFiles::readProgress, reports,
            [reports](qint64 read, qint64 estimate) {
                reports->setText(StatusReports::Source::Folder, readingFolderText(read));
                reports->setProgress(StatusReports::Activity::Folder, true,
                                     readingFolderGauge(read, estimate));
            });
    connect(session->files(), &FolderFiles::readFinished, reports, [reports] {
        reports->setText(StatusReports::Source::Folder, QString());
        reports->setProgress(StatusReports::Activity::Folder, false, 0);
    });
    const ActionRegistry& a = *m_actions;
    m_filePanel->commands()->setContextMenus(
        {m_menus->menu(MenuId::FileList), a.action(Command::CopyFileName),
         a.action(Command::CopyFileNameAndPath), a.action(Command::FileProperties),
         m_menus->menu(MenuId::FolderList), a.action(Command::FolderProperties)});
}

void MainWindow::connectFavorites() {
    FolderMenus* folderMenus = m_folderMenus;
    folderMenus->setOpenFolder(
        [this](const QString& folder) { m_filePanel->session()->setFolder(folder); });
    folderMenus->setCurrentFolder([this] { return m_filePanel->session()->folder(); });
    // The submenus are rebuilt each time their menu opens, so they show the lists as they are.
    connect(m_menus->menu(MenuId::File), &QMenu::aboutToShow, folderMenus, [this] {
        m_folderMenus->fillFolderMenus(m_menus->menu(MenuId::LastFolders),
                                       m_menus->menu(MenuId::FavoriteFolders));
    });
    connect(m_menus->menu(MenuId::FolderList), &QMenu::aboutToShow, folderMenus, [this] {
        m_folderMenus->fillFolderMenus(m_menus->menu(MenuId::FolderListLastFolders),
                                       m_menus->menu(MenuId::FolderListFavoriteFolders));
    });
    for (const Command add : {Command::AddToFavoriteFolders, Command::AddFolderToFavoriteFolders})
        onTriggered(*m_actions, add, folderMenus, &FolderMenus::addCurrentFolderToFavorites);
}

} // namespace zelvorin
