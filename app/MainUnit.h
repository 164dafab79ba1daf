// The main window: the composition root. It builds the control tree (toolbar, preview
// area with its hidden event log, the file column and the status bar), the menus, owns
// every subsystem object, applies the saved settings at creation and writes them back
// when it closes. Handlers stay thin: the rules live in the subsystems.
#pragma once

#include "SettingsTable.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QMenu;
class QToolButton;
class QWebEngineView;
class TAboutForm;
class TDropFileSource;
class TDropFileTarget;
enum class TDragType;
class TFavoriteFolders;
class TdfsStatusBar;
class TGradientTextForm;
class TOpenFileForm;

namespace zelvorin {
class CollapsibleSplitter;
class FilePanel;
class FolderMenus;
class Preview;
class PreviewProfile;
class EventLog;
class ProgramValues;
class SplitterBar;
} // namespace zelvorin

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(zelvorin::ProgramValues& values, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Operations other parts of the program call.
    void AddLogLine(const QString& line);
    void SetShowWelcomePage(bool show);
    void OpenAddress(const QString& address);
    void ExecuteCommandUrl(const QString& url);
    void ShowGalleryPage(int first, int perPage);
    // Replaces the shown document with the page text, without a navigation.
    void LoadHtmlText(const QString& text);
    zelvorin::Preview* PreviewArea() const { return m_preview; }

    // Handlers bound to menu entries, buttons and window events.
    void ExitMenuItemClick();
    void HelpContents1Click();
    void ShowWelcomePageOnStartMenuItemClick();
    void ShowToolbarMenuItemClick();
    void ShowLog1Click();
    void ClearCaption1Click();
    void ThumbnailListMenuItemClick(QAction* sender);
    void FindItem1Click();
    void ToolSplitterPanelMouseUp(int grip);
    void FileListBox1Change();
    void ShowImageGalleryMenuItemClick();
    void ShowWBFontSize();
    void ChangeWBFontSizeMenuItemClick(QAction* entry);
    void HideDialoguesOfWebBrowserMenuItemClick();
    void AddShownFolderToLastFolders();
    void AboutMenuItemClick();
    void CreateTextWithGradientFloodFillMenuItemClick();
    // The settings store could not save: the status bar and the log say so, and a message
    // the first time in a run.
    void SettingsSaveFailed(const QString& file, const QString& reason, bool firstInSession);

    // The file list's and the folder list's commands, and files dragged in and out.
    void FileListBox1MouseDown(Qt::MouseButton button, QPoint position);
    void FileListBox1MouseMove(QPoint position);
    void FileListBox1MouseUp(Qt::MouseButton button, QPoint position);
    void FileListBox1DblClick();
    bool FileListBox1KeyDown(QKeyEvent* event);
    void FileListPopupMenuPopup();
    void Copyname1Click();
    void Copynameandpath1Click();
    void Properties1Click();
    void Properties2Click();
    void DirectoryListBox1MouseUp(Qt::MouseButton button, QPoint position);
    void FileBoxDropFileTarget1GetDropEffect(Qt::KeyboardModifiers keys, QPoint position,
                                             Qt::DropActions& effect);
    void FileBoxDropFileTarget1Drop(Qt::KeyboardModifiers keys, QPoint position,
                                    Qt::DropActions& effect);
    void FileBoxDropFileSource1Drop(TDragType type, bool& continueDrop);
    void FormClose();
    // The drag state: the left press point in list coordinates ((-1, -1): none) and
    // whether a drag from the list is running.
    QPoint DragStartPoint() const { return m_dragStartPoint; }
    bool OwnDrag() const { return m_ownDrag; }

    quint8 GalleryStyle() const { return m_galleryStyle; }
    zelvorin::settings::SettingsAccess Settings() const;

    // Controls, named as the window's layout names them.
    QFrame* ToolbarPanel = nullptr;
    QFrame* ToolSplitterPanel1 = nullptr;
    QFrame* ToolPanel1 = nullptr;
    QFrame* ToolSplitterPanel2 = nullptr;
    QFrame* ToolPanel2 = nullptr;
    QFrame* Panel10 = nullptr;
    QFrame* AddressPanel = nullptr;
    QComboBox* AddressComboBox = nullptr;
    QFrame* ToolSplitterPanel3 = nullptr;
    QFrame* ToolPanel3 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* CustomFilterSpeedButton = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* GoButton = nullptr;
    QToolButton* BackSpeedButton = nullptr;
    QToolButton* ForwardSpeedButton = nullptr;
    QToolButton* RefreshSpeedButton = nullptr;
    QToolButton* StopSpeedButton = nullptr;
    QFrame* Panel5 = nullptr;
    QFrame* Panel1 = nullptr;
    QFrame* WebBrowserPanel = nullptr;
    QWebEngineView* WebBrowser1 = nullptr;
    zelvorin::SplitterBar* LogSplitter = nullptr;
    zelvorin::EventLog* LogRichEdit = nullptr;
    zelvorin::CollapsibleSplitter* dfsSplitter110Ex1 = nullptr;
    zelvorin::FilePanel* MainFilePanel = nullptr;
    TdfsStatusBar* dfsStatusBar1 = nullptr;

    // The tool windows, made once after the main window and reused.
    TOpenFileForm* OpenFileForm = nullptr;
    TAboutForm* AboutForm = nullptr;
    TGradientTextForm* GradientTextForm = nullptr;
    TFavoriteFolders* FavoriteFolders1 = nullptr;

    // Menu entries.
    QMenu* FileMenuItem = nullptr;
    QAction* OpenDocumentMenuItem = nullptr;
    QAction* ChangeBackgroundMenuItem = nullptr;
    QAction* ShowImageGalleryMenuItem = nullptr;
    QMenu* LastFoldersMainMenuItem = nullptr;
    QMenu* FavoriteFoldersMainMenuItem = nullptr;
    QAction* AddToFavoriteFoldersMainMenuItem = nullptr;
    QAction* ExitMenuItem = nullptr;
    QMenu* EditMenuItem = nullptr;
    QAction* CopyMenuItem = nullptr;
    QAction* CopyBackgroundColorMenuItem = nullptr;
    QAction* CopyHTMLContentsMenuItem = nullptr;
    QAction* SelectAllMenuItem = nullptr;
    QAction* SetBackgroundColorMenuItem = nullptr;
    QAction* ClearPreviewAreaMenuItem = nullptr;
    QMenu* OptionsMenuItem = nullptr;
    QMenu* FontSizeMenuItem = nullptr;
    QAction* LargestMenuItem = nullptr;
    QAction* LargerMenuItem = nullptr;
    QAction* MediumMenuItem = nullptr;
    QAction* SmallerMenuItem = nullptr;
    QAction* SmallestMenuItem = nullptr;
    QMenu* ImageGalleryStyleMenuItem = nullptr;
    QAction* SimpleListMenuItem = nullptr;
    QAction* BackgroundListMenuItem = nullptr;
    QAction* ThumbnailListMenuItem = nullptr;
    QAction* ShowToolbarMenuItem = nullptr;
    QAction* ShowWelcomePageOnStartMenuItem = nullptr;
    QAction* HideDialoguesOfWebBrowserMenuItem = nullptr;
    QMenu* Tools1 = nullptr;
    QAction* CreateTextWithGradientFloodFillMenuItem = nullptr;
    QMenu* HelpMenuItem = nullptr;
    QAction* HelpContents1 = nullptr;
    QAction* AboutMenuItem = nullptr;
    QMenu* DeveloperMenu = nullptr;
    QAction* ShowLog1 = nullptr;
    QAction* ClearCaption1 = nullptr;
    QMenu* T2 = nullptr;
    QAction* ShowThumbnailsMenuItem = nullptr;
    QAction* FindItem1 = nullptr;
    QAction* FramesMenuItem = nullptr;
    QMenu* DirListPopupMenu = nullptr;
    QMenu* LastFoldersMenuItem = nullptr;
    QMenu* FavoriteFoldersMenuItem = nullptr;
    QAction* AddToFavoriteFoldersMenuItem = nullptr;
    QAction* Properties2 = nullptr;
    QMenu* FileListPopupMenu = nullptr;
    QAction* Copyname1 = nullptr;
    QAction* Copynameandpath1 = nullptr;
    QAction* Properties1 = nullptr;
    TDropFileTarget* FileBoxDropFileTarget1 = nullptr;
    TDropFileSource* FileBoxDropFileSource1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void createContextMenus();
    void createToolbar();
    void createToolPanel1();
    void createToolPanel2();
    void createToolPanel3();
    void createClientArea();
    void createStatusBar();
    void createToolWindows();
    void createPreview(QWidget* viewParent);
    void connectPreview();
    void createFavorites();
    void ShowFirstPage(bool welcome);
    void connectFileCommands();
    void RunFileListBox1Change();

    void FormCreate();
    void FormCloseQuery();
    bool FormKeyDown(class QKeyEvent* event);
    void AddressPanelResize();
    bool IsOnScreen() const;

    zelvorin::ProgramValues& m_values;
    zelvorin::PreviewProfile* m_profile = nullptr;
    zelvorin::Preview* m_preview = nullptr;
    zelvorin::FolderMenus* m_folderMenus = nullptr;
    quint8 m_galleryStyle = 2;
    QActionGroup* m_galleryStyleGroup = nullptr;
    QActionGroup* m_fontSizeGroup = nullptr;
    // Set once creation has finished: geometry events before that are the window
    // system placing the window, not the user moving it.
    bool m_created = false;
    QPoint m_dragStartPoint{-1, -1};
    bool m_ownDrag = false;
    // Set by a double-click on the folder list: the release that ends it opens nothing.
    bool m_dirDoubleClick = false;
};
