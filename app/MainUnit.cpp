#include "MainUnit.h"

#include "AboutWindowUnit.h"
#include "CollapsibleSplitter.h"
#include "EventLog.h"
#include "EventLogFormat.h"
#include "FavoriteItems.h"
#include "FilePanel.h"
#include "FolderMenus.h"
#include "GradientTextUnit.h"
#include "HelpWindow.h"
#include "NeededRegistryLib.h"
#include "OpenFileUnit.h"
#include "ProgramValues.h"
#include "Startup.h"
#include "StatusBar.h"
#include "WindowGeometry.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>

// The resources are compiled into a static library, where nothing else would keep the
// linker from dropping them.
static void initResources() {
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(welcome);
}

TMainForm::TMainForm(zelvorin::ProgramValues& values, QWidget* parent)
    : QMainWindow(parent), m_values(values) {
    initResources();
    setObjectName("MainForm");
    setWindowTitle(zelvorin::ProductTitle);
    resize(610, 442);
    createMenus();
    createContextMenus();
    auto* central = new QWidget(this);
    central->setObjectName("MainClientArea");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    createToolbar();
    column->addWidget(ToolbarPanel);
    Panel5 = new QFrame(central);
    Panel5->setObjectName("Panel5");
    Panel5->setFixedHeight(2);
    column->addWidget(Panel5);
    createClientArea();
    column->addWidget(Panel1, 1);
    createStatusBar();
    column->addWidget(dfsStatusBar1);
    setCentralWidget(central);
    createToolWindows();
    createFavorites();
    connectPreview();
    connectFileCommands();
    // The window sees key strokes before its controls (Escape toggles the file panel).
    qApp->installEventFilter(this);
    if (TUsefulRegistry* store = m_values.Settings())
        connect(store, &TUsefulRegistry::saveFailed, this, &TMainForm::SettingsSaveFailed);
    FormCreate();
    m_created = true;
}

void TMainForm::createToolWindows() {
    OpenFileForm = new TOpenFileForm(this);
    AboutForm = new TAboutForm(zelvorin::InstalledBrowserVersion(), this);
    connect(AboutForm, &TAboutForm::helpTopicRequested, this, [this](const QString& topic) {
        zelvorin::ShowHelpTopic(m_values.HelpFileName(), topic);
    });
    connect(AboutMenuItem, &QAction::triggered, this, &TMainForm::AboutMenuItemClick);
    GradientTextForm = new TGradientTextForm(this);
    connect(CreateTextWithGradientFloodFillMenuItem, &QAction::triggered, this,
            &TMainForm::CreateTextWithGradientFloodFillMenuItemClick);
}

void TMainForm::createFavorites() {
    FavoriteFolders1 = new TFavoriteFolders(this);
    FavoriteFolders1->setObjectName("FavoriteFolders1");
    m_folderMenus = new zelvorin::FolderMenus(FavoriteFolders1, this);
    m_folderMenus->SetOpenFolder([this](const QString& folder) {
        MainFilePanel->DirectoryListBox1()->SetDirectory(folder);
    });
    m_folderMenus->SetCurrentFolder(
        [this] { return MainFilePanel->DirectoryListBox1()->Directory(); });
    // The submenus are rebuilt each time their menu opens, so they show the lists as they are.
    connect(FileMenuItem, &QMenu::aboutToShow, m_folderMenus, [this] {
        m_folderMenus->FillFolderListsMenu(LastFoldersMainMenuItem, FavoriteFoldersMainMenuItem);
    });
    connect(DirListPopupMenu, &QMenu::aboutToShow, m_folderMenus, [this] {
        m_folderMenus->FillFolderListsMenu(LastFoldersMenuItem, FavoriteFoldersMenuItem);
    });
    for (QAction* add : {AddToFavoriteFoldersMainMenuItem, AddToFavoriteFoldersMenuItem})
        connect(add, &QAction::triggered, m_folderMenus,
                &zelvorin::FolderMenus::AddToFavoriteFoldersMenuItemClick);
    connect(ShowImageGalleryMenuItem, &QAction::triggered, this,
            &TMainForm::ShowImageGalleryMenuItemClick);
    connect(SpeedButton4, &QToolButton::clicked, this, &TMainForm::ShowImageGalleryMenuItemClick);
    connect(ShowThumbnailsMenuItem, &QAction::triggered, this,
            &TMainForm::ShowImageGalleryMenuItemClick);
}

void TMainForm::AddShownFolderToLastFolders() {
    FavoriteFolders1->AddLastFolder(MainFilePanel->DirectoryListBox1()->Directory(), 0);
}

void TMainForm::AboutMenuItemClick() {
    AboutForm->exec();
}

void TMainForm::CreateTextWithGradientFloodFillMenuItemClick() {
    GradientTextForm->exec();
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
}

void TMainForm::createClientArea() {
    Panel1 = new QFrame(centralWidget() ? centralWidget() : this);
    Panel1->setObjectName("Panel1");
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    WebBrowserPanel = new QFrame(Panel1);
    WebBrowserPanel->setObjectName("WebBrowserPanel");
    auto* browserRow = new QHBoxLayout(WebBrowserPanel);
    browserRow->setContentsMargins(2, 2, 2, 2);
    browserRow->setSpacing(0);
    createPreview(WebBrowserPanel);
    LogRichEdit = new zelvorin::EventLog(WebBrowserPanel);
    LogRichEdit->setFixedWidth(98);
    LogSplitter = new zelvorin::SplitterBar(Qt::Vertical, LogRichEdit, true, WebBrowserPanel);
    LogSplitter->setObjectName("LogSplitter");
    LogSplitter->SetThickness(0);
    LogSplitter->hide();
    browserRow->addWidget(WebBrowser1, 1);
    browserRow->addWidget(LogSplitter);
    browserRow->addWidget(LogRichEdit);

    MainFilePanel = new zelvorin::FilePanel(Panel1);
    MainFilePanel->setObjectName("MainFilePanel");
    MainFilePanel->setAccessibleName(QStringLiteral("File column"));
    MainFilePanel->setFixedWidth(170);
    connect(MainFilePanel, &zelvorin::FilePanel::FileListBox1Change, this,
            &TMainForm::FileListBox1Change);
    connect(CustomFilterSpeedButton, &QToolButton::clicked, MainFilePanel,
            &zelvorin::FilePanel::CustomFilterSpeedButtonClick);
    // The context menus of the two lists.
    QWidget* folders = MainFilePanel->DirectoryListBox1();
    folders->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(folders, &QWidget::customContextMenuRequested, this,
            [this, folders](QPoint at) { DirListPopupMenu->popup(folders->mapToGlobal(at)); });
    QWidget* files = MainFilePanel->FileListBox1();
    files->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(files, &QWidget::customContextMenuRequested, this,
            [this, files](QPoint at) { FileListPopupMenu->popup(files->mapToGlobal(at)); });
    dfsSplitter110Ex1 = new zelvorin::CollapsibleSplitter(MainFilePanel, Panel1);

    row->addWidget(WebBrowserPanel, 1);
    row->addWidget(dfsSplitter110Ex1);
    row->addWidget(MainFilePanel);
}

void TMainForm::createStatusBar() {
    dfsStatusBar1 = new TdfsStatusBar(centralWidget() ? centralWidget() : this);
    dfsStatusBar1->setObjectName("dfsStatusBar1");
    dfsStatusBar1->setAccessibleName(QStringLiteral("Status bar"));
    TdfsStatusPanel spacer;
    spacer.Width = 1;
    spacer.Bevel = false;
    dfsStatusBar1->AddPanel(spacer);
    TdfsStatusPanel gauge;
    gauge.PanelType = TdfsStatusPanelType::sptGauge;
    gauge.Width = 150;
    gauge.Alignment = Qt::AlignHCenter;
    dfsStatusBar1->AddPanel(gauge);
    TdfsStatusPanel text;
    text.Width = 50;
    dfsStatusBar1->AddPanel(text);
}

zelvorin::settings::SettingsAccess TMainForm::Settings() const {
    return {m_values.Settings(), m_values.SettingsRoot()};
}

void TMainForm::AddLogLine(const QString& line) {
    LogRichEdit->AddLogLine(line);
}

void TMainForm::SetShowWelcomePage(bool show) {
    ShowWelcomePageOnStartMenuItem->setChecked(show);
    Settings().Write(zelvorin::settings::ShowWelcomePage, show);
}

void TMainForm::SettingsSaveFailed(const QString& file, const QString& reason,
                                   bool firstInSession) {
    dfsStatusBar1->SetPanelText(2, zelvorin::settings::NotSavedStatusText(file, reason));
    AddLogLine(zelvorin::eventlog::settingsNotSaved(file, reason));
    if (firstInSession)
        QMessageBox::warning(this, zelvorin::ProductTitle,
                             zelvorin::settings::NotSavedMessageText(file, reason));
}

void TMainForm::ExitMenuItemClick() {
    close();
}

void TMainForm::HelpContents1Click() {
    zelvorin::ShowHelpTopic(m_values.HelpFileName(), QStringLiteral("MainScreen_link"));
}

void TMainForm::ShowWelcomePageOnStartMenuItemClick() {
    SetShowWelcomePage(!ShowWelcomePageOnStartMenuItem->isChecked());
}

void TMainForm::ShowToolbarMenuItemClick() {
    ShowToolbarMenuItem->setChecked(!ShowToolbarMenuItem->isChecked());
    ToolbarPanel->setVisible(ShowToolbarMenuItem->isChecked());
}

void TMainForm::ShowLog1Click() {
    LogRichEdit->Clear();
    const bool show = !LogRichEdit->isVisibleTo(WebBrowserPanel);
    LogRichEdit->setVisible(show);
    LogSplitter->setVisible(show);
    LogSplitter->SetThickness(5);
    LogRichEdit->setFixedWidth(250);
}

void TMainForm::ClearCaption1Click() {
    LogRichEdit->Clear();
}

void TMainForm::ThumbnailListMenuItemClick(QAction* sender) {
    sender->setChecked(true);
    if (sender == SimpleListMenuItem)
        m_galleryStyle = 0;
    else if (sender == BackgroundListMenuItem)
        m_galleryStyle = 1;
    else if (sender == ThumbnailListMenuItem)
        m_galleryStyle = 2;
}

void TMainForm::FindItem1Click() {
    // Cycles 0 -> 1 -> 2 -> 0; other values stay, and the radio marks are left alone.
    if (m_galleryStyle <= 2)
        m_galleryStyle = quint8((m_galleryStyle + 1) % 3);
}

bool TMainForm::FormKeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        dfsSplitter110Ex1->ToggleCollapsed();
        return true;
    }
    return false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == AddressPanel && event->type() == QEvent::Resize) {
        AddressPanelResize();
        return false;
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // Keys reach the window first only when they are meant for one of its own
        // controls, not for a dialog or menu opened from it.
        if (widget->window() == this && !qApp->activePopupWidget())
            return FormKeyDown(static_cast<QKeyEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::IsOnScreen() const {
    const QScreen* screen = this->screen();
    if (!screen)
        return false;
    const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return zelvorin::IsWindowOnScreen(frameGeometry(), caption, screen->size());
}
