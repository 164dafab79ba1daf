// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The welcome page as shipped: ISO-8859-1 bytes with CRLF line ends, every text, link, hint
// and the check box in place, reachable under the resource name the browser wrapper uses.
#include "TestEnvironment.h"

#include <QFile>
#include <QtTest>

class TestWelcomeFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void resourceMatchesSource();
    void latin1Bytes();
    void crlfLineEnds();
    void texts_data();
    void texts();
    void commandLinksCarryHints_data();
    void commandLinksCarryHints();
    void checkBox();
    void caption();

private:
    QByteArray m_bytes;
};

void TestWelcomeFile::initTestCase() {
    QFile file(qEnvironmentVariable("ZELVORIN_SOURCE_DIR") + "/resources/pages/WELCOMEPAGE.html");
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_bytes = file.readAll();
    QVERIFY(m_bytes.size() > 1000);
}

void TestWelcomeFile::resourceMatchesSource() {
    QFile resource(":/pages/WELCOMEPAGE.html");
    QVERIFY(resource.open(QIODevice::ReadOnly));
    QCOMPARE(resource.readAll(), m_bytes);
}

void TestWelcomeFile::latin1Bytes() {
    for (qsizetype i = 0; i < m_bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(m_bytes.at(i));
        // Control characters other than tab and the line ends are not text, and 0x80..0x9F
        // are unassigned in ISO-8859-1 (they are what a stray UTF-8 sequence would show).
        const bool control = (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') ||
                             (byte >= 0x7F && byte <= 0x9F);
        QVERIFY2(!control, qPrintable(QString("byte 0x%1 at %2").arg(byte, 2, 16).arg(i)));
        // A UTF-8 lead byte followed by a continuation byte would show as two letters.
        if (byte >= 0xC2 && byte <= 0xF4 && i + 1 < m_bytes.size()) {
            const auto next = static_cast<unsigned char>(m_bytes.at(i + 1));
            QVERIFY2(next < 0x80 || next > 0xBF, qPrintable(QString("UTF-8 at %1").arg(i)));
        }
    }
    QVERIFY(m_bytes.contains("<meta http-equiv=\"Content-Type\" "
                             "content=\"text/html; charset=iso-8859-1\">"));
}

void TestWelcomeFile::crlfLineEnds() {
    QVERIFY(m_bytes.endsWith("\r\n"));
    qsizetype lines = 0;
    for (qsizetype i = 0; i < m_bytes.size(); ++i) {
        if (m_bytes.at(i) == '\n') {
            QVERIFY2(i > 0 && m_bytes.at(i - 1) == '\r',
                     qPrintable(QString("line end at %1").arg(i)));
            ++lines;
        } else if (m_bytes.at(i) == '\r') {
            QVERIFY2(i + 1 < m_bytes.size() && m_bytes.at(i + 1) == '\n',
                     qPrintable(QString("lone CR at %1").arg(i)));
        }
    }
    QVERIFY(lines > 20);
}

void TestWelcomeFile::texts_data() {
    QTest::addColumn<QByteArray>("text");
    const QList<QByteArray> texts = {
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2 //EN\">",
        "<body bgcolor=\"#FFFF00\">",
        "<font color=\"#FF0000\" size=\"6\">Zelvorin 1.70</font></b>&nbsp;<br>",
        "For the newest versions of Zelvorin search on our",
        "<a href=\"https://zelvorin.example.org/\" target=\"newwindow\">web site</a>",
        "To view clean tiled backgrounds:",
        "Press the &quot;<i>Clear</i>&quot; button on the <i>Toolbar</i>. Then select the "
        "&quot;<i>Background Images</i>&quot; filter or",
        "<li>Select a folder with images",
        "Select these images in the <i>File List</i>, and you will see them as tiled backgrounds "
        "in the <i>Preview Area</i>",
        "To view html files on the local disk:",
        "Select the &quot;<i>HTML files</i>&quot; filter or",
        "Select a folder with html files (*.htm, *.html, etc.)",
        "Select these html files in the <i>File List</i>, and you will see them in the "
        "<i>Preview Area</i>",
        "To choose the <b>best background</b> for a web page:",
        "Open the web page (input address in the Address Editor and click the Go button, or "
        "choose html file on the local disk)",
        "Select these images in the <i>File List</i>, and you will see them as backgrounds in "
        "your web page",
        "Show the",
        "<br><br><br><br><br><br><br><br><br><br><br><br><br><br>\r\nWeb-site: ",
        "Web-site: <a href=\"https://zelvorin.example.org/\">https://zelvorin.example.org/</a>",
        "E-mail: <a href=\"mailto:support@zelvorin.example.org\">support@zelvorin.example.org</a>",
        "To see other contacts",
        "Show this page on start",
        "<td width=\"70\">",
        "<td><font face=\"Verdana, Arial, Helvetica, sans-serif\">",
    };
    for (const QByteArray& text : texts)
        QTest::newRow(text.left(40).constData()) << text;
}

void TestWelcomeFile::texts() {
    QFETCH(QByteArray, text);
    QVERIFY(m_bytes.contains(text));
}

void TestWelcomeFile::commandLinksCarryHints_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QByteArray>("hint");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("clean") << QByteArray("viewcleanbackgrounds")
                           << QByteArray("Select the Background Images filter and Clean the "
                                         "Preview Area")
                           << QByteArray("click here");
    QTest::newRow("html") << QByteArray("viewlocalhtmlfiles")
                          << QByteArray("Select the HTML files filter") << QByteArray("click here");
    QTest::newRow("backgrounds") << QByteArray("setbackgroundsfilter")
                                 << QByteArray("Select the Background Images filter")
                                 << QByteArray("click here");
    QTest::newRow("help") << QByteArray("showhelpmanual") << QByteArray("Show the Help manual...")
                          << QByteArray("Help manual...");
    QTest::newRow("contacts") << QByteArray("contacts")
                              << QByteArray("See our contact information...")
                              << QByteArray("click here");
}

void TestWelcomeFile::commandLinksCarryHints() {
    QFETCH(QByteArray, word);
    QFETCH(QByteArray, hint);
    QFETCH(QByteArray, text);
    const QByteArray link = "<a href=\"zelvorin://" + word + "\" onMouseOver=\"window.status='" +
                            hint + "'; return true;\" onMouseOut=\"window.status=''; return " +
                            "true;\">" + text + "</a>";
    QCOMPARE(m_bytes.count(link), 1);
}

void TestWelcomeFile::checkBox() {
    QVERIFY(m_bytes.contains("<input type=\"checkbox\" name=\"ShowPageCheckBox\" "
                             "id=\"ShowPageCheckBox\" value=\"1\" checked"));
    QVERIFY(m_bytes.contains("onClick=\"document.location='zelvorin://switchwelcomepageview';\""));
}

void TestWelcomeFile::caption() {
    QVERIFY(m_bytes.contains(">Welcome to Zelvorin</div>"));
    for (const char* rule : {"position: absolute;", "top: 0px;", "left: 0px;", "z-index: -1;",
                             "color: rgb(255,210,0);", "rotate(90deg)", "font-weight: bold;",
                             "-webkit-text-stroke: 1px #000000;"})
        QVERIFY2(m_bytes.contains(rule), rule);
    // The platform's graphics control and its script language are gone for good.
    QVERIFY(!m_bytes.toLower().contains("vbscript"));
    QVERIFY(!m_bytes.toLower().contains("<object"));
    QVERIFY(!m_bytes.toLower().contains("<script"));
}

ZELVORIN_TEST_MAIN(TestWelcomeFile)
#include "test_welcome_file.moc"
