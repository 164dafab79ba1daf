// Downloads from the preview: the save question starts at the download folder with the
// server's name, the file lands where the user said, a running download can be cancelled,
// a failure is told with its reason, and a local file the engine cannot show is offered
// to the desktop's program after asking.
#include "Downloads.h"
#include "LoopbackHttpServer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

const QByteArray Attachment = "Content-Type: application/octet-stream\r\n"
                              "Content-Disposition: attachment; filename=\"report 1.txt\"\r\n";
const QByteArray Held = "Content-Type: application/octet-stream\r\n"
                        "Content-Disposition: attachment; filename=\"big.bin\"\r\n";

// Answers the save dialog as the user types: the folder, then the name into the name box
// (which has the focus, so selectFile() would leave it alone).
void chooseFile(QFileDialog* dialog, const QString& path) {
    dialog->setDirectory(QFileInfo(path).absolutePath());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setText(QFileInfo(path).fileName());
}

// Receives what would go to the desktop's programs.
class DesktopStandIn : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

class TestPreviewDownloads : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void saveWhereTheUserSays_data();
    void saveWhereTheUserSays();
    void cancelWhileRunning();
    void failureToldWithReason_data();
    void failureToldWithReason();
    void localFileOfferedToDesktop_data();
    void localFileOfferedToDesktop();

private:
    // Answers the save question with `target`; the window of the download once it runs.
    DownloadWindow* startHeldDownload(const QString& target);

    QTemporaryDir m_folder;
    LoopbackHttpServer* m_server = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
    Downloads* m_downloads = nullptr;
    QSignalSpy* m_finished = nullptr;
    QSignalSpy* m_gauge = nullptr;
    QStringList m_log;
    DesktopStandIn m_desktop;
};

void TestPreviewDownloads::initTestCase() {
    QVERIFY(m_folder.isValid());
    m_server = new LoopbackHttpServer(this);
    QVERIFY(m_server->start());
    m_server->serveRaw("/get/report", "200 OK", Attachment, "the report's own bytes");
    m_server->serve("/page.html", "<html><body>page</body></html>");
    QByteArray big(1 << 20, 'z');
    m_server->serveHeld("/get/big", Held, big, 64 * 1024);
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->WebBrowser1()->resize(400, 300);
    m_preview->WebBrowser1()->show();
    m_downloads = new Downloads(m_profile->profile(), m_preview->WebBrowser1(), this);
    QDir().mkpath(m_folder.filePath("downloads"));
    m_downloads->setDownloadFolder(m_folder.filePath("downloads"));
    m_finished = new QSignalSpy(m_downloads, &Downloads::downloadFinished);
    m_gauge = new QSignalSpy(m_downloads, &Downloads::gaugeChanged);
    connect(m_downloads, &Downloads::logLine, this, [this](const QString& line) { m_log << line; });
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_desktop, "open");
}

void TestPreviewDownloads::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    delete m_finished;
    delete m_gauge;
    m_preview.reset();
}

void TestPreviewDownloads::init() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<DownloadWindow*>(widget) || qobject_cast<QMessageBox*>(widget))
            widget->close();
    }
    QDir(m_folder.filePath("downloads")).removeRecursively();
    QDir().mkpath(m_folder.filePath("downloads"));
    // Each case starts where a first save question starts.
    m_downloads->setDownloadFolder(m_folder.filePath("downloads"));
    m_finished->clear();
    m_gauge->clear();
    m_log.clear();
    m_desktop.opened.clear();
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page.html")));
}

void TestPreviewDownloads::saveWhereTheUserSays_data() {
    QTest::addColumn<QString>("answer"); // a name below the folder, "" keeps, "-" declines
    QTest::addColumn<QString>("saved");
    QTest::newRow("the server's name") << ""
                                       << "downloads/report 1.txt";
    QTest::newRow("a name of the user's") << "mine/notes.txt"
                                          << "mine/notes.txt";
    QTest::newRow("declined") << "-"
                              << "";
}

void TestPreviewDownloads::saveWhereTheUserSays() {
    QFETCH(QString, answer);
    QFETCH(QString, saved);
    QDir().mkpath(m_folder.filePath("mine"));
    QString offered;
    answerNextModal<QFileDialog>([&](QFileDialog* dialog) {
        offered = dialog->selectedFiles().value(0);
        if (answer == "-")
            dialog->reject();
        else {
            if (!answer.isEmpty())
                chooseFile(dialog, m_folder.filePath(answer));
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    m_preview->page()->load(m_server->url("/get/report"));
    if (saved.isEmpty()) {
        QTRY_VERIFY(!m_log.isEmpty());
        QVERIFY2(m_log.last().startsWith("     FileDownloadDeclined -  URL: "),
                 qPrintable(m_log.last()));
        QCOMPARE(m_finished->count(), 0);
        QVERIFY(!QFile::exists(m_folder.filePath("downloads/report 1.txt")));
    } else {
        QTRY_COMPARE(m_finished->count(), 1);
        const QString path = m_folder.filePath(saved);
        QCOMPARE(m_finished->at(0), (QVariantList{path, true, QString()}));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("the report's own bytes"));
        QCOMPARE(m_log.first(),
                 downloadlog::started(m_server->url("/get/report").toString(), path));
        QCOMPARE(m_log.last(), downloadlog::completed(path));
        QVERIFY(m_gauge->count() >= 2);
        QCOMPARE(m_gauge->first().value(0).toBool(), true);
        QCOMPARE(m_gauge->last(), (QVariantList{false, 0}));
    }
    QCOMPARE(offered, m_folder.filePath("downloads/report 1.txt"));
    // The page stays as it was.
    QCOMPARE(m_preview->page()->url(), m_server->url("/page.html"));
}

DownloadWindow* TestPreviewDownloads::startHeldDownload(const QString& target) {
    answerNextModal<QFileDialog>([target](QFileDialog* dialog) {
        chooseFile(dialog, target);
        static_cast<QDialog*>(dialog)->accept();
    });
    m_preview->page()->load(m_server->url("/get/big"));
    QList<DownloadWindow*> running;
    QDeadlineTimer deadline(15000);
    while (running.isEmpty() && !deadline.hasExpired()) {
        QTest::qWait(20);
        running = m_downloads->runningWindows();
    }
    return running.value(0);
}

void TestPreviewDownloads::cancelWhileRunning() {
    const QString target = m_folder.filePath("downloads/big.bin");
    DownloadWindow* window = startHeldDownload(target);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    // The server holds the rest back: the download stands part of the way.
    QTRY_VERIFY(window->download()->receivedBytes() >= 64 * 1024);
    QTRY_VERIFY(!m_gauge->isEmpty() && m_gauge->last().value(0).toBool() &&
                m_gauge->last().value(1).toInt() == 6);
    QVERIFY(m_log.contains(downloadlog::progress(64 * 1024, 1 << 20)));
    QTest::mouseClick(window->button(), Qt::LeftButton);
    QTRY_COMPARE(m_finished->count(), 1);
    QCOMPARE(m_finished->at(0), (QVariantList{target, false, QStringLiteral("cancelled")}));
    QCOMPARE(window->message(), QStringLiteral("The download of big.bin was cancelled."));
    QCOMPARE(window->button()->text(), QStringLiteral("Close"));
    QCOMPARE(m_log.last(), downloadlog::cancelled(target));
    QCOMPARE(m_gauge->last(), (QVariantList{false, 0}));
    QTRY_VERIFY(!QFile::exists(target));
    QVERIFY(m_downloads->runningWindows().isEmpty());
    m_server->dropHeld();
    window->close();
}

void TestPreviewDownloads::failureToldWithReason_data() {
    QTest::addColumn<bool>("folderGone");
    QTest::addColumn<QString>("expectedReason");
    QTest::newRow("the chosen folder is gone") << true << "@ is not a folder";
    QTest::newRow("the connection is lost") << false << "the server sent less than it announced";
}

void TestPreviewDownloads::failureToldWithReason() {
    QFETCH(bool, folderGone);
    QFETCH(QString, expectedReason);
    const QString folder = m_folder.filePath("downloads/chosen");
    expectedReason.replace('@', folder);
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + "/big.bin";
    // A file takes the chosen folder's place before the engine writes.
    answerNextModal<QFileDialog>([target, folder, folderGone](QFileDialog* dialog) {
        chooseFile(dialog, target);
        static_cast<QDialog*>(dialog)->accept();
        if (folderGone) {
            QDir(folder).removeRecursively();
            writeFile(folder, "a file");
        }
    });
    m_preview->page()->load(m_server->url("/get/big"));
    // The engine tries a lost connection again a few times before it gives up.
    QDeadlineTimer deadline(30000);
    while (m_finished->isEmpty() && !deadline.hasExpired()) {
        QTest::qWait(50);
        m_server->dropHeld();
    }
    QCOMPARE(m_finished->count(), 1);
    const QVariantList result = m_finished->at(0);
    QCOMPARE(result.value(0).toString(), target);
    QCOMPARE(result.value(1).toBool(), false);
    const QString reason = result.value(2).toString();
    QCOMPARE(reason, expectedReason);
    const QString message = QStringLiteral("big.bin could not be saved: %1.").arg(reason);
    QStringList shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<DownloadWindow*>(widget); window && window->isVisible())
            shown << window->message();
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            shown << box->text();
    }
    QCOMPARE(shown, QStringList{message});
    QCOMPARE(m_log.last(), downloadlog::failed(target, reason));
    // The engine's own new tries after a lost connection ask nothing again.
    QCOMPARE(m_log.count(downloadlog::started(m_server->url("/get/big").toString(), target)),
             folderGone ? 0 : 1);
    QCOMPARE(m_gauge->isEmpty() ? false : m_gauge->last().value(0).toBool(), false);
}

void TestPreviewDownloads::localFileOfferedToDesktop_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("the user agrees") << true;
    QTest::newRow("the user declines") << false;
}

void TestPreviewDownloads::localFileOfferedToDesktop() {
    QFETCH(bool, yes);
    const QString mail = m_folder.filePath("mail/letter.eml");
    QVERIFY(writeFile(mail, "From: ann@example.org\r\nSubject: tiles\r\n\r\nHello.\r\n"));
    QString question;
    answerNextModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    QSignalSpy opened(m_downloads, &Downloads::openedWithDesktop);
    m_preview->OpenAddress(mail);
    QTRY_VERIFY(!question.isEmpty());
    QCOMPARE(question, Downloads::OpenWithDesktopQuestion("letter.eml"));
    if (yes) {
        QTRY_COMPARE(opened.count(), 1);
        QCOMPARE(m_desktop.opened, (QList<QUrl>{QUrl::fromLocalFile(mail)}));
        QCOMPARE(m_log.last(),
                 downloadlog::openWithDesktop(QUrl::fromLocalFile(mail).toString(), true));
    } else {
        QTRY_VERIFY(!m_log.isEmpty());
        QCOMPARE(m_log.last(), downloadlog::declined(QUrl::fromLocalFile(mail).toString()));
        QVERIFY(m_desktop.opened.isEmpty());
    }
    QCOMPARE(m_finished->count(), 0);
}

ZELVORIN_TEST_MAIN_WITH(TestPreviewDownloads, zelvorin::RegisterUrlSchemes)
#include "test_preview_downloads.moc"
