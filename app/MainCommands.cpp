// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's handlers that pass a user's command on to a subsystem: the program's own
// command addresses, the gallery, the chosen file, the web copy, the welcome page option,
// the font sizes and the browser's dialogs. Each is a line or two; the rules live in the
// subsystems.
#include "MainWindow.h"

#include "ActionRegistry.h"
#include "BackgroundChoice.h"
#include "BrowserNavigation.h"
#include "CommandUrl.h"
#include "Downloads.h"
#include "FileListCommands.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "GalleryPageBuilder.h"
#include "LiveReload.h"
#include "LosslessNames.h"
#include "MainMenus.h"
#include "MainToolbar.h"
#include "PageFrame.h"
#include "PageWidth.h"
#include "Preview.h"
#include "ProgramPages.h"
#include "ProgramValues.h"
#include "ShownDocument.h"
#include "SideView.h"
#include "StatusBar.h"
#include "StatusReports.h"
#include "WebCopyDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolButton>
#include <QWebEngineView>

#include <utility>

namespace zelvorin {

namespace st = settings;

namespace {

// The file list's marked names (its gallery images) as the gallery reads them.
class ListedImages final : public GalleryNames {
public:
    explicit ListedImages(std::shared_ptr<const MarkedNames> names) : m_names(std::move(names)) {}
    qint64 count() const override { return m_names->count(); }
    QString name(qint64 index) const override { return m_names->name(index); }

private:
    std::shared_ptr<const MarkedNames> m_names;
};

PreviewUse previewUse(FilePurpose purpose) {
    return purpose == FilePurpose::Background ? PreviewUse::Background : PreviewUse::Document;
}

} // namespace

void MainWindow::runCommandAddress(const QString& url) {
    const preview::CommandUrl command = preview::ParseCommandUrl(url);
    // A gallery page is the one command with arguments; an address whose numbers do not
    // read names no page, and does nothing.
    if (command.word == preview::CommandWord::ImgList) {
        if (!command.argumentsValid)
            return;
        showGalleryPage(command.first, command.perPage);
        return;
    }
    if (QAction* action = m_actions->action(command.word))
        action->trigger();
}

void MainWindow::openAddress(const QString& address) {
    m_preview->openAddress(address);
}

void MainWindow::showImageGallery() {
    openAddress(QStringLiteral("zelvorin://imglist/1,") + QString::number(GalleryItemsPerPage));
}

void MainWindow::showGalleryPage(int first, int perPage) {
    // Nothing is shown at all (the preview has never had a document): nothing to put the
    // page into, and nothing the user would miss.
    if (m_webView->url().isEmpty())
        return;
    // The list's image names as they are now, in list order: the page reads only its own.
    auto names = std::make_shared<ListedImages>(m_filePanel->session()->files()->markedNames());
    Preview* preview = m_preview;
    m_galleryRequest = m_preview->programPages()->show(std::make_unique<GalleryPageBuilder>(
        m_filePanel->session()->folder(), std::move(names), first, perPage, m_galleryStyle,
        [preview](const QString& path) { return preview->programImageAddress(path); }));
}

void MainWindow::galleryPageShown(int request, bool written) {
    // A page a newer one replaced is no failure.
    if (written || request != m_galleryRequest)
        return;
    tellFailure(Failure{tr("Could not show the image gallery"),
                        tr("the preview did not load a page of the program's own to hold it")});
}

void MainWindow::showPageText(const QString& text) {
    m_preview->programPages()->show(std::make_unique<FixedPage>(text));
}

void MainWindow::setGalleryStyle(int style) {
    m_galleryStyle = quint8(style);
    m_actions->markValue(MenuId::GalleryStyle, style);
}

void MainWindow::cycleGalleryStyle() {
    // Cycles 0 -> 1 -> 2 -> 0; a stored style beyond them stays.
    if (m_galleryStyle <= 2)
        setGalleryStyle((m_galleryStyle + 1) % 3);
}

void MainWindow::previewChosenFile(const QString& path, FilePurpose purpose) {
    m_preview->previewChosenFile(path, previewUse(purpose));
}

void MainWindow::previewStartingFile() {
    m_preview->previewFileAtStart(m_filePanel->session()->chosenFile(),
                                  previewUse(m_filePanel->session()->purpose()));
}

void MainWindow::setShowWelcomePage(bool show) {
    m_actions->action(Command::ShowWelcomePageOnStart)->setChecked(show);
    settings().write(st::ShowWelcomePage, show);
}

void MainWindow::switchWelcomePageFromPage() {
    // The check box of the page shown once the load under way has ended.
    m_preview->whenLoaded(this, [this] {
        m_preview->document()->readElementAttribute(
            QStringLiteral("ShowPageCheckBox"), 0, QStringLiteral("checked"), this,
            [this](const QVariant& checked) {
                // An unreadable check box counts as cleared.
                setShowWelcomePage(checked.typeId() == QMetaType::Bool && checked.toBool());
            });
    });
}

void MainWindow::viewCleanBackgrounds() {
    openAddress(QStringLiteral("about:blank"));
    m_filePanel->selectFilter(0);
}

void MainWindow::markFontSize() {
    // A level outside 0 to 4 changes no mark.
    m_actions->markValue(MenuId::FontSize, m_preview->fontSizeLevel());
}

void MainWindow::setFontSize(int level) {
    // On failure the marks go back to the level the browser still has.
    m_preview->setFontSizeLevel(level);
    markFontSize();
}

void MainWindow::setBrowserDialoguesHidden(bool hidden) {
    m_preview->setSilent(hidden);
    settings().write(st::HideBrowserDialogues, hidden);
}

void MainWindow::setFileThumbnailsShown(bool shown) {
    m_filePanel->fileList()->setShowsThumbnails(shown);
    if (m_created)
        settings().write(st::ShowThumbnails, shown);
}

void MainWindow::setChangedPageReloaded(bool reloaded) {
    m_preview->liveReload()->setEnabled(reloaded);
    if (m_created)
        settings().write(st::ReloadChangedPage, reloaded);
}

void MainWindow::setBackgroundPlacement(int stored) {
    preview::BackgroundLayout layout = m_preview->background()->layout();
    layout.placement = preview::PlacementFromStored(stored);
    m_preview->background()->setLayout(layout);
}

void MainWindow::setBackgroundFixed(bool fixed) {
    preview::BackgroundLayout layout = m_preview->background()->layout();
    layout.fixed = fixed;
    m_preview->background()->setLayout(layout);
}

void MainWindow::setPageWidth(int cssWidth) {
    cssWidth = preview::PageWidthFromStored(cssWidth);
    m_pageFrame->setCssWidth(0, cssWidth);
    if (m_sideView)
        m_pageFrame->setCssWidth(1, sideViewWidth());
    m_actions->markValue(MenuId::View, cssWidth);
    const QString name = m_actions->group(MenuId::View)->checkedAction()->text().remove('&');
    m_toolbar->pageWidthButton()->setText(name);
    m_toolbar->pageWidthButton()->setToolTip(
        QStringLiteral(" %1: %2 ").arg(m_menus->menu(MenuId::View)->title().remove('&'), name));
    if (m_created)
        preview::WritePageWidth(settings(), cssWidth);
}

void MainWindow::setSideBySide(bool shown) {
    m_actions->action(Command::SideBySide)->setChecked(shown);
    if (shown && !m_sideView) {
        m_sideView = new SideView(m_preview, m_profile, this);
        m_pageFrame->addView(m_sideView->view(), sideViewWidth());
    } else if (!shown) {
        closeSideView();
    }
    if (m_created)
        settings().write(st::SideBySide, shown);
}

void MainWindow::closeSideView() {
    if (!m_sideView)
        return;
    m_pageFrame->removeView(m_sideView->view());
    delete std::exchange(m_sideView, nullptr);
}

void MainWindow::setSideWidth(int chosen) {
    chosen = preview::PageWidthFromStored(chosen);
    m_actions->markValue(MenuId::SideWidth, chosen);
    if (m_sideView)
        m_pageFrame->setCssWidth(1, sideViewWidth());
    if (m_created)
        preview::WriteSideWidth(settings(), chosen);
}

int MainWindow::sideViewWidth() const {
    const QAction* chosen = m_actions->group(MenuId::SideWidth)->checkedAction();
    return preview::SideBySideWidth(m_pageFrame->cssWidth(0),
                                    chosen ? actionValue(chosen) : preview::AutomaticSideWidth);
}

void MainWindow::saveWebCopy() {
    const QString image = m_preview->background()->image();
    if (image.isEmpty())
        return;
    auto* dialog = new WebCopyDialog(platform::encodePath(image), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &WebCopyDialog::saved, m_statusReports, [this](const QString& text) {
        m_statusReports->setText(StatusReports::Source::Note, text);
    });
    dialog->open();
}

void MainWindow::showBackgroundLayout(const preview::BackgroundLayout& layout) {
    m_actions->markValue(MenuId::BackgroundPlacement, preview::StoredPlacement(layout.placement));
    m_actions->action(Command::FixedWhileScrolling)->setChecked(layout.fixed);
    QString hint = preview::PlacementCaption(layout.placement);
    if (layout.fixed)
        hint += QStringLiteral(", ") + preview::FixedCaption().toLower();
    m_toolbar->placementButton()->setToolTip(
        QStringLiteral(" %1: %2 ")
            .arg(preview::PlacementMenuTitle().remove(QLatin1Char('&')), hint));
    if (m_created)
        preview::WriteBackgroundLayout(settings(), layout);
}

void MainWindow::showFirstPage(bool welcome) {
    if (!welcome || !m_preview->navigation()->showResourcePage(QStringLiteral("WELCOMEPAGE")))
        m_preview->openAddress(QStringLiteral("about:blank"));
    m_preview->navigation()->resetNavigation();
}

void MainWindow::stopAtClose() {
    m_filePanel->commands()->stopTakingDrops();
    // A download cut short by the program's end would leave a part of a file behind.
    m_downloads->cancelAll();
}

} // namespace zelvorin
