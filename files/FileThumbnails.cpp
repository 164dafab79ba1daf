// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileThumbnails.h"

#include "FileListModel.h"
#include "ImageFormats.h"

#include <QEvent>
#include <QImageReader>
#include <QListView>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace zelvorin {

namespace {

// Thumbnails kept for drawing, in KiB: about a thousand rows of the list, so that
// scrolling back shows them at once; the disk cache holds the rest.
constexpr int KeptKiB = 16 * 1024;

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace

FileThumbnails::FileThumbnails(QListView* view, ThumbnailCache cache)
    : QObject(view), m_view(view), m_cache(std::move(cache)) {
    m_known.setMaxCost(KeptKiB);
    // Two workers keep a two-core machine's user-interface thread free; more cores make
    // thumbnails of a fresh folder sooner.
    m_pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 4));
    m_scheduleTimer = new QTimer(this);
    m_scheduleTimer->setSingleShot(true);
    m_scheduleTimer->setInterval(0);
    connect(m_scheduleTimer, &QTimer::timeout, this, &FileThumbnails::schedule);
    view->viewport()->installEventFilter(this);
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &FileThumbnails::scheduleSoon);
    if (QAbstractItemModel* model = view->model()) {
        connect(model, &QAbstractItemModel::modelReset, this, &FileThumbnails::scheduleSoon);
        connect(model, &QAbstractItemModel::rowsInserted, this, &FileThumbnails::scheduleSoon);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &FileThumbnails::scheduleSoon);
        connect(model, &QAbstractItemModel::layoutChanged, this, &FileThumbnails::scheduleSoon);
    }
    scheduleSoon();
}

FileThumbnails::~FileThumbnails() {
    ++m_epoch;
    m_pool.clear();
    m_pool.waitForDone();
}

bool FileThumbnails::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        scheduleSoon();
    return QObject::eventFilter(watched, event);
}

bool FileThumbnails::wantsThumbnail(const QByteArray& raw) {
    static const QSet<QByteArray> formats = [] {
        QSet<QByteArray> set;
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            set.insert(format.toLower());
        // Reading a PDF or a text file as an image fails; only picture types are tried.
        set.remove("pdf");
        return set;
    }();
    const qsizetype dot = raw.lastIndexOf('.');
    return dot > 0 && (formats.contains(raw.mid(dot + 1).toLower()) || IsWebImageName(raw));
}

void FileThumbnails::setFolder(const QByteArray& folder) {
    if (folder == m_folder)
        return;
    m_folder = folder;
    ++m_epoch;
    m_pool.clear();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_started.clear();
    }
    m_known.clear();
    m_changedAt.clear();
    scheduleSoon();
}

QPixmap FileThumbnails::pixmap(const QByteArray& raw) const {
    const Known* known = m_known.object(raw);
    return known != nullptr ? known->pixmap : QPixmap();
}

void FileThumbnails::forget(const QSet<QByteArray>& names) {
    if (names.isEmpty())
        return;
    ++m_generation;
    for (const QByteArray& name : names)
        m_changedAt.insert(name, m_generation);
    scheduleSoon();
}

void FileThumbnails::recheckAll() {
    ++m_generation;
    m_recheckedAt = m_generation;
    m_changedAt.clear();
    scheduleSoon();
}

bool FileThumbnails::isCurrent(const QByteArray& raw) const {
    const Known* known = m_known.object(raw);
    return known != nullptr && known->checked >= std::max(m_recheckedAt, m_changedAt.value(raw, 0));
}

std::pair<int, int> FileThumbnails::visibleRows() const {
    if (!m_view || !m_view->model() || m_view->model()->rowCount() == 0)
        return {0, -1};
    const QModelIndex first = m_view->indexAt(QPoint(1, 1));
    if (!first.isValid())
        return {0, -1};
    const QModelIndex last = m_view->indexAt(QPoint(1, m_view->viewport()->height() - 1));
    return {first.row(), last.isValid() ? last.row() : m_view->model()->rowCount() - 1};
}

bool FileThumbnails::visibleRowsDone() const {
    const auto [first, last] = visibleRows();
    for (int row = first; row <= last; ++row) {
        const QByteArray raw =
            m_view->model()->index(row, 0).data(FileListModel::RawNameRole).toByteArray();
        if (wantsThumbnail(raw) && !isCurrent(raw))
            return false;
    }
    return true;
}

void FileThumbnails::scheduleSoon() {
    if (!m_scheduleTimer->isActive())
        m_scheduleTimer->start();
}

void FileThumbnails::schedule() {
    // Requests not taken up yet are replaced by the new order.
    m_pool.clear();
    if (!m_view || !m_view->isVisible() || m_folder.isEmpty())
        return;
    const auto [first, last] = visibleRows();
    if (last < first)
        return;
    const int page = last - first + 1;
    const int count = m_view->model()->rowCount();
    const auto consider = [this](int row) {
        const QByteArray raw =
            m_view->model()->index(row, 0).data(FileListModel::RawNameRole).toByteArray();
        if (wantsThumbnail(raw) && !isCurrent(raw))
            request(raw);
    };
    for (int row = first; row <= last; ++row)
        consider(row);
    for (int row = last + 1; row < std::min(count, last + 1 + page); ++row)
        consider(row);
    for (int row = first - 1; row >= std::max(0, first - page); --row)
        consider(row);
}

void FileThumbnails::request(const QByteArray& raw) {
    const quint64 epoch = m_epoch;
    const quint64 generation = m_generation;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        const auto started = m_started.constFind(raw);
        if (started != m_started.constEnd() && *started >= generation)
            return; // under way already, and its answer will be current
    }
    const QByteArray path = joined(m_folder, raw);
    const qreal ratio = m_view->devicePixelRatioF();
    const int pixels = qRound(side() * ratio);
    const ThumbnailSize size = pixels > thumbnailSide(ThumbnailSize::Normal)
                                   ? ThumbnailSize::Large
                                   : ThumbnailSize::Normal;
    m_pool.start([this, epoch, generation, raw, path, size, pixels, ratio] {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_epoch != epoch)
                return;
            const auto started = m_started.constFind(raw);
            if (started != m_started.constEnd() && *started >= generation)
                return;
            m_started.insert(raw, generation);
        }
        const ThumbnailResult result =
            m_cache.thumbnail(path, size, [this, epoch] { return m_epoch != epoch; });
        QImage shown;
        if (result.hasImage()) {
            shown = result.image;
            if (shown.width() > pixels || shown.height() > pixels)
                shown = shown.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            shown.setDevicePixelRatio(ratio);
        }
        // The destructor waits for this worker, so `this` is alive; a call still queued
        // when the object goes is discarded with it.
        QMetaObject::invokeMethod(
            this,
            [this, epoch, generation, raw, shown, status = result.status] {
                deliver(epoch, generation, raw, shown, status);
            },
            Qt::QueuedConnection);
    });
}

void FileThumbnails::deliver(quint64 epoch, quint64 generation, const QByteArray& raw,
                             const QImage& image, ThumbnailResult::Status status) {
    if (epoch != m_epoch)
        return;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        const auto started = m_started.find(raw);
        if (started != m_started.end() && *started == generation)
            m_started.erase(started);
    }
    switch (status) {
    case ThumbnailResult::Status::Cancelled:
        return;
    case ThumbnailResult::Status::Found:
        ++m_found;
        break;
    case ThumbnailResult::Status::Made:
        ++m_made;
        break;
    case ThumbnailResult::Status::Failed:
    case ThumbnailResult::Status::Gone:
        ++m_failed;
        break;
    }
    // Answers can cross: one asked for after a change may arrive before an older one.
    if (const Known* known = m_known.object(raw); known != nullptr && known->checked > generation)
        return;
    auto* known = new Known{image.isNull() ? QPixmap() : QPixmap::fromImage(image), generation};
    const qint64 bytes = qint64(image.width()) * image.height() * 4;
    m_known.insert(raw, known, int(bytes / 1024) + 1);
    if (m_view)
        m_view->viewport()->update();
    emit delivered(raw);
    if (!isCurrent(raw))
        scheduleSoon(); // it changed while this answer was being made
}

} // namespace zelvorin
