// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GalleryPageBuilder.h"

#include "FileStamp.h"
#include "ImageFormats.h"
#include "LosslessNames.h"
#include "Paths.h"
#include "ProgramValues.h"

#include <QUrl>

#include <algorithm>
#include <optional>

namespace zelvorin {

QString FileImageUrl(const QString& path) {
    return platform::fileUrl(platform::encodePath(path)).toString(QUrl::FullyEncoded);
}

namespace {

const QString LineEnd = QStringLiteral("\r\n");

QString decimal(qint64 value) {
    return QString::number(value);
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString imageSource(const QString& path, const ImageUrlMaker& imageUrl) {
    return escaped(imageUrl ? imageUrl(path) : FileImageUrl(path));
}

QString sizeText(qint64 size) {
    if (size < 5120)
        return decimal(size) + QStringLiteral(" bytes");
    return decimal(size / 1024 + 1) + QStringLiteral(" Kb");
}

// At most 15 characters; longer names keep their first 12 and get "...". A surrogate pair
// is never split, so the cut name is still valid text.
QString shortName(const QString& name) {
    if (name.size() <= 15)
        return name;
    qsizetype keep = 12;
    if (name.at(keep - 1).isHighSurrogate())
        --keep;
    return name.left(keep) + QStringLiteral("...");
}

QString captionForList(qint64 number, const QString& name, const QString& size) {
    return QStringLiteral("<table width=\"100%\" border=0><tr>\r\n") +
           QStringLiteral("<td width=\"2%\">&nbsp</td>\r\n") +
           QStringLiteral("<td width=\"98%\"><font size=\"+1\"><font color=#656565>") +
           decimal(number) + QStringLiteral("</font> &nbsp;&nbsp;&nbsp;&nbsp;&nbsp; <b>") + name +
           QStringLiteral("</b> &nbsp;&nbsp;&nbsp;&nbsp;") + size +
           QStringLiteral("<p></font></td>\r\n") + QStringLiteral("</tr></table>\r\n");
}

QString simplePicture(const QString& source, const QString& name, const QString& size) {
    return QStringLiteral("<table width=\"100%\" border=0><tr>\r\n") +
           QStringLiteral("<td width=\"2%\"> &nbsp </td>\r\n") +
           QStringLiteral("<td width=\"98%\"><img src=\"") + source +
           QStringLiteral("\" alt=\"  ") + name + QStringLiteral("    (") + size +
           QStringLiteral(") \"> </td>\r\n") +
           QStringLiteral(
               "</tr> </table> <br> <p> <hr noShade  width=\"100%\" align=left>\r\n\r\n");
}

QString backgroundPicture(const QString& source) {
    return QStringLiteral("<table width=\"80%\" align=\"center\" border=0 background=\"") + source +
           QStringLiteral("\"><tr>\r\n") + QStringLiteral("<td width=\"2%\"> &nbsp </td>\r\n") +
           QStringLiteral("<td width=\"98%\"> <table height=100 width=1 border=0><tr><td></td></tr>"
                          "</table></td>\r\n") +
           QStringLiteral("</tr> </table> <br>") +
           QStringLiteral("<p> <hr noShade  width=\"100%\" align=left>\r\n\r\n");
}

QString thumbnailPicture(const QString& source, qint64 number, const QString& name,
                         const QString& shortened, const QString& size) {
    const QString t = decimal(GalleryThumbnailSize);
    const QString frame =
        QStringLiteral("<table width=\"") + t +
        QStringLiteral("\" align=\"center\" border=0 cellspacing=\"1\" cellpadding=\"\" "
                       "bgcolor=\"#000000\"><tr><td bgcolor=\"#FFFFFF\">\r\n") +
        QStringLiteral("<img src=\"") + source + QStringLiteral("\" alt=\"  ") + name +
        QStringLiteral("    (") + size + QStringLiteral(") \" width=\"") + t +
        QStringLiteral("\" height=\"") + t + QStringLiteral("\"></td>\r\n") +
        QStringLiteral("</tr></table>\r\n");
    const QString caption = QStringLiteral("<table width=\"100%\" border=0><tr>\r\n") +
                            QStringLiteral("<td nowrap><font size=\"1\"><font color=#656565>") +
                            decimal(number) + QStringLiteral("</font>&nbsp;<b>") + shortened +
                            QStringLiteral("</b><br>") + QStringLiteral("<div align=right>") +
                            size + QStringLiteral("</div></font></td>\r\n") +
                            QStringLiteral("</tr></table>\r\n");
    return QStringLiteral("<table width=\"") + t +
           QStringLiteral("\" border=0 cellspacing=0 cellpadding=0><tr><td>\r\n") + frame +
           QStringLiteral("</td></tr>\r\n") + QStringLiteral("<tr><td>\r\n") + caption +
           QStringLiteral("</td></tr></table>\r\n");
}

QString headSection(const QString& folder) {
    return QStringLiteral("<html> <head>\r\n<title>") + folder +
           QStringLiteral("</title>\r\n</head>\r\n<body bgcolor=#FFFFFF topmargin=\"0\" "
                          "leftmargin=\"0\">\r\n");
}

QString bannerSection(const QString& folder) {
    return QStringLiteral("<font face=\"Verdana,Arial\">\r\n<table align=left width=\"100%\" "
                          "bgColor=\"#000000\" cellspacing=0 cellpadding=0 border=0><tr><td><br>"
                          "\r\n<center> <font color=#FFFFFF> <b>Folder</b>&nbsp;&nbsp;&nbsp;\"") +
           folder + QStringLiteral("\"  </font></center>\r\n<br></td></tr></table>\r\n");
}

QString counterText(qint64 count, qint64 first, qint64 last) {
    if (count == 0)
        return QStringLiteral("<br><br><br><i><center>There is no image files in the File "
                              "List</center></i><br><br><br><br><br>\r\n");
    if (count == 1)
        return QStringLiteral("<i><center>(") + decimal(count) + QStringLiteral(" image") +
               QStringLiteral(")</center></i>\r\n");
    return QStringLiteral("<i><center>(") + decimal(first) + QStringLiteral("-") + decimal(last) +
           QStringLiteral("&nbsp;&nbsp;of ") + decimal(count) +
           QStringLiteral("&nbsp;&nbsp;images") + QStringLiteral(")</center></i>\r\n");
}

QString navigationText(qint64 count, qint64 start, qint64 perPage) {
    QString text = QStringLiteral("<table width=\"100%\"><tr><td align=right>\r\n");
    if (start > 1)
        text += QStringLiteral("<a href=\"zelvorin://imglist/") + decimal(start - perPage) +
                QStringLiteral(",") + decimal(perPage) +
                QStringLiteral("\" onMouseOver=\"status='Prev'; return true;\" "
                               "onMouseOut=\"status=''; return true;\" language=\"JavaScript\">"
                               "<font face=\"Arial, Tahoma, Helvetica\">") +
                QStringLiteral("<b>&lt;&nbsp;Prev</b></a>&nbsp;&nbsp;&nbsp;") + LineEnd;
    else
        text += QStringLiteral("<font face=\"Arial, Tahoma, Helvetica\" color=#CCCCCC><b>Prev</b>"
                               "</font>&nbsp;&nbsp;&nbsp;") +
                LineEnd;
    if (count > start + perPage - 1)
        text += QStringLiteral("<a href=\"zelvorin://imglist/") + decimal(start + perPage) +
                QStringLiteral(",") + decimal(perPage) +
                QStringLiteral("\"onMouseOver=\"status='Next'; return true;\" "
                               "onMouseOut=\"status=''; return true;\" language=\"JavaScript\">"
                               "<font face=\"Arial, Tahoma, Helvetica\">") +
                QStringLiteral("<b>Next &nbsp;&gt;</b></a>&nbsp;&nbsp;&nbsp;") + LineEnd;
    else
        text += QStringLiteral("<font face=\"Arial, Tahoma, Helvetica\" color=#CCCCCC><b>Next</b>"
                               "</font>&nbsp;&nbsp;&nbsp;") +
                LineEnd;
    text += QStringLiteral("</td></tr></table> ") + LineEnd;
    return text;
}

QString footerLink() {
    return QStringLiteral("<font face=\"Arial,Tahoma,Verdana,Helvetica\"><table align=left "
                          "width=\"100%\" bgColor=\"#000000\" cellspacing=0 cellpadding=10 "
                          "border=0><tr><td align=right><font size=2>&nbsp;&nbsp;&nbsp;&nbsp;"
                          "<a href=\"") +
           escaped(ProductWebSite) +
           QStringLiteral("\" target=\"newwindow\"><font color=#FFFFFF style=\"text-decoration: "
                          "none\"><b><i>Zelvorin</i></b></font></a>&nbsp;&nbsp;&nbsp;&nbsp;"
                          "</font></td></tr></table>");
}

struct ItemFile {
    QString path;
    qint64 size = 0;
};

// The regular file at a path text, looked at by its bytes (see platform/LosslessNames.h).
std::optional<ItemFile> regularFile(const QString& path) {
    const platform::FileStamp stamp = platform::fileStamp(platform::encodePath(path));
    if (!stamp.regular)
        return std::nullopt;
    return ItemFile{path, stamp.size};
}

// The file behind one name of the list: a name that carries its own folder is taken as it
// is, any other is looked for in the folder. Each candidate costs one stat, which also
// gives the size; the name is never read as a search pattern, as "*" and "?" are ordinary
// characters of Linux file names.
std::optional<ItemFile> resolveItemFile(const QString& folderWithSeparator, const QString& name) {
    if (!parentPath(name).isEmpty()) {
        if (std::optional<ItemFile> file = regularFile(name))
            return file;
    }
    return regularFile(folderWithSeparator + name);
}

} // namespace

bool isGalleryImage(const QString& name) {
    return IsWebImageName(name);
}

namespace {

// The names of a large folder lie scattered in memory (made in the folder's order, sorted
// since), so reading them one after another waits on memory for each. Asking for a text
// some names ahead lets those waits overlap.
constexpr qsizetype PrefetchDistance = 16;

inline void prefetchText(const QString& name) {
#if defined(__GNUC__)
    __builtin_prefetch(name.constData());
#else
    Q_UNUSED(name);
#endif
}

} // namespace

void keepGalleryImages(QStringList& names) {
    const qsizetype count = names.size();
    // Read-only until the first name to remove, so a shared list that holds only images
    // is never copied.
    const QString* const items = names.constData();
    qsizetype first = 0;
    for (; first < count; ++first) {
        if (first + PrefetchDistance < count)
            prefetchText(items[first + PrefetchDistance]);
        if (!isGalleryImage(items[first]))
            break;
    }
    if (first == count)
        return;
    qsizetype kept = first;
    for (qsizetype i = first + 1; i < count; ++i) {
        if (i + PrefetchDistance < count)
            prefetchText(names.at(i + PrefetchDistance));
        if (isGalleryImage(names.at(i)))
            names[kept++] = std::move(names[i]);
    }
    names.resize(kept);
}

QString generateGalleryItem(const QString& path, int style, qint64 number, qint64 size,
                            const ImageUrlMaker& imageUrl) {
    if (style < SimpleListStyle || style > ThumbnailListStyle)
        return {};
    // A name that is not UTF-8 shows readably; its address keeps the bytes.
    const QString rawName = platform::displayPath(lastPathPart(path));
    const QString name = escaped(rawName);
    const QString size_ = sizeText(size);
    const QString source = imageSource(path, imageUrl);
    switch (style) {
    case SimpleListStyle:
        return captionForList(number, name, size_) + simplePicture(source, name, size_);
    case BackgroundListStyle:
        return captionForList(number, name, size_) + backgroundPicture(source);
    default:
        return thumbnailPicture(source, number, name, escaped(shortName(rawName)), size_);
    }
}

GalleryPageBuilder::GalleryPageBuilder(const QString& folder, QStringList names, qint64 first,
                                       qint64 perPage, GalleryStyleValue style,
                                       ImageUrlMaker imageUrl)
    : GalleryPageBuilder(folder, std::make_shared<GalleryNameList>(std::move(names)), first,
                         perPage, style, std::move(imageUrl)) {}

GalleryPageBuilder::GalleryPageBuilder(const QString& folder,
                                       std::shared_ptr<const GalleryNames> names, qint64 first,
                                       qint64 perPage, GalleryStyleValue style,
                                       ImageUrlMaker imageUrl)
    : m_names(std::move(names)), m_count(m_names->count()), m_start(first), m_perPage(perPage),
      m_style(style), m_imageUrl(std::move(imageUrl)) {
    const QString strippedFolder = stripTrailingSlashes(folder);
    m_folderWithSeparator = withTrailingSlash(strippedFolder);
    m_shownFolder = escaped(platform::displayPath(strippedFolder));
    const qint64 count = m_count;
    m_first = std::max<qint64>(m_start, 1);
    m_last = std::min(m_start + m_perPage - 1, count);
    m_end = m_perPage < 0 ? count : m_last;
    m_next = m_first;
    if (count > 0)
        m_navigation = navigationText(count, m_start, m_perPage);
}

bool GalleryPageBuilder::thumbnails() const {
    return m_style == ThumbnailListStyle && m_count > 0;
}

qint64 GalleryPageBuilder::itemCount() const {
    return std::max<qint64>(m_end - m_first + 1, 0);
}

bool GalleryPageBuilder::atEnd() const {
    return m_next > m_end;
}

QString GalleryPageBuilder::head() const {
    QString text;
    text += headSection(m_shownFolder) + LineEnd;
    text += bannerSection(m_shownFolder) + LineEnd;
    text += QStringLiteral("<br><br><br><br>") + counterText(m_count, m_first, m_last) +
            QStringLiteral("<br><br>") + LineEnd;
    text += LineEnd;
    text += QStringLiteral("<br>") + m_navigation + QStringLiteral("<br>") + LineEnd;
    if (thumbnails())
        text += QStringLiteral("<table align=center border=0 cellspacing=0 cellpadding=2>");
    return text;
}

QString GalleryPageBuilder::item(qint64 k, int itemStyle) const {
    const std::optional<ItemFile> file =
        resolveItemFile(m_folderWithSeparator, m_names->name(k - 1));
    if (!file)
        return {};
    return generateGalleryItem(file->path, itemStyle, k, file->size, m_imageUrl);
}

QString GalleryPageBuilder::nextItems(qint64 count) {
    QString items;
    if (m_count == 0)
        return items;
    const qint64 stop = std::min(m_end, m_next + std::max<qint64>(count, 1) - 1);
    if (thumbnails()) {
        // Whole rows only: a row of five places is never split between two parts.
        while (m_next <= stop) {
            items += QStringLiteral("<tr>");
            for (int place = 0; place < GalleryThumbnailsPerRow && m_next <= m_end;
                 ++place, ++m_next) {
                const QString text = item(m_next, ThumbnailListStyle);
                if (text.isEmpty())
                    continue;
                items += QStringLiteral("<td width=\"") + decimal(GalleryThumbnailSize + 20) +
                         QStringLiteral("\" align=center valign=middle>") + text +
                         QStringLiteral("</td>");
            }
            items += QStringLiteral("</tr>");
        }
        return items;
    }
    const int itemStyle = m_style == BackgroundListStyle ? BackgroundListStyle : SimpleListStyle;
    for (; m_next <= stop; ++m_next)
        items += item(m_next, itemStyle);
    return items;
}

QString GalleryPageBuilder::tail() const {
    QString text;
    if (thumbnails())
        text += QStringLiteral("</table>");
    text += LineEnd;
    text += QStringLiteral("<br>") + m_navigation + QStringLiteral("<br>") + LineEnd;
    text += LineEnd;
    text += (m_count == 0 ? QString() : footerLink()) + LineEnd;
    text += QStringLiteral("</font></body></html>\r\n") + LineEnd;
    return text;
}

QString generateGalleryPage(const QString& folder, const QStringList& names, qint64 first,
                            qint64 perPage, GalleryStyleValue style,
                            const ImageUrlMaker& imageUrl) {
    GalleryPageBuilder page(folder, names, first, perPage, style, imageUrl);
    QString text = page.head();
    text += page.nextItems(page.itemCount());
    text += page.tail();
    return text;
}

} // namespace zelvorin
