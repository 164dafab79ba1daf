// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A page the program makes itself, handed over in parts: the text before its items, the
// items a run at a time, and the text after them. Joined, the parts are the whole page;
// apart, a page of any length can be shown a part at a time, each part costing only its
// own items.
#pragma once

#include <QString>

namespace zelvorin {

class GeneratedPage {
public:
    virtual ~GeneratedPage() = default;
    // The number of items the whole page lists.
    virtual qint64 itemCount() const = 0;
    virtual QString head() const = 0;
    // The markup of the next `count` items (at least one, maybe a few more where items
    // come in groups); empty once every item has been given.
    virtual QString nextItems(qint64 count) = 0;
    virtual bool atEnd() const = 0;
    virtual QString tail() const = 0;
};

// A page that is one text, with no items of its own.
class FixedPage final : public GeneratedPage {
public:
    explicit FixedPage(QString text) : m_text(std::move(text)) {}
    qint64 itemCount() const override { return 0; }
    QString head() const override { return m_text; }
    QString nextItems(qint64) override { return {}; }
    bool atEnd() const override { return true; }
    QString tail() const override { return {}; }

private:
    QString m_text;
};

} // namespace zelvorin
