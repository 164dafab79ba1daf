// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's messages to frames of other origins: their digest is HMAC-SHA-256, and a
// page that empties its document (document.open() removes every listener, the program's
// included) sees them without learning the key and can neither forge a change, replay
// one to another frame, hand one to the top page to send on, nor answer for itself. Where
// the engine lets the program reach each frame itself, no message goes out at all.
#include "LoopbackHttpServer.h"
#include "PageScripts.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

// A frame that empties its document as soon as it has loaded, listens to every message,
// sends each one to the server, and attacks on the top page's word.
const char* const AttackerPage = R"HTML(<html><body><script>
window.onload = function () {
  document.open();
  document.write('<html><body>attacker</body></html>');
  document.close();
  var heard = [];
  function changes() {
    return heard.filter(function (m) { return m && m.zelvorin === 'change'; });
  }
  function attack(name) {
    var first = changes()[0], last = changes()[changes().length - 1];
    var victim = parent.frames[1];
    if (name === 'replay') victim.postMessage(first, '*');
    if (name === 'forge') {
      var forged = JSON.parse(JSON.stringify(first));
      forged.frame = '1'; forged.seq += 100; forged.sent = Date.now();
      forged.body = '{"color":"#00FF00"}';
      victim.postMessage(forged, '*');
      parent.postMessage(forged, '*');
    }
    if (name === 'handOn') parent.postMessage({forward: first}, '*');
    if (name === 'answer')
      parent.postMessage({zelvorin: 'applied', id: last.id, frame: '0', mac: last.mac}, '*');
    if (name === 'oldForm') {
      var old = {zelvorinKey: first.mac, change: {color: '#00FF00'}};
      victim.postMessage(old, '*');
      parent.postMessage(old, '*');
    }
    victim.postMessage({ping: name}, '*');
    parent.postMessage({pinged: name}, '*');
  }
  window.addEventListener('message', function (event) {
    if (event.data && event.data.attack) { attack(event.data.attack); return; }
    heard.push(event.data);
    new Image().src = '/heard/' + encodeURIComponent(JSON.stringify(event.data));
  });
  new Image().src = '/ready';
};
</script></body></html>)HTML";

// A frame that tells the server when it has loaded, and its background whenever it is
// pinged.
const char* const VictimPage = R"HTML(<html><body style='margin:0'>victim<script>
new Image().src = '/victim-ready';
window.addEventListener('message', function (event) {
  if (event.data && event.data.ping)
    new Image().src = '/pong/' + event.data.ping + '/' +
                      encodeURIComponent(getComputedStyle(document.body).backgroundColor);
});
</script></body></html>)HTML";

QByteArray topPage(const QUrl& attacker, const QUrl& victim) {
    return "<html><body style='margin:0'>"
           "<iframe src='" +
           attacker.toEncoded() +
           "' style='position:absolute;left:0;top:0;width:200px;height:200px;border:0'></iframe>"
           "<iframe src='" +
           victim.toEncoded() +
           "' style='position:absolute;left:200px;top:0;width:200px;height:200px;border:0'>"
           "</iframe><script>"
           "window.addEventListener('message', function (event) {"
           "  var data = event.data;"
           "  if (data && data.forward) {"
           "    frames[1].postMessage(data.forward, '*');"
           "    frames[1].postMessage({ping: 'forwarded'}, '*');"
           "  }"
           "  if (data && data.pinged) window.pinged = data.pinged;"
           "});"
           "</script></body></html>";
}

} // namespace

class TestFrameMessages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void digestIsHmacSha256_data();
    void digestIsHmacSha256();
    void framesCannotForgeOrReplay_data();
    void framesCannotForgeOrReplay();
    void reopenedTopPageLearnsNoKey();
    void framesReachedDirectly();

private:
    QStringList requested(const QString& prefix) const;
    QString topBackground();

    LoopbackHttpServer* m_server = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
};

void TestFrameMessages::initTestCase() {
    m_server = new LoopbackHttpServer(this);
    QVERIFY(m_server->start());
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(400, 300);
    m_preview->view()->show();
    m_server->serve("/page.html", "<html><body>page</body></html>");
    m_server->serve("/attacker.html", AttackerPage);
    m_server->serve("/victim.html", VictimPage);
    m_server->serve("/top.html", topPage(m_server->urlOnOtherHost("/attacker.html"),
                                         m_server->urlOnOtherHost("/victim.html")));
    m_server->serve("/reopened.html",
                    "<html><body><script>window.onload = function () {"
                    " document.open();"
                    " document.write(\"<html><body><iframe src='" +
                        m_server->urlOnOtherHost("/victim.html").toEncoded() +
                        "'></iframe></body></html>\");"
                        " document.close();"
                        " window.heard = [];"
                        " window.addEventListener('message', function (event) {"
                        "  window.heard.push(JSON.stringify(event.data)); }, true);"
                        " document.title = 'reopened'; };</script></body></html>");
}

void TestFrameMessages::cleanupTestCase() {
    m_preview.reset();
}

QStringList TestFrameMessages::requested(const QString& prefix) const {
    return m_server->requests().filter(
        QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(prefix)));
}

QString TestFrameMessages::topBackground() {
    return evaluate(m_preview->page(), "getComputedStyle(document.body).backgroundColor")
        .toString();
}

void TestFrameMessages::digestIsHmacSha256_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digest");
    QTest::newRow("RFC 4231, case 2") << "Jefe"
                                      << "what do ya want for nothing?"
                                      << "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b9"
                                         "64ec3843";
    QTest::newRow("empty text") << "key"
                                << ""
                                << "5d5d139563c95b5967b9bd9a8c9b233a9dedb45072794cd232dc1b748326"
                                   "07d0";
    QTest::newRow("text over several blocks, key over one")
        << QString(100, 'k') << QString(200, 'm')
        << "a6bca6f4482167eeffadc0449a346c21ffe8f96177eceecaeb182b610f6128c8";
    QTest::newRow("a change as the program sends it")
        << "zelvorin-0123456789abcdef0123456789abcdef"
        << "change\n7\n3\n0.1\n1700000000000\n{\"color\":\"#0000FF\"}"
        << "d00d3d0478c107c8a815404c274e81b4ac0e97b6d6878f8763c10d9cd03b6c57";
    QTest::newRow("letters beyond ASCII, as UTF-8") << "clé"
                                                    << "é"
                                                    << "379aed3ea9ad6435d18a87afff6c5836f34e35ea"
                                                       "d0bc0a014c25014a0f008b5b";
}

void TestFrameMessages::digestIsHmacSha256() {
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, digest);
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/page.html")));
    const QString json =
        QString::fromUtf8(QJsonDocument(QJsonArray{key, text}).toJson(QJsonDocument::Compact));
    const QString script =
        QStringLiteral("(function (a) { return (%1)(a[0], 100).hmac(a[1]); })(%2)")
            .arg(pagescripts::Source(QStringLiteral("FrameMessages.js")), json);
    QCOMPARE(evaluate(m_preview->page(), script).toString(), digest);
}

void TestFrameMessages::framesCannotForgeOrReplay_data() {
    QTest::addColumn<QString>("attack");
    QTest::newRow("a change replayed to another frame") << "replay";
    QTest::newRow("a change forged for another frame and the top") << "forge";
    QTest::newRow("a change handed to the top page to send on") << "handOn";
    QTest::newRow("an answer without the key") << "answer";
    QTest::newRow("messages of the earlier form") << "oldForm";
}

void TestFrameMessages::framesCannotForgeOrReplay() {
    if constexpr (pagescripts::ReachesFramesDirectly)
        QSKIP("The program reaches each frame itself: it sends no messages to attack");
    QFETCH(QString, attack);
    const qsizetype ready = requested("/ready").size();
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/top.html")));
    QTRY_VERIFY(requested("/ready").size() > ready);
    const qsizetype heard = requested("/heard/").size();

    // Red, then blue: the frame that emptied its document heard both, the other frame and
    // the top show blue.
    QSignalSpy applied(m_preview.get(), &Preview::backgroundApplied);
    m_preview->setBackgroundColour(QColor(255, 0, 0));
    QVERIFY(waitForPainted(m_preview->view(), {{300, 150}}, Qt::red));
    const int blue = m_preview->setBackgroundColour(QColor(0, 0, 255));
    QVERIFY(waitForPainted(m_preview->view(), {{300, 150}}, Qt::blue));
    QTRY_VERIFY(requested("/heard/").size() >= heard + 2);
    const QStringList messages = requested("/heard/").mid(heard);
    QVERIFY(messages.first().contains("\"zelvorin\":\"change\""));
    QVERIFY(messages.first().contains("\"mac\":"));
    for (const QString& message : messages)
        QVERIFY2(!message.contains(m_profile->scriptKey()), qPrintable(message));

    // The other frame loads again: a new document, which has taken no change yet, so only
    // the digest and the frame's place keep an earlier change out.
    const qsizetype victims = requested("/victim.html").size();
    evaluate(m_preview->page(), "var f = document.querySelectorAll('iframe')[1];"
                                " f.src = f.src + '?again'; true");
    QTRY_VERIFY(requested("/victim.html").size() > victims);
    QTRY_VERIFY(!requested("/victim-ready").isEmpty() &&
                requested("/victim-ready").size() >= requested("/victim.html").size());

    evaluate(m_preview->page(),
             QStringLiteral("frames[0].postMessage({attack: '%1'}, '*'); true").arg(attack));
    const QString untouched = QStringLiteral("rgba(0, 0, 0, 0)");
    const QString pong = QStringLiteral("/pong/%1/").arg(attack);
    QTRY_VERIFY(!requested(pong).isEmpty());
    QCOMPARE(requested(pong).last(), pong + untouched);
    QTRY_COMPARE(evaluate(m_preview->page(), "window.pinged").toString(), attack);
    if (attack == QLatin1String("handOn")) {
        QTRY_VERIFY(!requested("/pong/forwarded/").isEmpty());
        QCOMPARE(requested("/pong/forwarded/").last(), "/pong/forwarded/" + untouched);
    }
    QCOMPARE(topBackground(), QStringLiteral("rgb(0, 0, 255)"));
    // The frame that emptied its document never answers, so no change is reported applied
    // in every frame; an answer that pretends to be its is not taken either.
    for (const QList<QVariant>& arguments : std::as_const(applied))
        QVERIFY(arguments.value(0).toInt() != blue);
}

void TestFrameMessages::reopenedTopPageLearnsNoKey() {
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/reopened.html")));
    QTRY_COMPARE(m_preview->page()->title(), QStringLiteral("reopened"));
    QTRY_COMPARE(frameCount(m_preview.get()), 1);
    QTRY_VERIFY(requested("/victim.html").size() > 0);
    QSignalSpy applied(m_preview.get(), &Preview::backgroundApplied);
    const int id = m_preview->setBackgroundColour(QColor(0, 255, 0));
    // The program listens again with each change, so the frame's answer still arrives.
    QVERIFY(waitForApplied(applied, id));
    const QString heard = evaluate(m_preview->page(), "window.heard.join('\\n')").toString();
    QCOMPARE(heard.contains("\"zelvorin\":\"applied\""), !pagescripts::ReachesFramesDirectly);
    QVERIFY2(!heard.contains(m_profile->scriptKey()), qPrintable(heard));
}

void TestFrameMessages::framesReachedDirectly() {
    if constexpr (!pagescripts::ReachesFramesDirectly)
        QSKIP("This engine runs no script in a chosen frame: changes go by messages");
    const qsizetype ready = requested("/ready").size();
    QVERIFY(loadAndWait(m_preview->page(), m_server->url("/top.html")));
    QTRY_VERIFY(requested("/ready").size() > ready);
    const qsizetype heard = requested("/heard/").size();
    QSignalSpy applied(m_preview.get(), &Preview::backgroundApplied);
    QVERIFY(waitForApplied(applied, m_preview->setBackgroundColour(QColor(0, 0, 255))));
    // The frame that emptied its document takes the change like the others, and hears
    // nothing of it.
    QVERIFY(waitForPainted(m_preview->view(), {{100, 100}, {300, 100}, {300, 250}}, Qt::blue));
    QCOMPARE(requested("/heard/").size(), heard);
}

ZELVORIN_TEST_MAIN_WITH(TestFrameMessages, zelvorin::RegisterUrlSchemes)
#include "test_frame_messages.moc"
