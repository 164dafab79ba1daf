// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The preview area's frame around its views: each view gets an equal share of the area's
// width, is sized and zoomed there so its page is laid out at the CSS width chosen for it
// (PageWidth.h), and sits centred in a quiet grey surround when it is narrower than its
// share.
#pragma once

#include <QWidget>

#include <vector>

class QWebEngineView;

namespace zelvorin::preview {

class PageFrame : public QWidget {
    Q_OBJECT
public:
    explicit PageFrame(QWidget* parent);

    // The view is moved into the frame, after the ones it holds.
    void addView(QWebEngineView* view, int cssWidth);
    void removeView(QWebEngineView* view);
    int viewCount() const { return int(m_slots.size()); }
    int cssWidth(int index) const { return m_slots.at(std::size_t(index)).cssWidth; }
    void setCssWidth(int index, int cssWidth);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Slot {
        QWidget* surround;
        QWebEngineView* view;
        int cssWidth;
    };
    void fitViews();

    std::vector<Slot> m_slots;
};

} // namespace zelvorin::preview
