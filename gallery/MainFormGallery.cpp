// The main window's gallery commands: the first page of the shown folder's images, each
// page the gallery's own Prev and Next links ask for, and the writing of a page into the
// preview. The preview decides where a page may go (only into a document the program
// made); the gallery only turns names into page text.
#include "MainUnit.h"

#include "FilePanel.h"
#include "GenerateHTMLUnit.h"
#include "Preview.h"

void TMainForm::ShowImageGalleryMenuItemClick() {
    OpenAddress(QStringLiteral("zelvorin://imglist/1,") +
                QString::number(zelvorin::GalleryItemsPerPage));
}

void TMainForm::ShowGalleryPage(int first, int perPage) {
    QStringList names = MainFilePanel->FileListBox1()->Items();
    KeepGalleryImages(names);
    zelvorin::Preview* preview = m_preview;
    m_preview->ShowGeneratedPage(std::make_unique<zelvorin::GalleryPageBuilder>(
        MainFilePanel->DirectoryListBox1()->Directory(), std::move(names), first, perPage,
        m_galleryStyle,
        [preview](const QString& path) { return preview->ProgramImageAddress(path); }));
}

void TMainForm::LoadHtmlText(const QString& text) {
    m_preview->ShowGeneratedPage(std::make_unique<zelvorin::FixedPage>(text));
}
