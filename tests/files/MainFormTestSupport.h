// Support for tests of the main window's file commands: a window on a temporary settings
// hive showing a folder, the questions the program asks answered by the test, drag
// events sent to the file list as another program would send them, and the trash.
#pragma once

#include "FilePanel.h"
#include "MainUnit.h"
#include "NeededRegistryLib.h"
#include "ProgramValues.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QMessageBox>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <memory>
#include <sys/stat.h>

namespace zelvorin::test {

// Answers every Yes/No question box that opens while it lives, and counts them. `onAsk`
// runs while the question is open (to look at the program's state at that moment).
class QuestionAnswerer : public QObject {
public:
    explicit QuestionAnswerer(bool yes, std::function<void()> onAsk = {})
        : m_yes(yes), m_onAsk(std::move(onAsk)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { answer(); });
        m_timer.start();
    }
    int asked() const { return m_asked; }
    QString lastQuestion() const { return m_lastQuestion; }

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        ++m_asked;
        m_lastQuestion = box->text();
        if (m_onAsk)
            m_onAsk();
        // The question's answer is the button clicked, not the dialog's result code.
        if (QAbstractButton* button = box->button(m_yes ? QMessageBox::Yes : QMessageBox::No))
            button->click();
        else
            box->reject();
    }
    bool m_yes = true;
    std::function<void()> m_onAsk;
    QTimer m_timer;
    int m_asked = 0;
    QString m_lastQuestion;
};

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

// The main window on its own settings hive.
class MainWindowFixture {
public:
    MainWindowFixture() {
        m_hive = QDir::tempPath() + "/zelvorin-filecommands-" +
                 QString::number(QRandomGenerator::global()->generate()) + ".db";
        m_values =
            std::make_unique<zelvorin::ProgramValues>(qEnvironmentVariable("ZELVORIN_PROGRAM_DIR"),
                                                      std::make_unique<TUsefulRegistry>(m_hive));
        m_form = std::make_unique<TMainForm>(*m_values);
        m_form->setWindowState(Qt::WindowNoState);
        m_form->resize(800, 600);
        m_form->show();
    }
    ~MainWindowFixture() {
        m_form.reset();
        m_values.reset();
        QFile::remove(m_hive);
    }
    TMainForm* form() const { return m_form.get(); }
    TUsefulFileBox* files() const { return m_form->MainFilePanel->FileListBox1(); }
    TUsefulDirectoryBox* folders() const { return m_form->MainFilePanel->DirectoryListBox1(); }
    // Shows a folder in the file column, as choosing it in the folder list does.
    void show(const QString& folder) const {
        folders()->SetDirectory(folder);
        files()->Update();
    }
    QPoint rowCenter(int row) const {
        return files()->visualRect(files()->model()->index(row, 0)).center();
    }
    QPoint belowLastRow() const {
        const QRect last = files()->visualRect(files()->model()->index(files()->Count() - 1, 0));
        return QPoint(last.center().x(), last.bottom() + 8);
    }

private:
    QString m_hive;
    std::unique_ptr<zelvorin::ProgramValues> m_values;
    std::unique_ptr<TMainForm> m_form;
};

} // namespace zelvorin::test
