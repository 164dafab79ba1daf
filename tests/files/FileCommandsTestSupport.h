// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Support for tests of the file list's commands: a file panel in a window of its own with
// the context menus the main window gives it, showing a folder; drag events sent to the
// file list as another program would send them; files and folders made by the test.
#pragma once

#include "FileListCommands.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FileMessages.h"
#include "FilePanel.h"
#include "FolderFiles.h"
#include "FolderMonitor.h"
#include "FolderSession.h"
#include "FolderTreeView.h"
#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>
#include <memory>
#include <sys/stat.h>
#include <utility>

namespace zelvorin::test {

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Every name in a folder, hidden ones included, sorted.
inline QStringList allNames(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

inline dev_t deviceOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_dev : dev_t(-1);
}

// A fresh folder on another file system than the test's folders (/dev/shm), or empty
// when there is none.
inline QString otherFileSystemFolder(const QString& beside) {
    const QString shm = QStringLiteral("/dev/shm");
    if (!QFileInfo(shm).isDir() || !QFileInfo(shm).isWritable() ||
        deviceOf(shm) == deviceOf(beside))
        return {};
    const QString folder =
        shm + "/zelvorin-test-" + QString::number(QRandomGenerator::global()->generate(), 36);
    return QDir().mkpath(folder) ? folder : QString();
}

inline QMimeData* uriList(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(path.contains(QLatin1String("://")) ? QUrl(path) : QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

// What a test stands in for the desktop, the user's eyes and slow folders with. The panel
// keeps the services it was made with; these forward to the stand-ins, which a test may
// change while the panel lives.
struct StandIns {
    zelvorin::ErrorMessenger showError;                      // null: the message box
    std::function<bool(const QUrl& url)> openUrl;            // null: no program takes it
    std::function<bool(const QString& path)> showProperties; // null: no file manager
    std::function<bool(const QByteArray& path)> mayBlock;    // null: no folder blocks
};

inline zelvorin::ProgramServices forwardingTo(const std::shared_ptr<StandIns>& standIns) {
    zelvorin::ProgramServices services;
    services.showError = [standIns](QWidget* parent, const QString& text) {
        if (standIns->showError)
            standIns->showError(parent, text);
        else
            zelvorin::showErrorBox(parent, text);
    };
    services.desktop.openUrl = [standIns](const QUrl& url) {
        return standIns->openUrl && standIns->openUrl(url);
    };
    services.desktop.showItemProperties = [standIns](const QString& path) {
        return standIns->showProperties && standIns->showProperties(path);
    };
    services.folders.mayBlock = [standIns](const QByteArray& path) {
        return standIns->mayBlock && standIns->mayBlock(path);
    };
    return services;
}

// The file column's error messages while it lives, kept instead of shown.
class ToldMessages {
public:
    explicit ToldMessages(StandIns& standIns)
        : m_standIns(standIns),
          m_previous(std::exchange(standIns.showError, [this](QWidget*, const QString& text) {
              m_told.append(text);
          })) {}
    ~ToldMessages() { m_standIns.showError = std::move(m_previous); }
    ToldMessages(const ToldMessages&) = delete;
    ToldMessages& operator=(const ToldMessages&) = delete;
    const QStringList& told() const { return m_told; }
    void clear() { m_told.clear(); }

private:
    StandIns& m_standIns;
    QStringList m_told;
    zelvorin::ErrorMessenger m_previous;
};

struct DragOutcome {
    bool enterAccepted = false;
    Qt::DropAction enterAction = Qt::IgnoreAction;
    bool dropAccepted = false;
    Qt::DropAction dropAction = Qt::IgnoreAction;
};

// Drags the data over a widget and drops it, as the platform delivers another program's
// drag: enter, one move, then the drop (only when the enter was accepted).
inline DragOutcome dragAndDrop(QWidget* site, const QMimeData* data, Qt::DropActions offered,
                               Qt::KeyboardModifiers keys, QPoint at = QPoint(20, 10)) {
    DragOutcome outcome;
    QDragEnterEvent enter(at, offered, data, Qt::LeftButton, keys);
    QApplication::sendEvent(site, &enter);
    outcome.enterAccepted = enter.isAccepted();
    outcome.enterAction = enter.dropAction();
    if (!outcome.enterAccepted)
        return outcome;
    QDragMoveEvent move(at + QPoint(1, 1), offered, data, Qt::LeftButton, keys);
    QApplication::sendEvent(site, &move);
    QDropEvent drop(QPointF(at + QPoint(1, 1)), offered, data, Qt::LeftButton, keys);
    QApplication::sendEvent(site, &drop);
    outcome.dropAccepted = drop.isAccepted();
    outcome.dropAction = drop.dropAction();
    return outcome;
}

// A file panel in a window of its own, its commands given context menus as the main
// window gives them.
class FilePanelFixture {
public:
    FilePanelFixture() {
        m_window = std::make_unique<QWidget>();
        m_window->setObjectName(QStringLiteral("FilePanelWindow"));
        auto* layout = new QVBoxLayout(m_window.get());
        m_panel = new zelvorin::FilePanel(m_window.get(), forwardingTo(m_standIns));
        layout->addWidget(m_panel);
        m_fileMenu = new QMenu(m_window.get());
        m_copyName = m_fileMenu->addAction(QStringLiteral("Copy &name"));
        m_copyNameAndPath = m_fileMenu->addAction(QStringLiteral("Copy name and &path"));
        m_fileMenu->addSeparator();
        m_fileProperties = m_fileMenu->addAction(QStringLiteral("P&roperties"));
        m_folderMenu = new QMenu(m_window.get());
        m_folderProperties = m_folderMenu->addAction(QStringLiteral("P&roperties"));
        commands()->setContextMenus({m_fileMenu, m_copyName, m_copyNameAndPath, m_fileProperties,
                                     m_folderMenu, m_folderProperties});
        m_window->resize(300, 600);
        m_window->show();
    }
    QWidget* window() const { return m_window.get(); }
    StandIns& standIns() const { return *m_standIns; }
    zelvorin::FilePanel* panel() const { return m_panel; }
    zelvorin::FileListCommands* commands() const { return m_panel->commands(); }
    zelvorin::FolderFiles* files() const { return m_panel->session()->files(); }
    zelvorin::FileListView* view() const { return m_panel->fileList(); }
    zelvorin::FolderTreeView* folders() const { return m_panel->folderTree(); }
    QMenu* fileMenu() const { return m_fileMenu; }
    QAction* copyName() const { return m_copyName; }
    QAction* copyNameAndPath() const { return m_copyNameAndPath; }
    QAction* fileProperties() const { return m_fileProperties; }
    QMenu* folderMenu() const { return m_folderMenu; }
    QAction* folderProperties() const { return m_folderProperties; }
    // Shows a folder in the file column, as choosing it in the folder list does.
    void show(const QString& folder) const {
        m_panel->session()->setFolder(folder);
        files()->reread();
    }
    QPoint rowCenter(int row) const {
        return view()->visualRect(files()->model()->index(row, 0)).center();
    }
    QPoint belowLastRow() const {
        const QRect last = view()->visualRect(files()->model()->index(files()->count() - 1, 0));
        return QPoint(last.center().x(), last.bottom() + 8);
    }

private:
    std::shared_ptr<StandIns> m_standIns = std::make_shared<StandIns>();
    std::unique_ptr<QWidget> m_window;
    zelvorin::FilePanel* m_panel = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_copyName = nullptr;
    QAction* m_copyNameAndPath = nullptr;
    QAction* m_fileProperties = nullptr;
    QMenu* m_folderMenu = nullptr;
    QAction* m_folderProperties = nullptr;
};

} // namespace zelvorin::test
