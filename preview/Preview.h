// The main window's preview operations: what the browser `WebBrowser1` shows (a chosen
// file, a typed address, a blank page), the background image and colour of the shown page
// and all its frames, the commands on the shown document, and the navigation buttons.
// The main window owns one `Preview`, places its view, connects its events and calls the
// handlers below from its menus, toolbar and file list.
#pragma once

#include "BackgroundPlacement.h"
#include "GeneratedPage.h"
#include "OpenFileDialog.h"
#include "PreviewRules.h"

#include <QColor>
#include <QComboBox>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class QTimer;
class QWebEngineView;
class TWebBrowserInterface;

namespace zelvorin {

class BackgroundChoice;
class BrowserEvents;
class LiveReload;
class PreviewPage;
class PreviewProfile;
class ProgramPages;

// What a file chosen in the file list becomes: the background of the shown page, or the
// page itself.
enum class PreviewUse { Background, Document };

class Preview : public QObject {
    Q_OBJECT
public:
    // Browser command numbers of the document's command target.
    static constexpr int CopyCommand = 12;
    static constexpr int SelectAllCommand = 17;
    static constexpr int ZoomCommand = 19;
    static constexpr int LoadFileTimerInterval = 150;

    // The view is made a child of `viewParent`; `profile` must outlive it.
    Preview(PreviewProfile* profile, QWidget* viewParent, QObject* parent);
    ~Preview() override;

    QWebEngineView* WebBrowser1() const { return m_view; }
    PreviewPage* page() const { return m_page; }
    TWebBrowserInterface* browserInterface() const { return m_browser.get(); }
    BrowserEvents* events() const { return m_events; }
    QTimer* LoadFileTimer() const { return m_loadFileTimer; }
    // Reloads a local page when its files change ("Reload the page when it changes").
    LiveReload* liveReload() const { return m_liveReload; }
    // The chosen background's placement, notes, colour and CSS text.
    BackgroundChoice* background() const { return m_background; }
    bool stopFlag() const { return m_stopFlag; }
    bool isLoading() const { return m_loading || m_navigationPending; }

    // The open dialog of "Open document..." and "Change background..."; without one
    // those commands do nothing.
    void setOpenFileForm(zelvorin::OpenFileDialog* form) { m_openFileForm = form; }
    // The address box of the toolbar: its history starts as "about:blank", Enter opens.
    void setAddressBox(QComboBox* box);
    QComboBox* addressBox() const { return m_addressBox; }
    // Longest time a wait for a loading page may take (pages that never finish).
    void setWaitLimit(int milliseconds) { m_waitLimitMs = milliseconds; }

    void PreviewFile(const QString& path, PreviewUse use);
    // Opens an address in the browser. A command address never reaches the engine: it is
    // handed to `commandUrlRequested` as the user's own command.
    void OpenAddress(const QString& address);
    // Puts a page the program made into the browser: into the shown document when that is
    // one of the program's own, else into a fresh blank document made for it. False when
    // nothing is shown or the engine does not answer.
    bool ShowGeneratedPage(std::unique_ptr<GeneratedPage> page);
    ProgramPages* programPages() const { return m_programPages; }
    // The address under which the program's own pages show a local image.
    QString ProgramImageAddress(const QString& path);
    bool WaitWhileLoading();
    // Puts the image behind the shown page and every frame; returns the number of the
    // change, reported again by `backgroundApplied` once every frame has it.
    int SetPageBackgroundImage(const QString& path);
    int SetPageBackgroundColor(quint32 colour);
    // Lays out the chosen image anew in the shown page and every frame that shows it.
    int SetPageBackgroundLayout(const preview::BackgroundLayout& layout);
    quint32 GetPageBackgroundColor();
    bool SetPageScroll(bool scroll);
    bool SetPageBorder(int mode);
    int CountFrames();
    bool ExecBrowserCommand(int command, int option, const QVariant& input,
                            QVariant* output = nullptr);
    int GetBrowserZoom();
    QString GetDocumentSource();
    void SetBrowserSilent(bool silent);

    void FileListBox1Change(const QString& fileName, PreviewUse use);
    // The load timer's work, for the file the file list shows at that moment.
    void LoadFileTimerTimer(const QString& fileName, PreviewUse use);
    void GoButtonClick();
    void ClearPreviewAreaMenuItemClick();
    void OpenDocumentMenuItemClick();
    void ChangeBackgroundMenuItemClick();
    void SetBackgroundColorMenuItemClick();
    void CopyBackgroundColorMenuItemClick();
    void CopyMenuItemClick();
    void SelectAllMenuItemClick();
    void CopyHTMLContentsMenuItemClick();
    // The level whose font-size entry is to be checked, -1 for none.
    int ShowWBFontSize();
    bool ChangeWBFontSizeMenuItemClick(int level);
    void BackSpeedButtonClick();
    void ForwardSpeedButtonClick();
    void RefreshSpeedButton2Click();
    void StopSpeedButton2Click();

    // The text "Copy &background color" shows in its message box.
    static QString BackgroundColorMessage(const QString& colourText);

signals:
    // A file chosen in the list is about to be previewed (it exists).
    void previewingFile(const QString& path);
    // The load timer has fired: the receiver hands LoadFileTimerTimer the file shown.
    void loadFileTimerElapsed();
    // A command the user asked for: typed or opened by the program, or a command link
    // clicked in one of the program's own pages.
    void commandUrlRequested(const QString& url);
    void backgroundApplied(int requestId);
    // The image or colour put behind the shown page, to be put back when it is reloaded.
    void backgroundImageSet(const QString& path);
    void backgroundColorSet(quint32 colour);
    void loadingChanged(bool loading);
    void stopRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int applyToAllFrames(const QJsonObject& change);
    std::optional<QString> askForFile(const QString& caption, int kind);
    std::optional<QVariant> runOnTop(const QString& script);
    void setLoading(bool loading, bool pending);
    QColor resolveColor(quint32 colour) const;

    PreviewProfile* m_profile = nullptr;
    QWebEngineView* m_view = nullptr;
    PreviewPage* m_page = nullptr;
    std::unique_ptr<TWebBrowserInterface> m_browser;
    BrowserEvents* m_events = nullptr;
    ProgramPages* m_programPages = nullptr;
    LiveReload* m_liveReload = nullptr;
    BackgroundChoice* m_background = nullptr;
    QTimer* m_loadFileTimer = nullptr;
    QPointer<QComboBox> m_addressBox;
    QPointer<zelvorin::OpenFileDialog> m_openFileForm;
    bool m_loadGuard = false;
    bool m_stopFlag = true;
    bool m_loading = false;
    bool m_navigationPending = false;
    int m_waitLimitMs = 15000;
    int m_nextRequestId = 1;
    QColor m_lastChosenColor = Qt::white;
};

} // namespace zelvorin
