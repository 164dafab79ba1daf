// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LinkLabel.h"
#include "TestEnvironment.h"

#include <QEnterEvent>
#include <QMouseEvent>

namespace {

using State = zelvorin::LinkLabel::MouseState;

const QColor Blue(Qt::blue);
const QColor Yellow(Qt::yellow);
const QColor Lime(0, 255, 0);

void sendEnter(zelvorin::LinkLabel& label, QPoint at) {
    QEnterEvent event(at, label.mapTo(label.window(), at), label.mapToGlobal(at));
    QCoreApplication::sendEvent(&label, &event);
}

void sendLeave(zelvorin::LinkLabel& label) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &event);
}

void sendMouse(zelvorin::LinkLabel& label, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(label.mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&label, &event);
}

void press(zelvorin::LinkLabel& label, QPoint at) {
    sendMouse(label, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}

void release(zelvorin::LinkLabel& label, QPoint at) {
    sendMouse(label, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void move(zelvorin::LinkLabel& label, QPoint at, Qt::MouseButtons held) {
    sendMouse(label, QEvent::MouseMove, at, Qt::NoButton, held);
}

} // namespace

class LinkLabelTest : public QObject {
    Q_OBJECT

private:
    // A link label as the About window uses it, with a recording opener.
    struct Fixture {
        QWidget window;
        zelvorin::LinkLabel* label = nullptr;
        QStringList events;
        Fixture() {
            window.resize(300, 100);
            label =
                new zelvorin::LinkLabel(QStringLiteral("https://zelvorin.example.org/"), &window);
            label->setGeometry(20, 20, 160, 15);
            label->setButtonsProbe([] { return Qt::MouseButtons(Qt::NoButton); });
            label->setLinkOpener([this](const QString& target) {
                events.append(QStringLiteral("open ") + target);
                return true;
            });
            QObject::connect(label, &zelvorin::LinkLabel::clicked, &window,
                             [this] { events.append(QStringLiteral("click")); });
            label->setActiveText(true);
        }
    };

private slots:
    void defaults() {
        zelvorin::LinkLabel label;
        QCOMPARE(label.colorIdle(), Blue);
        QCOMPARE(label.colorActive(), Yellow);
        QCOMPARE(label.colorDown(), Lime);
        QCOMPARE(label.activeText(), false);
        QCOMPARE(label.startsLinkOnClick(), false);
        QCOMPARE(label.mouseState(), State::Idle);
        QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
        // With the colours off, the label keeps the text colour it was created with.
        QCOMPARE(label.textColor(), label.normalColor());
    }

    void startLinkOnClickSetsTheHandCursor() {
        zelvorin::LinkLabel label;
        label.setStartsLinkOnClick(true);
        QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
        label.setStartsLinkOnClick(false);
        QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
    }

    void activeTextAppliesTheIdleColourAtOnce() {
        zelvorin::LinkLabel label;
        label.setActiveText(true);
        QCOMPARE(label.textColor(), Blue);
        label.setColorIdle(Qt::red);
        QCOMPARE(label.textColor(), QColor(Qt::red));
        label.setActiveText(false);
        QCOMPARE(label.textColor(), label.normalColor());
    }

    void wantedColourTable_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("activeText");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("idle") << 0 << true << QColor(Qt::blue);
        QTest::newRow("active") << 1 << true << QColor(Qt::yellow);
        QTest::newRow("down") << 2 << true << QColor(0, 255, 0);
        QTest::newRow("idle, colours off") << 0 << false << QColor(Qt::black);
        QTest::newRow("active, colours off") << 1 << false << QColor(Qt::black);
        QTest::newRow("down, colours off") << 2 << false << QColor(Qt::black);
    }

    void wantedColourTable() {
        QFETCH(int, state);
        QFETCH(bool, activeText);
        QFETCH(QColor, expected);
        QCOMPARE(zelvorin::LinkLabel::wantedColor(static_cast<State>(state), activeText, Blue,
                                                  Yellow, Lime, QColor(Qt::black)),
                 expected);
    }

    void hoverPressReleaseLeave() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        sendEnter(label, {5, 5});
        QCOMPARE(label.mouseState(), State::Active);
        QCOMPARE(label.textColor(), Yellow);
        press(label, {5, 5});
        QCOMPARE(label.mouseState(), State::Down);
        QCOMPARE(label.textColor(), Lime);
        release(label, {5, 5});
        QCOMPARE(label.mouseState(), State::Active);
        QCOMPARE(label.textColor(), Yellow);
        QCOMPARE(f.events, QStringList{QStringLiteral("click")});
        sendLeave(label);
        QCOMPARE(label.mouseState(), State::Idle);
        QCOMPARE(label.textColor(), Blue);
    }

    void movesFollowThePointerAndButton() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        move(label, {3, 3}, Qt::NoButton);
        QCOMPARE(label.mouseState(), State::Active);
        move(label, {4, 3}, Qt::LeftButton);
        QCOMPARE(label.mouseState(), State::Down);
        QCOMPARE(label.textColor(), Lime);
        move(label, {500, 3}, Qt::LeftButton);
        QCOMPARE(label.mouseState(), State::Idle);
        QCOMPARE(label.textColor(), Blue);
        move(label, {-1, 3}, Qt::NoButton);
        QCOMPARE(label.mouseState(), State::Idle);
        move(label, {0, 0}, Qt::NoButton);
        QCOMPARE(label.mouseState(), State::Active);
        QCOMPARE(label.textColor(), Yellow);
    }

    void dragOutAndReleaseOpensNothing() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        label.setStartsLinkOnClick(true);
        sendEnter(label, {5, 5});
        press(label, {5, 5});
        move(label, {5, 60}, Qt::LeftButton);
        release(label, {5, 60});
        QVERIFY(f.events.isEmpty());
        QCOMPARE(label.mouseState(), State::Idle);
        QCOMPARE(label.textColor(), Blue);
    }

    void enteringWithTheButtonHeldShowsDown() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        label.setButtonsProbe([] { return Qt::MouseButtons(Qt::LeftButton); });
        sendEnter(label, {5, 5});
        QCOMPARE(label.mouseState(), State::Down);
        QCOMPARE(label.textColor(), Lime);
    }

    void coloursOffIgnoreTheMouse() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        label.setActiveText(false);
        const QColor normal = label.normalColor();
        QCOMPARE(label.textColor(), normal);
        sendEnter(label, {5, 5});
        QCOMPARE(label.textColor(), normal);
        press(label, {5, 5});
        QCOMPARE(label.textColor(), normal);
        release(label, {5, 5});
        sendLeave(label);
        QCOMPARE(label.textColor(), normal);
    }

    void clickHandlerRunsBeforeTheLinkOpens() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        label.setStartsLinkOnClick(true);
        press(label, {5, 5});
        release(label, {5, 5});
        QCOMPARE(f.events, (QStringList{QStringLiteral("click"),
                                        QStringLiteral("open https://zelvorin.example.org/")}));
    }

    void noLinkWithoutStartLinkOnClick() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        press(label, {5, 5});
        release(label, {5, 5});
        QCOMPARE(f.events, QStringList{QStringLiteral("click")});
    }

    void otherButtonsNeitherPressNorClick() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        label.setStartsLinkOnClick(true);
        sendMouse(label, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton, Qt::RightButton);
        QCOMPARE(label.mouseState(), State::Idle);
        sendMouse(label, QEvent::MouseButtonRelease, {5, 5}, Qt::RightButton, Qt::NoButton);
        QVERIFY(f.events.isEmpty());
    }

    void colourChangeWhileHoveredRecolours() {
        Fixture f;
        zelvorin::LinkLabel& label = *f.label;
        sendEnter(label, {5, 5});
        label.setColorActive(Qt::magenta);
        QCOMPARE(label.textColor(), QColor(Qt::magenta));
        label.setColorDown(Qt::cyan);
        QCOMPARE(label.textColor(), QColor(Qt::magenta));
        press(label, {5, 5});
        QCOMPARE(label.textColor(), QColor(Qt::cyan));
    }

    void realClickThroughTheWindow() {
        Fixture f;
        f.label->setStartsLinkOnClick(true);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QTest::mouseClick(f.label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 7));
        QCOMPARE(f.events, (QStringList{QStringLiteral("click"),
                                        QStringLiteral("open https://zelvorin.example.org/")}));
    }

    void openLinkReportsFailureSilently() {
        zelvorin::LinkLabel label(QStringLiteral("/no/such/document.htm"));
        QString seen;
        label.setLinkOpener([&seen](const QString& target) {
            seen = target;
            return false;
        });
        QVERIFY(!label.openLink());
        QCOMPARE(seen, QStringLiteral("/no/such/document.htm"));
        zelvorin::LinkLabel blank;
        blank.setLinkOpener([](const QString&) { return true; });
        QVERIFY(!blank.openLink());
    }
};

ZELVORIN_TEST_MAIN(LinkLabelTest)
#include "tst_LinkLabel.moc"
