// The main window's side of the preview: it places the browser, hands the preview what it
// needs from the rest of the window (filter, selected file, dialogs), binds the menus and
// buttons to the preview's handlers and shows the browser's events in the caption, the
// status bar and the event log.
#include "MainUnit.h"

#include "BrowserEvents.h"
#include "FilePanel.h"
#include "OpenFileUnit.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "StatusBar.h"
#include "WebBrowserInterface.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QWebEngineView>

namespace st = zelvorin::settings;

void TMainForm::createPreview(QWidget* viewParent) {
    m_profile = new zelvorin::PreviewProfile(this);
    // The preview lives with the panel that holds its view, so both go together.
    m_preview = new zelvorin::Preview(m_profile, viewParent, viewParent);
    WebBrowser1 = m_preview->WebBrowser1();
    WebBrowser1->setObjectName("WebBrowser1");
    WebBrowser1->setAccessibleName(QStringLiteral("Preview"));
}

void TMainForm::connectPreview() {
    zelvorin::Preview* preview = m_preview;
    zelvorin::Preview::Hooks hooks;
    hooks.filterIndex = [this] { return MainFilePanel->FilterComboBox1()->currentIndex(); };
    hooks.addLastFolder = [this] { AddShownFolderToLastFolders(); };
    hooks.fileName = [this] { return MainFilePanel->FileListBox1()->FileName(); };
    hooks.showMessage = [this](const QString& title, const QString& text) {
        QMessageBox::information(this, title, text);
    };
    hooks.chooseColor = [this](const QColor& initial) -> std::optional<QColor> {
        // Full dialog, solid colours only, any colour allowed.
        const QColor chosen = QColorDialog::getColor(initial, this);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
    hooks.openFile = [this](const QString& caption, int kind) -> std::optional<QString> {
        OpenFileForm->setWindowTitle(caption);
        if (!OpenFileForm->Execute(kind))
            return std::nullopt;
        return OpenFileForm->FileName();
    };
    preview->setHooks(std::move(hooks));
    preview->setAddressBox(AddressComboBox);
    connect(preview, &zelvorin::Preview::commandUrlRequested, this, &TMainForm::ExecuteCommandUrl);

    const auto bind = [this, preview](QAction* action, void (zelvorin::Preview::*handler)()) {
        connect(action, &QAction::triggered, preview, handler);
    };
    const auto bindButton = [preview](QToolButton* button, void (zelvorin::Preview::*handler)()) {
        connect(button, &QToolButton::clicked, preview, handler);
    };
    bind(OpenDocumentMenuItem, &zelvorin::Preview::OpenDocumentMenuItemClick);
    bind(ChangeBackgroundMenuItem, &zelvorin::Preview::ChangeBackgroundMenuItemClick);
    bind(CopyMenuItem, &zelvorin::Preview::CopyMenuItemClick);
    bind(CopyBackgroundColorMenuItem, &zelvorin::Preview::CopyBackgroundColorMenuItemClick);
    bind(CopyHTMLContentsMenuItem, &zelvorin::Preview::CopyHTMLContentsMenuItemClick);
    bind(SelectAllMenuItem, &zelvorin::Preview::SelectAllMenuItemClick);
    bind(SetBackgroundColorMenuItem, &zelvorin::Preview::SetBackgroundColorMenuItemClick);
    bind(ClearPreviewAreaMenuItem, &zelvorin::Preview::ClearPreviewAreaMenuItemClick);
    bindButton(SpeedButton1, &zelvorin::Preview::SetBackgroundColorMenuItemClick);
    bindButton(SpeedButton2, &zelvorin::Preview::CopyMenuItemClick);
    bindButton(SpeedButton3, &zelvorin::Preview::ClearPreviewAreaMenuItemClick);
    bindButton(GoButton, &zelvorin::Preview::GoButtonClick);
    bindButton(BackSpeedButton, &zelvorin::Preview::BackSpeedButtonClick);
    bindButton(ForwardSpeedButton, &zelvorin::Preview::ForwardSpeedButtonClick);
    bindButton(RefreshSpeedButton, &zelvorin::Preview::RefreshSpeedButton2Click);
    bindButton(StopSpeedButton, &zelvorin::Preview::StopSpeedButton2Click);

    connect(FontSizeMenuItem, &QMenu::aboutToShow, this, &TMainForm::ShowWBFontSize);
    for (QAction* entry : m_fontSizeGroup->actions())
        connect(entry, &QAction::triggered, this,
                [this, entry] { ChangeWBFontSizeMenuItemClick(entry); });
    connect(HideDialoguesOfWebBrowserMenuItem, &QAction::triggered, this,
            &TMainForm::HideDialoguesOfWebBrowserMenuItemClick);

    zelvorin::BrowserEvents* events = preview->events();
    connect(events, &zelvorin::BrowserEvents::logLine, this, &TMainForm::AddLogLine);
    connect(events, &zelvorin::BrowserEvents::captionChanged, this,
            [this](const QString& caption, const QString&) { setWindowTitle(caption); });
    connect(events, &zelvorin::BrowserEvents::statusTextChanged, this,
            [this](const QString& text) { dfsStatusBar1->SetPanelText(2, text); });
    connect(events, &zelvorin::BrowserEvents::gaugeChanged, this,
            [this](bool enabled, int position) {
                dfsStatusBar1->SetPanelEnabled(1, enabled);
                dfsStatusBar1->SetGaugePosition(1, unsigned(qBound(0, position, 100)));
                dfsStatusBar1->Repaint();
            });
    connect(events, &zelvorin::BrowserEvents::backForwardChanged, this,
            [this](bool back, bool forward) {
                BackSpeedButton->setEnabled(back);
                ForwardSpeedButton->setEnabled(forward);
            });
}

void TMainForm::FileListBox1Change() {
    m_preview->FileListBox1Change(MainFilePanel->FileListBox1()->FileName());
}

void TMainForm::OpenAddress(const QString& address) {
    m_preview->OpenAddress(address);
}

void TMainForm::ShowWBFontSize() {
    const int level = m_preview->ShowWBFontSize();
    // A level outside 0 to 4 changes no mark.
    for (QAction* entry : m_fontSizeGroup->actions())
        if (entry->data().toInt() == level)
            entry->setChecked(true);
}

void TMainForm::ChangeWBFontSizeMenuItemClick(QAction* entry) {
    // On failure the marks go back to the level the browser still has.
    m_preview->ChangeWBFontSizeMenuItemClick(entry->data().toInt());
    ShowWBFontSize();
}

void TMainForm::HideDialoguesOfWebBrowserMenuItemClick() {
    // The action has flipped its own mark already.
    const bool silent = HideDialoguesOfWebBrowserMenuItem->isChecked();
    m_preview->SetBrowserSilent(silent);
    Settings().Write(st::HideBrowserDialogues, silent);
}

void TMainForm::ShowFirstPage(bool welcome) {
    if (!welcome || !m_preview->browserInterface()->ShowResourcePage(QStringLiteral("WELCOMEPAGE")))
        m_preview->OpenAddress(QStringLiteral("about:blank"));
    m_preview->browserInterface()->ResetNavigation();
    m_preview->WaitWhileLoading();
}
