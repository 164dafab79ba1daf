// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// "Save a web copy" as the user meets it: the suggestion for drawings and photographs,
// both sizes told before anything is written, a new quality made anew, the copy saved
// beside the image, a file replaced only after Yes, an image that cannot be read, and a
// dialog closed while its copy is being made.
#include "ImageDecoder.h"
#include "ImageFormatFolder.h"
#include "TestEnvironment.h"
#include "WebCopyDialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

using namespace zelvorin;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestWebCopyDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_sources;                 // the tile in every format, and a photograph
    std::unique_ptr<QTemporaryDir> m_folder; // the test's own: its image, and its copy

    QString path(const QString& name) const { return m_folder->filePath(name); }
    // A dialog for the image, alone in the test's folder, once its first copy is made.
    // A question nobody expected is answered No.
    std::unique_ptr<WebCopyDialog> open(const QString& name) {
        if (!QFile::copy(m_sources.filePath(name), path(name)))
            return nullptr;
        auto dialog = std::make_unique<WebCopyDialog>(QFile::encodeName(path(name)));
        dialog->setReplaceQuestion([](QWidget*, const QString&, const QString& question) {
            qWarning("Unexpected question: %s", qPrintable(question));
            return false;
        });
        QSignalSpy made(dialog.get(), &WebCopyDialog::copyMade);
        dialog->show();
        if (!made.wait(20000))
            return nullptr;
        return dialog;
    }

private slots:
    void initTestCase() {
        QVERIFY(!test::WriteTileInEveryFormat(m_sources.path()).isEmpty());
        QVERIFY(test::RandomPixels(200, 150, 3).save(m_sources.filePath("photo.png")));
        QVERIFY(test::writeFile(m_sources.filePath("broken.png"), "\x89PNG\r\n\x1a\n and no more"));
    }
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void suggestsAndTellsBothSizes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("lossless");
        QTest::newRow("flat colours") << "tile.png" << true;
        QTest::newRow("a drawing") << "tile.svg" << true;
        QTest::newRow("a photograph") << "photo.png" << false;
        QTest::newRow("a JPEG") << "tile.jpg" << false;
    }
    void suggestsAndTellsBothSizes() {
        QFETCH(QString, name);
        QFETCH(bool, lossless);
        const auto dialog = open(name);
        QVERIFY(dialog);
        QCOMPARE(dialog->settings().lossless, lossless);
        QCOMPARE(dialog->settings().quality, WebCopyQuality);
        QCOMPARE(dialog->findChild<QSpinBox*>("QualitySpinBox")->isEnabled(), !lossless);
        QVERIFY(dialog->ready());
        // "tile.png 1 KB -> tile.webp 98 bytes": the image's name and size, then the copy's.
        const QString text = dialog->sizesText();
        const QString stem = QFileInfo(name).completeBaseName();
        QVERIFY2(text.startsWith(name + " ") && text.contains(" \u2192 " + stem + ".webp "),
                 qPrintable(text));
        QVERIFY(!QFile::exists(path(stem + ".webp")));
    }

    void anotherQualityIsMadeAnew() {
        const auto dialog = open("photo.png");
        QVERIFY(dialog);
        const QString good = dialog->sizesText();
        QSignalSpy made(dialog.get(), &WebCopyDialog::copyMade);
        dialog->findChild<QSpinBox*>("QualitySpinBox")->setValue(30);
        QVERIFY(!dialog->ready()); // the copy shown is of the last quality until made anew
        QVERIFY(made.wait(20000));
        QVERIFY(dialog->ready());
        QVERIFY2(dialog->sizesText() != good, qPrintable(dialog->sizesText()));
        dialog->findChild<QCheckBox*>("LosslessCheckBox")->setChecked(true);
        QVERIFY(!dialog->findChild<QSpinBox*>("QualitySpinBox")->isEnabled());
        QVERIFY(made.wait(20000));
        QCOMPARE(dialog->settings(), (WebCopySettings{true, 30}));
    }

    void savedBesideTheImage() {
        const auto dialog = open("tile.bmp");
        QVERIFY(dialog);
        QSignalSpy saved(dialog.get(), &WebCopyDialog::saved);
        dialog->save();
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved[0][0].toString(), dialog->sizesText());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        const DecodedImage copy = DecodeImageFile(QFile::encodeName(path("tile.webp")));
        QCOMPARE(copy.format, QStringLiteral("webp"));
        QCOMPARE(test::LargestDifference(copy.image, test::FormatTile()), 0);
    }

    void replacesOnlyAfterYes_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void replacesOnlyAfterYes() {
        QFETCH(bool, answer);
        QVERIFY(test::writeFile(path("tile.webp"), "the user's own"));
        const auto dialog = open("tile.gif");
        QVERIFY(dialog);
        int questions = 0;
        dialog->setReplaceQuestion([&](QWidget*, const QString&, const QString& question) {
            ++questions;
            return question.contains("tile.webp") && answer;
        });
        QSignalSpy saved(dialog.get(), &WebCopyDialog::saved);
        dialog->save();
        QCOMPARE(questions, 1);
        QCOMPARE(saved.size(), answer ? 1 : 0);
        QCOMPARE(readAll(path("tile.webp")) == "the user's own", !answer);
        QCOMPARE(dialog->isVisible(), !answer);
    }

    void aWebPIsNotCopiedOverItself() {
        const auto dialog = open("tile.webp");
        QVERIFY(dialog);
        QVERIFY(!dialog->ready());
        QCOMPARE(dialog->sizesText(), QStringLiteral("tile.webp is a WebP image already"));
        dialog->save();
        QCOMPARE(
            test::LargestDifference(DecodeImageFile(QFile::encodeName(path("tile.webp"))).image,
                                    test::FormatTile()),
            0);
    }

    void anUnreadableImageIsTold() {
        const auto dialog = open("broken.png");
        QVERIFY(dialog);
        QVERIFY(!dialog->ready());
        QVERIFY2(dialog->sizesText().startsWith("The image cannot be read (Damaged PNG image"),
                 qPrintable(dialog->sizesText()));
        dialog->save();
        QVERIFY(!QFile::exists(path("broken.webp")));
    }

    void closedWhileMakingTheCopy() {
        auto dialog = open("photo.png");
        QVERIFY(dialog);
        // The workers are busy, so the copy asked for waits until the dialog is gone.
        QThreadPool* pool = QThreadPool::globalInstance();
        QSemaphore busy;
        for (int i = 0; i < pool->maxThreadCount(); ++i)
            pool->start([&busy] { busy.acquire(); });
        dialog->findChild<QCheckBox*>("LosslessCheckBox")->setChecked(true);
        QTRY_VERIFY(dialog->sizesText().endsWith(" ..."));
        dialog.reset();
        busy.release(pool->maxThreadCount());
        QVERIFY(pool->waitForDone(20000));
        QCoreApplication::sendPostedEvents();
        QVERIFY(!QFile::exists(path("photo.webp")));
    }
};

ZELVORIN_TEST_MAIN(TestWebCopyDialog)

#include "tst_WebCopyDialog.moc"
