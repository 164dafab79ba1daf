// The main window's life: every saved setting applied at creation in a fixed order, the
// geometry saved while the window is on screen, and the settings written back on close.
#include "MainUnit.h"

#include "BackgroundChoice.h"
#include "CollapsibleSplitter.h"
#include "FavoriteFolders.h"
#include "FilePanel.h"
#include "FolderSession.h"
#include "PlatformInfo.h"
#include "Preview.h"
#include "ProgramValues.h"
#include "SettingsStore.h"
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

    m_menus.ShowWelcomePageOnStartMenuItem->setChecked(settings.read(st::ShowWelcomePage));
    ShowFirstPage(m_menus.ShowWelcomePageOnStartMenuItem->isChecked());
    ShowWBFontSize();

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

    m_mainFilePanel->setFixedWidth(qMax(1, settings.read(st::MainFilePanelWidth)));
    m_mainFilePanel->setFolderTreeHeight(settings.read(st::DirBoxHeight));

    m_menus.HideDialoguesOfWebBrowserMenuItem->setChecked(settings.read(st::HideBrowserDialogues));
    m_preview->SetBrowserSilent(m_menus.HideDialoguesOfWebBrowserMenuItem->isChecked());
    m_menus.ShowFileThumbnailsMenuItem->setChecked(settings.read(st::ShowThumbnails));
    ShowFileThumbnailsMenuItemClick();
    m_menus.ReloadChangedPageMenuItem->setChecked(settings.read(st::ReloadChangedPage));
    ReloadChangedPageMenuItemClick();
    m_preview->background()->SetLayout(zelvorin::preview::ReadBackgroundLayout(settings));
    ShowBackgroundLayout(m_preview->background()->Layout());

    // The style is kept in one byte: a stored 258 is 2, a stored -1 is 255.
    m_galleryStyle = quint8(settings.read(st::DefImageGalleryStyle) & 0xFF);
    const QList<QAction*> styles = m_menus.ImageGalleryStyleMenuItem->actions();
    if (m_galleryStyle <= styles.size() - 1)
        styles.at(m_galleryStyle)->setChecked(true);

    m_favoriteFolders->readFolderLists(settings);

    const QString folder = zelvorin::ChooseStartingFolder(
        {settings.read(st::LastFolder), settings.read(st::DefaultFolder), m_values.ProgramFolder(),
         zelvorin::platform::userDataFolder()});
    // Read once the window is on screen (see paintEvent), so neither the window nor the
    // first page waits for a large folder.
    m_mainFilePanel->setStartingFolder(folder, settings.read(st::LastFileFilter));
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
    settings.write(st::WindowState, state);
    const int panelWidth = m_mainFilePanel->width();
    if (panelWidth > 50 && panelWidth < width() - 50)
        settings.write(st::MainFilePanelWidth, panelWidth);
    settings.write(st::DirBoxHeight, m_mainFilePanel->folderTreeHeight());
    settings.write(st::DefImageGalleryStyle, m_galleryStyle);
    settings.write(st::LastFolder, m_mainFilePanel->session()->folder());
    settings.write(st::LastFileFilter, m_mainFilePanel->selectedFilter());
    m_favoriteFolders->writeFolderLists(settings);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    // Settings the file still does not take are said to be lost before the window goes;
    // the window closes when the message is answered (FormCloseQuery then tries once more).
    const zelvorin::SettingsStore* store = m_values.Settings();
    if (store && store->hasUnsavedChanges() && !m_unsavedToldAtClose) {
        m_unsavedToldAtClose = true;
        event->ignore();
        auto* box = new QMessageBox(QMessageBox::Warning, zelvorin::ProductTitle,
                                    st::UnsavedAtCloseText(store->hiveFile(), store->saveProblem()),
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
    if (!m_created || !isVisible() || !Settings().hasStore() || !IsOnScreen())
        return;
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    Settings().write(st::FormWidth, width());
    Settings().write(st::FormHeight, height());
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!m_created || !isVisible() || !Settings().hasStore() || !IsOnScreen())
        return;
    if (y() < 0 && x() < 0)
        return;
    Settings().write(st::FormTop, y());
    Settings().write(st::FormLeft, x());
}
