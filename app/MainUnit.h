// The main window: the composition root. It builds the control tree (toolbar, preview
// area with its hidden event log, the file column and the status bar) and the menus, owns
// every subsystem object, connects their signals to its thin handlers, applies the saved
// settings at creation and writes them back when it closes. The rules live in the
// subsystems: the window only wires.
#pragma once

#include "BackgroundPlacement.h"
#include "MainMenus.h"
#include "SettingsTable.h"

#include <QMainWindow>

class MainToolbar;
class QFrame;
class QWebEngineView;

class TGradientTextForm;

namespace zelvorin {
enum class FilePurpose;
class CollapsibleSplitter;
class EventLog;
class Downloads;
class FavoriteFolders;
class FilePanel;
class FolderMenus;
class Preview;
class PreviewProfile;
class ProgramValues;
class SplitterBar;
class AboutWindow;
class OpenFileDialog;
class StatusBar;
} // namespace zelvorin

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(zelvorin::ProgramValues& values, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The parts of the window, reached through the objects that own them.
    const MainMenus& Menus() const { return m_menus; }
    MainToolbar* Toolbar() const { return m_toolbar; }
    zelvorin::Preview* PreviewArea() const { return m_preview; }
    QWebEngineView* WebBrowser1() const { return m_webBrowser1; }
    zelvorin::FilePanel* MainFilePanel() const { return m_mainFilePanel; }
    zelvorin::EventLog* LogRichEdit() const { return m_logRichEdit; }
    zelvorin::SplitterBar* LogSplitter() const { return m_logSplitter; }
    zelvorin::StatusBar* StatusBar() const { return m_statusBar; }
    quint8 GalleryStyle() const { return m_galleryStyle; }
    zelvorin::settings::SettingsAccess Settings() const;

    // Operations other parts of the program call.
    void AddLogLine(const QString& line);
    void SetShowWelcomePage(bool show);
    void OpenAddress(const QString& address);
    void ExecuteCommandUrl(const QString& url);
    void ShowGalleryPage(int first, int perPage);
    // Replaces the shown document with the page text, without a navigation.
    void LoadHtmlText(const QString& text);

    // Handlers bound to menu entries, buttons and the subsystems' signals.
    void ExitMenuItemClick();
    void HelpContents1Click();
    void ShowWelcomePageOnStartMenuItemClick();
    void ShowToolbarMenuItemClick();
    void ShowLog1Click();
    void ClearCaption1Click();
    void ThumbnailListMenuItemClick(QAction* sender);
    void FindItem1Click();
    void previewChosenFile(const QString& path, zelvorin::FilePurpose purpose);
    void LoadFileTimerTimer();
    void ShowImageGalleryMenuItemClick();
    void ShowWBFontSize();
    void ChangeWBFontSizeMenuItemClick(QAction* entry);
    void HideDialoguesOfWebBrowserMenuItemClick();
    void ShowFileThumbnailsMenuItemClick();
    void ReloadChangedPageMenuItemClick();
    void BackgroundPlacementMenuItemClick(QAction* entry);
    void BackgroundFixedMenuItemClick();
    // Marks the layout in the menu and on the toolbar, and keeps it in the settings.
    void ShowBackgroundLayout(const zelvorin::preview::BackgroundLayout& layout);
    void AddShownFolderToLastFolders();
    void AboutMenuItemClick();
    void CreateTextWithGradientFloodFillMenuItemClick();
    // The settings store could not save: the status bar and the log say so, and a message
    // the first time in a run.
    void SettingsSaveFailed(const QString& file, const QString& reason, bool firstInSession);
    // What the store could not save is saved now: the status bar stops saying otherwise.
    void SettingsSaved();
    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createClientArea(QWidget* parent);
    void createStatusBar(QWidget* parent);
    void createToolWindows();
    void connectMenus();
    void connectToolbar();
    void connectPreview();
    void connectFileColumn();
    void connectFavorites();
    void ShowFirstPage(bool welcome);

    void FormCreate();
    void FormCloseQuery();
    bool closeOnEscape(class QKeyEvent* event);
    bool IsOnScreen() const;

    zelvorin::ProgramValues& m_values;
    MainMenus m_menus;
    MainToolbar* m_toolbar = nullptr;
    QFrame* m_panel5 = nullptr;
    QFrame* m_panel1 = nullptr;
    QFrame* m_webBrowserPanel = nullptr;
    QWebEngineView* m_webBrowser1 = nullptr;
    zelvorin::SplitterBar* m_logSplitter = nullptr;
    zelvorin::EventLog* m_logRichEdit = nullptr;
    zelvorin::CollapsibleSplitter* m_fileColumnSplitter = nullptr;
    zelvorin::FilePanel* m_mainFilePanel = nullptr;
    zelvorin::StatusBar* m_statusBar = nullptr;
    // The tool windows, made once after the main window and reused.
    zelvorin::OpenFileDialog* m_openFileForm = nullptr;
    zelvorin::AboutWindow* m_aboutForm = nullptr;
    TGradientTextForm* m_gradientTextForm = nullptr;
    zelvorin::FavoriteFolders* m_favoriteFolders = nullptr;
    zelvorin::PreviewProfile* m_profile = nullptr;
    zelvorin::Preview* m_preview = nullptr;
    zelvorin::Downloads* m_downloads = nullptr;
    zelvorin::FolderMenus* m_folderMenus = nullptr;
    quint8 m_galleryStyle = 2;
    // The status bar shows the note of a folder being read.
    bool m_folderNoteShown = false;
    // Set once creation has finished: geometry events before that are the window
    // system placing the window, not the user moving it.
    bool m_created = false;
    // The status bar's text while settings are not saved, and whether the window has said
    // at closing that they are still not saved.
    QString m_notSavedStatus;
    bool m_unsavedToldAtClose = false;
};
