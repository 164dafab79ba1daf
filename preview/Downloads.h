// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files the preview's pages hand over instead of showing them. A download that a page or
// the user starts asks where to save it (the user's download folder, or the folder the
// user saved to last, and the name the server gives reduced to a plain base name: a page
// proposes a name, never a place), shows its progress in a small window of its own that
// can cancel it, and says there how it ended, naming the file and the reason. The main
// window hears of it all through signals: a gauge, a status text and event-log lines. A
// mail message or news article the user opened (what the "Documents" filter offers beside
// pages, which the engine cannot show) is offered to the desktop's program for its type
// instead; nothing else ever goes to the desktop, so nothing a page names runs there.
//
// A page gets one question at a time: a download it starts while its question is open is
// declined (the engine hands those over right after the question, one after the other), and so is a
// fourth one within a minute that the user asked for neither by a click or key in that page shortly
// before nor by sending the page to its address. Each refusal writes an event-log line.
//
// The engine wants every answer before its request returns, so the two questions (where
// to save, whether to open with the desktop) are modal dialogs; the progress window is
// not modal.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QLabel;
class QProgressBar;
class QPushButton;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace zelvorin {

// A local file the engine cannot show although it tries: mail and news messages, which it
// takes for broken web archives. Opening one asks whether to hand it to the desktop.
bool IsHandedToDesktop(const QUrl& url);

// Why a download was interrupted, from the engine's reason number and its own text.
QString InterruptReasonText(int reason, const QString& engineText);

// The lines downloads write into the event log.
namespace downloadlog {
QString started(const QString& url, const QString& path);
QString progress(qint64 received, qint64 total);
QString restarted(const QString& path);
QString completed(const QString& path);
QString failed(const QString& path, const QString& reason);
QString cancelled(const QString& path);
QString declined(const QString& url);
// A download the program declined without asking, and why.
QString refused(const QString& url, const QString& reason);
QString openWithDesktop(const QString& url, bool opened);
} // namespace downloadlog

// One download's window: what is saved where, how far it is, and a button that cancels
// it while it runs and closes the window once it has ended. Esc and the window's close
// button do what the button does.
class DownloadWindow : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Saved, Cancelled, Failed };

    DownloadWindow(QWebEngineDownloadRequest* download, QWidget* parent);

    QString message() const;
    bool hasEnded() const { return m_ended; }
    QPushButton* button() const { return m_button; }
    QWebEngineDownloadRequest* download() const { return m_download; }
    quint32 downloadId() const { return m_id; }
    QString path() const { return m_path; }
    // The engine starts a download again after a lost connection, under the same number;
    // the window goes on with the new request.
    void follow(QWebEngineDownloadRequest* download);

    void reject() override;

signals:
    // The download ended; `reason` says why it failed.
    void ended(zelvorin::DownloadWindow::Outcome outcome, const QString& reason);

private:
    void showProgress();
    void stateChanged();

    QPointer<QWebEngineDownloadRequest> m_download;
    quint32 m_id = 0;
    QString m_path;
    QLabel* m_message = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_button = nullptr;
    bool m_ended = false;
};

class Downloads : public QObject {
    Q_OBJECT
public:
    // `dialogOwner` owns the questions and windows of downloads whose page has no window.
    Downloads(QWebEngineProfile* profile, QWidget* dialogOwner, QObject* parent);

    // Where the save question starts: the folder the user saved to last while it is
    // there, else the user's download folder, else the home folder.
    QString downloadFolder() const { return m_folder; }
    // Sets the download folder and forgets where the user saved last.
    void setDownloadFolder(const QString& folder) {
        m_folder = folder;
        m_lastFolder.clear();
    }
    // Downloads a page may start within a minute without the user's click or key.
    static constexpr int UnpromptedPerMinute = 3;
    // The windows of downloads that still run.
    QList<DownloadWindow*> runningWindows() const;
    void cancelAll();

    // The text of the question for a local file the engine cannot show.
    static QString OpenWithDesktopQuestion(const QString& fileName);

signals:
    // The gauge of the status bar: enabled while downloads run, at their joint percentage.
    void gaugeChanged(bool enabled, int percent);
    void statusTextChanged(const QString& text);
    void logLine(const QString& line);
    // A download the user agreed to save ended; the path is where it went (or was to go).
    void downloadFinished(const QString& path, bool saved, const QString& reason);
    // A local file was handed to the desktop; `opened` is whether a program took it.
    void openedWithDesktop(const QUrl& url, bool opened);

protected:
    // Notes the user's clicks and keys in the preview's views.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a page did and does with its downloads.
    // Times are of the downloads' clock, in ms.
    struct PageRecord {
        qint64 lastInput = -1;    // the user's last click or key in the page's view
        QList<qint64> unprompted; // when its downloads the user did not ask for came
        bool asking = false;      // a question of the page is open
        qint64 answeredAt = -1;   // when its last question was answered
        qint64 quietUntil = -1;   // downloads the engine held back come until then
    };

    void requested(QWebEngineDownloadRequest* download);
    // Why the download is declined without a question, or nothing.
    QString refusal(QWebEngineDownloadRequest* download);
    PageRecord& recordOf(QObject* page);
    void ask(QWebEngineDownloadRequest* download, QWidget* owner);
    void offerToDesktop(QWebEngineDownloadRequest* download, QWidget* owner);
    void save(QWebEngineDownloadRequest* download, QWidget* owner);
    // What keeps a file from being saved in the folder (made when missing), or nothing.
    static QString folderProblem(const QString& folder);
    void failedAtOnce(const QString& path, const QString& reason, QWidget* owner);
    void watch(QWebEngineDownloadRequest* download);
    void progressed(QWebEngineDownloadRequest* download);
    void ended(DownloadWindow* window, const QString& path, DownloadWindow::Outcome outcome,
               const QString& reason);
    void updateGauge();
    QWidget* ownerFor(QWebEngineDownloadRequest* download) const;

    QPointer<QWidget> m_owner;
    QString m_folder;
    QString m_lastFolder;
    QHash<QObject*, PageRecord> m_pages;
    QElapsedTimer m_clock;
    QList<QPointer<DownloadWindow>> m_running;
    QHash<quint32, int> m_loggedPercent;
    bool m_gaugeEnabled = false;
    int m_gaugePercent = -1;
};

} // namespace zelvorin
