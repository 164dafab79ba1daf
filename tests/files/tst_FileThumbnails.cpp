// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Thumbnails in the file list: the rows on screen get theirs first and the rest of a large
// folder is left alone, another folder drops the old one's requests, a changed image gets
// a new thumbnail, and with thumbnails off the list is drawn exactly as before.
#include "FileListModel.h"
#include "FileTestSupport.h"
#include "FileThumbnails.h"
#include "ShownList.h"
#include "TestEnvironment.h"
#include "ThumbnailCache.h"

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <sys/time.h>

using namespace zelvorin;

namespace {

QColor colourOf(int i) {
    return QColor::fromHsv((i * 37) % 360, 255, 220);
}

void makeImages(const QString& folder, const QString& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        QImage image(48, 32, QImage::Format_RGB32);
        image.fill(colourOf(i));
        QVERIFY(image.save(
            QStringLiteral("%1/%2%3.png").arg(folder, prefix).arg(i, 3, 10, QLatin1Char('0'))));
    }
}

bool sameColour(const QColor& a, const QColor& b) {
    return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 &&
           qAbs(a.blue() - b.blue()) <= 8;
}

QColor centreOf(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool inCache(const QString& path) {
    const QByteArray uri = ThumbnailCache::fileUri(QFile::encodeName(path));
    return QFile::exists(
        QFile::decodeName(ThumbnailCache().thumbnailPath(uri, ThumbnailSize::Normal)));
}

} // namespace

class FileThumbnailsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder(const QString& name) { return test::freshFolder(m_dir, name); }
    std::unique_ptr<test::ShownList> makeBox(const QString& path) {
        auto box = std::make_unique<test::ShownList>();
        box->files.setMask(QStringLiteral("*.*"));
        box->session.setFolder(path);
        box->view.resize(200, 300);
        box->view.show();
        return box;
    }

private slots:
    void init() { test::resetCurrentFolder(); }

    void offLooksExactlyAsBefore() {
        const QString path = folder("off");
        makeImages(path, "a", 12);
        test::touch(path + "/notes.txt");
        auto box = makeBox(path);
        QVERIFY(QTest::qWaitForWindowExposed(&box->view));
        const int plainHeight = box->view.sizeHintForRow(0);
        const QImage before = box->view.viewport()->grab().toImage();

        box->view.setShowsThumbnails(true);
        QCOMPARE(box->view.sizeHintForRow(0), FileThumbnails::DefaultSide + 2);
        QTRY_VERIFY(box->view.thumbnails()->visibleRowsDone());

        box->view.setShowsThumbnails(false);
        QCOMPARE(box->view.thumbnails(), nullptr);
        QCOMPARE(box->view.sizeHintForRow(0), plainHeight);
        QCOMPARE(box->view.viewport()->grab().toImage(), before);
    }

    void visibleRowsFirstAndNothingElse() {
        const QString path = folder("many");
        makeImages(path, "img", 300);
        test::touch(path + "/a-notes.txt"); // sorts first: a row with no thumbnail
        auto box = makeBox(path);
        box->view.setShowsThumbnails(true);
        FileThumbnails* thumbnails = box->view.thumbnails();
        QTRY_VERIFY(thumbnails->visibleRowsDone());
        QVERIFY(box->files.selectedRow() < 0);

        // The rows on screen show their own images, drawn where the icon was.
        const int side = FileThumbnails::DefaultSide;
        const QImage shown = box->view.viewport()->grab().toImage();
        for (int row = 1; row <= 3; ++row) {
            const QRect rect = box->view.visualRect(box->files.model()->index(row));
            QVERIFY(sameColour(shown.pixelColor(rect.left() + 2 + side / 2, rect.center().y()),
                               colourOf(row - 1)));
        }
        QVERIFY(thumbnails->pixmap("a-notes.txt").isNull());
        // A page below is made ahead; the far rows of the folder are not.
        const int onScreen = box->view.viewport()->height() / (side + 2) + 1;
        QVERIFY(thumbnails->madeCount() <= 2 * onScreen + 2);
        QVERIFY(!inCache(path + "/img250.png"));

        box->view.verticalScrollBar()->setValue(box->view.verticalScrollBar()->maximum());
        QTRY_VERIFY(thumbnails->visibleRowsDone());
        QVERIFY(!thumbnails->pixmap("img299.png").isNull());
        QVERIFY(sameColour(centreOf(thumbnails->pixmap("img299.png")), colourOf(299)));
        QVERIFY(inCache(path + "/img299.png"));
        QVERIFY(!inCache(path + "/img150.png"));
    }

    void anotherFolderDropsTheOldRequests() {
        const QString first = folder("first");
        const QString second = folder("second");
        makeImages(first, "a", 150);
        makeImages(second, "b", 20);
        auto box = makeBox(first);
        box->view.setShowsThumbnails(true);
        FileThumbnails* thumbnails = box->view.thumbnails();
        QSignalSpy delivered(thumbnails, &FileThumbnails::delivered);
        QTRY_VERIFY(!delivered.isEmpty());
        box->session.setFolder(second);
        delivered.clear();
        QTRY_VERIFY(thumbnails->visibleRowsDone());
        QVERIFY(!delivered.isEmpty());
        for (const QList<QVariant>& answer : std::as_const(delivered))
            QVERIFY2(answer.first().toByteArray().startsWith('b'), answer.first().toByteArray());
        QVERIFY(thumbnails->pixmap("a000.png").isNull());
        QVERIFY(sameColour(centreOf(thumbnails->pixmap("b001.png")), colourOf(1)));
    }

    void changedImageGetsANewThumbnail() {
        const QString path = folder("changed");
        makeImages(path, "c", 3);
        auto box = makeBox(path);
        box->view.setShowsThumbnails(true);
        FileThumbnails* thumbnails = box->view.thumbnails();
        QTRY_VERIFY(thumbnails->visibleRowsDone());
        QVERIFY(sameColour(centreOf(thumbnails->pixmap("c001.png")), colourOf(1)));

        QImage image(48, 32, QImage::Format_RGB32);
        image.fill(Qt::black);
        QVERIFY(image.save(path + "/c001.png"));
        // Later than the thumbnail's time, as a save a second on would be.
        const timeval later[2] = {{time(nullptr) + 5, 0}, {time(nullptr) + 5, 0}};
        QCOMPARE(::utimes(QFile::encodeName(path + "/c001.png").constData(), later), 0);
        box->files.refreshNamesKeepingSelection(QFile::encodeName(path), {QByteArray("c001.png")});
        QTRY_VERIFY(sameColour(centreOf(thumbnails->pixmap("c001.png")), Qt::black));
        QVERIFY(sameColour(centreOf(thumbnails->pixmap("c002.png")), colourOf(2)));
    }
};

ZELVORIN_TEST_MAIN(FileThumbnailsTest)
#include "tst_FileThumbnails.moc"
