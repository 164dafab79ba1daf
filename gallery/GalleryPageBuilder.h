// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The image gallery generator: turns the image names of a folder into one HTML page with a
// banner, a counter, Prev/Next links of the "zelvorin://imglist/" form and the page's items
// in one of three styles. Names and paths are HTML-escaped and image sources are real URLs,
// so any file name shows as itself and none can add markup or script to the page. Only the
// files of the page's own item range are looked at on disk.
#pragma once

#include "GeneratedPage.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace zelvorin {

// 0 simple list, 1 background list, 2 thumbnail list; any other value renders the list
// layout with simple items.
using GalleryStyleValue = quint8;
inline constexpr GalleryStyleValue SimpleListStyle = 0;
inline constexpr GalleryStyleValue BackgroundListStyle = 1;
inline constexpr GalleryStyleValue ThumbnailListStyle = 2;

inline constexpr int GalleryThumbnailSize = 100;
inline constexpr int GalleryItemsPerPage = 25;
inline constexpr int GalleryThumbnailsPerRow = 5;

// Makes the address under which the page loads the image file at `path` (a path text, see
// platform/LosslessNames.h). The result is plain URL text; the generator escapes it for
// the attribute it goes into.
using ImageUrlMaker = std::function<QString(const QString& path)>;

// The default image address: the file:// URL of the path, fully percent-encoded.
QString FileImageUrl(const QString& path);

// The image names a page is made of, in list order. A page asks only for the names of its
// own items, so a folder of any size costs a page the same.
class GalleryNames {
public:
    virtual ~GalleryNames() = default;
    virtual qint64 count() const = 0;
    virtual QString name(qint64 index) const = 0;
};

// A list of names held as a whole.
class GalleryNameList final : public GalleryNames {
public:
    explicit GalleryNameList(QStringList names) : m_names(std::move(names)) {}
    qint64 count() const override { return m_names.size(); }
    QString name(qint64 index) const override { return m_names.at(index); }

private:
    QStringList m_names;
};

// One gallery page made a part at a time: the text before the items, the items in runs,
// and the text after them. Joined, the parts are exactly the page generateGalleryPage
// makes; apart, a page of any length can be written while the user scrolls through it,
// and each part costs its own items, not the folder.
class GalleryPageBuilder final : public GeneratedPage {
public:
    GalleryPageBuilder(const QString& folder, std::shared_ptr<const GalleryNames> names,
                       qint64 first, qint64 perPage, GalleryStyleValue style,
                       ImageUrlMaker imageUrl = {});
    GalleryPageBuilder(const QString& folder, QStringList names, qint64 first, qint64 perPage,
                       GalleryStyleValue style, ImageUrlMaker imageUrl = {});

    // The number of item numbers the page lists.
    qint64 itemCount() const override;
    QString head() const override;
    // The markup of the next `count` item numbers (thumbnails in whole rows of five).
    QString nextItems(qint64 count) override;
    bool atEnd() const override;
    QString tail() const override;

private:
    bool thumbnails() const;
    QString item(qint64 number, int itemStyle) const;

    std::shared_ptr<const GalleryNames> m_names;
    qint64 m_count = 0;
    QString m_folderWithSeparator;
    QString m_shownFolder;
    QString m_navigation;
    qint64 m_start = 0;
    qint64 m_perPage = 0;
    qint64 m_first = 1;
    qint64 m_last = 0;
    qint64 m_end = 0;
    qint64 m_next = 1;
    GalleryStyleValue m_style = ThumbnailListStyle;
    ImageUrlMaker m_imageUrl;
};

// True for the names of web images (see ImageFormats.h), in any letter case.
bool isGalleryImage(const QString& name);

// Removes every name that is not a gallery image; the rest keep their order.
void keepGalleryImages(QStringList& names);

// The whole page for the image names of `folder`, listing the items from `first` with
// `perPage` items a page (a negative count lists every item to the end). A null
// `imageUrl` uses FileImageUrl.
QString generateGalleryPage(const QString& folder, const QStringList& names, qint64 first,
                            qint64 perPage, GalleryStyleValue style,
                            const ImageUrlMaker& imageUrl = {});

// The markup of one item in style 0, 1 or 2; empty for any other style.
QString generateGalleryItem(const QString& path, int style, qint64 number, qint64 size,
                            const ImageUrlMaker& imageUrl = {});

} // namespace zelvorin
