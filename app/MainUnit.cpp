#include "MainUnit.h"

#include "AboutWindow.h"
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
#include "GradientTextUnit.h"
#include "HelpWindow.h"
#include "MainToolbar.h"
#include "OpenFileDialog.h"
#include "Preview.h"
#include "PreviewProfile.h"
#include "ProgramValues.h"
#include "SplitterBar.h"
#include "Startup.h"
#include "StatusBar.h"
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

TMainForm::TMainForm(zelvorin::ProgramValues& values, QWidget* parent)
    : QMainWindow(parent), m_values(values) {
    initResources();
    setObjectName("MainForm");
    setWindowTitle(zelvorin::ProductTitle);
    resize(610, 442);
    m_menus.Create(this);
    auto* central = new QWidget(this);
    central->setObjectName("MainClientArea");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_toolbar = new MainToolbar(central);
    column->addWidget(m_toolbar);
    m_panel5 = new QFrame(central);
    m_panel5->setObjectName("Panel5");
    m_panel5->setFixedHeight(2);
    column->addWidget(m_panel5);
    createClientArea(central);
    column->addWidget(m_panel1, 1);
    createStatusBar(central);
    column->addWidget(m_statusBar);
    setCentralWidget(central);
    createToolWindows();
    connectMenus();
    connectToolbar();
    connectPreview();
    connectFileColumn();
    connectFavorites();
    // The help topics F1 opens for the window and the controls that have one.
    zelvorin::SetHelpContext(this, 10);
    zelvorin::SetHelpContext(m_webBrowser1, 10);
    zelvorin::SetHelpContext(m_toolbar->AddressComboBox, 30);
    zelvorin::SetHelpContext(m_mainFilePanel->filterBox(), 60);
    // The window sees key strokes before its controls (Escape toggles the file panel, F1
    // opens the help of the control that has the focus).
    qApp->installEventFilter(this);
    FormCreate();
    m_created = true;
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
}

void TMainForm::createClientArea(QWidget* parent) {
    m_panel1 = new QFrame(parent);
    m_panel1->setObjectName("Panel1");
    auto* row = new QHBoxLayout(m_panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    m_webBrowserPanel = new QFrame(m_panel1);
    m_webBrowserPanel->setObjectName("WebBrowserPanel");
    auto* browserRow = new QHBoxLayout(m_webBrowserPanel);
    browserRow->setContentsMargins(2, 2, 2, 2);
    browserRow->setSpacing(0);
    m_profile = new zelvorin::PreviewProfile(this);
    // The preview lives with the panel that holds its view, so both go together.
    m_preview = new zelvorin::Preview(m_profile, m_webBrowserPanel, m_webBrowserPanel);
    m_webBrowser1 = m_preview->WebBrowser1();
    m_downloads = new zelvorin::Downloads(m_profile->profile(), this, this);
    m_logRichEdit = new zelvorin::EventLog(m_webBrowserPanel);
    m_logRichEdit->setFixedWidth(98);
    m_logSplitter = new zelvorin::SplitterBar(Qt::Vertical, m_logRichEdit, true, m_webBrowserPanel);
    m_logSplitter->setObjectName("LogSplitter");
    m_logSplitter->SetThickness(0);
    m_logSplitter->hide();
    browserRow->addWidget(m_webBrowser1, 1);
    browserRow->addWidget(m_logSplitter);
    browserRow->addWidget(m_logRichEdit);

    m_mainFilePanel = new zelvorin::FilePanel(m_panel1);
    m_mainFilePanel->setObjectName("MainFilePanel");
    m_mainFilePanel->setAccessibleName(QStringLiteral("File column"));
    m_mainFilePanel->setFixedWidth(170);
    m_fileColumnSplitter = new zelvorin::CollapsibleSplitter(m_mainFilePanel, m_panel1);

    row->addWidget(m_webBrowserPanel, 1);
    row->addWidget(m_fileColumnSplitter);
    row->addWidget(m_mainFilePanel);
}

void TMainForm::createStatusBar(QWidget* parent) {
    m_statusBar = new zelvorin::StatusBar(parent);
    m_statusBar->setObjectName("dfsStatusBar1");
    m_statusBar->setAccessibleName(QStringLiteral("Status bar"));
}

void TMainForm::createToolWindows() {
    m_openFileForm = new zelvorin::OpenFileDialog(this);
    m_aboutForm = new zelvorin::AboutWindow(zelvorin::InstalledBrowserVersion(), this);
    m_gradientTextForm = new TGradientTextForm(this);
    m_favoriteFolders = new zelvorin::FavoriteFolders(this);
    m_favoriteFolders->setObjectName("FavoriteFolders1");
    m_folderMenus = new zelvorin::FolderMenus(m_favoriteFolders, this);
}

zelvorin::settings::SettingsAccess TMainForm::Settings() const {
    return {m_values.Settings(), m_values.SettingsRoot()};
}

void TMainForm::AddLogLine(const QString& line) {
    m_logRichEdit->AddLogLine(line);
}

void TMainForm::SettingsSaveFailed(const QString& file, const QString& reason,
                                   bool firstInSession) {
    m_notSavedStatus = zelvorin::settings::NotSavedStatusText(file, reason);
    m_statusBar->setText(m_notSavedStatus);
    AddLogLine(zelvorin::eventlog::settingsNotSaved(file, reason));
    if (firstInSession)
        QMessageBox::warning(this, zelvorin::ProductTitle,
                             zelvorin::settings::NotSavedMessageText(file, reason));
}

void TMainForm::SettingsSaved() {
    if (m_statusBar->text() == m_notSavedStatus)
        m_statusBar->setText(QString());
    m_notSavedStatus.clear();
}

void TMainForm::ExitMenuItemClick() {
    close();
}

void TMainForm::HelpContents1Click() {
    zelvorin::ShowHelpTopic(m_values.HelpFileName(), QStringLiteral("MainScreen_link"));
}

void TMainForm::ShowToolbarMenuItemClick() {
    QAction* item = m_menus.ShowToolbarMenuItem;
    item->setChecked(!item->isChecked());
    m_toolbar->setVisible(item->isChecked());
}

void TMainForm::ShowLog1Click() {
    m_logRichEdit->Clear();
    const bool show = !m_logRichEdit->isVisibleTo(m_webBrowserPanel);
    m_logRichEdit->setVisible(show);
    m_logSplitter->setVisible(show);
    m_logSplitter->SetThickness(5);
    m_logRichEdit->setFixedWidth(250);
}

void TMainForm::ClearCaption1Click() {
    m_logRichEdit->Clear();
}

void TMainForm::AddShownFolderToLastFolders() {
    m_favoriteFolders->addLastFolder(m_mainFilePanel->session()->folder(), 0);
}

void TMainForm::AboutMenuItemClick() {
    m_aboutForm->exec();
}

void TMainForm::CreateTextWithGradientFloodFillMenuItemClick() {
    m_gradientTextForm->exec();
}

bool TMainForm::closeOnEscape(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        const QWidget* focus = QApplication::focusWidget();
        const int context = zelvorin::HelpContextOf(focus ? focus : this);
        zelvorin::ShowHelpTopic(m_values.HelpFileName(), zelvorin::HelpContextTopic(context));
        return true;
    }
    if (event->key() == Qt::Key_Escape &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        m_fileColumnSplitter->ToggleCollapsed();
        return true;
    }
    return false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // Keys reach the window first only when they are meant for one of its own
        // controls, not for a dialog or menu opened from it.
        if (widget->window() == this && !qApp->activePopupWidget())
            return closeOnEscape(static_cast<QKeyEvent*>(event));
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
