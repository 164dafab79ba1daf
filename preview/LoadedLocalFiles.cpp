// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LoadedLocalFiles.h"

#include "LosslessNames.h"

namespace zelvorin {

namespace {

QUrl pageKey(const QUrl& page) {
    return page.adjusted(QUrl::RemoveFragment);
}

} // namespace

void LoadedLocalFiles::pageLoading(const QUrl& page) {
    const QUrl key = pageKey(page);
    m_pages.removeOne(key);
    m_pages.append(key);
    m_files.insert(key, {});
    while (m_pages.size() > MostPages)
        m_files.remove(m_pages.takeFirst());
}

void LoadedLocalFiles::add(const QUrl& page, const QByteArray& rawPath) {
    const auto found = m_files.find(pageKey(page));
    if (found != m_files.end() && found->size() < MostFiles)
        found->insert(rawPath);
}

QList<QUrl> LoadedLocalFiles::of(const QUrl& page) const {
    QList<QUrl> addresses;
    for (const QByteArray& raw : m_files.value(pageKey(page)))
        addresses.append(platform::fileUrl(raw));
    return addresses;
}

} // namespace zelvorin
