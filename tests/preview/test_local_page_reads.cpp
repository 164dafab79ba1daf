// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A local page (a page saved into a folder, a template pack) shows what a browser shows
// for a local site, its images, style sheets, scripts and frames, but reads no file: not
// by fetch() or XHR, not through a frame or an object (a frame's document and its page
// cannot look into each other), not from the pixels of an image it shows or the sound of
// its media, not through a script or a style sheet made of a file that is none, not from
// hidden folders, and it gets no folder listing. WebRTC tells it no address of the
// machine. So nothing is left for a page to send anywhere.
#include "ImageFormatFolder.h"
#include "LoopbackHttpServer.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "PreviewTestSupport.h"
#include "TestEnvironment.h"
#include "UrlSchemes.h"

#include <QDir>
#include <QNetworkInterface>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace zelvorin;
using namespace zelvorin::test;

namespace {

const QString OwnWords = QStringLiteral("the sites own words");
const QString HomeSecret = QStringLiteral("a secret of the home folder");
const QString HiddenKey = QStringLiteral("a hidden key");
const QString BesideWords = QStringLiteral("the words of a page beside it");
const QString TopWords = QStringLiteral("a local page");

// Each sets window.result once the attempt has ended; URL stands for the address tried.
const char* const Fetch =
    "fetch(URL).then(function (r) { return r.text(); })"
    ".then(function (t) { window.result = t; }, function () { window.result = 'failed'; });";
const char* const Xhr = "try { var x = new XMLHttpRequest(); x.open('GET', URL);"
                        " x.onload = function () { window.result = x.responseText; };"
                        " x.onerror = function () { window.result = 'failed'; }; x.send(); }"
                        " catch (e) { window.result = e.name; }";
const char* const Frame =
    "var f = document.createElement('iframe'); f.src = URL; f.onload = function () {"
    " try { var d = f.contentDocument;"
    " window.result = d ? d.documentElement.innerText : 'no document'; }"
    " catch (e) { window.result = e.name; } }; document.body.appendChild(f);";
const char* const Object =
    "var o = document.createElement('object'); o.data = URL;"
    " var read = function () { try { var d = o.contentDocument;"
    " window.result = d ? d.documentElement.innerText : 'no document'; }"
    " catch (e) { window.result = e.name; } };"
    " o.onload = read; o.onerror = function () { window.result = 'not loaded'; };"
    " document.body.appendChild(o);";
const char* const Script =
    "var s = document.createElement('script'); s.src = URL;"
    " s.onload = function () { window.result = String(window.leaked); };"
    " s.onerror = function () { window.result = 'not loaded'; }; document.head.appendChild(s);";
const char* const Style =
    "var l = document.createElement('link'); l.rel = 'stylesheet'; l.href = URL;"
    " l.onload = function () { window.result ="
    " getComputedStyle(document.body).getPropertyValue('--leak') || 'nothing'; };"
    " l.onerror = function () { window.result = 'not loaded'; }; document.head.appendChild(l);";
// The image's reads start once it has loaded; `read(image)` sets window.result.
const char* const WithImage = "var i = new Image(); i.onload = function () { read(i); };"
                              " i.onerror = function () { window.result = 'not loaded'; };"
                              " i.src = URL;";
const char* const Canvas =
    "function read(i) { var c = document.createElement('canvas');"
    " c.width = 2; c.height = 2; var g = c.getContext('2d'); g.drawImage(i, 0, 0);"
    " try { g.getImageData(0, 0, 1, 1); window.result = 'pixels-read'; }"
    " catch (e) { window.result = e.name; } }";
const char* const Bitmap =
    "function read(i) { createImageBitmap(i).then(function (b) {"
    " var g = document.createElement('canvas').getContext('2d'); g.drawImage(b, 0, 0);"
    " try { g.getImageData(0, 0, 1, 1); window.result = 'pixels-read'; }"
    " catch (e) { window.result = e.name; } }, function (e) { window.result = e.name; }); }";
const char* const Export =
    "function read(i) { var c = document.createElement('canvas');"
    " c.getContext('2d').drawImage(i, 0, 0); var told = [];"
    " var tell = function (what) { told.push(what); if (told.length === 2) window.result ="
    " told.join(' '); };"
    " try { c.toDataURL(); tell('exported'); } catch (e) { tell(e.name); }"
    " try { c.toBlob(function (b) { tell(b ? 'exported' : 'no blob'); }); }"
    " catch (e) { tell(e.name); } }";
const char* const WebGl =
    "function read(i) { var gl = document.createElement('canvas').getContext('webgl');"
    " if (!gl) { window.result = 'no WebGL'; return; }"
    " gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());"
    " try { gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, i);"
    " window.result = 'pixels-read'; } catch (e) { window.result = e.name; } }";
// A local page in a frame tries what its address's fragment names and tells its parent.
const char* const FrameTells =
    "addEventListener('message', function (e) { window.result = String(e.data); });"
    " var f = document.createElement('iframe'); f.src = URL; document.body.appendChild(f);";
// The same with a local page beside it in the first frame.
const char* const SecondFrameTells =
    "addEventListener('message', function (e) { window.result = String(e.data); });"
    " var first = document.createElement('iframe'); first.src = 'beside.html';"
    " first.onload = function () { var f = document.createElement('iframe'); f.src = URL;"
    " document.body.appendChild(f); }; document.body.appendChild(first);";
const QByteArray SpyPage = R"(<html><body><script>
function tell(what) { parent.postMessage(String(what), '*'); }
var how = location.hash.slice(1);
try {
  if (how === 'parent') tell(parent.document.body.innerText);
  else if (how === 'sibling') tell(parent.frames[0].document.body.innerText);
  else if (how === 'canvas') {
    var i = new Image();
    i.onload = function () {
      var g = document.createElement('canvas').getContext('2d'); g.drawImage(i, 0, 0);
      try { g.getImageData(0, 0, 1, 1); tell('pixels-read'); } catch (e) { tell(e.name); }
    };
    i.onerror = function () { tell('not loaded'); };
    i.src = 'pic.png';
  }
} catch (e) { tell(e.name); }
</script></body></html>)";

// A sound of a quarter second, loud enough to be heard in every sample window.
QByteArray toneWave() {
    const int rate = 8000, count = rate / 4;
    QByteArray samples;
    for (int i = 0; i < count; ++i) {
        const qint16 value = (i / 10) % 2 ? 12000 : -12000;
        samples.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
    }
    const auto word = [](quint32 value, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i)
            out.append(char((value >> (8 * i)) & 0xFF));
        return out;
    };
    return "RIFF" + word(36 + samples.size(), 4) + "WAVEfmt " + word(16, 4) + word(1, 2) +
           word(1, 2) + word(rate, 4) + word(rate * 2, 4) + word(2, 2) + word(16, 2) + "data" +
           word(samples.size(), 4) + samples;
}

QString jsString(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

class TestLocalPageReads : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void localSiteShowsItsParts();
    void frameLinksReachTheirTargets_data();
    void frameLinksReachTheirTargets();
    void localPageReadsNoFile_data();
    void localPageReadsNoFile();
    void soundOfLocalMediaStaysUnheard();
    void folderListingOnlyForTheUser();
    void webRtcTellsNoAddress_data();
    void webRtcTellsNoAddress();

private:
    QString site(const QString& name) const { return m_site.filePath(name); }

    QTemporaryDir m_site;
    QString m_home;
    LoopbackHttpServer* m_server = nullptr;
    PreviewProfile* m_profile = nullptr;
    std::unique_ptr<Preview> m_preview;
};

void TestLocalPageReads::initTestCase() {
    QVERIFY(m_site.isValid());
    m_home = QDir::homePath();
    m_server = new LoopbackHttpServer(this);
    QVERIFY(m_server->start());
    m_server->serve("/page.html", "<html><body>page</body></html>");
    m_profile = new PreviewProfile(this);
    m_preview = std::make_unique<Preview>(m_profile, nullptr, nullptr);
    m_preview->view()->resize(400, 300);
    m_preview->view()->show();

    QVERIFY(writeFile(site("index.html"), "<html><body>a local page</body></html>"));
    QVERIFY(writeFile(site("own.txt"), OwnWords.toUtf8()));
    QVERIFY(writeFile(site("own-script.txt"), "window.leaked = '" + OwnWords.toUtf8() + "';"));
    QVERIFY(writeFile(site("own-style.txt"), "body { --leak: '" + OwnWords.toUtf8() + "'; }"));
    writeSolidImage(site("pic.png"), Qt::red);
    // The shared MIME database knows no ".apng", which is an image all the same.
    QVERIFY(QFile::copy(site("pic.png"), site("moving.apng")));
    QVERIFY(writeFile(m_home + "/secret.txt", HomeSecret.toUtf8()));
    QVERIFY(writeFile(m_home + "/.ssh/key.html",
                      "<html><body>" + HiddenKey.toUtf8() + "</body></html>"));
    writeSolidImage(m_home + "/.ssh/pic.png", Qt::blue);

    QVERIFY(
        writeFile(site("beside.html"), "<html><body>" + BesideWords.toUtf8() + "</body></html>"));
    QVERIFY(writeFile(site("spy.html"), SpyPage));
    QVERIFY(writeFile(site("tone.wav"), toneWave()));

    // A site as it lies in a folder: pages in a subfolder use its images and style; the
    // frame tells what it shows, as its page cannot look into it.
    QVERIFY(writeFile(site("parts/show.html"),
                      "<html><head><link rel=stylesheet href='../look/style.css'>"
                      "<script src='../look/script.js'></script></head><body>"
                      "<img id=pic src='../pic.png' onload='window.picture = this.naturalWidth'"
                      " style='position: absolute; left: 20px; top: 100px; width: 32px'>"
                      "<img src='../moving.apng' onload='window.moving = this.naturalWidth'"
                      " style='position: absolute; left: 200px; top: 100px; width: 32px'>"
                      "<img id=shape src='../look/shape.svg' onload='window.shape = "
                      "this.naturalWidth' style='position: absolute; left: 100px; top: 100px;"
                      " width: 40px'><img src='../look/tile.svgz' onload='window.packed = "
                      "this.naturalWidth' style='position: absolute; left: 300px; top: 100px'>"
                      "<script>addEventListener('message', function (e) {"
                      " window.frameSaid = e.data; });</script>"
                      "<iframe src='frame.html'></iframe></body></html>"));
    QVERIFY(writeFile(site("look/style.css"), "body { color: rgb(1, 2, 3); }"));
    // A compressed drawing among them (32 pixels wide).
    QVERIFY(!zelvorin::test::WriteTileInEveryFormat(site("look")).isEmpty());
    QVERIFY(writeFile(site("look/script.js"), "window.scripted = 'ran';"));
    QVERIFY(writeFile(site("look/shape.svg"),
                      "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='6' "
                      "viewBox='0 0 5 3'><rect width='5' height='3' fill='#0000ff'/></svg>"));
    QVERIFY(
        writeFile(site("parts/frame.html"),
                  "<html><head><title>the frame</title></head><body><img src='../pic.png'>"
                  "<script>onload = function () { parent.postMessage(document.title + ', ' +"
                  " document.images[0].naturalWidth + ' wide', '*'); };</script></body></html>"));

    // The Samples' frameset: a menu whose links open pages in the main frame or the top.
    QVERIFY(writeFile(site("set/frames.html"),
                      "<html><frameset cols='50%,50%' frameborder='0' border='0'>"
                      "<frame src='menu.html' name='menu'><frame src='main.html' name='main'>"
                      "</frameset></html>"));
    QVERIFY(writeFile(site("set/menu.html"),
                      "<html><body style='margin: 0'><a id=main href='other.html' target='main'"
                      " style='display: block; height: 100px'>main</a><a id=top "
                      "href='other.html' target='_top' style='display: block; height: 100px'>"
                      "top</a></body></html>"));
    QVERIFY(writeFile(site("set/main.html"), "<html><body>main</body></html>"));
    QVERIFY(writeFile(site("set/other.html"),
                      "<html><head><title>other page</title></head><body><script>"
                      "parent.postMessage('other page shown', '*');</script></body></html>"));
}

void TestLocalPageReads::cleanupTestCase() {
    m_preview.reset();
}

void TestLocalPageReads::localSiteShowsItsParts() {
    QVERIFY(loadAndWait(m_preview->page(), QUrl::fromLocalFile(site("parts/show.html"))));
    PreviewPage* page = m_preview->page();
    QTRY_COMPARE(evaluate(page, "window.picture").toInt(), 8);
    QTRY_COMPARE(evaluate(page, "window.moving").toInt(), 8);
    QCOMPARE(evaluate(page, "getComputedStyle(document.body).color").toString(),
             QStringLiteral("rgb(1, 2, 3)"));
    QCOMPARE(evaluate(page, "window.scripted").toString(), QStringLiteral("ran"));
    QTRY_COMPARE(evaluate(page, "window.shape").toInt(), 10);
    QTRY_COMPARE(evaluate(page, "window.packed").toInt(), 32);
    QTRY_COMPARE(evaluate(page, "window.frameSaid").toString(),
                 QStringLiteral("the frame, 8 wide"));
    // The images paint as themselves.
    QVERIFY(waitForPainted(m_preview->view(), {{36, 116}, {22, 102}, {216, 116}}, Qt::red));
    QVERIFY(waitForPainted(m_preview->view(), {{120, 112}, {102, 102}}, Qt::blue));
}

// A frame's link still opens its page in the frame it names, or in the top window, whose
// address is then the file's own.
void TestLocalPageReads::frameLinksReachTheirTargets_data() {
    QTest::addColumn<QPoint>("link");
    QTest::addColumn<bool>("top");
    QTest::newRow("the main frame, by its name") << QPoint(50, 50) << false;
    QTest::newRow("the top window") << QPoint(50, 150) << true;
}

void TestLocalPageReads::frameLinksReachTheirTargets() {
    QFETCH(QPoint, link);
    QFETCH(bool, top);
    PreviewPage* page = m_preview->page();
    QVERIFY(loadAndWait(page, QUrl::fromLocalFile(site("set/frames.html"))));
    evaluate(page, "addEventListener('message', function (e) { window.told = e.data; }); true");
    QTest::qWait(200);
    QWidget* target = m_preview->view()->focusProxy();
    QTest::mouseClick(target, Qt::LeftButton, {}, link);
    if (top) {
        QTRY_COMPARE(page->url(), QUrl::fromLocalFile(site("set/other.html")));
        QTRY_COMPARE(page->title(), QStringLiteral("other page"));
    } else {
        QTRY_COMPARE(evaluate(page, "String(window.told)").toString(),
                     QStringLiteral("other page shown"));
        QCOMPARE(page->url(), QUrl::fromLocalFile(site("set/frames.html")));
    }
}

void TestLocalPageReads::localPageReadsNoFile_data() {
    QTest::addColumn<QString>("attempt");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("outcome"); // when it is known
    const QString own = QUrl::fromLocalFile(site("own.txt")).toString();
    const QString beside = QUrl::fromLocalFile(site("beside.html")).toString();
    const QString picture = QUrl::fromLocalFile(site("pic.png")).toString();
    const QString spy = QUrl::fromLocalFile(site("spy.html")).toString();
    const auto image = [](const char* read) { return QString::fromUtf8(read) + WithImage; };
    QTest::newRow("fetch, a system file") << Fetch << "file:///etc/passwd"
                                          << "root:" << QString();
    QTest::newRow("fetch, the page's own folder") << Fetch << own << OwnWords << QString();
    QTest::newRow("XHR, the home folder")
        << Xhr << QUrl::fromLocalFile(m_home + "/secret.txt").toString() << HomeSecret << QString();
    QTest::newRow("XHR, the page's own folder") << Xhr << own << OwnWords << QString();
    QTest::newRow("frame, a system file") << Frame << "file:///etc/passwd"
                                          << "root:" << QString();
    QTest::newRow("frame, the page's own folder") << Frame << own << OwnWords << QString();
    QTest::newRow("frame, a page in a hidden folder")
        << Frame << QUrl::fromLocalFile(m_home + "/.ssh/key.html").toString() << HiddenKey
        << QString();
    QTest::newRow("frame, a folder's listing")
        << Frame << QUrl::fromLocalFile(m_home + "/").toString() << "secret.txt" << QString();
    QTest::newRow("object, the page's own folder") << Object << own << OwnWords << QString();
    QTest::newRow("script made of a text file")
        << Script << QUrl::fromLocalFile(site("own-script.txt")).toString() << OwnWords
        << QString();
    QTest::newRow("style sheet made of a text file")
        << Style << QUrl::fromLocalFile(site("own-style.txt")).toString() << OwnWords << QString();
    QTest::newRow("frame, a page beside it") << Frame << beside << BesideWords << "no document";
    QTest::newRow("object, a page beside it") << Object << beside << BesideWords << "no document";
    QTest::newRow("frame, its page")
        << FrameTells << spy + "#parent" << TopWords << "SecurityError";
    QTest::newRow("frame, the frame beside it")
        << SecondFrameTells << spy + "#sibling" << BesideWords << "SecurityError";
    QTest::newRow("canvas, an image in a hidden folder")
        << image(Canvas) << QUrl::fromLocalFile(m_home + "/.ssh/pic.png").toString()
        << "pixels-read"
        << "not loaded";
    QTest::newRow("canvas, an image beside the page") << image(Canvas) << picture << "pixels-read"
                                                      << "SecurityError";
    QTest::newRow("canvas, an image of the site in another folder")
        << image(Canvas) << QUrl::fromLocalFile(site("look/shape.svg")).toString() << "pixels-read"
        << "SecurityError";
    QTest::newRow("canvas in a frame, an image beside it") << FrameTells << spy + "#canvas"
                                                           << "pixels-read"
                                                           << "SecurityError";
    QTest::newRow("image bitmap, an image beside the page")
        << image(Bitmap) << picture << "pixels-read"
        << "SecurityError";
    QTest::newRow("data address and blob, an image beside the page")
        << image(Export) << picture << "exported"
        << "SecurityError SecurityError";
    QTest::newRow("WebGL texture, an image beside the page")
        << image(WebGl) << picture << "pixels-read"
        << "SecurityError";
}

void TestLocalPageReads::localPageReadsNoFile() {
    QFETCH(QString, attempt);
    QFETCH(QString, address);
    QFETCH(QString, content);
    QFETCH(QString, outcome);
    QVERIFY(loadAndWait(m_preview->page(), QUrl::fromLocalFile(site("index.html"))));
    evaluate(m_preview->page(),
             QStringLiteral("(function (URL) { %1 })(%2); true").arg(attempt, jsString(address)));
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(m_preview->page(), "window.result !== undefined").toBool(),
                             10000);
    const QString result = evaluate(m_preview->page(), "String(window.result)").toString();
    if (result == QLatin1String("no WebGL"))
        QSKIP("the engine gives pages no WebGL here");
    QVERIFY2(!result.contains(content), qPrintable(result));
    // Where the page was shown the file, the engine refused the read itself.
    if (!outcome.isEmpty())
        QCOMPARE(result, outcome);
}

// A local page plays its sound, but what it hears of it through Web Audio is silence.
void TestLocalPageReads::soundOfLocalMediaStaysUnheard() {
    QVERIFY(loadAndWait(m_preview->page(), QUrl::fromLocalFile(site("index.html"))));
    evaluate(
        m_preview->page(),
        "var a = new Audio('tone.wav'); a.loop = true; var b = document.createElement('button');"
        " b.id = 'play'; b.textContent = 'play'; document.body.appendChild(b);"
        " b.onclick = function () { var c = new AudioContext(), n = c.createAnalyser();"
        " c.createMediaElementSource(a).connect(n); n.connect(c.destination);"
        " a.play().then(function () { setTimeout(function () {"
        " var d = new Float32Array(n.fftSize); n.getFloatTimeDomainData(d); var most = 0;"
        " for (var i = 0; i < d.length; i++) most = Math.max(most, Math.abs(d[i]));"
        " window.result = a.currentTime > 0 ? (most > 0 ? 'heard' : 'silence')"
        " : 'not played'; }, 500); }, function (e) { window.result = e.name; }); }; true");
    QVERIFY(clickElement(m_preview->view(), "#play"));
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(m_preview->page(), "window.result !== undefined").toBool(),
                             10000);
    QCOMPARE(evaluate(m_preview->page(), "window.result").toString(), QStringLiteral("silence"));
}

// A page's own way to a folder's listing is blocked; the user's typed address shows it.
void TestLocalPageReads::folderListingOnlyForTheUser() {
    const QUrl folder = QUrl::fromLocalFile(m_home + "/");
    QVERIFY(loadAndWait(m_preview->page(), QUrl::fromLocalFile(site("index.html"))));
    QSignalSpy finished(m_preview->page(), &QWebEnginePage::loadFinished);
    evaluate(m_preview->page(), "location = " + jsString(folder.toString()) + "; true");
    QTRY_VERIFY(!finished.isEmpty());
    QCOMPARE(finished.last().value(0).toBool(), false);
    QVERIFY(!evaluate(m_preview->page(), "document.body ? document.body.innerText : ''")
                 .toString()
                 .contains("secret.txt"));

    m_preview->openAddress(m_home);
    QTRY_COMPARE(m_preview->page()->url(), folder);
    QTRY_VERIFY(evaluate(m_preview->page(), "document.body ? document.body.innerText : ''")
                    .toString()
                    .contains("secret.txt"));
}

// WebRTC gathers no host candidate: no address (nor a name standing for one) of the
// machine's interfaces reaches a page, local or on the web.
void TestLocalPageReads::webRtcTellsNoAddress_data() {
    QTest::addColumn<bool>("local");
    QTest::newRow("web page") << false;
    QTest::newRow("local page") << true;
}

void TestLocalPageReads::webRtcTellsNoAddress() {
    QFETCH(bool, local);
    QVERIFY(loadAndWait(m_preview->page(), local ? QUrl::fromLocalFile(site("index.html"))
                                                 : m_server->url("/page.html")));
    evaluate(
        m_preview->page(),
        "window.candidates = []; var pc = new RTCPeerConnection({iceServers: []});"
        " pc.createDataChannel('x');"
        " pc.onicecandidate = function (e) {"
        "  if (e.candidate) candidates.push(e.candidate.candidate); };"
        " pc.onicegatheringstatechange = function () { window.gathered = pc.iceGatheringState; };"
        " pc.createOffer().then(function (o) { return pc.setLocalDescription(o); })"
        ".then(function () { window.offer = pc.localDescription.sdp; }); true");
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_preview->page(), "window.gathered").toString(),
                              QStringLiteral("complete"), 15000);
    const QString told = evaluate(m_preview->page(), "window.candidates.join('\\n')").toString() +
                         evaluate(m_preview->page(), "window.offer").toString();
    QVERIFY2(!told.contains("typ host"), qPrintable(told));
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.isLoopback())
            continue; // the offer's fixed origin line names 127.0.0.1 whatever the machine
        QVERIFY2(!told.contains(address.toString().section('%', 0, 0)), qPrintable(told));
    }
}

ZELVORIN_TEST_MAIN_WITH(TestLocalPageReads, zelvorin::RegisterUrlSchemes)
#include "test_local_page_reads.moc"
