// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HelpWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zelvorin {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("HelpWindow");
    setWindowTitle(QStringLiteral(" Zelvorin Help"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    resize(640, 560);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName("HelpBrowser");
    m_browser->setAccessibleName(QStringLiteral("Help text"));
    // Links to the web open in the user's browser; links inside the help stay here.
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
}

void HelpWindow::ShowTopic(const QString& helpFile, const QString& topic) {
    m_file = helpFile;
    m_topic = topic;
    const QFileInfo info(helpFile);
    m_missing = !info.isFile() || !info.isReadable();
    if (m_missing) {
        m_browser->setHtml(
            QStringLiteral("<h3>Help file not found</h3><p>Cannot find the help file "
                           "<b>%1</b>.</p><p>The help pages are installed with Zelvorin in "
                           "its program folder; reinstall the program to restore them.</p>")
                .arg(helpFile.toHtmlEscaped()));
    } else {
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setFragment(topic);
        m_browser->setSource(url);
        m_browser->scrollToAnchor(topic);
    }
    show();
    raise();
    activateWindow();
}

namespace {
const char HelpContextProperty[] = "zelvorinHelpContext";
} // namespace

void SetHelpContext(QWidget* widget, int context) {
    widget->setProperty(HelpContextProperty, context);
}

int HelpContextOf(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (const int context = widget->property(HelpContextProperty).toInt(); context > 0)
            return context;
    }
    return 0;
}

QString HelpContextTopic(int context) {
    return QStringLiteral("context-%1").arg(context);
}

} // namespace zelvorin
