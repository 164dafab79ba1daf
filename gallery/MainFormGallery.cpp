// The main window's gallery commands: the first page of the shown folder's images, and
// each page the gallery's own Prev and Next links ask for.
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

void TMainForm::ShowImageGalleryMenuItemClick() {
    OpenAddress(QStringLiteral("zelvorin://imglist/1,") +
                QString::number(zelvorin::GalleryItemsPerPage));
}

void TMainForm::ShowGalleryPage(int first, int perPage) {
    QStringList names = MainFilePanel->FileListBox1()->Items();
    KeepGalleryImages(names);
    const QString page =
        GenerateGalleryPage(MainFilePanel->DirectoryListBox1()->Directory(), names, first, perPage,
                            m_galleryStyle, [this](const QString& path) {
                                return m_profile->localImages().grant(path).local.toString();
                            });
    LoadHtmlText(page);
}

void TMainForm::LoadHtmlText(const QString& text) {
    QWebEnginePage* page = m_preview->page();
    // A listing of a local folder never goes into a document of a web site: such a page
    // gives way to a fresh blank document first.
    const QString scheme = page->url().scheme();
    const bool local = scheme.isEmpty() || scheme == QLatin1String("about") ||
                       scheme == QLatin1String("file") || scheme == QLatin1String("qrc");
    if (!local)
        OpenAddress(QStringLiteral("about:blank"));
    const QString literal =
        QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
    // The page text replaces the shown document with no navigation and no history entry.
    zelvorin::RunScriptAndWait(page,
                               QStringLiteral("(function(t){document.open();document.write(t);"
                                              "document.close();})(") +
                                   literal.mid(1, literal.size() - 2) + QStringLiteral(");"),
                               QWebEngineScript::ApplicationWorld);
}
