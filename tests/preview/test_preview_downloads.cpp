// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Downloads from the preview: the save question starts at the download folder with the
// server's name, the file lands where the user said, a running download can be cancelled,
// a failure is told with its reason, and a local file the engine cannot show is offered
// to the desktop's program after asking.
#include "Downloads.h"
#include "LoopbackHttpServer.h"
#include "ModalAnswerer.h"
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
    void pageProposesNameNeverPlace_data();
    void pageProposesNameNeverPlace();
    void questionStartsWhereUserSavedLast();
    void existingFileReplacedOnlyAfterAsking_data();
    void existingFileReplacedOnlyAfterAsking();
    void oneQuestionPerPage();
    void downloadsWithoutClickLimited();
    void nothingRunnableGoesToDesktop_data();
    void nothingRunnableGoesToDesktop();

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
    const auto attachment = [&](const QString& path, const QByteArray& disposition) {
        m_server->serveRaw(path, "200 OK",
                           "Content-Type: application/octet-stream\r\nContent-Disposition: "
                           "attachment; " +
                               disposition + "\r\n",
                           "bytes a page sent");
    };
    attachment("/name/parents", "filename=\"../../x\"");
    attachment("/name/absolute", "filename=\"/tmp/x\"");
    attachment("/name/hidden", "filename=\".bashrc\"");
    attachment("/name/home", "filename=\"~/.profile\"");
    attachment("/name/encoded", "filename*=UTF-8''..%2F..%2Fevil.sh");
    attachment("/name/break", "filename*=UTF-8''two%0Alines.txt");
    attachment("/name/override", "filename*=UTF-8''report%E2%80%AEtxt.exe");
    m_server->serve("/plain.txt", "a page's text", "text/plain");
    const QByteArray whole = "style='position:fixed;left:0;top:0;width:100%;height:100%'";
    m_server->serve("/name/attribute.html",
                    "<html><body><a id=go " + whole +
                        " href='/plain.txt' download='../.config/autostart/x.desktop'>go</a>"
                        "</body></html>");
    // Fifteen downloads at once on a click, and six in a row without one.
    m_server->serve("/burst.html",
                    "<html><body><button id=go " + whole +
                        ">go</button><script>document.getElementById('go').onclick ="
                        " function () { for (var i = 0; i < 15; i++) {"
                        " var a = document.createElement('a'); a.href = '/get/report?' + i;"
                        " a.download = ''; document.body.appendChild(a); a.click(); } };"
                        "</script></body></html>");
    m_server->serve("/flood.html",
                    "<html><body><script>var n = 0; var timer = setInterval(function () {"
                    " var a = document.createElement('a'); a.href = '/get/report?' + n;"
                    " a.download = ''; document.body.appendChild(a); a.click();"
                    " if (++n === 6) clearInterval(timer); }, 500);</script></body></html>");
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(400, 300);
    m_preview->view()->show();
    m_downloads = new Downloads(m_profile->profile(), m_preview->view(), this);
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
    bool noByDefault = false;
    answerNextModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        noByDefault = box->defaultButton() == box->button(QMessageBox::No);
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    QSignalSpy opened(m_downloads, &Downloads::openedWithDesktop);
    m_preview->openAddress(mail);
    QTRY_VERIFY(!question.isEmpty());
    QCOMPARE(question, Downloads::OpenWithDesktopQuestion("letter.eml"));
    // Whatever the desktop runs with the file, Enter alone does not start it.
    QVERIFY(noByDefault);
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

// Whatever name a page proposes, by a header, an encoded header or a link's attribute, the
// question opens in the download folder with a plain, visible base name, and no folder the
// page named is made.
void TestPreviewDownloads::pageProposesNameNeverPlace_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("offered");
    QTest::newRow("parent folders") << "/name/parents"
                                    << "x";
    QTest::newRow("absolute path") << "/name/absolute"
                                   << "x";
    QTest::newRow("hidden name") << "/name/hidden"
                                 << "bashrc";
    QTest::newRow("home folder") << "/name/home"
                                 << "profile";
    QTest::newRow("encoded folders") << "/name/encoded"
                                     << "evil.sh";
    QTest::newRow("line break") << "/name/break"
                                << "two lines.txt";
    QTest::newRow("right-to-left override") << "/name/override"
                                            << "reporttxt.exe";
    QTest::newRow("link attribute naming the autostart folder") << "/name/attribute.html"
                                                                << "x.desktop";
}

void TestPreviewDownloads::pageProposesNameNeverPlace() {
    QFETCH(QString, address);
    QFETCH(QString, offered);
    QString folder;
    QString name;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return false;
        folder = dialog->directory().absolutePath();
        name = dialog->selectedFiles().value(0);
        dialog->reject();
        return true;
    });
    if (address.endsWith(".html")) {
        QVERIFY(loadAndWait(m_preview->page(), m_server->url(address)));
        QVERIFY(clickElement(m_preview->view(), "#go"));
    } else {
        m_preview->page()->load(m_server->url(address));
    }
    QTRY_COMPARE(answerer.answered(), 1);
    QCOMPARE(folder, m_folder.filePath("downloads"));
    QCOMPARE(name, m_folder.filePath("downloads/") + offered);
    QVERIFY(!QFileInfo::exists(m_folder.filePath(".config")));
    QVERIFY(!QFileInfo::exists(QDir::home().filePath(".config/autostart/x.desktop")));
}

void TestPreviewDownloads::questionStartsWhereUserSavedLast() {
    QVERIFY(QDir().mkpath(m_folder.filePath("mine")));
    answerNextModal<QFileDialog>([&](QFileDialog* dialog) {
        chooseFile(dialog, m_folder.filePath("mine/first.txt"));
        static_cast<QDialog*>(dialog)->accept();
    });
    m_preview->page()->load(m_server->url("/get/report"));
    QTRY_COMPARE(m_finished->count(), 1);
    QString offered;
    answerNextModal<QFileDialog>([&](QFileDialog* dialog) {
        offered = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    m_preview->page()->load(m_server->url("/get/report"));
    QTRY_VERIFY(!offered.isEmpty());
    QCOMPARE(offered, m_folder.filePath("mine/report 1.txt"));
}

// The dialog's own question guards a file that is there: Enter on the offered name does not
// replace it; the user's Yes does.
void TestPreviewDownloads::existingFileReplacedOnlyAfterAsking_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("the user keeps the file") << false;
    QTest::newRow("the user replaces it") << true;
}

void TestPreviewDownloads::existingFileReplacedOnlyAfterAsking() {
    QFETCH(bool, replace);
    const QString path = m_folder.filePath("downloads/report 1.txt");
    QVERIFY(writeFile(path, "the user's own words"));
    int questions = 0;
    bool noByDefault = false;
    // Two answerers: the dialog's own question opens while the first one presses Enter.
    ModalAnswerer questionAnswerer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return false;
        ++questions;
        noByDefault = box->defaultButton() == box->button(QMessageBox::No);
        box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
        return true;
    });
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return false;
        // Enter the first time, as the user presses it; after a No the user gives up.
        if (questions == 0)
            QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                            Qt::Key_Return);
        else
            dialog->reject();
        return true;
    });
    m_preview->page()->load(m_server->url("/get/report"));
    QTRY_VERIFY(questions == 1 && (replace ? m_finished->count() == 1 : !m_log.isEmpty()));
    QVERIFY(noByDefault);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             replace ? QByteArray("the report's own bytes") : QByteArray("the user's own words"));
    if (replace)
        QCOMPARE(m_finished->at(0), (QVariantList{path, true, QString()}));
    else
        QVERIFY(m_log.last().startsWith("     FileDownloadDeclined -  URL: "));
}

// Fifteen downloads started by one click: one question, the rest declined while it is open.
void TestPreviewDownloads::oneQuestionPerPage() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/burst.html")));
    QElapsedTimer open;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return false;
        // The question stays open a while, as the user reads it.
        if (!open.isValid())
            open.start();
        if (open.elapsed() < 1000)
            return false;
        dialog->reject();
        return true;
    });
    QVERIFY(clickElement(m_preview->view(), "#go"));
    QTRY_COMPARE_WITH_TIMEOUT(answerer.answered(), 1, 15000);
    // The engine holds the others back while the question is open (and lets only some ten
    // of the fifteen through at all); each is declined as it comes.
    QTRY_VERIFY(m_log.filter("FileDownloadRefused").size() >= 5);
    QTest::qWait(500);
    for (const QString& line : m_log.filter("FileDownloadRefused"))
        QVERIFY(line.endsWith("Reason: \"a question of this page is open\""));
    QCOMPARE(answerer.answered(), 1);
    QCOMPARE(m_log.filter("FileDownloadDeclined").size(), 1);
}

// A page that starts a download every half second without any click: three questions in
// the minute, then declined.
void TestPreviewDownloads::downloadsWithoutClickLimited() {
    // A page of its own, which the user has never clicked.
    QWidget holder;
    Preview fresh(m_profile, &holder, nullptr);
    int asked = 0;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return false;
        ++asked;
        dialog->reject();
        return true;
    });
    QVERIFY(loadAndWait(fresh.page(), m_server->url("/flood.html")));
    QTRY_COMPARE_WITH_TIMEOUT(m_log.filter("FileDownloadRefused").size() + asked, 6, 15000);
    QCOMPARE(asked, Downloads::UnpromptedPerMinute);
    QCOMPARE(m_log.filter("FileDownloadRefused").size(), 3);
    QVERIFY(m_log.filter("FileDownloadRefused")
                .last()
                .endsWith("Reason: \"more than 3 downloads a minute without a click\""));
}

// A local page's links to runnable files (clicked by the user) never reach the desktop's
// programs, nor a question about them; neither does a page's link to a mail file.
void TestPreviewDownloads::nothingRunnableGoesToDesktop_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("attribute");
    QTest::newRow("desktop entry") << "launch.desktop"
                                   << "";
    QTest::newRow("shell script") << "run.sh"
                                  << "";
    QTest::newRow("script as a download") << "run.sh"
                                          << "download";
    QTest::newRow("mail file a page links to") << "letter.eml"
                                               << "";
}

void TestPreviewDownloads::nothingRunnableGoesToDesktop() {
    QFETCH(QString, file);
    QFETCH(QString, attribute);
    const QString folder = m_folder.filePath("site");
    QVERIFY(writeFile(folder + "/launch.desktop",
                      "[Desktop Entry]\nType=Application\nName=x\nExec=touch /tmp/zelvorin-ran\n"));
    QVERIFY(writeFile(folder + "/run.sh", "#!/bin/sh\ntouch /tmp/zelvorin-ran\n"));
    QVERIFY(writeFile(folder + "/letter.eml", "From: a@example.org\r\n\r\nHello.\r\n"));
    QVERIFY(writeFile(folder + "/index.html",
                      ("<html><body><a id=go style='position:fixed;left:0;top:0;width:100%;"
                       "height:100%' href='" +
                       file + "' " + attribute + ">go</a></body></html>")
                          .toUtf8()));
    QVERIFY(loadAndWait(m_preview->page(), QUrl::fromLocalFile(folder + "/index.html")));
    ModalAnswerer answerer([](QWidget* modal) {
        modal->close();
        return true;
    });
    QSignalSpy finished(m_preview->page(), &QWebEnginePage::loadFinished);
    QSignalSpy refused(m_preview->page(), &PreviewPage::navigationRefused);
    QVERIFY(clickElement(m_preview->view(), "#go"));
    // Refused by the navigation check, blocked before it loads, or declined as a download.
    QTRY_VERIFY(!refused.isEmpty() || !finished.isEmpty() ||
                !m_log.filter("FileDownloadRefused").isEmpty());
    QTest::qWait(300);
    QCOMPARE(answerer.answered(), 0);
    QVERIFY(m_desktop.opened.isEmpty());
    // Nor is the file shown in the page's place.
    QVERIFY(finished.isEmpty() || !finished.last().value(0).toBool());
}

ZELVORIN_TEST_MAIN_WITH(TestPreviewDownloads, zelvorin::RegisterUrlSchemes)
#include "test_preview_downloads.moc"
