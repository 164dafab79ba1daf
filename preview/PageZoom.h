// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A page's zoom factor is made of two: the font size level the user chose and the scale that
// fits a chosen page width into the preview area. Each is set on its own here, so that
// neither undoes the other and the font size still reads back as its level.
#pragma once

#include <QObject>

class QWebEnginePage;

namespace zelvorin::preview {

class PageZoom : public QObject {
    Q_OBJECT
public:
    // The page's own, made on first use and going with the page.
    static PageZoom* of(QWebEnginePage* page);

    // The font size's part: the page's zoom without the width's scale. It is read from the
    // engine each time, so a zoom the engine changed itself is seen too.
    double fontZoom() const;
    void setFontZoom(double factor);
    // The whole zoom the page should have; the font size's part stays as it is.
    void setTotalZoom(double factor);

signals:
    void fontZoomChanged(double factor);

private:
    explicit PageZoom(QWebEnginePage* page);

    QWebEnginePage* m_page;
    double m_widthScale = 1.0;
};

} // namespace zelvorin::preview
