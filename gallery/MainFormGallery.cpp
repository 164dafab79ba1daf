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

ShownDocument shownDocument(QWebEnginePage* page) {
    const QUrl url = page->url();
    if (url.isEmpty())
        return ShownDocument::Missing;
    const std::optional<QVariant> answer = zelvorin::RunScriptAndWait(
        page, QStringLiteral("window.origin"), QWebEngineScript::ApplicationWorld);
    if (!answer || !answer->isValid())
        return ShownDocument::Missing;
    const QString origin = answer->toString();
    const QString scheme = url.scheme().toLower();
    const bool blankAddress = scheme == QLatin1String("about");
    if (origin == QLatin1String("file://") && (blankAddress || scheme == QLatin1String("file")))
        return ShownDocument::File;
    if (origin == QLatin1String("null") && blankAddress)
        return ShownDocument::Blank;
    if (origin == QLatin1String("qrc:") && (blankAddress || scheme == QLatin1String("qrc")))
        return ShownDocument::Blank;
    return ShownDocument::Web;
}

QString scriptLiteral(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    const QString literal = QString::fromUtf8(array);
    return literal.mid(1, literal.size() - 2);
}

// document.open() keeps the replaced page's window in this engine, and with it the page's
// pending timers and animation frames, which would go on changing the new page; they are
// cancelled first. Timer and frame numbers belong to the window, so the program's own
// world reaches the page's.
const char WriteDocumentScript[] = R"JS(
(function (text) {
  var last = setTimeout(function () {}, 0);
  for (var id = last; id > 0; --id) { clearTimeout(id); clearInterval(id); }
  var frame = requestAnimationFrame(function () {});
  for (var id = frame; id > 0; --id) cancelAnimationFrame(id);
  document.open();
  document.write(text);
  document.close();
  return true;
})(%1);
)JS";

// The shown document when a local page may go into it, after a web document has given way
// to a fresh blank one; Missing when there is none.
ShownDocument localDocument(TMainForm& form, QWebEnginePage* page) {
    const ShownDocument shown = shownDocument(page);
    if (shown != ShownDocument::Web)
        return shown;
    form.OpenAddress(QStringLiteral("about:blank"));
    const ShownDocument fresh = shownDocument(page);
    return fresh == ShownDocument::Web ? ShownDocument::Missing : fresh;
}

} // namespace

void TMainForm::ShowImageGalleryMenuItemClick() {
    OpenAddress(QStringLiteral("zelvorin://imglist/1,") +
                QString::number(zelvorin::GalleryItemsPerPage));
}

void TMainForm::ShowGalleryPage(int first, int perPage) {
    QWebEnginePage* page = m_preview->page();
    // The page's image addresses must suit the document it will go into, so a web
    // document gives way to the fresh one before the page is built.
    const ShownDocument target = localDocument(*this, page);
    if (target == ShownDocument::Missing)
        return;
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
    // A listing of a local folder never goes into a document of a web site.
    if (localDocument(*this, page) == ShownDocument::Missing)
        return;
    // Written into the shown document: no navigation and no history entry.
    zelvorin::RunScriptAndWait(page,
                               QString::fromLatin1(WriteDocumentScript).arg(scriptLiteral(text)),
                               QWebEngineScript::ApplicationWorld);
}
