#include "Preview.h"

#include "AddressHistory.h"
#include "BackgroundChoice.h"
#include "BrowserEvents.h"
#include "DocumentSource.h"
#include "FileStamp.h"
#include "FrameScripts.h"
#include "GeneratedPage.h"
#include "LiveReload.h"
#include "LosslessNames.h"
#include "OpenFileDialog.h"
#include "PageZoom.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "ProgramPages.h"
#include "ProgramValues.h"
#include "ScriptWait.h"
#include "WebBrowserInterface.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QSignalBlocker>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace zelvorin {

Preview::Preview(PreviewProfile* profile, QWidget* viewParent, QObject* parent)
    : QObject(parent), m_profile(profile) {
    m_view = new QWebEngineView(viewParent);
    m_view->setObjectName(QStringLiteral("WebBrowser1"));
    m_view->setAccessibleName(tr("Preview"));
    m_page = new PreviewPage(profile, m_view);
    m_view->setPage(m_page);
    m_browser = TWebBrowserInterface::Create(m_view);
    m_events = new BrowserEvents(m_view, m_page, m_browser.get(), this);

    connect(m_page, &QWebEnginePage::loadStarted, this, [this] { setLoading(true, false); });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this] { setLoading(false, false); });
    // A navigation within the document reports no start; its address change ends the wait
    // for it.
    connect(m_page, &QWebEnginePage::urlChanged, this, [this] { setLoading(m_loading, false); });
    connect(m_page, &PreviewPage::changeApplied, this, &Preview::backgroundApplied);
    connect(m_page, &PreviewPage::commandUrlRequested, this, &Preview::commandUrlRequested);
    m_programPages = new ProgramPages(m_page, this);
    m_liveReload = new LiveReload(this, this);
    m_background = new BackgroundChoice(this, this);

    m_loadFileTimer = new QTimer(this);
    m_loadFileTimer->setObjectName(QStringLiteral("LoadFileTimer"));
    m_loadFileTimer->setSingleShot(true);
    m_loadFileTimer->setInterval(LoadFileTimerInterval);
    connect(m_loadFileTimer, &QTimer::timeout, this, &Preview::loadFileTimerElapsed);
    m_loadFileTimer->start();
}

Preview::~Preview() {
    m_browser.reset();
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

bool Preview::eventFilter(QObject* watched, QEvent* event) {
    if (m_addressBox && (watched == m_addressBox || watched == m_addressBox->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto held =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !held) {
            GoButtonClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void Preview::setLoading(bool loading, bool pending) {
    const bool before = isLoading();
    m_loading = loading;
    m_navigationPending = pending;
    if (before != isLoading())
        emit loadingChanged(isLoading());
}

namespace {

// Looked at by its bytes: a path text need not be a text Qt can open.
bool isFile(const QString& path) {
    return !path.isEmpty() && platform::fileStamp(platform::encodePath(path)).regular;
}

} // namespace

void Preview::PreviewFile(const QString& path, PreviewUse use) {
    if (!isFile(path))
        return;
    emit previewingFile(path);
    if (use == PreviewUse::Background)
        SetPageBackgroundImage(path);
    else
        OpenAddress(path);
}

void Preview::OpenAddress(const QString& address) {
    m_page->triggerAction(QWebEnginePage::Stop);
    WaitWhileLoading();
    const QString target = preview::AddressToGo(address);
    if (preview::IsCommandAddress(target)) {
        if (m_addressBox)
            m_addressBox->setEditText(QString());
        emit commandUrlRequested(target);
        return;
    }
    const QUrl url = preview::UrlForAddress(target);
    if (url.isValid()) {
        setLoading(m_loading, true);
        m_page->loadByProgram(url);
    }
    if (target.toLower() == preview::BlankAddress) {
        WaitWhileLoading();
        SetPageBackgroundColor(preview::White);
        SetPageScroll(false);
        SetPageBorder(1);
    }
    if (m_addressBox)
        m_addressBox->setEditText(preview::AddressBoxTextAfterOpen(target));
}

bool Preview::WaitWhileLoading() {
    if (!m_page)
        return false;
    // The flag ends a wait: the Stop command and every finished wait set it.
    m_stopFlag = false;
    QElapsedTimer elapsed;
    elapsed.start();
    while (isLoading() && !m_stopFlag) {
        const qint64 left = m_waitLimitMs - elapsed.elapsed();
        if (left <= 0)
            break;
        QEventLoop loop;
        connect(this, &Preview::loadingChanged, &loop, &QEventLoop::quit);
        connect(this, &Preview::stopRequested, &loop, &QEventLoop::quit);
        QTimer::singleShot(int(left), &loop, &QEventLoop::quit);
        loop.exec();
    }
    m_stopFlag = true;
    return true;
}

int Preview::applyToAllFrames(const QJsonObject& change) {
    const int id = m_nextRequestId++;
    const QString script = frames::ApplyToAllFramesScript(m_profile->scriptKey(), change, id);
    QPointer<Preview> self = this;
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [self, id](const QVariant& pending) {
                              // Frames of other origins report later, through the page.
                              if (self && pending.isValid() && pending.toInt() == 0)
                                  emit self->backgroundApplied(id);
                          });
    return id;
}

int Preview::SetPageBackgroundImage(const QString& path) {
    emit backgroundImageSet(path);
    const LocalImageUrls::Grant grant = m_profile->localImages().grant(path);
    const QJsonObject image{{QStringLiteral("remote"), grant.remote.toString(QUrl::FullyEncoded)},
                            {QStringLiteral("local"), grant.local.toString(QUrl::FullyEncoded)}};
    return applyToAllFrames(QJsonObject{
        {QStringLiteral("image"), image},
        {QStringLiteral("layout"), BackgroundChoice::LayoutChange(m_background->Layout())}});
}

int Preview::SetPageBackgroundLayout(const preview::BackgroundLayout& layout) {
    return applyToAllFrames(
        QJsonObject{{QStringLiteral("layout"), BackgroundChoice::LayoutChange(layout)}});
}

QColor Preview::resolveColor(quint32 colour) const {
    if (colour & 0xFF000000u)
        return QApplication::palette().color(QPalette::Base);
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

int Preview::SetPageBackgroundColor(quint32 colour) {
    emit backgroundColorSet(colour);
    const QString text = preview::ColorText(resolveColor(colour).rgb());
    return applyToAllFrames(QJsonObject{{QStringLiteral("color"), text}});
}

std::optional<QVariant> Preview::runOnTop(const QString& script) {
    return RunScriptAndWait(m_page, script, QWebEngineScript::ApplicationWorld);
}

quint32 Preview::GetPageBackgroundColor() {
    const std::optional<QVariant> answer =
        runOnTop(frames::ReadBackgroundColorScript(m_profile->scriptKey()));
    if (!answer)
        return preview::SystemWindowColor;
    const QVariantList texts = answer->toList();
    if (texts.size() != 3)
        return preview::SystemWindowColor;
    quint32 colour = preview::ColorFromBgColorText(texts[0].toString());
    // A colour the BODY does not carry as "#RRGGBB" (none, a colour name, one from a
    // style sheet) is read from what the page paints.
    if (colour == preview::SystemWindowColor)
        colour = preview::ColorFromCssText(texts[1].toString());
    if (colour == preview::SystemWindowColor)
        colour = preview::ColorFromCssText(texts[2].toString());
    return colour;
}

bool Preview::SetPageScroll(bool scroll) {
    const std::optional<QVariant> done =
        runOnTop(frames::SetScrollScript(m_profile->scriptKey(), scroll));
    return done && done->toBool();
}

bool Preview::SetPageBorder(int mode) {
    if (mode != 0 && mode != 1)
        return false;
    const std::optional<QVariant> done =
        runOnTop(frames::SetBorderScript(m_profile->scriptKey(), mode));
    return done && done->toBool();
}

int Preview::CountFrames() {
    const std::optional<QVariant> count =
        runOnTop(frames::CountFramesScript(m_profile->scriptKey()));
    if (!count || !count->isValid())
        return -1;
    bool ok = false;
    const int value = count->toInt(&ok);
    return ok ? value : -1;
}

bool Preview::ExecBrowserCommand(int command, int option, const QVariant& input, QVariant* output) {
    Q_UNUSED(option); // the engine never prompts for these commands
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

int Preview::GetBrowserZoom() {
    QVariant level;
    if (!ExecBrowserCommand(ZoomCommand, 2, QVariant(), &level))
        return -1;
    return level.toInt();
}

QString Preview::GetDocumentSource() {
    if (!m_page || m_page->url().isEmpty())
        return QString();
    // A long page of the program's is copied whole, not only as far as it is written.
    m_programPages->writeRest();
    return AuthorSourceAndWait(m_page, m_profile->scriptKey(), m_profile->localImages())
        .value_or(QString());
}

void Preview::SetBrowserSilent(bool silent) {
    m_profile->setSilent(silent);
}

void Preview::FileListBox1Change(const QString& fileName, PreviewUse use) {
    m_loadFileTimer->stop();
    WaitWhileLoading();
    PreviewFile(fileName, use);
}

void Preview::LoadFileTimerTimer(const QString& fileName, PreviewUse use) {
    // The guard keeps a second run out while the first one waits for the page.
    if (m_loadGuard)
        return;
    m_loadGuard = true;
    m_loadFileTimer->stop();
    if (isFile(fileName))
        PreviewFile(fileName, use);
    m_loadGuard = false;
}

void Preview::GoButtonClick() {
    if (!m_addressBox) {
        OpenAddress(preview::BlankAddress);
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
    OpenAddress(text);
}

void Preview::ClearPreviewAreaMenuItemClick() {
    if (m_addressBox)
        m_addressBox->setEditText(QString());
    GoButtonClick();
}

std::optional<QString> Preview::askForFile(const QString& caption, int kind) {
    if (!m_openFileForm)
        return std::nullopt;
    m_openFileForm->setWindowTitle(caption);
    if (!m_openFileForm->execute(kind) || m_openFileForm->fileName().isEmpty())
        return std::nullopt;
    return m_openFileForm->fileName();
}

void Preview::OpenDocumentMenuItemClick() {
    if (const auto name = askForFile(tr(" Open document"), 2))
        OpenAddress(*name);
}

void Preview::ChangeBackgroundMenuItemClick() {
    if (const auto name = askForFile(tr(" Select background image"), 3))
        SetPageBackgroundImage(*name);
}

void Preview::SetBackgroundColorMenuItemClick() {
    // Full dialog, solid colours only, any colour allowed; it starts with the colour
    // chosen last.
    const QColor chosen = QColorDialog::getColor(m_lastChosenColor, m_view->window());
    if (!chosen.isValid())
        return;
    m_lastChosenColor = chosen;
    SetPageBackgroundColor(quint32(chosen.red()) | (quint32(chosen.green()) << 8) |
                           (quint32(chosen.blue()) << 16));
}

QString Preview::BackgroundColorMessage(const QString& colourText) {
    return QString(14, QLatin1Char(' ')) + colourText + QString(15, QLatin1Char(' '));
}

void Preview::CopyBackgroundColorMenuItemClick() {
    const QString text = preview::ColorText(resolveColor(GetPageBackgroundColor()).rgb());
    QApplication::clipboard()->setText(text);
    const QString message = BackgroundColorMessage(text);
    QMessageBox::information(m_view->window(), ProductTitle, message);
}

void Preview::CopyMenuItemClick() {
    ExecBrowserCommand(CopyCommand, 2, QVariant());
}

void Preview::SelectAllMenuItemClick() {
    ExecBrowserCommand(SelectAllCommand, 2, QVariant());
}

void Preview::CopyHTMLContentsMenuItemClick() {
    const QString source = GetDocumentSource();
    if (!source.isEmpty())
        QApplication::clipboard()->setText(source);
}

int Preview::ShowWBFontSize() {
    const int level = GetBrowserZoom();
    return level >= 0 && level < preview::ZoomLevelCount ? level : -1;
}

bool Preview::ChangeWBFontSizeMenuItemClick(int level) {
    return ExecBrowserCommand(ZoomCommand, 2, QVariant(level));
}

void Preview::BackSpeedButtonClick() {
    m_page->expectProgramNavigation(QWebEnginePage::NavigationTypeBackForward);
    m_browser->GoBack();
}

void Preview::ForwardSpeedButtonClick() {
    m_page->expectProgramNavigation(QWebEnginePage::NavigationTypeBackForward);
    m_browser->GoForward();
}

void Preview::RefreshSpeedButton2Click() {
    m_page->expectProgramNavigation(QWebEnginePage::NavigationTypeReload);
    m_page->triggerAction(QWebEnginePage::Reload);
}

bool Preview::ShowGeneratedPage(std::unique_ptr<GeneratedPage> page) {
    if (m_page->url().isEmpty())
        return false;
    WaitWhileLoading();
    if (!m_page->ownsShownDocument()) {
        // Never into a document the program did not make (a web page, a local file, a
        // blank page some page navigated to): into a blank page of the program's own.
        m_page->triggerAction(QWebEnginePage::Stop);
        setLoading(m_loading, true);
        m_page->loadByProgram(ProgramPages::BlankPage());
        WaitWhileLoading();
        if (!m_page->ownsShownDocument())
            return false;
    }
    return m_programPages->write(std::move(page));
}

QString Preview::ProgramImageAddress(const QString& path) {
    // The program's pages are blank or resource documents, which load only the scheme that
    // is not marked local.
    return m_profile->localImages().grant(path).remote.toString(QUrl::FullyEncoded);
}

void Preview::StopSpeedButton2Click() {
    m_page->triggerAction(QWebEnginePage::Stop);
    m_stopFlag = true;
    emit stopRequested();
    m_events->disableGauge();
}

} // namespace zelvorin
