// The main window's life: every saved setting applied at creation in a fixed order, the
// geometry saved while the window is on screen, and the settings written back on close.
#include "MainUnit.h"

#include "BackgroundChoice.h"
#include "CollapsibleSplitter.h"
#include "FavoriteFolders.h"
#include "FilePanel.h"
#include "FolderSession.h"
#include "NeededRegistryLib.h"
#include "PlatformInfo.h"
#include "Preview.h"
#include "ProgramValues.h"
#include "StartingFolder.h"

#include <QCloseEvent>
#include <QFrame>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QWebEngineView>

namespace st = zelvorin::settings;

void TMainForm::FormCreate() {
    const st::SettingsAccess settings = Settings();
    m_values.ResolveHelpFile();

    m_menus.ShowWelcomePageOnStartMenuItem->setChecked(settings.Read(st::ShowWelcomePage));
    ShowFirstPage(m_menus.ShowWelcomePageOnStartMenuItem->isChecked());
    ShowWBFontSize();

    // Geometry: width, height, top and left in that order, then the window state.
    resize(settings.Read(st::FormWidth), settings.Read(st::FormHeight));
    if (settings.HasStore()) {
        const int top = settings.Read(st::FormTop, y());
        const int left = settings.Read(st::FormLeft, x());
        move(left, top);
    }
    switch (settings.Read(st::WindowState)) {
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

    m_mainFilePanel->setFixedWidth(qMax(1, settings.Read(st::MainFilePanelWidth)));
    m_mainFilePanel->setFolderTreeHeight(settings.Read(st::DirBoxHeight));

    m_menus.HideDialoguesOfWebBrowserMenuItem->setChecked(settings.Read(st::HideBrowserDialogues));
    m_preview->setSilent(m_menus.HideDialoguesOfWebBrowserMenuItem->isChecked());
    m_menus.ShowFileThumbnailsMenuItem->setChecked(settings.Read(st::ShowThumbnails));
    ShowFileThumbnailsMenuItemClick();
    m_menus.ReloadChangedPageMenuItem->setChecked(settings.Read(st::ReloadChangedPage));
    ReloadChangedPageMenuItemClick();
    m_preview->background()->setLayout(zelvorin::preview::ReadBackgroundLayout(settings));
    ShowBackgroundLayout(m_preview->background()->layout());

    // The style is kept in one byte: a stored 258 is 2, a stored -1 is 255.
    m_galleryStyle = quint8(settings.Read(st::DefImageGalleryStyle) & 0xFF);
    const QList<QAction*> styles = m_menus.ImageGalleryStyleMenuItem->actions();
    if (m_galleryStyle <= styles.size() - 1)
        styles.at(m_galleryStyle)->setChecked(true);

    m_favoriteFolders->readFolderLists(settings);

    const QString folder = zelvorin::ChooseStartingFolder(
        {settings.Read(st::LastFolder), settings.Read(st::DefaultFolder), m_values.ProgramFolder(),
         zelvorin::platform::userDataFolder()});
    // Read once the window is on screen (see paintEvent), so neither the window nor the
    // first page waits for a large folder.
    m_mainFilePanel->setStartingFolder(folder, settings.Read(st::LastFileFilter));
}

void TMainForm::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (m_mainFilePanel->hasPendingStart())
        QTimer::singleShot(0, m_mainFilePanel, &zelvorin::FilePanel::applyPendingStart);
}

void TMainForm::FormCloseQuery() {
    const st::SettingsAccess settings = Settings();
    int state = 0;
    if (windowState() & Qt::WindowMinimized)
        state = 1;
    else if (windowState() & Qt::WindowMaximized)
        state = 2;
    settings.Write(st::WindowState, state);
    const int panelWidth = m_mainFilePanel->width();
    if (panelWidth > 50 && panelWidth < width() - 50)
        settings.Write(st::MainFilePanelWidth, panelWidth);
    settings.Write(st::DirBoxHeight, m_mainFilePanel->folderTreeHeight());
    settings.Write(st::DefImageGalleryStyle, m_galleryStyle);
    settings.Write(st::LastFolder, m_mainFilePanel->session()->folder());
    settings.Write(st::LastFileFilter, m_mainFilePanel->selectedFilter());
    m_favoriteFolders->writeFolderLists(settings);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    // Settings the file still does not take are said to be lost before the window goes;
    // the window closes when the message is answered (FormCloseQuery then tries once more).
    const TUsefulRegistry* store = m_values.Settings();
    if (store && store->HasUnsavedChanges() && !m_unsavedToldAtClose) {
        m_unsavedToldAtClose = true;
        event->ignore();
        auto* box = new QMessageBox(QMessageBox::Warning, zelvorin::ProductTitle,
                                    st::UnsavedAtCloseText(store->HiveFile(), store->SaveProblem()),
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        connect(box, &QMessageBox::finished, this, &QWidget::close);
        box->open();
        return;
    }
    event->accept();
    FormClose();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!m_created || !isVisible() || !Settings().HasStore() || !IsOnScreen())
        return;
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    Settings().Write(st::FormWidth, width());
    Settings().Write(st::FormHeight, height());
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!m_created || !isVisible() || !Settings().HasStore() || !IsOnScreen())
        return;
    if (y() < 0 && x() < 0)
        return;
    Settings().Write(st::FormTop, y());
    Settings().Write(st::FormLeft, x());
}
