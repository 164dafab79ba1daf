// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TestEnvironment.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QString helpText() {
    QFile file(qEnvironmentVariable("ZELVORIN_SOURCE_DIR") +
               QStringLiteral("/resources/help/zelvorin.html"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// Anchor names as the help window's text browser sees them.
QSet<QString> documentAnchors(const QTextDocument& document) {
    QSet<QString> names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            for (const QString& name : it.fragment().charFormat().anchorNames()) {
                names.insert(name);
            }
        }
    }
    return names;
}

QStringList matches(const QString& text, const QString& pattern) {
    QStringList found;
    auto it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext()) {
        found.append(it.next().captured(1));
    }
    return found;
}

// The plain text of one section: from its anchor to the next top-level topic anchor.
QString sectionText(const QString& html, const QString& anchor) {
    static const QStringList topics{"MainScreen_link", "Install_IE", "Contacts_link"};
    const qsizetype start = html.indexOf(QStringLiteral("<a name=\"%1\">").arg(anchor));
    if (start < 0) {
        return {};
    }
    qsizetype end = html.size();
    for (const QString& other : topics) {
        const qsizetype at = html.indexOf(QStringLiteral("<a name=\"%1\">").arg(other));
        if (at > start && at < end) {
            end = at;
        }
    }
    QTextDocument document;
    document.setHtml(html.mid(start, end - start));
    return document.toPlainText().simplified();
}

} // namespace

class HelpFileTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void topicAnchors_data();
    void topicAnchors();
    void helpContextsHaveAnchors();
    void contentsLinkEverySection();
    void keepsToWhatTheHelpWindowShows();
    void menuCaptions_data();
    void menuCaptions();
    void topicContent_data();
    void topicContent();

private:
    QString m_html;
    QString m_plain;
};

void HelpFileTest::initTestCase() {
    m_html = helpText();
    QVERIFY(!m_html.isEmpty());
    QTextDocument document;
    document.setHtml(m_html);
    m_plain = document.toPlainText().simplified();
}

void HelpFileTest::topicAnchors_data() {
    QTest::addColumn<QString>("topic");
    QTest::newRow("main screen") << "MainScreen_link";
    QTest::newRow("contacts") << "Contacts_link";
    QTest::newRow("installing the engine") << "Install_IE";
}

void HelpFileTest::topicAnchors() {
    QFETCH(QString, topic);
    QCOMPARE(m_html.count(QStringLiteral("<a name=\"%1\">").arg(topic)), 1);
    QTextDocument document;
    document.setHtml(m_html);
    QVERIFY(documentAnchors(document).contains(topic));
    // Each topic has real content, not just a heading.
    QVERIFY2(sectionText(m_html, topic).size() > 200, qPrintable(sectionText(m_html, topic)));
}

// F1 opens the topic of the control's help context: the window and the browser (10), the
// address box (30) and the filter box (60).
void HelpFileTest::helpContextsHaveAnchors() {
    QTextDocument document;
    document.setHtml(m_html);
    const QSet<QString> anchors = documentAnchors(document);
    for (int context : {10, 30, 60})
        QVERIFY2(anchors.contains(QStringLiteral("context-%1").arg(context)),
                 qPrintable(QString::number(context)));
}

void HelpFileTest::contentsLinkEverySection() {
    const QStringList anchors = matches(m_html, QStringLiteral("<a name=\"([^\"]+)\""));
    const QStringList links = matches(m_html, QStringLiteral("href=\"#([^\"]+)\""));
    QVERIFY(anchors.size() >= 3);
    QCOMPARE(QSet<QString>(anchors.begin(), anchors.end()).size(), anchors.size());
    for (const QString& anchor : anchors) {
        QVERIFY2(links.contains(anchor), qPrintable(anchor));
    }
    for (const QString& link : links) {
        QVERIFY2(anchors.contains(link), qPrintable(link));
    }
    // The contents come first.
    QVERIFY(m_html.indexOf("href=\"#MainScreen_link\"") < m_html.indexOf("<a name="));
}

void HelpFileTest::keepsToWhatTheHelpWindowShows() {
    const QString lower = m_html.toLower();
    QVERIFY(!lower.contains("<script"));
    QVERIFY(!lower.contains("javascript:"));
    QVERIFY(!QRegularExpression(R"(\son[a-z]+\s*=)").match(lower).hasMatch());
    QVERIFY(!lower.contains("<iframe"));
    QVERIFY(!lower.contains("<object"));
}

void HelpFileTest::menuCaptions_data() {
    QTest::addColumn<QString>("caption");
    for (const char* caption :
         {"Open document...",
          "Change background...",
          "Show image gallery",
          "Last Folders",
          "Favorite Folders",
          "Add to Favorite Folders",
          "Exit",
          "Copy background color",
          "Copy HTML source",
          "Select All",
          "Set Background Color...",
          "Save a web copy...",
          "Clear Preview Area",
          "Font size",
          "Largest",
          "Larger",
          "Medium",
          "Smaller",
          "Smallest",
          "Image Gallery Style",
          "Simple list",
          "Background list",
          "Thumbnail list",
          "Show Toolbar",
          "Show Welcome page on start",
          "Hide dialogues of web browser",
          "Tools!",
          "Create a gradient text",
          "Help Contents...",
          "About...",
          "Copy name",
          "Copy name and path",
          "Properties",
          "Background Images "
          "(*.jpg;*.gif;*.png;*.bmp;*.jpeg;*.webp;*.avif;*.svg;*.svgz;*.ico;*.apng)",
          "Add custom filter..."}) {
        QTest::newRow(caption) << QString::fromUtf8(caption);
    }
}

void HelpFileTest::menuCaptions() {
    QFETCH(QString, caption);
    QVERIFY2(m_plain.contains(caption), qPrintable(caption));
}

void HelpFileTest::topicContent_data() {
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("phrase");
    const struct {
        const char* topic;
        const char* phrase;
    } rows[] = {
        {"MainScreen_link", "address box"},
        {"MainScreen_link", "preview area"},
        {"MainScreen_link", "filter box"},
        {"MainScreen_link", "Prev"},
        {"MainScreen_link", "trash"},
        {"MainScreen_link", "Ctrl+O"},
        {"MainScreen_link", "Ctrl+B"},
        {"MainScreen_link", "Ctrl+I"},
        {"MainScreen_link", "Ctrl+X"},
        {"MainScreen_link", "Ctrl+T"},
        {"MainScreen_link", "Escape"},
        {"MainScreen_link", "$XDG_CONFIG_HOME/zelvorin/registry.db"},
        {"MainScreen_link", "zelvorin-reg"},
        {"MainScreen_link", "Samples"},
        {"Contacts_link", "https://zelvorin.example.org/"},
        {"Contacts_link", "support@zelvorin.example.org"},
        {"Install_IE", "Qt WebEngine"},
        {"Install_IE", "Chromium"},
        {"Install_IE", "apt-get install libqt6webenginecore6 libqt6webenginecore6-bin"},
        {"Install_IE", "QTWEBENGINE_DISABLE_SANDBOX=1"},
        {"Install_IE", "never switches the sandbox off"},
    };
    for (const auto& row : rows) {
        QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(row.topic, row.phrase)))
            << QString::fromUtf8(row.topic) << QString::fromUtf8(row.phrase);
    }
}

void HelpFileTest::topicContent() {
    QFETCH(QString, topic);
    QFETCH(QString, phrase);
    QVERIFY2(sectionText(m_html, topic).contains(phrase), qPrintable(phrase));
}

ZELVORIN_TEST_MAIN(HelpFileTest)

#include "tst_HelpFile.moc"
