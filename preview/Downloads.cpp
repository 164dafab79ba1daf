// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Downloads.h"

#include "DownloadName.h"
#include "PreviewPage.h"
#include "ProgramValues.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>

namespace zelvorin {

bool IsHandedToDesktop(const QUrl& url) {
    if (!url.isLocalFile())
        return false;
    const QString suffix = QFileInfo(url.toLocalFile()).suffix().toLower();
    return suffix == QLatin1String("eml") || suffix == QLatin1String("nws");
}

QString InterruptReasonText(int reason, const QString& engineText) {
    // Reasons the engine has but its text table lacks come out as "Download canceled by
    // the user", which would blame the user for a server's fault.
    switch (reason) {
    case 38:
        return DownloadWindow::tr("the server sent less than it announced");
    case 39:
        return DownloadWindow::tr("the server sent the download on to another site");
    default:
        return engineText.isEmpty() ? DownloadWindow::tr("the transfer was interrupted")
                                    : engineText;
    }
}

namespace downloadlog {

namespace {
QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

QString started(const QString& url, const QString& path) {
    return QStringLiteral("     FileDownload -  URL: ") + quoted(url) + QStringLiteral(" File: ") +
           quoted(path);
}

QString progress(qint64 received, qint64 total) {
    return QStringLiteral("     FileDownloadProgress -  %1/%2").arg(received).arg(total);
}

QString restarted(const QString& path) {
    return QStringLiteral("     FileDownloadRestarted -  File: ") + quoted(path);
}

QString completed(const QString& path) {
    return QStringLiteral("     FileDownloadComplete -  File: ") + quoted(path);
}

QString failed(const QString& path, const QString& reason) {
    return QStringLiteral("     FileDownloadFailed -  File: ") + quoted(path) +
           QStringLiteral(" Reason: ") + quoted(reason);
}

QString cancelled(const QString& path) {
    return QStringLiteral("     FileDownloadCancelled -  File: ") + quoted(path);
}

QString declined(const QString& url) {
    return QStringLiteral("     FileDownloadDeclined -  URL: ") + quoted(url);
}

QString refused(const QString& url, const QString& reason) {
    return QStringLiteral("     FileDownloadRefused -  URL: ") + quoted(url) +
           QStringLiteral(" Reason: ") + quoted(reason);
}

QString openWithDesktop(const QString& url, bool opened) {
    return QStringLiteral("     OpenWithDesktop -  URL: ") + quoted(url) +
           QStringLiteral(" Opened: ") +
           quoted(opened ? QStringLiteral("True") : QStringLiteral("False"));
}

} // namespace downloadlog

namespace {

QString pathOf(const QWebEngineDownloadRequest* download) {
    return QDir(download->downloadDirectory()).filePath(download->downloadFileName());
}

int percentOf(qint64 received, qint64 total) {
    return total > 0 ? int(std::clamp<qint64>(received * 100 / total, 0, 100)) : 0;
}

// How long after the user's click or key in a page a download it starts counts as asked
// for: the engine's own time for a user's activation.
constexpr qint64 UserActionTime = 5000;
constexpr qint64 Minute = 60000;
// The engine holds back a page's further downloads while its question is open and hands
// them over one right after the other (within a millisecond or two) once it is answered.
constexpr qint64 QueuedDelivery = 250;

} // namespace

DownloadWindow::DownloadWindow(QWebEngineDownloadRequest* download, QWidget* parent)
    : QDialog(parent), m_download(download), m_path(pathOf(download)) {
    setObjectName(QStringLiteral("DownloadWindow"));
    setWindowTitle(ProductTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    m_message = new QLabel(tr("Downloading %1\nto %2")
                               .arg(QFileInfo(m_path).fileName(),
                                    QDir::toNativeSeparators(download->downloadDirectory())),
                           this);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_bar = new QProgressBar(this);
    m_bar->setAccessibleName(tr("Download progress"));
    m_button = new QPushButton(tr("Cancel"), this);
    connect(m_button, &QPushButton::clicked, this, &DownloadWindow::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_bar);
    layout->addWidget(m_button, 0, Qt::AlignRight);
    setMinimumWidth(360);

    follow(download);
}

void DownloadWindow::follow(QWebEngineDownloadRequest* download) {
    if (m_download && m_download != download)
        disconnect(m_download, nullptr, this, nullptr);
    m_download = download;
    m_id = download->id();
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            &DownloadWindow::showProgress, Qt::UniqueConnection);
    connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this,
            &DownloadWindow::showProgress, Qt::UniqueConnection);
    connect(download, &QWebEngineDownloadRequest::stateChanged, this, &DownloadWindow::stateChanged,
            Qt::UniqueConnection);
    connect(download, &QObject::destroyed, this, &DownloadWindow::stateChanged,
            Qt::UniqueConnection);
    showProgress();
}

QString DownloadWindow::message() const {
    return m_message->text();
}

void DownloadWindow::reject() {
    if (!m_ended && m_download) {
        m_download->cancel();
        return;
    }
    QDialog::reject();
}

void DownloadWindow::showProgress() {
    if (!m_download || m_ended)
        return;
    const qint64 total = m_download->totalBytes();
    if (total > 0) {
        m_bar->setRange(0, 100);
        m_bar->setValue(percentOf(m_download->receivedBytes(), total));
    } else {
        // A size the server does not tell: a busy bar.
        m_bar->setRange(0, 0);
    }
}

void DownloadWindow::stateChanged() {
    if (m_ended)
        return;
    const QString name = QFileInfo(m_path).fileName();
    Outcome outcome = Outcome::Failed;
    QString reason;
    if (!m_download) {
        reason = tr("the browser ended the download");
    } else {
        switch (m_download->state()) {
        case QWebEngineDownloadRequest::DownloadCompleted:
            outcome = Outcome::Saved;
            break;
        case QWebEngineDownloadRequest::DownloadCancelled:
            outcome = Outcome::Cancelled;
            break;
        case QWebEngineDownloadRequest::DownloadInterrupted:
            reason = InterruptReasonText(int(m_download->interruptReason()),
                                         m_download->interruptReasonString());
            break;
        default:
            return;
        }
    }
    m_ended = true;
    switch (outcome) {
    case Outcome::Saved:
        m_message->setText(tr("%1 has been saved in %2.")
                               .arg(name, QDir::toNativeSeparators(QFileInfo(m_path).path())));
        m_bar->setRange(0, 100);
        m_bar->setValue(100);
        break;
    case Outcome::Cancelled:
        m_message->setText(tr("The download of %1 was cancelled.").arg(name));
        m_bar->hide();
        break;
    case Outcome::Failed:
        m_message->setText(tr("%1 could not be saved: %2.").arg(name, reason));
        m_bar->hide();
        // An interrupted download could be resumed later; nobody will, so its partial
        // file goes.
        if (m_download)
            m_download->cancel();
        break;
    }
    m_button->setText(tr("Close"));
    emit ended(outcome, reason);
}

Downloads::Downloads(QWebEngineProfile* profile, QWidget* dialogOwner, QObject* parent)
    : QObject(parent), m_owner(dialogOwner) {
    m_folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (m_folder.isEmpty() || !QFileInfo(m_folder).isDir())
        m_folder = QDir::homePath();
    connect(profile, &QWebEngineProfile::downloadRequested, this, &Downloads::requested);
    m_clock.start();
    // The engine does not tell whether the user asked for a download; a click or key in
    // the page's view shortly before is the user's doing.
    qApp->installEventFilter(this);
}

bool Downloads::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) {
        for (QObject* object = watched; object; object = object->parent()) {
            if (auto* view = qobject_cast<QWebEngineView*>(object)) {
                if (QWebEnginePage* page = view->page())
                    recordOf(page).lastInput = m_clock.elapsed();
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

Downloads::PageRecord& Downloads::recordOf(QObject* page) {
    auto found = m_pages.find(page);
    if (found == m_pages.end()) {
        found = m_pages.insert(page, PageRecord());
        if (page)
            connect(page, &QObject::destroyed, this, [this, page] { m_pages.remove(page); });
    }
    return *found;
}

QList<DownloadWindow*> Downloads::runningWindows() const {
    QList<DownloadWindow*> windows;
    for (const QPointer<DownloadWindow>& window : m_running) {
        if (window && !window->hasEnded())
            windows << window;
    }
    return windows;
}

void Downloads::cancelAll() {
    for (DownloadWindow* window : runningWindows())
        window->reject();
}

QString Downloads::OpenWithDesktopQuestion(const QString& fileName) {
    return tr("The preview cannot show %1.\n\nOpen it with the program your desktop uses for "
              "this type of file?")
        .arg(fileName);
}

QWidget* Downloads::ownerFor(QWebEngineDownloadRequest* download) const {
    if (QWebEnginePage* page = download->page()) {
        if (QWidget* view = QWebEngineView::forPage(page))
            return view->window();
    }
    return m_owner;
}

void Downloads::requested(QWebEngineDownloadRequest* download) {
    // After a lost connection the engine starts the same download again and asks anew;
    // the user has answered already.
    for (DownloadWindow* window : runningWindows()) {
        if (window->downloadId() == download->id()) {
            const QFileInfo target(window->path());
            download->setDownloadDirectory(target.absolutePath());
            download->setDownloadFileName(target.fileName());
            download->accept();
            window->follow(download);
            watch(download);
            emit logLine(downloadlog::restarted(window->path()));
            return;
        }
    }
    // Left unaccepted, a download is dropped by the engine when this call returns.
    if (const QString reason = refusal(download); !reason.isEmpty()) {
        emit logLine(downloadlog::refused(download->url().toString(), reason));
        return;
    }
    QObject* page = download->page();
    const QPointer<QObject> pageGuard(page);
    recordOf(page).asking = true;
    QWidget* owner = ownerFor(download);
    if (download->url().isLocalFile() && !download->isSavePageDownload())
        offerToDesktop(download, owner);
    else
        save(download, owner);
    // The page may have gone while its question was open.
    if (!page || pageGuard) {
        PageRecord& record = recordOf(page);
        record.asking = false;
        record.answeredAt = m_clock.elapsed();
        record.quietUntil = record.answeredAt + QueuedDelivery;
    }
}

QString Downloads::refusal(QWebEngineDownloadRequest* download) {
    PageRecord& record = recordOf(download->page());
    const qint64 now = m_clock.elapsed();
    const QUrl url = download->url();
    auto* page = qobject_cast<PreviewPage*>(download->page());
    if (url.isLocalFile() && !download->isSavePageDownload()) {
        // A local file goes to the desktop only when the user opened it from the file list
        // and it is a mail or news file; copying it elsewhere is not what the user meant.
        if (!record.asking && page && page->takeDesktopHandOver(url))
            return QString();
        return tr("a local file goes to the desktop only when the user opens it");
    }
    // The address the user sent the page to is the user's own download, and so is one a
    // click or key asked for shortly before.
    const bool typed = page && page->takeUserNavigation(url);
    const bool clicked = record.lastInput >= 0 && now - record.lastInput < UserActionTime;
    const bool actedSinceAnswer = record.lastInput > record.answeredAt;
    if (record.asking || (now < record.quietUntil && !typed && !actedSinceAnswer)) {
        record.quietUntil = now + QueuedDelivery;
        return tr("a question of this page is open");
    }
    if (typed || clicked)
        return QString();
    record.unprompted.removeIf([now](qint64 at) { return now - at >= Minute; });
    if (record.unprompted.size() >= UnpromptedPerMinute)
        return tr("more than %1 downloads a minute without a click").arg(UnpromptedPerMinute);
    record.unprompted << now;
    return QString();
}

void Downloads::offerToDesktop(QWebEngineDownloadRequest* download, QWidget* owner) {
    const QUrl url = download->url();
    const QString name = QFileInfo(url.toLocalFile()).fileName();
    QMessageBox question(QMessageBox::Question, ProductTitle, OpenWithDesktopQuestion(name),
                         QMessageBox::Yes | QMessageBox::No, owner);
    question.setObjectName(QStringLiteral("OpenWithDesktopQuestion"));
    // Whatever program the desktop picks runs with the file: the user says so, Enter does
    // not.
    question.setDefaultButton(QMessageBox::No);
    // The download is left unaccepted: the engine drops it when this call returns.
    if (question.exec() != QMessageBox::Yes) {
        emit logLine(downloadlog::declined(url.toString()));
        return;
    }
    const bool opened = QDesktopServices::openUrl(url);
    emit logLine(downloadlog::openWithDesktop(url.toString(), opened));
    emit statusTextChanged(opened ? tr("%1 was handed to the desktop.").arg(name)
                                  : tr("No program of the desktop opens %1.").arg(name));
    emit openedWithDesktop(url, opened);
}

void Downloads::save(QWebEngineDownloadRequest* download, QWidget* owner) {
    const QString suggested = download->suggestedFileName();
    const QString name =
        PlainDownloadName(suggested.isEmpty() ? download->downloadFileName() : suggested);
    const QString folder =
        !m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir() ? m_lastFolder : m_folder;
    // Replacing a file that is there is the dialog's own question, whose default is No.
    QFileDialog dialog(owner, tr(" Save download as"), QDir(folder).filePath(name));
    dialog.setObjectName(QStringLiteral("SaveDownloadDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        emit logLine(downloadlog::declined(download->url().toString()));
        return;
    }
    const QFileInfo target(dialog.selectedFiles().constFirst());
    // The engine would report a folder it cannot make as cancelled by the user.
    if (const QString problem = folderProblem(target.absolutePath()); !problem.isEmpty()) {
        failedAtOnce(target.absoluteFilePath(), problem, owner);
        return;
    }
    m_lastFolder = target.absolutePath();
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    download->accept();

    const QString path = pathOf(download);
    auto* window = new DownloadWindow(download, owner);
    m_running << window;
    connect(window, &DownloadWindow::ended, this,
            [this, window, path](DownloadWindow::Outcome outcome, const QString& reason) {
                ended(window, path, outcome, reason);
            });
    watch(download);
    emit logLine(downloadlog::started(download->url().toString(), path));
    emit statusTextChanged(tr("Downloading %1...").arg(target.fileName()));
    window->show();
    updateGauge();
}

QString Downloads::folderProblem(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir())
        return QString();
    if (info.exists())
        return tr("%1 is not a folder").arg(QDir::toNativeSeparators(folder));
    if (!QDir().mkpath(folder))
        return tr("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder));
    return QString();
}

void Downloads::failedAtOnce(const QString& path, const QString& reason, QWidget* owner) {
    const QString text =
        DownloadWindow::tr("%1 could not be saved: %2.").arg(QFileInfo(path).fileName(), reason);
    auto* box = new QMessageBox(QMessageBox::Warning, ProductTitle, text, QMessageBox::Ok, owner);
    box->setObjectName(QStringLiteral("DownloadFailedMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    emit logLine(downloadlog::failed(path, reason));
    emit statusTextChanged(text);
    emit downloadFinished(path, false, reason);
}

void Downloads::watch(QWebEngineDownloadRequest* download) {
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            [this, download] { progressed(download); });
    connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this,
            [this, download] { progressed(download); });
}

void Downloads::progressed(QWebEngineDownloadRequest* download) {
    // Cancelling sets the count back to nothing; that is no progress.
    if (download->state() != QWebEngineDownloadRequest::DownloadInProgress)
        return;
    const qint64 total = download->totalBytes();
    const int percent = percentOf(download->receivedBytes(), total);
    // One line per percent, so a large file does not flood the log.
    const auto logged = m_loggedPercent.constFind(download->id());
    if (total > 0 && (logged == m_loggedPercent.constEnd() || *logged != percent)) {
        m_loggedPercent.insert(download->id(), percent);
        emit logLine(downloadlog::progress(download->receivedBytes(), total));
    }
    updateGauge();
}

void Downloads::ended(DownloadWindow* window, const QString& path, DownloadWindow::Outcome outcome,
                      const QString& reason) {
    m_running.removeAll(window);
    m_running.removeAll(nullptr);
    m_loggedPercent.remove(window->downloadId());
    const QString name = QFileInfo(path).fileName();
    switch (outcome) {
    case DownloadWindow::Outcome::Saved:
        emit logLine(downloadlog::completed(path));
        emit statusTextChanged(tr("%1 has been saved.").arg(name));
        break;
    case DownloadWindow::Outcome::Cancelled:
        emit logLine(downloadlog::cancelled(path));
        emit statusTextChanged(tr("The download of %1 was cancelled.").arg(name));
        break;
    case DownloadWindow::Outcome::Failed:
        emit logLine(downloadlog::failed(path, reason));
        emit statusTextChanged(tr("%1 could not be saved: %2.").arg(name, reason));
        break;
    }
    updateGauge();
    emit downloadFinished(path, outcome == DownloadWindow::Outcome::Saved,
                          outcome == DownloadWindow::Outcome::Cancelled ? tr("cancelled") : reason);
}

void Downloads::updateGauge() {
    qint64 received = 0;
    qint64 total = 0;
    const QList<DownloadWindow*> running = runningWindows();
    for (DownloadWindow* window : running) {
        if (QWebEngineDownloadRequest* download = window->download();
            download && download->totalBytes() > 0) {
            received += download->receivedBytes();
            total += download->totalBytes();
        }
    }
    const bool enabled = !running.isEmpty();
    const int percent = enabled ? percentOf(received, total) : 0;
    if (enabled == m_gaugeEnabled && percent == m_gaugePercent)
        return;
    m_gaugeEnabled = enabled;
    m_gaugePercent = percent;
    emit gaugeChanged(enabled, percent);
}

} // namespace zelvorin
