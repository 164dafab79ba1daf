// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StatusReports.h"

#include "StatusBar.h"

#include <algorithm>

namespace zelvorin {

QString activityName(StatusReports::Activity activity) {
    switch (activity) {
    case StatusReports::Activity::Page:
        return QObject::tr("Page");
    case StatusReports::Activity::Download:
        return QObject::tr("Download");
    case StatusReports::Activity::Folder:
        return QObject::tr("Folder");
    }
    return QString();
}

StatusReports::StatusReports(StatusBar* bar) : QObject(bar), m_bar(bar) {
    showGauge();
}

void StatusReports::setProgress(Activity activity, bool running, int percent) {
    const auto found =
        std::find_if(m_running.begin(), m_running.end(),
                     [activity](const Progress& p) { return p.activity == activity; });
    if (!running) {
        if (found != m_running.end())
            m_running.erase(found);
    } else if (found != m_running.end()) {
        found->percent = percent;
    } else {
        m_running.append({activity, percent});
    }
    showGauge();
}

void StatusReports::setText(Source source, const QString& text) {
    m_texts.removeIf([source](const Text& t) { return t.source == source; });
    if (!text.isEmpty())
        m_texts.append({source, text});
    m_bar->setText(m_texts.isEmpty() ? QString() : m_texts.constLast().text);
}

std::optional<StatusReports::Activity> StatusReports::gaugeActivity() const {
    if (m_running.isEmpty())
        return std::nullopt;
    return m_running.constFirst().activity;
}

void StatusReports::showGauge() {
    if (m_running.isEmpty()) {
        m_bar->setGaugeShown(false);
        m_bar->setGaugeLabel(QString());
        m_bar->setGaugePosition(0);
        return;
    }
    const Progress& shown = m_running.constFirst();
    m_bar->setGaugeLabel(activityName(shown.activity));
    m_bar->setGaugePosition(unsigned(qBound(0, shown.percent, 100)));
    m_bar->setGaugeShown(true);
}

} // namespace zelvorin
