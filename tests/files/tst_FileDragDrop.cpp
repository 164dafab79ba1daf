// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The drop-effect rule, the drop target on a plain list (what it reads from a drag, what
// it asks its handlers and answers the source) and the drag source.
#include "FileCommandsTestSupport.h"
#include "FileDragDrop.h"
#include "FileDragSource.h"
#include "FileDropTarget.h"
#include "TestEnvironment.h"

#include <QDrag>
#include <QListWidget>

using namespace zelvorin;
using zelvorin::test::dragAndDrop;
using zelvorin::test::uriList;

class FileDragDropTest : public QObject {
    Q_OBJECT

private slots:
    void effectRule_data() {
        QTest::addColumn<bool>("ownDrag");
        QTest::addColumn<int>("keys");
        QTest::addColumn<bool>("haveFiles");
        QTest::addColumn<bool>("sameFileSystem");
        QTest::addColumn<int>("offered");
        QTest::addColumn<int>("expected");
        const int copy = Qt::CopyAction, move = Qt::MoveAction, both = copy | move;
        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier;
        QTest::newRow("own drag") << true << 0 << true << true << both << 0;
        QTest::newRow("own drag, ctrl") << true << ctrl << true << false << both << 0;
        QTest::newRow("same file system") << false << 0 << true << true << both << move;
        QTest::newRow("other file system") << false << 0 << true << false << both << copy;
        QTest::newRow("same, copy only offered") << false << 0 << true << true << copy << move;
        QTest::newRow("other, move only offered") << false << 0 << true << false << move << copy;
        QTest::newRow("alt counts as no key") << false << alt << true << true << both << move;
        QTest::newRow("ctrl keeps both") << false << ctrl << true << true << both << both;
        QTest::newRow("shift keeps both") << false << shift << true << false << both << both;
        QTest::newRow("ctrl keeps move only") << false << ctrl << true << false << move << move;
        QTest::newRow("shift keeps copy only") << false << shift << true << true << copy << copy;
        QTest::newRow("no files") << false << 0 << false << false << both << both;
        QTest::newRow("nothing offered") << false << 0 << true << true << 0 << 0;
    }
    void effectRule() {
        QFETCH(bool, ownDrag);
        QFETCH(int, keys);
        QFETCH(bool, haveFiles);
        QFETCH(bool, sameFileSystem);
        QFETCH(int, offered);
        QFETCH(int, expected);
        const Qt::DropActions effect =
            zelvorin::FileDropEffect(ownDrag, Qt::KeyboardModifiers(keys), haveFiles,
                                     sameFileSystem, Qt::DropActions(offered));
        QCOMPARE(int(effect), expected);
    }

    void chosenAction_data() {
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("possible");
        QTest::addColumn<int>("expected");
        const int copy = Qt::CopyAction, move = Qt::MoveAction, link = Qt::LinkAction;
        QTest::newRow("copy before move") << (copy | move) << (copy | move) << copy;
        QTest::newRow("move") << move << (copy | move) << move;
        QTest::newRow("move before link") << (move | link) << (move | link) << move;
        QTest::newRow("not offered") << copy << move << int(Qt::IgnoreAction);
        QTest::newRow("none") << 0 << (copy | move) << int(Qt::IgnoreAction);
    }
    void chosenAction() {
        QFETCH(int, effect);
        QFETCH(int, possible);
        QFETCH(int, expected);
        QCOMPARE(
            int(zelvorin::ChosenDropAction(Qt::DropActions(effect), Qt::DropActions(possible))),
            expected);
    }

    void dragTypesMapToEffects() {
        QCOMPARE(int(zelvorin::ToDropActions(DragEffect::Copy | DragEffect::Move)), 3);
        QCOMPARE(
            int(zelvorin::ToDropActions(DragEffect::Copy | DragEffect::Move | DragEffect::Link)),
            7);
    }

    // What the target reads from a drag and hands its handlers.
    void targetReadsLocalFilesAndAsksItsHandler() {
        QListWidget list;
        FileDropTarget target(&list);
        target.registerControl(&list);
        QVERIFY(target.isRegistered());
        QVERIFY(list.viewport()->acceptDrops());

        QList<QByteArray> seenFiles;
        Qt::DropActions seenOffered;
        Qt::KeyboardModifiers seenKeys;
        int asked = 0;
        target.setEffectHandler([&](Qt::KeyboardModifiers keys, QPoint, Qt::DropActions& effect) {
            ++asked;
            seenFiles = target.files();
            seenOffered = effect;
            seenKeys = keys;
            effect = Qt::MoveAction;
        });
        QList<QByteArray> dropped;
        Qt::DropActions dropEffect;
        target.setDropHandler([&](Qt::KeyboardModifiers, QPoint, Qt::DropActions& effect) {
            dropped = target.files();
            dropEffect = effect;
        });
        std::unique_ptr<QMimeData> data(
            uriList({"/b/second.gif", "https://example.org/x.gif", "/a/first.gif"}));
        const auto outcome =
            dragAndDrop(list.viewport(), data.get(),
                        Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::ShiftModifier);
        QVERIFY(outcome.enterAccepted);
        QCOMPARE(outcome.enterAction, Qt::MoveAction);
        QCOMPARE(seenFiles, QList<QByteArray>({"/b/second.gif", "/a/first.gif"}));
        // The link the source offers is not among the accepted effects.
        QCOMPARE(seenOffered, Qt::DropActions(Qt::CopyAction | Qt::MoveAction));
        QCOMPARE(seenKeys, Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(asked, 3); // enter, move and drop
        QCOMPARE(dropped, seenFiles);
        QCOMPARE(dropEffect, Qt::DropActions(Qt::MoveAction));
        QVERIFY(outcome.dropAccepted);
        QCOMPARE(outcome.dropAction, Qt::MoveAction);
        QVERIFY(target.files().isEmpty());
    }

    void targetRefusesDragsWithoutLocalFiles() {
        QListWidget list;
        FileDropTarget target(&list);
        target.registerControl(&list);
        int asked = 0;
        target.setEffectHandler([&](Qt::KeyboardModifiers, QPoint, Qt::DropActions&) { ++asked; });
        std::unique_ptr<QMimeData> web(uriList({"https://example.org/a.gif"}));
        QVERIFY(!dragAndDrop(list.viewport(), web.get(), Qt::CopyAction, {}).enterAccepted);
        auto text = std::make_unique<QMimeData>();
        text->setText("/a/b.gif");
        QVERIFY(!dragAndDrop(list.viewport(), text.get(), Qt::CopyAction, {}).enterAccepted);
        QCOMPARE(asked, 0);
    }

    void targetAnswersNoneWhenTheHandlerSaysSo() {
        QListWidget list;
        FileDropTarget target(&list);
        target.registerControl(&list);
        bool dropped = false;
        target.setEffectHandler(
            [](Qt::KeyboardModifiers, QPoint, Qt::DropActions& effect) { effect = {}; });
        target.setDropHandler(
            [&](Qt::KeyboardModifiers, QPoint, Qt::DropActions&) { dropped = true; });
        std::unique_ptr<QMimeData> data(uriList({"/a/b.gif"}));
        QVERIFY(!dragAndDrop(list.viewport(), data.get(), Qt::CopyAction | Qt::MoveAction, {})
                     .enterAccepted);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(list.viewport(), &drop);
        QVERIFY(!drop.isAccepted());
        QVERIFY(!dropped);
    }

    void leavingClearsTheFiles() {
        QListWidget list;
        FileDropTarget target(&list);
        target.registerControl(&list);
        std::unique_ptr<QMimeData> data(uriList({"/a/b.gif"}));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(list.viewport(), &enter);
        QCOMPARE(target.files(), QList<QByteArray>({"/a/b.gif"}));
        QDragLeaveEvent leave;
        QApplication::sendEvent(list.viewport(), &leave);
        QVERIFY(target.files().isEmpty());
    }

    void unregisteringEndsTheRegistration() {
        QListWidget list;
        FileDropTarget target(&list);
        target.registerControl(&list);
        target.unregisterControl();
        QVERIFY(!target.isRegistered());
        QVERIFY(!list.viewport()->acceptDrops());
        QVERIFY(!list.acceptDrops());
        std::unique_ptr<QMimeData> data(uriList({"/a/b.gif"}));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(list.viewport(), &enter);
        QVERIFY(target.files().isEmpty());
        // Again, and after the control is gone: nothing happens.
        target.unregisterControl();
        auto* gone = new QListWidget;
        target.registerControl(gone);
        delete gone;
        target.unregisterControl();
        QVERIFY(!target.isRegistered());
    }

    void registeringNothingFails() {
        FileDropTarget target(nullptr);
        try {
            target.registerControl(nullptr);
            QFAIL("no error raised");
        } catch (const zelvorin::DropTargetError& error) {
            QVERIFY(error.message().startsWith("Failed to Register "));
        }
    }

    void sourceOffersItsFilesAndReportsTheDrop_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("reported"); // -1: no drop event
        QTest::newRow("copied") << int(Qt::CopyAction) << int(DragEffect::Copy);
        QTest::newRow("moved") << int(Qt::MoveAction) << int(DragEffect::Move);
        QTest::newRow("linked") << int(Qt::LinkAction) << int(DragEffect::Link);
        QTest::newRow("cancelled") << int(Qt::IgnoreAction) << -1;
    }
    void sourceOffersItsFilesAndReportsTheDrop() {
        QFETCH(int, result);
        QFETCH(int, reported);
        QWidget widget;
        FileDragSource source(&widget);
        QCOMPARE(source.dragEffects(), DragEffect::Copy | DragEffect::Move | DragEffect::Link);
        QVERIFY(!source.showsImage());
        source.files() = QList<QByteArray>{"/a/one.gif", "/a/two gif.png"};
        QList<QUrl> urls;
        Qt::DropActions offered;
        source.setDragRunner([&](QDrag& drag, Qt::DropActions actions) {
            urls = drag.mimeData()->urls();
            offered = actions;
            return Qt::DropAction(result);
        });
        int seen = -1;
        source.setDropHandler([&](DragEffect type, bool& continueDrop) {
            seen = int(type);
            QVERIFY(continueDrop);
        });
        QCOMPARE(int(source.run(&widget)), result);
        QCOMPARE(urls, QList<QUrl>({QUrl::fromLocalFile("/a/one.gif"),
                                    QUrl::fromLocalFile("/a/two gif.png")}));
        QCOMPARE(offered, Qt::DropActions(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction));
        QCOMPARE(seen, reported);
    }

    void sourceWithoutFilesStartsNoDrag() {
        QWidget widget;
        FileDragSource source(&widget);
        bool ran = false;
        source.setDragRunner([&](QDrag&, Qt::DropActions) {
            ran = true;
            return Qt::CopyAction;
        });
        QCOMPARE(source.run(&widget), Qt::IgnoreAction);
        QVERIFY(!ran);
    }
};

ZELVORIN_TEST_MAIN(FileDragDropTest)
#include "tst_FileDragDrop.moc"
