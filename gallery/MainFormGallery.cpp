// The main window's gallery commands: the first page of the shown folder's images, each
// page the gallery's own Prev and Next links ask for, and the writing of a page into the
// shown document.
//
// Which image addresses a written page can load depends on the origin of the document it
// goes into (measured on Qt WebEngine 6.4): a document of file:// loads only schemes
// marked local ("zelvorin-local"), while a fresh about:blank document (opaque origin) and
// the program's own qrc: pages load only the unmarked scheme ("zelvorin-file"). A document
// of a web origin never receives a folder listing: the page goes into a fresh about:blank
// document instead. An about:blank document that a web page navigated to keeps that page's
// origin, so the origin is read from the document itself, not guessed from its address.
#include "MainUnit.h"

#include "FilePanel.h"
#include "GenerateHTMLUnit.h"
#include "Preview.h"
#include "PreviewPage.h"
#include "PreviewProfile.h"
#include "ScriptWait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

enum class ShownDocument {
    Missing, // nothing shown yet, or the engine does not answer
    Blank,   // a fresh about:blank document or one of the program's own qrc: pages
    File,    // a document of the file:// origin
    Web,     // any other origin
};

// The kind of the shown document, read from the document itself: 'file', 'blank' or
// 'web'. It runs in the program's own world, out of reach of the page's scripts.
const char DocumentKindFunction[] = R"JS(
function documentKind() {
  var origin = window.origin, scheme = location.protocol, blank = scheme === 'about:';
  if (origin === 'file://' && (blank || scheme === 'file:')) return 'file';
  if (origin === 'null' && blank) return 'blank';
  if (origin === 'qrc:' && (blank || scheme === 'qrc:')) return 'blank';
  return 'web';
}
)JS";

ShownDocument shownDocument(QWebEnginePage* page) {
    if (page->url().isEmpty())
        return ShownDocument::Missing;
    const std::optional<QVariant> answer = zelvorin::RunScriptAndWait(
        page,
        QStringLiteral("(function () {") + QLatin1String(DocumentKindFunction) +
            QStringLiteral("return documentKind(); })()"),
        QWebEngineScript::ApplicationWorld);
    const QString kind = answer ? answer->toString() : QString();
    if (kind == QLatin1String("file"))
        return ShownDocument::File;
    if (kind == QLatin1String("blank"))
        return ShownDocument::Blank;
    if (kind == QLatin1String("web"))
        return ShownDocument::Web;
    return ShownDocument::Missing;
}

QString scriptLiteral(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    const QString literal = QString::fromUtf8(array);
    return literal.mid(1, literal.size() - 2);
}

// Writes the text into the shown document unless that belongs to a web origin; the check
// and the writing run in one go, so no navigation can slip in between. document.open()
// keeps the replaced page's window in this engine, and with it the page's pending timers
// and animation frames, which would go on changing the new page; they are cancelled
// first (their numbers belong to the window, so the program's world reaches the page's).
QString writeDocumentScript(const QString& text) {
    return QStringLiteral("(function (text) {") + QLatin1String(DocumentKindFunction) +
           QStringLiteral(R"JS(
  if (documentKind() === 'web') return false;
  var last = setTimeout(function () {}, 0);
  for (var id = last; id > 0; --id) { clearTimeout(id); clearInterval(id); }
  var frame = requestAnimationFrame(function () {});
  for (var id = frame; id > 0; --id) cancelAnimationFrame(id);
  document.open();
  document.write(text);
  document.close();
  return true;
})()JS") + scriptLiteral(text) +
           QStringLiteral(");");
}

bool writeIntoLocalDocument(QWebEnginePage* page, const QString& script) {
    const std::optional<QVariant> written =
        zelvorin::RunScriptAndWait(page, script, QWebEngineScript::ApplicationWorld);
    return written && written->toBool();
}

} // namespace

void TMainForm::ShowImageGalleryMenuItemClick() {
    OpenAddress(QStringLiteral("zelvorin://imglist/1,") +
                QString::number(zelvorin::GalleryItemsPerPage));
}

void TMainForm::ShowGalleryPage(int first, int perPage) {
    QWebEnginePage* page = m_preview->page();
    ShownDocument target = shownDocument(page);
    if (target == ShownDocument::Missing)
        return;
    // The page's image addresses must suit the document it will go into, so a web
    // document gives way to a fresh blank one before the page is built.
    if (target == ShownDocument::Web) {
        OpenAddress(QStringLiteral("about:blank"));
        target = shownDocument(page);
        if (target != ShownDocument::Blank && target != ShownDocument::File)
            return;
    }
    const bool fileDocument = target == ShownDocument::File;

    QStringList names = MainFilePanel->FileListBox1()->Items();
    KeepGalleryImages(names);
    const QString text = GenerateGalleryPage(
        MainFilePanel->DirectoryListBox1()->Directory(), names, first, perPage, m_galleryStyle,
        [this, fileDocument](const QString& path) {
            const zelvorin::LocalImageUrls::Grant grant = m_profile->localImages().grant(path);
            return (fileDocument ? grant.local : grant.remote).toString(QUrl::FullyEncoded);
        });
    LoadHtmlText(text);
}

void TMainForm::LoadHtmlText(const QString& text) {
    QWebEnginePage* page = m_preview->page();
    if (page->url().isEmpty())
        return;
    // Written into the shown document: no navigation and no history entry.
    const QString script = writeDocumentScript(text);
    if (writeIntoLocalDocument(page, script))
        return;
    // A listing of a local folder never goes into a document of a web site.
    if (shownDocument(page) != ShownDocument::Web)
        return;
    OpenAddress(QStringLiteral("about:blank"));
    writeIntoLocalDocument(page, script);
}
