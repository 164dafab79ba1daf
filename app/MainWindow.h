// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window: the composition root. It builds the control tree (toolbar, preview
// area with its hidden event log, the file column and the status bar), the actions and the
// menus, owns every subsystem object, connects their signals to its thin handlers, applies
// the saved settings at creation and writes them back when it closes. The rules live in
// the subsystems: the window only wires.
#pragma once

#include "BackgroundPlacement.h"
#include "Failure.h"
#include "SettingsTable.h"

#include <QMainWindow>

#include <memory>

class QFrame;
class QWebEngineView;

namespace zelvorin {

namespace preview {
class PageFrame;
}
enum class FilePurpose;
class AboutWindow;
class ActionRegistry;
class CollapsibleSplitter;
class Downloads;
class EventLog;
class FavoriteFolders;
class FilePanel;
class FolderMenus;
class GradientTextDialog;
class MainMenus;
class MainToolbar;
class OpenFileDialog;
class Preview;
class PreviewProfile;
class ProgramValues;
class SideView;
class SplitterBar;
class StatusBar;
class StatusReports;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ProgramValues& values, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The parts of the window, reached through the objects that own them.
    const ActionRegistry& actions() const { return *m_actions; }
    const MainMenus& menus() const { return *m_menus; }
    MainToolbar* toolbar() const { return m_toolbar; }
    Preview* preview() const { return m_preview; }
    QWebEngineView* webView() const { return m_webView; }
    preview::PageFrame* pageFrame() const { return m_pageFrame; }
    FilePanel* filePanel() const { return m_filePanel; }
    EventLog* eventLog() const { return m_eventLog; }
    SplitterBar* logSplitter() const { return m_logSplitter; }
    StatusBar* mainStatusBar() const { return m_statusBar; }
    quint8 galleryStyle() const { return m_galleryStyle; }
    settings::SettingsAccess settings() const;

    // Operations other parts of the program call.
    void addLogLine(const QString& line);
    void setShowWelcomePage(bool show);
    void openAddress(const QString& address);
    // Carries out a "zelvorin://" address: the command its word names, or a gallery page.
    void runCommandAddress(const QString& url);
    // Builds a gallery page of the shown folder's images and puts it into the preview.
    // The answer comes later, by galleryPageShown; a failure is told to the user.
    void showGalleryPage(int first, int perPage);
    // Replaces the shown document with the page text, without a navigation.
    void showPageText(const QString& text);
    // Tells the user that a command failed and why, and logs it.
    void tellFailure(const Failure& failure);
    void galleryPageShown(int request, bool written);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createClientArea();
    void createStatusBar(QWidget* parent);
    void connectCommands();
    void connectOptions();
    void connectPreview();
    void connectPreviewEvents();
    void connectFileColumn();
    void connectFavorites();
    void showFirstPage(bool welcome);
    // The tool windows, made on first use and kept, so what they hold lasts the run.
    OpenFileDialog* openFileDialog();
    void showAbout();
    void showGradientText();

    // Applies the saved settings (at creation) and writes them back (at closing).
    void applySettings();
    void saveSettings();
    void stopAtClose();
    bool handleKey(class QKeyEvent* event);
    bool isOnScreen() const;

    // What the commands do.
    void showHelpContents();
    void showImageGallery();
    void toggleLog();
    void setGalleryStyle(int style);
    void cycleGalleryStyle();
    void previewChosenFile(const QString& path, FilePurpose purpose);
    void previewStartingFile();
    void markFontSize();
    void setFontSize(int level);
    void setBrowserDialoguesHidden(bool hidden);
    void setFileThumbnailsShown(bool shown);
    void setChangedPageReloaded(bool reloaded);
    void setBackgroundPlacement(int stored);
    void setBackgroundFixed(bool fixed);
    // Lays the page out at a preset's CSS width, marks it in the menu and on the toolbar,
    // and keeps it in the settings.
    void setPageWidth(int cssWidth);
    // Shows the page a second time beside the first, at the width that goes with it.
    void setSideBySide(bool shown);
    void setSideWidth(int chosen);
    void closeSideView();
    int sideViewWidth() const; // the second view's CSS width, as chosen
    // "Save a web copy...": the dialog for the chosen background image.
    void saveWebCopy();
    // Marks the layout in the menu and on the toolbar, and keeps it in the settings.
    void showBackgroundLayout(const preview::BackgroundLayout& layout);
    void switchWelcomePageFromPage();
    void viewCleanBackgrounds();
    void addShownFolderToLastFolders();
    // The settings store could not save: the status bar and the log say so, and a message
    // the first time in a run.
    void tellSettingsNotSaved(const QString& file, const QString& reason, bool firstInSession);
    // What the store could not save is saved now: the status bar stops saying otherwise.
    void clearSettingsNote();

    ProgramValues& m_values;
    ActionRegistry* m_actions = nullptr;
    std::unique_ptr<MainMenus> m_menus;
    MainToolbar* m_toolbar = nullptr;
    QFrame* m_toolbarSpacer = nullptr;
    QFrame* m_clientArea = nullptr;
    QFrame* m_previewPanel = nullptr;
    QWebEngineView* m_webView = nullptr;
    preview::PageFrame* m_pageFrame = nullptr;
    SideView* m_sideView = nullptr; // while "Side by side" is on
    SplitterBar* m_logSplitter = nullptr;
    EventLog* m_eventLog = nullptr;
    CollapsibleSplitter* m_fileColumnSplitter = nullptr;
    FilePanel* m_filePanel = nullptr;
    StatusBar* m_statusBar = nullptr;
    StatusReports* m_statusReports = nullptr;
    OpenFileDialog* m_openFileDialog = nullptr;
    AboutWindow* m_aboutWindow = nullptr;
    GradientTextDialog* m_gradientTextDialog = nullptr;
    FavoriteFolders* m_favoriteFolders = nullptr;
    PreviewProfile* m_profile = nullptr;
    Preview* m_preview = nullptr;
    Downloads* m_downloads = nullptr;
    FolderMenus* m_folderMenus = nullptr;
    quint8 m_galleryStyle = 2;
    int m_galleryRequest = 0; // the newest gallery page asked of the preview
    // Set once creation has finished: geometry events before that are the window
    // system placing the window, not the user moving it.
    bool m_created = false;
    // Whether the window has said at closing that the settings are still not saved.
    bool m_unsavedToldAtClose = false;
};

} // namespace zelvorin
