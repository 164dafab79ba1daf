// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MainWindowTestSupport.h"

#include "FileListView.h"
#include "FilePanel.h"
#include "FilterComboBox.h"
#include "FolderFiles.h"
#include "FolderSession.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtTest>

namespace zelvorin::test {

MainWindowFixture::MainWindowFixture(const QString& hive)
    : m_hive(!hive.isEmpty() ? hive
                             : QDir::tempPath() + QStringLiteral("/zelvorin-window-") +
                                   QString::number(QRandomGenerator::global()->generate()) +
                                   QStringLiteral(".db")),
      m_values(std::make_unique<ProgramValues>(qEnvironmentVariable("ZELVORIN_PROGRAM_DIR"),
                                               std::make_unique<zelvorin::SettingsStore>(m_hive))) {
}

MainWindowFixture::~MainWindowFixture() {
    close();
    m_values.reset();
    QFile::remove(m_hive);
}

settings::SettingsAccess MainWindowFixture::settings() const {
    return {m_values->Settings(), m_values->SettingsRoot()};
}

zelvorin::MainWindow* MainWindowFixture::create() {
    m_form.reset();
    m_form = std::make_unique<zelvorin::MainWindow>(*m_values);
    return m_form.get();
}

zelvorin::MainWindow* MainWindowFixture::open() {
    create();
    m_form->resize(1000, 700);
    m_form->show();
    if (!QTest::qWaitForWindowExposed(m_form.get()))
        return nullptr;
    // The first page is asked for without a wait for its start.
    QDeadlineTimer deadline(15000);
    while (page()->url().isEmpty() || m_form->preview()->isLoading()) {
        if (deadline.hasExpired())
            return nullptr;
        QTest::qWait(20);
    }
    return m_form.get();
}

QWebEnginePage* MainWindowFixture::page() const {
    return m_form ? m_form->preview()->page() : nullptr;
}

void MainWindowFixture::close() {
    m_form.reset();
}

QVariant pageValue(QWebEnginePage* page, const QString& script) {
    return runScript(page, script, QWebEngineScript::ApplicationWorld);
}

QString pageText(QWebEnginePage* page) {
    return pageValue(page, QStringLiteral("document.body ? document.body.innerText : ''"))
        .toString();
}

bool waitForTitle(QWebEnginePage* page, const QString& text, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!page->title().contains(text)) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

bool clickElement(zelvorin::MainWindow* form, const QString& selector) {
    return clickElement(form->webView(), selector);
}

void chooseFilter(zelvorin::MainWindow* form, int index) {
    FilterComboBox* box = form->filePanel()->filterBox();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

bool showFolder(zelvorin::MainWindow* form, const QString& folder, int count) {
    form->filePanel()->showStartingFolder(folder);
    QDeadlineTimer deadline(10000);
    while (form->filePanel()->session()->files()->names().size() != count) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

} // namespace zelvorin::test
