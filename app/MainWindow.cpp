// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MainWindow.h"

#include "AboutWindow.h"
#include "ActionRegistry.h"
#include "BrowserVersion.h"
#include "CollapsibleSplitter.h"
#include "Downloads.h"
#include "EventLog.h"
#include "EventLogFormat.h"
#include "FavoriteFolders.h"
#include "FilePanel.h"
#include "FilterComboBox.h"
#include "FolderMenus.h"
#include "FolderSession.h"
#include "GradientTextDialog.h"
#include "HelpWindow.h"
#include "MainMenus.h"
#include "MainToolbar.h"
#include "OpenFileDialog.h"
#include "PageFrame.h"
#include "PageWidth.h"
#include "Preview.h"
#include "PreviewProfile.h"
#include "ProgramValues.h"
#include "SplitterBar.h"
#include "Startup.h"
#include "StatusBar.h"
#include "StatusReports.h"
#include "WindowGeometry.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <QWebEngineView>

// The resources are compiled into a static library, where nothing else would keep the
// linker from dropping them.
static void initResources() {
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(welcome);
}

namespace zelvorin {

MainWindow::MainWindow(ProgramValues& values, QWidget* parent)
    : QMainWindow(parent), m_values(values) {
    initResources();
    setObjectName("MainForm");
    setWindowTitle(ProductTitle);
    resize(610, 442);
    auto* central = new QWidget(this);
    central->setObjectName("MainClientArea");
    // The preview first, and its first page asked for at once: the engine starts the page's
    // process and load while the rest of the window is built. The area joins the window
    // below the toolbar, and so comes after it in the Tab order too.
    createClientArea();
    m_actions = new ActionRegistry(this);
    m_menus = std::make_unique<MainMenus>(this, *m_actions);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_toolbar = new MainToolbar(*m_actions, m_menus->menu(MenuId::BackgroundPlacement),
                                m_menus->menu(MenuId::View), central);
    column->addWidget(m_toolbar);
    m_toolbarSpacer = new QFrame(central);
    m_toolbarSpacer->setObjectName("Panel5");
    m_toolbarSpacer->setFixedHeight(2);
    column->addWidget(m_toolbarSpacer);
    column->addWidget(m_clientArea, 1);
    createStatusBar(central);
    column->addWidget(m_statusBar);
    setCentralWidget(central);
    m_favoriteFolders = new FavoriteFolders(this);
    m_favoriteFolders->setObjectName("FavoriteFolders1");
    m_folderMenus = new FolderMenus(m_favoriteFolders, this);
    connectCommands();
    connectOptions();
    connectPreview();
    connectPreviewEvents();
    connectFileColumn();
    connectFavorites();
    // The help topics F1 opens for the window and the controls that have one.
    SetHelpContext(this, 10);
    SetHelpContext(m_webView, 10);
    SetHelpContext(m_toolbar->addressBox(), 30);
    SetHelpContext(m_filePanel->filterBox(), 60);
    // The window sees key strokes before its controls (Escape toggles the file panel, F1
    // opens the help of the control that has the focus).
    qApp->installEventFilter(this);
    applySettings();
    m_created = true;
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The second view sits in the page frame while its preview is the window's child: it
    // leaves the frame before the window's widgets go, with the frame, and the view in it.
    closeSideView();
}

void MainWindow::createClientArea() {
    m_clientArea = new QFrame;
    m_clientArea->setObjectName("Panel1");
    auto* row = new QHBoxLayout(m_clientArea);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    m_previewPanel = new QFrame(m_clientArea);
    m_previewPanel->setObjectName("WebBrowserPanel");
    auto* browserRow = new QHBoxLayout(m_previewPanel);
    browserRow->setContentsMargins(2, 2, 2, 2);
    browserRow->setSpacing(0);
    m_profile = new PreviewProfile(this);
    // The preview lives with the panel that holds its view, so both go together.
    m_preview = new Preview(m_profile, m_previewPanel, m_previewPanel);
    m_webView = m_preview->view();
    showFirstPage(settings().read(settings::ShowWelcomePage));
    m_downloads = new Downloads(m_profile->profile(), this, this);
    m_eventLog = new EventLog(m_previewPanel);
    m_eventLog->setFixedWidth(98);
    m_logSplitter = new SplitterBar(Qt::Vertical, m_eventLog, true, m_previewPanel);
    m_logSplitter->setObjectName("LogSplitter");
    m_logSplitter->SetThickness(0);
    m_logSplitter->hide();
    m_pageFrame = new preview::PageFrame(m_previewPanel);
    m_pageFrame->addView(m_webView, preview::FullWidth);
    browserRow->addWidget(m_pageFrame, 1);
    browserRow->addWidget(m_logSplitter);
    browserRow->addWidget(m_eventLog);

    m_filePanel = new FilePanel(m_clientArea, m_values.services());
    m_filePanel->setObjectName("MainFilePanel");
    m_filePanel->setAccessibleName(QStringLiteral("File column"));
    m_filePanel->setFixedWidth(170);
    m_fileColumnSplitter = new CollapsibleSplitter(m_filePanel, m_clientArea);

    row->addWidget(m_previewPanel, 1);
    row->addWidget(m_fileColumnSplitter);
    row->addWidget(m_filePanel);
}

void MainWindow::createStatusBar(QWidget* parent) {
    m_statusBar = new StatusBar(parent);
    m_statusBar->setObjectName("dfsStatusBar1");
    m_statusBar->setAccessibleName(QStringLiteral("Status bar"));
    m_statusReports = new StatusReports(m_statusBar);
}

OpenFileDialog* MainWindow::openFileDialog() {
    if (!m_openFileDialog) {
        m_openFileDialog = new OpenFileDialog(this);
        m_preview->setOpenFileForm(m_openFileDialog);
    }
    return m_openFileDialog;
}

void MainWindow::showAbout() {
    if (!m_aboutWindow) {
        m_aboutWindow = new AboutWindow(InstalledBrowserVersion(), this);
        connect(m_aboutWindow, &AboutWindow::helpTopicRequested, this,
                [this](const QString& topic) { m_values.showHelpTopic(topic); });
    }
    m_aboutWindow->exec();
}

void MainWindow::showGradientText() {
    if (!m_gradientTextDialog)
        m_gradientTextDialog = new GradientTextDialog(this);
    m_gradientTextDialog->exec();
}

settings::SettingsAccess MainWindow::settings() const {
    return {m_values.Settings(), m_values.SettingsRoot()};
}

void MainWindow::addLogLine(const QString& line) {
    m_eventLog->addLine(line);
}

void MainWindow::tellFailure(const Failure& failure) {
    addLogLine(eventlog::commandFailed(failure.message()));
    // Not waited for: the message stays until the user answers, and the window goes on.
    auto* box = new QMessageBox(QMessageBox::Warning, ProductTitle, failure.message(),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::tellSettingsNotSaved(const QString& file, const QString& reason,
                                      bool firstInSession) {
    m_statusReports->setText(StatusReports::Source::Settings,
                             settings::NotSavedStatusText(file, reason));
    addLogLine(eventlog::settingsNotSaved(file, reason));
    if (firstInSession)
        QMessageBox::warning(this, ProductTitle, settings::NotSavedMessageText(file, reason));
}

void MainWindow::clearSettingsNote() {
    m_statusReports->setText(StatusReports::Source::Settings, QString());
}

void MainWindow::showHelpContents() {
    m_values.showHelpTopic(QStringLiteral("MainScreen_link"));
}

void MainWindow::toggleLog() {
    m_eventLog->clearLines();
    const bool show = !m_eventLog->isVisibleTo(m_previewPanel);
    m_eventLog->setVisible(show);
    m_logSplitter->setVisible(show);
    m_logSplitter->SetThickness(5);
    m_eventLog->setFixedWidth(250);
}

void MainWindow::addShownFolderToLastFolders() {
    m_favoriteFolders->addLastFolder(m_filePanel->session()->folder(), 0);
}

bool MainWindow::handleKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        const QWidget* focus = QApplication::focusWidget();
        const int context = HelpContextOf(focus ? focus : this);
        m_values.showHelpTopic(HelpContextTopic(context));
        return true;
    }
    if (event->key() == Qt::Key_Escape &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        m_fileColumnSplitter->ToggleCollapsed();
        return true;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // Keys reach the window first only when they are meant for one of its own
        // controls, not for a dialog or menu opened from it.
        if (widget->window() == this && !qApp->activePopupWidget())
            return handleKey(static_cast<QKeyEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::isOnScreen() const {
    const QScreen* screen = this->screen();
    if (!screen)
        return false;
    const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return IsWindowOnScreen(frameGeometry(), caption, screen->size());
}

} // namespace zelvorin
