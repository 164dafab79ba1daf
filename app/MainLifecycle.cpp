// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window's life: every saved setting applied at creation in a fixed order, the
// geometry saved while the window is on screen, and the settings written back on close.
#include "MainWindow.h"

#include "ActionRegistry.h"
#include "BackgroundChoice.h"
#include "CollapsibleSplitter.h"
#include "FavoriteFolders.h"
#include "FilePanel.h"
#include "FolderSession.h"
#include "PageWidth.h"
#include "PlatformInfo.h"
#include "Preview.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
#include "StartingFolder.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QMessageBox>
#include <QTimer>
#include <QWebEngineView>

namespace zelvorin {

namespace st = settings;

void MainWindow::applySettings() {
    const st::SettingsAccess settings = this->settings();
    m_values.ResolveHelpFile();

    // The first page is already loading (see the constructor).
    m_actions->action(Command::ShowWelcomePageOnStart)
        ->setChecked(settings.read(st::ShowWelcomePage));
    markFontSize();

    // Geometry: width, height, top and left in that order, then the window state.
    resize(settings.read(st::FormWidth), settings.read(st::FormHeight));
    if (settings.hasStore()) {
        const int top = settings.read(st::FormTop, y());
        const int left = settings.read(st::FormLeft, x());
        move(left, top);
    }
    switch (settings.read(st::WindowState)) {
    case 0:
        setWindowState(Qt::WindowNoState);
        break;
    case 1:
        setWindowState(Qt::WindowMinimized);
        break;
    default:
        setWindowState(Qt::WindowMaximized);
        break;
    }

    m_filePanel->setFixedWidth(qMax(1, settings.read(st::MainFilePanelWidth)));
    m_filePanel->setFolderTreeHeight(settings.read(st::DirBoxHeight));

    const bool hidden = settings.read(st::HideBrowserDialogues);
    m_actions->action(Command::HideBrowserDialogues)->setChecked(hidden);
    m_preview->setSilent(hidden);
    const bool thumbnails = settings.read(st::ShowThumbnails);
    m_actions->action(Command::ShowFileThumbnails)->setChecked(thumbnails);
    setFileThumbnailsShown(thumbnails);
    const bool reload = settings.read(st::ReloadChangedPage);
    m_actions->action(Command::ReloadChangedPage)->setChecked(reload);
    setChangedPageReloaded(reload);
    m_preview->background()->setLayout(preview::ReadBackgroundLayout(settings));
    showBackgroundLayout(m_preview->background()->layout());
    setPageWidth(preview::ReadPageWidth(settings));
    setSideWidth(preview::ReadSideWidth(settings));
    setSideBySide(settings.read(st::SideBySide));

    // The style is kept in one byte: a stored 258 is 2, a stored -1 is 255; a style no
    // entry stands for leaves the marks as they are.
    m_galleryStyle = quint8(settings.read(st::DefImageGalleryStyle) & 0xFF);
    m_actions->markValue(MenuId::GalleryStyle, m_galleryStyle);

    m_favoriteFolders->readFolderLists(settings);

    const QString folder =
        ChooseStartingFolder({settings.read(st::LastFolder), settings.read(st::DefaultFolder),
                              m_values.ProgramFolder(), platform::userDataFolder()});
    // Read once the window is on screen (see paintEvent), so neither the window nor the
    // first page waits for a large folder.
    m_filePanel->setStartingFolder(folder, settings.read(st::LastFileFilter));
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (m_filePanel->hasPendingStart())
        QTimer::singleShot(0, m_filePanel, &FilePanel::applyPendingStart);
}

void MainWindow::saveSettings() {
    const st::SettingsAccess settings = this->settings();
    int state = 0;
    if (windowState() & Qt::WindowMinimized)
        state = 1;
    else if (windowState() & Qt::WindowMaximized)
        state = 2;
    settings.write(st::WindowState, state);
    const int panelWidth = m_filePanel->width();
    if (panelWidth > 50 && panelWidth < width() - 50)
        settings.write(st::MainFilePanelWidth, panelWidth);
    settings.write(st::DirBoxHeight, m_filePanel->folderTreeHeight());
    settings.write(st::DefImageGalleryStyle, m_galleryStyle);
    settings.write(st::LastFolder, m_filePanel->session()->folder());
    settings.write(st::LastFileFilter, m_filePanel->selectedFilter());
    m_favoriteFolders->writeFolderLists(settings);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveSettings();
    // Settings the file still does not take are said to be lost before the window goes;
    // the window closes when the message is answered (saveSettings then tries once more).
    const SettingsStore* store = m_values.Settings();
    if (store && store->hasUnsavedChanges() && !m_unsavedToldAtClose) {
        m_unsavedToldAtClose = true;
        event->ignore();
        auto* box = new QMessageBox(QMessageBox::Warning, ProductTitle,
                                    st::UnsavedAtCloseText(store->hiveFile(), store->saveProblem()),
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        connect(box, &QMessageBox::finished, this, &QWidget::close);
        box->open();
        return;
    }
    event->accept();
    stopAtClose();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!m_created || !isVisible() || !settings().hasStore() || !isOnScreen())
        return;
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    settings().write(st::FormWidth, width());
    settings().write(st::FormHeight, height());
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!m_created || !isVisible() || !settings().hasStore() || !isOnScreen())
        return;
    if (y() < 0 && x() < 0)
        return;
    settings().write(st::FormTop, y());
    settings().write(st::FormLeft, x());
}

} // namespace zelvorin
