// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The local files each local page loaded, its frames' included, as the request guard let
// them through. Live reload follows them: the documents in a local page's frames are of
// origins of their own, which the program's scripts in the top document cannot look into.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QUrl>

namespace zelvorin {

class LoadedLocalFiles {
public:
    // A new load of the page (a top document's address) starts its list anew.
    void pageLoading(const QUrl& page);
    void add(const QUrl& page, const QByteArray& rawPath);
    // The files of the page's last load, as file:// addresses.
    QList<QUrl> of(const QUrl& page) const;

private:
    static constexpr int MostPages = 16;
    static constexpr int MostFiles = 4096;
    QHash<QUrl, QSet<QByteArray>> m_files; // by page, without its fragment
    QList<QUrl> m_pages;                   // the oldest first
};

} // namespace zelvorin
