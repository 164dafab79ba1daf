// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Preview.h"

#include "AddressHistory.h"
#include "BackgroundChoice.h"
#include "BrowserEvents.h"
#include "BrowserNavigation.h"
#include "FileStamp.h"
#include "HighDensityImage.h"
#include "LiveReload.h"
#include "LosslessNames.h"
#include "OpenFileDialog.h"
#include "PageScripts.h"
#include "PageZoom.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewRules.h"
#include "ProgramPages.h"
#include "ProgramValues.h"
#include "ShownDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QSignalBlocker>
#include <QTimer>
#include <QWebEngineView>

namespace zelvorin {

namespace {

// How long a request waits for a load that does not end.
constexpr int DefaultWaitLimit = 15000;

// Looked at by its bytes: a path text need not be a text Qt can open.
bool isFile(const QString& path) {
    return !path.isEmpty() && platform::fileStamp(platform::encodePath(path)).regular;
}

// The desktop's window colour stands in for a colour the page does not give.
QColor shownColour(const QColor& colour) {
    return colour.isValid() ? colour : QApplication::palette().color(QPalette::Base);
}

} // namespace

Preview::Preview(PreviewProfile* profile, QWidget* viewParent, QObject* parent)
    : QObject(parent), m_profile(profile) {
    // Tile analyses replace each other: a second worker would only slow the newest down.
    m_workers.setMaxThreadCount(1);
    m_view = new QWebEngineView(viewParent);
    m_view->setObjectName(QStringLiteral("WebBrowser1"));
    m_view->setAccessibleName(tr("Preview"));
    m_page = new PreviewPage(profile, m_view);
    m_view->setPage(m_page);
    m_navigation = std::make_unique<BrowserNavigation>(m_view);
    m_document = new ShownDocument(m_page, &profile->localImages(), this);
    m_events = new BrowserEvents(m_view, m_page, m_navigation.get(), this);

    connect(m_page, &QWebEnginePage::loadFinished, this, &Preview::loadEnded);
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        m_blankToPrepare = m_blankToPrepare == BlankPreparation::Asked ? BlankPreparation::Loading
                                                                       : BlankPreparation::None;
    });
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        // Only the blank page asked for is made white.
        if (url != QUrl(preview::BlankAddress))
            m_blankToPrepare = BlankPreparation::None;
        // A navigation within the document reports no load; its address change ends the
        // wait for it.
        if (!isLoading())
            loadEnded();
    });
    connect(m_page, &PreviewPage::changeApplied, this, &Preview::backgroundApplied);
    connect(m_page, &PreviewPage::commandUrlRequested, this, &Preview::commandUrlRequested);
    m_programPages = new ProgramPages(
        m_page,
        [this](const QObject* context, std::function<void()> task) {
            whenLoaded(context, std::move(task));
        },
        this);
    m_liveReload = new LiveReload(this, this);
    m_background = new BackgroundChoice(this, this);

    m_waitLimit = new QTimer(this);
    m_waitLimit->setSingleShot(true);
    m_waitLimit->setInterval(DefaultWaitLimit);
    connect(m_waitLimit, &QTimer::timeout, this, &Preview::loadEnded);

    m_startPreviewTimer = new QTimer(this);
    m_startPreviewTimer->setObjectName(QStringLiteral("LoadFileTimer"));
    m_startPreviewTimer->setSingleShot(true);
    m_startPreviewTimer->setInterval(StartPreviewDelay);
    connect(m_startPreviewTimer, &QTimer::timeout, this, &Preview::startPreviewDue);
    m_startPreviewTimer->start();
}

Preview::~Preview() {
    m_navigation.reset();
    if (m_view && !m_view->parent())
        delete m_view;
}

void Preview::setAddressBox(QComboBox* box) {
    m_addressBox = box;
    if (!box)
        return;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxCount(preview::AddressHistorySize);
    {
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItems(preview::InitialAddressHistory());
        box->setEditText(QString());
    }
    box->installEventFilter(this);
    if (box->lineEdit())
        box->lineEdit()->installEventFilter(this);
}

void Preview::setWaitLimit(int milliseconds) {
    m_waitLimit->setInterval(milliseconds);
}

bool Preview::eventFilter(QObject* watched, QEvent* event) {
    if (m_addressBox && (watched == m_addressBox || watched == m_addressBox->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto held =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !held) {
            openTypedAddress();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool Preview::isLoading() const {
    return m_page->loadUnderWay();
}

void Preview::waitForLoad() {
    if (!m_waitLimit->isActive())
        m_waitLimit->start();
}

// The end of a load (or of the wait for it): what waited for it goes, and the blank page
// the user asked for is made white.
void Preview::loadEnded() {
    m_waitLimit->stop();
    if (m_blankToPrepare != BlankPreparation::None &&
        m_page->url() == QUrl(preview::BlankAddress)) {
        m_blankToPrepare = BlankPreparation::None;
        // Qt 6.8 may tell the end of the next page's load before its address: the blank
        // page is made white only when it is still the page once the address has come.
        QTimer::singleShot(0, this, [this] {
            if (m_page->url() == QUrl(preview::BlankAddress))
                prepareBlankPage();
        });
    }
    if (m_waitingFile) {
        const WaitingFile file = *std::exchange(m_waitingFile, std::nullopt);
        previewFile(file.path, file.use);
    }
    // A task may open another address; what it asks for then waits for that load.
    for (auto& [context, task] : std::exchange(m_afterLoad, {}))
        if (context)
            task();
}

void Preview::whenLoaded(const QObject* context, std::function<void()> task) {
    if (!isLoading()) {
        task();
        return;
    }
    m_afterLoad.emplace_back(context, std::move(task));
    waitForLoad();
}

void Preview::prepareBlankPage() {
    // White, without scroll bars and without the page's border.
    setBackgroundColour(Qt::white);
    m_document->setScroll(false);
    m_document->setBorder(1);
}

void Preview::previewChosenFile(const QString& path, PreviewUse use) {
    m_startPreviewTimer->stop();
    if (isLoading()) {
        // A newer choice replaces the one waiting.
        m_waitingFile = WaitingFile{path, use};
        waitForLoad();
        return;
    }
    previewFile(path, use);
}

void Preview::previewFileAtStart(const QString& path, PreviewUse use) {
    m_startPreviewTimer->stop();
    previewFile(path, use);
}

void Preview::previewFile(const QString& path, PreviewUse use) {
    if (!isFile(path))
        return;
    emit previewingFile(path);
    if (use == PreviewUse::Background)
        setBackgroundImage(path);
    else
        openAddress(path);
}

void Preview::openAddress(const QString& address) {
    const QString target = preview::AddressToGo(address);
    if (preview::IsCommandAddress(target)) {
        // A command leaves the page alone: one that needs the page waits for its load.
        if (m_addressBox)
            m_addressBox->setEditText(QString());
        emit commandUrlRequested(target);
        return;
    }
    m_page->triggerAction(QWebEnginePage::Stop);
    // What waited for the load stopped goes now, before the page is left.
    loadEnded();
    const QUrl url = preview::UrlForAddress(target);
    m_blankToPrepare = target.toLower() == preview::BlankAddress ? BlankPreparation::Asked
                                                                 : BlankPreparation::None;
    if (url.isValid())
        m_page->loadByProgram(url);
    if (m_addressBox)
        m_addressBox->setEditText(preview::AddressBoxTextAfterOpen(target));
}

QString Preview::programImageAddress(const QString& path) {
    // The program's pages are blank or resource documents, which load only the scheme that
    // is not marked local.
    return m_profile->localImages().grant(path).remote.toString(QUrl::FullyEncoded);
}

int Preview::applyToAllFrames(const QJsonObject& change) {
    const int id = m_nextChange++;
#ifdef ZELVORIN_REACHES_FRAMES
    pagescripts::CallInEveryFrame(m_page, m_profile->scriptKey(), QStringLiteral("applyHere"),
                                  {change}, this, [this, id] { emit backgroundApplied(id); });
#else
    pagescripts::Run(m_page,
                     pagescripts::LibraryCall(m_profile->scriptKey(), QStringLiteral("applyToAll"),
                                              {change, id}),
                     this, [this, id](const QVariant& pending) {
                         // Frames of other origins report later, through the page.
                         if (pending.isValid() && pending.toInt() == 0)
                             emit backgroundApplied(id);
                     });
#endif
    return id;
}

int Preview::setBackgroundImage(const QString& path) {
    emit backgroundImageSet(path);
    const LocalImageUrls::Grant grant = m_profile->localImages().grant(path);
    QJsonObject image{{QStringLiteral("remote"), grant.remote.toString(QUrl::FullyEncoded)},
                      {QStringLiteral("local"), grant.local.toString(QUrl::FullyEncoded)}};
    // Where the screen has twice the density, the engine shows the partner made for it.
    const QByteArray partner = preview::HighDensityPartner(platform::encodePath(path));
    if (!partner.isEmpty()) {
        const LocalImageUrls::Grant twice =
            m_profile->localImages().grant(platform::openablePath(partner));
        image.insert(QStringLiteral("remote2x"), twice.remote.toString(QUrl::FullyEncoded));
        image.insert(QStringLiteral("local2x"), twice.local.toString(QUrl::FullyEncoded));
    }
    return applyToAllFrames(QJsonObject{
        {QStringLiteral("image"), image},
        {QStringLiteral("layout"), BackgroundChoice::layoutChange(m_background->layout())}});
}

int Preview::setBackgroundLayout(const preview::BackgroundLayout& layout) {
    return applyToAllFrames(
        QJsonObject{{QStringLiteral("layout"), BackgroundChoice::layoutChange(layout)}});
}

int Preview::setBackgroundColour(const QColor& colour) {
    emit backgroundColourSet(colour);
    const QString text = preview::ColorText(shownColour(colour));
    return applyToAllFrames(QJsonObject{{QStringLiteral("color"), text}});
}

bool Preview::runDocumentCommand(int command, const QVariant& input, QVariant* output) {
    if (!m_page || m_page->url().isEmpty())
        return false;
    switch (command) {
    case CopyCommand:
        m_page->triggerAction(QWebEnginePage::Copy);
        return true;
    case SelectAllCommand:
        m_page->triggerAction(QWebEnginePage::SelectAll);
        return true;
    case ZoomCommand: {
        if (input.isValid() && !input.isNull()) {
            bool ok = false;
            const int level = input.toInt(&ok);
            if (!ok || level < 0 || level >= preview::ZoomLevelCount)
                return false;
            preview::PageZoom::of(m_page)->setFontZoom(preview::ZoomFactorForLevel(level));
        }
        if (output)
            *output = preview::ZoomLevelForFactor(preview::PageZoom::of(m_page)->fontZoom());
        return true;
    }
    default:
        return false;
    }
}

void Preview::readDocumentSource(const QObject* context,
                                 std::function<void(std::optional<QString>)> done) {
    if (!m_page || m_page->url().isEmpty()) {
        done(std::nullopt);
        return;
    }
    // A long page of the program's is copied whole, not only as far as it is written.
    QPointer<ShownDocument> document = m_document;
    m_programPages->writeRest(context, [document, context, done = std::move(done)](bool) {
        if (document)
            document->readAuthorSource(context, done);
    });
}

void Preview::setSilent(bool silent) {
    m_profile->setSilent(silent);
}

void Preview::openTypedAddress() {
    if (!m_addressBox) {
        openAddress(preview::BlankAddress);
        return;
    }
    const QString text = preview::AddressToGo(m_addressBox->currentText());
    QStringList history;
    for (int i = 0; i < m_addressBox->count(); ++i)
        history << m_addressBox->itemText(i);
    history = preview::HistoryAfterGo(history, text);
    {
        const QSignalBlocker blocker(m_addressBox.data());
        m_addressBox->clear();
        m_addressBox->addItems(history);
        m_addressBox->setEditText(text);
    }
    openAddress(text);
}

void Preview::clearPreviewArea() {
    if (m_addressBox)
        m_addressBox->setEditText(QString());
    openTypedAddress();
}

std::optional<QString> Preview::askForFile(const QString& caption, int kind) {
    if (!m_openFileForm)
        return std::nullopt;
    m_openFileForm->setWindowTitle(caption);
    if (!m_openFileForm->execute(kind) || m_openFileForm->fileName().isEmpty())
        return std::nullopt;
    return m_openFileForm->fileName();
}

void Preview::openDocument() {
    if (const auto name = askForFile(tr(" Open document"), 2))
        openAddress(*name);
}

void Preview::chooseBackgroundImage() {
    if (const auto name = askForFile(tr(" Select background image"), 3))
        setBackgroundImage(*name);
}

void Preview::chooseBackgroundColour() {
    // Full dialog, solid colours only, any colour allowed; it starts with the colour
    // chosen last.
    const QColor chosen = QColorDialog::getColor(m_lastChosenColour, m_view->window());
    if (!chosen.isValid())
        return;
    m_lastChosenColour = chosen;
    setBackgroundColour(chosen);
}

QString Preview::backgroundColourMessage(const QString& colourText) {
    return QString(14, QLatin1Char(' ')) + colourText + QString(15, QLatin1Char(' '));
}

void Preview::copyBackgroundColour() {
    m_document->readBackgroundColour(this, [this](const QColor& colour) {
        const QString text = preview::ColorText(shownColour(colour));
        QApplication::clipboard()->setText(text);
        QMessageBox::information(m_view->window(), ProductTitle, backgroundColourMessage(text));
    });
}

void Preview::copySelection() {
    runDocumentCommand(CopyCommand, QVariant());
}

void Preview::selectAll() {
    runDocumentCommand(SelectAllCommand, QVariant());
}

void Preview::copyDocumentSource() {
    readDocumentSource(this, [](const std::optional<QString>& source) {
        if (source && !source->isEmpty())
            QApplication::clipboard()->setText(*source);
    });
}

int Preview::fontSizeLevel() {
    QVariant level;
    if (!runDocumentCommand(ZoomCommand, QVariant(), &level))
        return -1;
    const int value = level.toInt();
    return value >= 0 && value < preview::ZoomLevelCount ? value : -1;
}

bool Preview::setFontSizeLevel(int level) {
    return runDocumentCommand(ZoomCommand, QVariant(level));
}

void Preview::goBack() {
    m_page->expectProgramNavigation(QWebEnginePage::NavigationTypeBackForward);
    m_navigation->goBack();
}

void Preview::goForward() {
    m_page->expectProgramNavigation(QWebEnginePage::NavigationTypeBackForward);
    m_navigation->goForward();
}

void Preview::reload() {
    m_page->expectProgramNavigation(QWebEnginePage::NavigationTypeReload);
    m_page->triggerAction(QWebEnginePage::Reload);
}

void Preview::stop() {
    m_page->triggerAction(QWebEnginePage::Stop);
    // What waited for the load goes at once, as when the load ends.
    loadEnded();
    m_events->disableGauge();
}

} // namespace zelvorin
