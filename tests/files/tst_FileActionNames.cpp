// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every file action reaches the file itself when its name is not UTF-8: only the text
// shown differs (U+FFFD, with a tooltip that says so); what is opened, trashed, copied,
// moved, dragged, put on the clipboard or shown in a gallery is the name's own bytes.
#include "FileCommandsTestSupport.h"
#include "FileDragSource.h"
#include "FileListModel.h"
#include "FileProperties.h"
#include "FilePropertiesDialog.h"
#include "GalleryPageBuilder.h"
#include "LosslessNames.h"
#include "RawFiles.h"
#include "TestEnvironment.h"

#include <QClipboard>
#include <QDrag>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

#include <fcntl.h>
#include <unistd.h>

using namespace zelvorin;
using namespace zelvorin::test;
namespace platform = zelvorin::platform;

namespace {

// Latin-1 bytes: "café ÿ.png" as an old system or a camera may write it.
const QByteArray RawName("caf\xE9 \xFF.png");
const QString ShownName = QString::fromUtf8("caf\uFFFD \uFFFD.png");

QMimeData* uriListOf(const QByteArray& path) {
    auto* data = new QMimeData;
    data->setUrls({platform::fileUrl(path)});
    return data;
}

} // namespace

class FileActionNamesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FilePanelFixture> m_window;
    QByteArray m_folder;  // the folder the list shows
    QByteArray m_sources; // another folder on the same file system

    FolderFiles* files() const { return m_window->files(); }
    FileListView* view() const { return m_window->view(); }
    QByteArray shownPath() const { return m_folder + '/' + RawName; }

private slots:
    void init() {
        static int count = 0;
        const QByteArray base = QFile::encodeName(qEnvironmentVariable("HOME")) + "/names-" +
                                QByteArray::number(++count);
        m_folder = base + "/shown";
        m_sources = base + "/sources";
        QVERIFY(QDir().mkpath(QString::fromUtf8(m_folder)));
        QVERIFY(QDir().mkpath(QString::fromUtf8(m_sources)));
        QVERIFY(makeFile(shownPath(), "image"));
        m_window = std::make_unique<FilePanelFixture>();
        QVERIFY(QTest::qWaitForWindowExposed(m_window->window()));
        m_window->show(QString::fromUtf8(m_folder));
        QCOMPARE(files()->names(), QStringList({ShownName}));
        files()->selectRowTold(0);
    }
    void cleanup() { m_window.reset(); }

    void everyActionReachesTheFileItself_data() {
        QTest::addColumn<QString>("action");
        for (const char* action : {"shown", "trash", "copy in", "move in", "drag out", "clipboard",
                                   "open", "properties", "gallery item"})
            QTest::newRow(action) << QString::fromLatin1(action);
    }
    void everyActionReachesTheFileItself() {
        QFETCH(QString, action);
        ToldMessages messages(m_window->standIns());
        const QByteArray path = shownPath();

        if (action == "shown") {
            // The chosen file's path text gives its bytes back; the tooltip says what the
            // shown name stands for.
            QCOMPARE(platform::encodePath(m_window->panel()->session()->chosenFile()), path);
            const QPoint at = m_window->rowCenter(0);
            QHelpEvent help(QEvent::ToolTip, at, view()->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view()->viewport(), &help);
            QTRY_VERIFY(QToolTip::isVisible());
            QVERIFY2(QToolTip::text().contains("caf\\xE9 \\xFF.png") &&
                         QToolTip::text().contains(QChar(QChar::ReplacementCharacter)),
                     qPrintable(QToolTip::text()));
            QToolTip::hideText();
        } else if (action == "trash") {
            QuestionAnswerer answerer(true);
            QTest::keyClick(view(), Qt::Key_Delete);
            QCOMPARE(answerer.asked(), 1);
            QVERIFY(answerer.lastQuestion().contains(ShownName));
            QVERIFY(!exists(path));
            const QByteArray trash =
                QFile::encodeName(qEnvironmentVariable("XDG_DATA_HOME")) + "/Trash";
            QCOMPARE(contents(trash + "/files/" + RawName), QByteArray("image"));
            const QByteArray info = contents(trash + "/info/" + RawName + ".trashinfo");
            QVERIFY2(info.contains("\nPath=" + path.toPercentEncoding("/") + '\n'), info);
            QVERIFY(info.contains("caf%E9%20%FF.png"));
            QCOMPARE(files()->count(), 0);
        } else if (action == "copy in" || action == "move in") {
            const bool moving = action == "move in";
            QVERIFY(::unlink(path.constData()) == 0);
            const QByteArray from = m_sources + '/' + RawName;
            QVERIFY(makeFile(from, "dropped"));
            std::unique_ptr<QMimeData> data(uriListOf(from));
            const DragOutcome outcome =
                dragAndDrop(view()->viewport(), data.get(), Qt::CopyAction | Qt::MoveAction,
                            moving ? Qt::NoModifier : Qt::ControlModifier);
            QCOMPARE(outcome.dropAction, moving ? Qt::MoveAction : Qt::CopyAction);
            // A copy runs after the drop has been answered.
            QTRY_COMPARE(contents(path), QByteArray("dropped"));
            QCOMPARE(exists(from), !moving);
            QTRY_COMPARE(files()->names(), QStringList({ShownName}));
        } else if (action == "drag out") {
            QByteArray uriList;
            QList<QUrl> urls;
            m_window->commands()->dragSource()->setDragRunner([&](QDrag& drag, Qt::DropActions) {
                urls = drag.mimeData()->urls();
                uriList = drag.mimeData()->data("text/uri-list");
                return Qt::CopyAction;
            });
            const QPoint start = m_window->rowCenter(0);
            QTest::mousePress(view()->viewport(), Qt::LeftButton, {}, start);
            QMouseEvent move(QEvent::MouseMove, start + QPoint(12, 0), start + QPoint(12, 0),
                             Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(view()->viewport(), &move);
            QCOMPARE(urls, QList<QUrl>({platform::fileUrl(path)}));
            QCOMPARE(platform::rawPathOfUrl(urls.first()), path);
            QVERIFY2(uriList.contains("/shown/caf%E9%20%FF.png"), uriList);
        } else if (action == "clipboard") {
            QClipboard* clipboard = QApplication::clipboard();
            m_window->copyName()->trigger();
            QCOMPARE(clipboard->mimeData()->data("text/plain"), RawName);
            m_window->copyNameAndPath()->trigger();
            QCOMPARE(clipboard->mimeData()->data("text/plain"), path);
            QCOMPARE(clipboard->mimeData()->urls(), QList<QUrl>({platform::fileUrl(path)}));
        } else if (action == "open") {
            QList<QUrl> opened;
            m_window->standIns().openUrl = [&](const QUrl& url) {
                opened << url;
                return true;
            };
            QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, m_window->rowCenter(0));
            m_window->standIns().openUrl = nullptr;
            QCOMPARE(opened.size(), 1);
            QCOMPARE(platform::rawPathOfUrl(opened.first()), path);
        } else if (action == "properties") {
            QStringList asked;
            m_window->standIns().showProperties = [&](const QString& text) {
                asked << text;
                return false; // no file manager: the program's own window shows
            };
            m_window->fileProperties()->trigger();
            m_window->standIns().showProperties = nullptr;
            QCOMPARE(asked.size(), 1);
            QCOMPARE(platform::encodePath(asked.first()), path);
            const auto dialogs =
                m_window->window()->findChildren<zelvorin::FilePropertiesDialog*>();
            QCOMPARE(dialogs.size(), 1);
            QCOMPARE(dialogs.first()->findChild<QLabel*>("NameValue")->text(), ShownName);
            QCOMPARE(dialogs.first()->findChild<QLabel*>("SizeValue")->text(), QString("5 bytes"));
            QVERIFY(dialogs.first()->findChild<QLabel*>("TypeValue")->text().contains("image/png"));
        } else if (action == "gallery item") {
            // The window's pages read the list's image names as the list keeps them.
            files()->setMarkRule(&zelvorin::isGalleryImage);
            files()->reread();
            QTRY_VERIFY(!files()->isReading());
            const auto images = files()->markedNames();
            QCOMPARE(images->count(), 1);
            const QStringList names{images->name(0)};
            QStringList addressed;
            const QString page = zelvorin::generateGalleryPage(
                files()->folder(), names, 1, zelvorin::GalleryItemsPerPage,
                zelvorin::SimpleListStyle, [&](const QString& image) {
                    addressed << image;
                    return zelvorin::FileImageUrl(image);
                });
            QCOMPARE(addressed.size(), 1);
            QCOMPARE(platform::encodePath(addressed.first()), path);
            QVERIFY(page.contains("(1 image)"));
            QVERIFY(page.contains("<b>" + ShownName.toHtmlEscaped() + "</b>"));
            QVERIFY(page.contains("/shown/caf%E9%20%FF.png\""));
        }
        QVERIFY2(messages.told().isEmpty(), qPrintable(messages.told().join('\n')));
        // No stand-in for the file was made anywhere.
        QCOMPARE(QDir(qEnvironmentVariable("XDG_RUNTIME_DIR"))
                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }
};

ZELVORIN_TEST_MAIN(FileActionNamesTest)
#include "tst_FileActionNames.moc"
