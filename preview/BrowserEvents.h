// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the preview's browser reports, turned into the events the program knows: each
// event writes its line to the event log, and some of them drive the window (caption,
// status text, progress gauge, Back and Forward).
#pragma once

#include "PreviewRules.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>

class QWebEngineView;

namespace zelvorin {

class BrowserNavigation;
class PreviewPage;

class BrowserEvents : public QObject {
    Q_OBJECT
public:
    BrowserEvents(QWebEngineView* view, PreviewPage* page, BrowserNavigation* navigation,
                  QObject* parent);

    preview::Gauge gauge() const { return m_gauge; }
    QString statusText() const { return m_statusText; }
    // The Stop command: the gauge panel is disabled.
    void disableGauge();

signals:
    void logLine(const QString& line);
    void captionChanged(const QString& windowCaption, const QString& applicationTitle);
    void statusTextChanged(const QString& text);
    void gaugeChanged(bool enabled, int position);
    void backForwardChanged(bool canGoBack, bool canGoForward);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What each event does; each writes its log line first.
    void logBeforeNavigate(const QString& url, const QString& flags, const QString& targetFrameName,
                           const QString& postData, const QString& headers);
    void logNavigateComplete(const QString& url);
    void logDocumentComplete(const QString& url);
    void logDownloadBegin();
    void logDownloadComplete();
    void showProgress(qint64 progress, qint64 maximum);
    void showStatusText(const QString& text);
    void showTitle(const QString& text);
    void setCommandState(int command, bool enable);
    void logNewWindow(bool cancel);
    void logQuit();
    void logFullScreen(bool fullScreen);
    void logEnter();
    void logExit();
    void connectEngine();
    void reportHistory();
    void setGauge(preview::Gauge gauge);

    QWebEngineView* m_view = nullptr;
    PreviewPage* m_page = nullptr;
    BrowserNavigation* m_navigation = nullptr;
    preview::Gauge m_gauge;
    QString m_statusText;
    int m_reportedBack = -1;
    int m_reportedForward = -1;
    QObject* m_focusTarget = nullptr;
};

// How a navigation type reads in the log's flags field.
QString NavigationFlagsText(QWebEnginePage::NavigationType type, bool isMainFrame);

} // namespace zelvorin
