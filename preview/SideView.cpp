#include "SideView.h"

#include "BackgroundChoice.h"
#include "PageZoom.h"
#include "Preview.h"
#include "PreviewPage.h"

#include <QTimer>
#include <QWebEngineView>

namespace zelvorin {

namespace {

// Addresses a second load cannot harm: pages of the web, local pages and blank ones. The
// program's own pages are made for one view and carry its commands.
bool followable(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("file") || scheme == QLatin1String("about");
}

} // namespace

SideView::SideView(Preview* first, PreviewProfile* profile, QObject* parent)
    : QObject(parent), m_first(first), m_side(new Preview(profile, nullptr, this)) {
    // The second preview's start timer would preview the file list's file a second time.
    m_side->LoadFileTimer()->stop();
    m_side->background()->SetLayout(first->background()->Layout());
    connect(first->background(), &BackgroundChoice::layoutChanged, m_side->background(),
            &BackgroundChoice::SetLayout);
    preview::PageZoom* firstZoom = preview::PageZoom::of(first->page());
    preview::PageZoom::of(m_side->page())->setFontZoom(firstZoom->fontZoom());
    connect(firstZoom, &preview::PageZoom::fontZoomChanged, m_side,
            [this](double factor) { preview::PageZoom::of(m_side->page())->setFontZoom(factor); });

    // A new page starts without a background, in both views.
    connect(first->page(), &QWebEnginePage::loadStarted, this, [this] {
        m_image.reset();
        m_colour.reset();
    });
    connect(first->page(), &QWebEnginePage::urlChanged, this, &SideView::follow);
    connect(first, &Preview::backgroundImageSet, this, [this](const QString& path) {
        m_image = path;
        m_lastRequest = m_side->SetPageBackgroundImage(path);
    });
    connect(first, &Preview::backgroundColorSet, this, [this](quint32 colour) {
        m_colour = colour;
        m_lastRequest = m_side->SetPageBackgroundColor(colour);
    });
    connect(m_side, &Preview::backgroundApplied, this, [this](int request) {
        if (request == m_lastRequest)
            emit backgroundApplied();
    });
    // A choice made while this view still loaded the page went to the document it left.
    connect(m_side->page(), &QWebEnginePage::loadFinished, this, &SideView::putBackground);
    follow(first->page()->url());
}

SideView::~SideView() {
    // A preview deletes only a view no widget holds (PageFrame::removeView lets it go).
    view()->setParent(nullptr);
}

QWebEngineView* SideView::view() const {
    return m_side->WebBrowser1();
}

void SideView::follow(const QUrl& url) {
    const QUrl target = followable(url) ? url : QUrl(QStringLiteral("about:blank"));
    if (m_side->page()->url() != target)
        m_side->page()->loadByProgram(target);
}

void SideView::putBackground() {
    if (m_colour)
        m_lastRequest = m_side->SetPageBackgroundColor(*m_colour);
    if (m_image)
        m_lastRequest = m_side->SetPageBackgroundImage(*m_image);
}

} // namespace zelvorin
