// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window's preview: what the browser shows (a chosen file, a typed address, a
// blank page, a page the program writes), the background image and colour of the shown
// page and all its frames, the commands on the shown document, and the navigation
// buttons. The main window owns one `Preview`, places its view, connects its signals and
// calls the operations below from its menus, toolbar and file list.
//
// The preview never waits: it acts on the engine's signals. A request that needs the page
// to have loaded (a file chosen while a page loads, the blank page's white; a page the
// program writes, see ProgramPages) waits for the end of the load, a newer request of the
// same kind replacing the waiting one; Stop, or a load that does not end within the wait
// limit, lets the waiting requests go as a finished load does. Whatever the engine
// answers later (a read, a copy, a written page) comes back by callback or signal.
#pragma once

#include "BackgroundPlacement.h"
#include "OpenFileDialog.h"

#include <QColor>
#include <QComboBox>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QTimer;
class QWebEngineView;

namespace zelvorin {

class BackgroundChoice;
class BrowserEvents;
class BrowserNavigation;
class LiveReload;
class PreviewPage;
class PreviewProfile;
class ProgramPages;
class ShownDocument;

// What a file chosen in the file list becomes: the background of the shown page, or the
// page itself.
enum class PreviewUse { Background, Document };

class Preview : public QObject {
    Q_OBJECT
public:
    // Numbers of the commands on the shown document (runDocumentCommand).
    static constexpr int CopyCommand = 12;
    static constexpr int SelectAllCommand = 17;
    static constexpr int ZoomCommand = 19;
    // The file shown at start is previewed this long after the preview is made.
    static constexpr int StartPreviewDelay = 150;

    // The view is made a child of `viewParent`; `profile` must outlive it.
    Preview(PreviewProfile* profile, QWidget* viewParent, QObject* parent);
    ~Preview() override;

    QWebEngineView* view() const { return m_view; }
    PreviewPage* page() const { return m_page; }
    BrowserNavigation* navigation() const { return m_navigation.get(); }
    ShownDocument* document() const { return m_document; }
    BrowserEvents* events() const { return m_events; }
    ProgramPages* programPages() const { return m_programPages; }
    // Reloads a local page when its files change ("Reload the page when it changes").
    LiveReload* liveReload() const { return m_liveReload; }
    // The chosen background's placement, notes, colour and CSS text.
    BackgroundChoice* background() const { return m_background; }
    // The one-shot timer that previews the file shown at start (see startPreviewDue).
    QTimer* startPreviewTimer() const { return m_startPreviewTimer; }
    // The preview's background work (the tile analysis): one worker, as each request
    // replaces the one before.
    QThreadPool* workers() { return &m_workers; }
    // Whether a load runs (or the program has asked for one that has not started yet).
    bool isLoading() const;

    // The open dialog of "Open document..." and "Change background..."; without one
    // those commands do nothing.
    void setOpenFileForm(zelvorin::OpenFileDialog* form) { m_openFileForm = form; }
    // The address box of the toolbar: its history starts as "about:blank", Enter opens.
    void setAddressBox(QComboBox* box);
    QComboBox* addressBox() const { return m_addressBox; }
    // The longest a request waits for a load (pages that never finish); then it goes.
    void setWaitLimit(int milliseconds);

    // A file chosen in the file list: previewed now, or once the page loading has loaded.
    void previewChosenFile(const QString& path, PreviewUse use);
    // The file the list shows at start, when the start timer fires.
    void previewFileAtStart(const QString& path, PreviewUse use);
    // An existing file as a background or as the page; nothing for a path that is no file.
    void previewFile(const QString& path, PreviewUse use);
    // Runs the task once the load under way has ended (at once without one), in the order
    // asked, while `context` lives: what reads or changes the shown document after the
    // program opened an address sees the new document.
    void whenLoaded(const QObject* context, std::function<void()> task);
    // Opens an address in the browser. A command address never reaches the engine: it is
    // handed to `commandUrlRequested` as the user's own command.
    void openAddress(const QString& address);
    // The address under which the program's own pages show a local image.
    QString programImageAddress(const QString& path);

    // Puts the image behind the shown page and every frame; returns the number of the
    // change, reported again by `backgroundApplied` once every frame has it.
    int setBackgroundImage(const QString& path);
    // An invalid colour stands for the desktop's window colour.
    int setBackgroundColour(const QColor& colour);
    // Lays out the chosen image anew in the shown page and every frame that shows it.
    int setBackgroundLayout(const preview::BackgroundLayout& layout);
    // A command on the shown document (copy, select all, zoom with a level to set or
    // none, the level given back); false for any other number or without a document.
    bool runDocumentCommand(int command, const QVariant& input, QVariant* output = nullptr);
    // The shown document as its author would keep it, a long page of the program's whole;
    // nothing when there is no document or the engine does not answer.
    void readDocumentSource(const QObject* context,
                            std::function<void(std::optional<QString>)> done);
    void setSilent(bool silent);

    // The user's commands.
    void openTypedAddress();
    void clearPreviewArea();
    void openDocument();
    void chooseBackgroundImage();
    void chooseBackgroundColour();
    void copyBackgroundColour();
    void copySelection();
    void selectAll();
    void copyDocumentSource();
    // The level whose font-size entry is to be checked, -1 for none.
    int fontSizeLevel();
    bool setFontSizeLevel(int level);
    void goBack();
    void goForward();
    void reload();
    void stop();

    // The text "Copy &background color" shows in its message box.
    static QString backgroundColourMessage(const QString& colourText);

signals:
    // A file chosen in the list is about to be previewed (it exists).
    void previewingFile(const QString& path);
    // The start timer has fired: the receiver hands previewFileAtStart the file shown.
    void startPreviewDue();
    // A command the user asked for: typed or opened by the program, or a command link
    // clicked in one of the program's own pages.
    void commandUrlRequested(const QString& url);
    void backgroundApplied(int requestId);
    // The image or colour put behind the shown page, to be put back when it is reloaded.
    void backgroundImageSet(const QString& path);
    void backgroundColourSet(const QColor& colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct WaitingFile {
        QString path;
        PreviewUse use;
    };
    void waitForLoad();
    void loadEnded();
    void prepareBlankPage();
    int applyToAllFrames(const QJsonObject& change);
    std::optional<QString> askForFile(const QString& caption, int kind);

    PreviewProfile* m_profile = nullptr;
    QWebEngineView* m_view = nullptr;
    PreviewPage* m_page = nullptr;
    std::unique_ptr<BrowserNavigation> m_navigation;
    ShownDocument* m_document = nullptr;
    BrowserEvents* m_events = nullptr;
    ProgramPages* m_programPages = nullptr;
    LiveReload* m_liveReload = nullptr;
    BackgroundChoice* m_background = nullptr;
    QTimer* m_startPreviewTimer = nullptr;
    QTimer* m_waitLimit = nullptr;
    QPointer<QComboBox> m_addressBox;
    QPointer<zelvorin::OpenFileDialog> m_openFileForm;
    // The blank page asked for is made white once it has loaded; not when another load has
    // started since its own (Qt 6.8 may tell the blank page's end after that).
    enum class BlankPreparation { None, Asked, Loading };
    BlankPreparation m_blankToPrepare = BlankPreparation::None;
    // Waiting for the end of the load under way.
    std::optional<WaitingFile> m_waitingFile;
    std::vector<std::pair<QPointer<const QObject>, std::function<void()>>> m_afterLoad;
    int m_nextChange = 1;
    QColor m_lastChosenColour = Qt::white;
    QThreadPool m_workers; // last: its work ends before the rest goes
};

} // namespace zelvorin
