// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The copies of dropped files run while the window goes on: the progress window, its
// Cancel, the failures told once per drop, and a copy stopped when the program ends.
#include "DropTransfers.h"
#include "TestEnvironment.h"
#include "WorkerPool.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <mutex>
#include <thread>

using namespace zelvorin;
using platform::FileResult;

namespace {

// Stands in for a copy: it runs until it is cancelled, or fails or ends as its file's
// name says, and notes which files it was given.
class StandInCopies {
public:
    DropTransfers::Transfer transfer() {
        return [this](const DroppedFile& file, const platform::TransferOptions& options) {
            {
                const std::lock_guard<std::mutex> guard(m_lock);
                m_started.append(QString::fromUtf8(file.source));
            }
            if (file.source.contains("fails"))
                return FileResult::failure(QStringLiteral("it broke"), file.source);
            if (file.source.contains("quick"))
                return FileResult::done();
            for (qint64 copied = 0; copied < 60'000; ++copied) {
                if (!options.progress(copied, 100'000)) {
                    m_cancelled = true;
                    return FileResult::declined();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return FileResult::done();
        };
    }
    bool cancelled() const { return m_cancelled; }
    QStringList started() const {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_started;
    }

private:
    mutable std::mutex m_lock;
    QStringList m_started;
    std::atomic<bool> m_cancelled{false};
};

QList<DroppedFile> files(const QStringList& names) {
    QList<DroppedFile> dropped;
    for (const QString& name : names)
        dropped.append({"/from/" + name.toUtf8(), "/to/" + name.toUtf8(), false});
    return dropped;
}

QProgressDialog* shownProgress() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

class DropTransfersTest : public QObject {
    Q_OBJECT

private slots:
    void cancelStopsTheFileAndTheRestOfItsDrop() {
        WorkerPool pool(2);
        QWidget window;
        window.show();
        StandInCopies copies;
        DropTransfers transfers(&pool, &window);
        transfers.setTransfer(copies.transfer());
        transfers.setProgressDelay(0);
        QSignalSpy idle(&transfers, &DropTransfers::idle);
        QSignalSpy failed(&transfers, &DropTransfers::failed);
        transfers.start(files({"a.gif", "b.gif"}), FileAction::Copy, "/to", {});
        transfers.start(files({"quick.gif"}), FileAction::Copy, "/to", {});
        QVERIFY(transfers.isBusy());

        // The window answers while the copy runs: the progress window shows and paints.
        QTRY_VERIFY(shownProgress() != nullptr);
        QProgressDialog* progress = shownProgress();
        QCOMPARE(progress->windowTitle(), QStringLiteral(" Zelvorin"));
        QCOMPARE(progress->findChild<QLabel*>()->text(), QStringLiteral("Copying \"a.gif\""));
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        QTRY_VERIFY(progress->value() > 0);
        progress->findChild<QPushButton*>()->click();

        QTRY_COMPARE(idle.count(), 1);
        // b.gif of the cancelled drop never started; the next drop went on.
        QCOMPARE(copies.started(), QStringList({"/from/a.gif", "/from/quick.gif"}));
        QCOMPARE(failed.count(), 0);
        QVERIFY(!transfers.isBusy());
        QTRY_VERIFY(shownProgress() == nullptr);
    }

    void failuresAreToldOncePerDrop() {
        WorkerPool pool(2);
        StandInCopies copies;
        DropTransfers transfers(&pool, nullptr);
        transfers.setTransfer(copies.transfer());
        QSignalSpy idle(&transfers, &DropTransfers::idle);
        QSignalSpy failed(&transfers, &DropTransfers::failed);
        transfers.start(files({"quick.gif", "fails.gif"}), FileAction::Move, "/to",
                        {{"/from/missing.gif", QStringLiteral("No such file or directory")}});
        transfers.start(files({"quick2.gif"}), FileAction::Copy, "/to", {});
        QTRY_COMPARE(idle.count(), 1);
        QCOMPARE(failed.count(), 1);
        const QString told = failed.first().first().toString();
        QVERIFY2(told.contains("missing.gif") && told.contains("No such file or directory") &&
                     told.contains("fails.gif") && told.contains("it broke"),
                 qPrintable(told));
        QCOMPARE(copies.started().size(), 3);
        // No progress window for copies that end within its delay.
        QVERIFY(shownProgress() == nullptr);
    }

    void aCopyRunningAtTheEndIsStopped() {
        StandInCopies copies;
        {
            WorkerPool pool(2);
            auto transfers = std::make_unique<DropTransfers>(&pool, nullptr);
            transfers->setTransfer(copies.transfer());
            transfers->start(files({"long.gif"}), FileAction::Copy, "/to", {});
            QTRY_COMPARE(copies.started().size(), 1);
            transfers.reset();
        } // the pool waits for its jobs here
        QVERIFY(copies.cancelled());
    }
};

ZELVORIN_TEST_MAIN(DropTransfersTest)
#include "tst_DropTransfers.moc"
