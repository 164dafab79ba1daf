// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The welcome page in the preview: shown from the program's resources, its command links
// and check box reach the command handler, its links set their status hints, and the
// rotated caption is painted down the left edge.
#include "BrowserEvents.h"
#include "BrowserNavigation.h"
#include "CommandUrl.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "ShownDocument.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;
using preview::CommandWord;

class TestWelcomePage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void shownFromResource();
    void commandLinks_data();
    void commandLinks();
    void statusHints();
    void checkBoxSwitchesTheOption();
    void captionDownTheLeftEdge();

private:
    bool showWelcomePage();
    // The check box's property as the welcome page's command reads it.
    QVariant checkBox(const QString& property);
    QWebEnginePage* page() const { return m_preview->page(); }

    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
    QStringList m_commands;
};

const QUrl WelcomeUrl(QStringLiteral("qrc:/pages/WELCOMEPAGE.html"));

void TestWelcomePage::initTestCase() {
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(900, 800);
    m_preview->view()->show();
    connect(m_preview.get(), &Preview::commandUrlRequested, this,
            [this](const QString& url) { m_commands << url; });
}

void TestWelcomePage::cleanupTestCase() {
    m_preview.reset();
}

void TestWelcomePage::init() {
    m_commands.clear();
    QVERIFY(showWelcomePage());
}

bool TestWelcomePage::showWelcomePage() {
    QSignalSpy finished(page(), &QWebEnginePage::loadFinished);
    if (!m_preview->navigation()->showResourcePage(QStringLiteral("WELCOMEPAGE")))
        return false;
    return finished.wait(15000) && finished.last().at(0).toBool() && page()->url() == WelcomeUrl;
}

QVariant TestWelcomePage::checkBox(const QString& property) {
    return answerOf<QVariant>([&](std::function<void(QVariant)> done) {
               m_preview->document()->readElementAttribute("ShowPageCheckBox", 0, property, this,
                                                           done);
           })
        .value_or(QVariant(QStringLiteral("no answer")));
}

void TestWelcomePage::shownFromResource() {
    QCOMPARE(page()->url(), WelcomeUrl);
    // The engine reads iso-8859-1 as its superset windows-1252.
    const QString charset = evaluate(page(), "document.characterSet").toString().toLower();
    QVERIFY2(charset == "windows-1252" || charset == "iso-8859-1", qPrintable(charset));
    const QString text = evaluate(page(), "document.body.innerText").toString();
    QVERIFY(text.contains("Zelvorin 1.70"));
    QVERIFY(text.contains("Press the \"Clear\" button on the Toolbar."));
    QVERIFY(text.contains("To see other contacts click here"));
    QVERIFY(text.contains("Show this page on start"));
    QCOMPARE(evaluate(page(), "document.getElementsByTagName('li').length").toInt(), 10);
}

void TestWelcomePage::commandLinks_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<CommandWord>("command");
    QTest::newRow("clean backgrounds")
        << "viewcleanbackgrounds" << CommandWord::ViewCleanBackgrounds;
    QTest::newRow("html files") << "viewlocalhtmlfiles" << CommandWord::ViewLocalHtmlFiles;
    QTest::newRow("backgrounds filter")
        << "setbackgroundsfilter" << CommandWord::SetBackgroundsFilter;
    QTest::newRow("help manual") << "showhelpmanual" << CommandWord::ShowHelpManual;
    QTest::newRow("contacts") << "contacts" << CommandWord::Contacts;
}

void TestWelcomePage::commandLinks() {
    QFETCH(QString, word);
    QFETCH(CommandWord, command);
    QSignalSpy navigations(m_preview->page(), &PreviewPage::beforeNavigate);
    QVERIFY(clickElement(m_preview->view(), QString("a[href=\"zelvorin://%1\"]").arg(word)));
    QTRY_COMPARE(m_commands.size(), 1);
    QCOMPARE(preview::ParseCommandUrl(m_commands.first()).word, command);
    // The click never became a navigation: the welcome page stays.
    QVERIFY(navigations.isEmpty());
    QCOMPARE(page()->url(), WelcomeUrl);
}

void TestWelcomePage::statusHints() {
    const QList<std::pair<QString, QString>> hints = {
        {"viewcleanbackgrounds", "Select the Background Images filter and Clean the Preview Area"},
        {"viewlocalhtmlfiles", "Select the HTML files filter"},
        {"setbackgroundsfilter", "Select the Background Images filter"},
        {"showhelpmanual", "Show the Help manual..."},
        {"contacts", "See our contact information..."},
    };
    PreviewPage* previewPage = m_preview->page();
    for (const auto& [word, hint] : hints) {
        QSignalSpy status(previewPage, &PreviewPage::statusTextSet);
        const QString link =
            QString("document.querySelector('a[href=\"zelvorin://%1\"]')").arg(word);
        evaluate(page(), link + ".dispatchEvent(new MouseEvent('mouseover', {bubbles: true}))");
        QTRY_VERIFY(!status.isEmpty());
        QCOMPARE(status.last().at(0).toString(), hint);
        evaluate(page(), link + ".dispatchEvent(new MouseEvent('mouseout', {bubbles: true}))");
        QTRY_COMPARE(status.size(), 2);
        QCOMPARE(status.last().at(0).toString(), QString());
    }
}

void TestWelcomePage::checkBoxSwitchesTheOption() {
    QCOMPARE(checkBox("checked"), QVariant(true));
    QCOMPARE(checkBox("value").toString(), QString("1"));

    // A real click on the box, as the user makes it.
    const QVariantList rect =
        evaluate(page(),
                 "(function(){var r=document.getElementById('ShowPageCheckBox')."
                 "getBoundingClientRect(); return [r.left+r.width/2, r.top+r.height/2];})()")
            .toList();
    QCOMPARE(rect.size(), 2);
    const QPoint centre(qRound(rect.at(0).toDouble()), qRound(rect.at(1).toDouble()));
    QVERIFY(centre.y() < m_preview->view()->height());
    QTest::mouseClick(m_preview->view()->focusProxy(), Qt::LeftButton, {}, centre);
    QTRY_COMPARE(m_commands.size(), 1);
    QCOMPARE(preview::ParseCommandUrl(m_commands.first()).word, CommandWord::SwitchWelcomePageView);
    // The state read after the click is the new one.
    QCOMPARE(checkBox("checked"), QVariant(false));
    QCOMPARE(page()->url(), WelcomeUrl);

    QTest::mouseClick(m_preview->view()->focusProxy(), Qt::LeftButton, {}, centre);
    QTRY_COMPARE(m_commands.size(), 2);
    QCOMPARE(checkBox("checked"), QVariant(true));
}

void TestWelcomePage::captionDownTheLeftEdge() {
    const QVariantList rect =
        evaluate(page(), "(function(){var r=document.getElementById('WelcomeCaption')."
                         "getBoundingClientRect(); return [r.left, r.top, r.width, r.height];})()")
            .toList();
    QCOMPARE(rect.size(), 4);
    QVERIFY(rect.at(0).toDouble() >= 0 && rect.at(0).toDouble() < 10);
    QVERIFY(rect.at(1).toDouble() >= 0 && rect.at(1).toDouble() < 20);
    QVERIFY2(rect.at(2).toDouble() < 90, qPrintable(rect.at(2).toString()));
    QVERIFY2(rect.at(3).toDouble() > 500, qPrintable(rect.at(3).toString()));

    // Painted: orange-yellow letters with black outlines in the left strip, none in the text
    // beside it (the red heading further right blends into orange at its edges).
    QWebEngineView* view = m_preview->view();
    QImage image;
    int caption = 0;
    int outline = 0;
    int captionRight = 0;
    for (int attempt = 0; attempt < 50 && caption < 2000; ++attempt) {
        QTest::qWait(100);
        image = view->grab().toImage();
        caption = outline = captionRight = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                const bool orange = sameColour(c, QColor(255, 210, 0), 12);
                if (x < 80) {
                    caption += orange;
                    outline += c.red() < 60 && c.green() < 60 && c.blue() < 60;
                } else if (x > 90 && x < 300) {
                    captionRight += orange;
                }
            }
        }
    }
    if (!qEnvironmentVariableIsEmpty("ZELVORIN_WELCOME_PICTURE"))
        image.save(qEnvironmentVariable("ZELVORIN_WELCOME_PICTURE"));
    QVERIFY2(caption >= 2000, qPrintable(QString::number(caption)));
    QVERIFY(outline >= 500);
    QCOMPARE(captionRight, 0);
    // Beside the caption the page keeps its own yellow.
    QVERIFY(
        sameColour(image.pixelColor(image.width() - 5, image.height() - 5), QColor(255, 255, 0)));
}

ZELVORIN_TEST_MAIN_WITH(TestWelcomePage, zelvorin::RegisterUrlSchemes)
#include "test_welcome_page.moc"
