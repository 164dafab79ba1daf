// The window's handlers that pass a user's command on to a subsystem: the program's own
// command addresses, the gallery, the chosen file, the welcome page option, the font
// sizes and the browser's dialogs. Each is a line or two; the rules live in the
// subsystems.
#include "MainUnit.h"

#include "BackgroundChoice.h"
#include "CommandUrl.h"
#include "Downloads.h"
#include "FileListCommands.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "GalleryPageBuilder.h"
#include "HelpWindow.h"
#include "LiveReload.h"
#include "MainToolbar.h"
#include "Preview.h"
#include "ProgramValues.h"
#include "WebBrowserInterface.h"

#include <QWebEngineView>

#include <QAction>
#include <QActionGroup>
#include <QToolButton>

namespace st = zelvorin::settings;
using zelvorin::preview::CommandWord;

namespace {

// The file list's marked names (its gallery images) as the gallery reads them.
class ListedImages final : public zelvorin::GalleryNames {
public:
    explicit ListedImages(std::shared_ptr<const zelvorin::MarkedNames> names)
        : m_names(std::move(names)) {}
    qint64 count() const override { return m_names->count(); }
    QString name(qint64 index) const override { return m_names->name(index); }

private:
    std::shared_ptr<const zelvorin::MarkedNames> m_names;
};

zelvorin::PreviewUse previewUse(zelvorin::FilePurpose purpose) {
    return purpose == zelvorin::FilePurpose::Background ? zelvorin::PreviewUse::Background
                                                        : zelvorin::PreviewUse::Document;
}

} // namespace

void TMainForm::ExecuteCommandUrl(const QString& url) {
    // Commands fail silently: an error raised by the file column (a folder gone from disk
    // while a mask is applied) ends the command and nothing else.
    try {
        const zelvorin::preview::CommandUrl command = zelvorin::preview::ParseCommandUrl(url);
        switch (command.word) {
        case CommandWord::ShowHelpManual:
            zelvorin::ShowHelpTopic(m_values.HelpFileName(), QStringLiteral("MainScreen_link"));
            break;
        case CommandWord::Contacts:
            zelvorin::ShowHelpTopic(m_values.HelpFileName(), QStringLiteral("Contacts_link"));
            break;
        case CommandWord::ViewCleanBackgrounds:
            OpenAddress(QStringLiteral("about:blank"));
            m_mainFilePanel->selectFilter(0);
            break;
        case CommandWord::ViewLocalHtmlFiles:
            m_mainFilePanel->selectFilter(1);
            break;
        case CommandWord::SetBackgroundsFilter:
            m_mainFilePanel->selectFilter(0);
            break;
        case CommandWord::ImgList:
            if (command.argumentsValid)
                ShowGalleryPage(command.first, command.perPage);
            break;
        case CommandWord::SwitchWelcomePageView: {
            TWebBrowserInterface* browser = m_preview->browserInterface();
            const auto box =
                browser->FindElement(browser->Document(), QStringLiteral("ShowPageCheckBox"), 0);
            // An unreadable check box counts as cleared.
            const QVariant checked =
                box ? browser->GetElementAttribute(*box, QStringLiteral("checked")) : QVariant();
            SetShowWelcomePage(checked.typeId() == QMetaType::Bool && checked.toBool());
            break;
        }
        case CommandWord::None:
            break;
        }
    } catch (...) {
    }
}

void TMainForm::OpenAddress(const QString& address) {
    m_preview->OpenAddress(address);
}

void TMainForm::ShowImageGalleryMenuItemClick() {
    OpenAddress(QStringLiteral("zelvorin://imglist/1,") +
                QString::number(zelvorin::GalleryItemsPerPage));
}

void TMainForm::ShowGalleryPage(int first, int perPage) {
    // The list's image names as they are now, in list order: the page reads only its own.
    auto names = std::make_shared<ListedImages>(m_mainFilePanel->session()->files()->markedNames());
    zelvorin::Preview* preview = m_preview;
    m_preview->ShowGeneratedPage(std::make_unique<zelvorin::GalleryPageBuilder>(
        m_mainFilePanel->session()->folder(), std::move(names), first, perPage, m_galleryStyle,
        [preview](const QString& path) { return preview->ProgramImageAddress(path); }));
}

void TMainForm::LoadHtmlText(const QString& text) {
    m_preview->ShowGeneratedPage(std::make_unique<zelvorin::FixedPage>(text));
}

void TMainForm::ThumbnailListMenuItemClick(QAction* sender) {
    sender->setChecked(true);
    m_galleryStyle = quint8(sender->data().toInt());
}

void TMainForm::FindItem1Click() {
    // Cycles 0 -> 1 -> 2 -> 0; other values stay, and the radio marks are left alone.
    if (m_galleryStyle <= 2)
        m_galleryStyle = quint8((m_galleryStyle + 1) % 3);
}

void TMainForm::previewChosenFile(const QString& path, zelvorin::FilePurpose purpose) {
    m_preview->FileListBox1Change(path, previewUse(purpose));
}

void TMainForm::LoadFileTimerTimer() {
    m_preview->LoadFileTimerTimer(m_mainFilePanel->session()->chosenFile(),
                                  previewUse(m_mainFilePanel->session()->purpose()));
}

void TMainForm::SetShowWelcomePage(bool show) {
    m_menus.ShowWelcomePageOnStartMenuItem->setChecked(show);
    Settings().write(st::ShowWelcomePage, show);
}

void TMainForm::ShowWelcomePageOnStartMenuItemClick() {
    SetShowWelcomePage(!m_menus.ShowWelcomePageOnStartMenuItem->isChecked());
}

void TMainForm::ShowWBFontSize() {
    const int level = m_preview->ShowWBFontSize();
    // A level outside 0 to 4 changes no mark.
    for (QAction* entry : m_menus.FontSizeGroup->actions())
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
    const bool silent = m_menus.HideDialoguesOfWebBrowserMenuItem->isChecked();
    m_preview->SetBrowserSilent(silent);
    Settings().write(st::HideBrowserDialogues, silent);
}

void TMainForm::ShowFileThumbnailsMenuItemClick() {
    // The action has flipped its own mark already; the choice is kept at once.
    const bool show = m_menus.ShowFileThumbnailsMenuItem->isChecked();
    m_mainFilePanel->fileList()->setShowsThumbnails(show);
    if (m_created)
        Settings().write(st::ShowThumbnails, show);
}

void TMainForm::ReloadChangedPageMenuItemClick() {
    const bool reload = m_menus.ReloadChangedPageMenuItem->isChecked();
    m_preview->liveReload()->setEnabled(reload);
    if (m_created)
        Settings().write(st::ReloadChangedPage, reload);
}

void TMainForm::BackgroundPlacementMenuItemClick(QAction* entry) {
    zelvorin::preview::BackgroundLayout layout = m_preview->background()->Layout();
    layout.placement = zelvorin::preview::PlacementFromStored(entry->data().toInt());
    m_preview->background()->SetLayout(layout);
}

void TMainForm::BackgroundFixedMenuItemClick() {
    // The action has flipped its own mark already.
    zelvorin::preview::BackgroundLayout layout = m_preview->background()->Layout();
    layout.fixed = m_menus.BackgroundFixedMenuItem->isChecked();
    m_preview->background()->SetLayout(layout);
}

void TMainForm::ShowBackgroundLayout(const zelvorin::preview::BackgroundLayout& layout) {
    namespace bg = zelvorin::preview;
    for (QAction* entry : m_menus.BackgroundPlacementGroup->actions())
        if (entry->data().toInt() == bg::StoredPlacement(layout.placement))
            entry->setChecked(true);
    m_menus.BackgroundFixedMenuItem->setChecked(layout.fixed);
    QString hint = bg::PlacementCaption(layout.placement);
    if (layout.fixed)
        hint += QStringLiteral(", ") + bg::FixedCaption().toLower();
    m_toolbar->PlacementSpeedButton->setToolTip(
        QStringLiteral(" %1: %2 ").arg(bg::PlacementMenuTitle().remove(QLatin1Char('&')), hint));
    if (m_created)
        bg::WriteBackgroundLayout(Settings(), layout);
}

void TMainForm::ShowFirstPage(bool welcome) {
    if (!welcome || !m_preview->browserInterface()->ShowResourcePage(QStringLiteral("WELCOMEPAGE")))
        m_preview->OpenAddress(QStringLiteral("about:blank"));
    m_preview->browserInterface()->ResetNavigation();
    m_preview->WaitWhileLoading();
}

void TMainForm::FormClose() {
    m_mainFilePanel->commands()->stopTakingDrops();
    // A download cut short by the program's end would leave a part of a file behind.
    m_downloads->cancelAll();
}
