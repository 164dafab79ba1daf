// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MainToolbar.h"

#include "ActionRegistry.h"
#include "ToolbarIcons.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

namespace zelvorin {

namespace {

QFrame* makePanel(QWidget* parent, const char* name, QFrame::Shadow bevel) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    if (bevel == QFrame::Plain) {
        panel->setFrameShape(QFrame::NoFrame);
    } else {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(bevel);
        panel->setLineWidth(1);
    }
    return panel;
}

// A button for one of the registry's actions: the action gives its picture, its hint and
// its enabled state, and a click triggers it.
QToolButton* makeButton(QWidget* parent, const char* name, const QRect& geometry, QAction* action,
                        const QSize& imageSize) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setGeometry(geometry);
    button->setIconSize(imageSize);
    button->setDefaultAction(action);
    button->setAccessibleName(action->toolTip().trimmed());
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// A grip: pressing any mouse button lowers its bevel, releasing raises it again and then
// toggles its section.
class GripFilter : public QObject {
public:
    GripFilter(QFrame* grip, std::function<void()> released)
        : QObject(grip), m_grip(grip), m_released(std::move(released)) {
        grip->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            m_grip->setFrameShadow(QFrame::Sunken);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_grip->setFrameShadow(QFrame::Raised);
            m_released();
            return true;
        }
        return false;
    }

private:
    QFrame* m_grip;
    std::function<void()> m_released;
};

} // namespace

MainToolbar::MainToolbar(const ActionRegistry& actions, QMenu* placementMenu, QMenu* viewMenu,
                         QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("ToolbarPanel"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setLineWidth(1);
    setFixedHeight(34);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);

    const auto makeGrip = [this](const char* name, int number) {
        QFrame* grip = makePanel(this, name, QFrame::Raised);
        grip->setFixedWidth(5);
        grip->setCursor(Qt::PointingHandCursor);
        grip->setToolTip(QString());
        new GripFilter(grip, [this, number] { toggleSection(number); });
        m_grips[number - 1] = grip;
        return grip;
    };

    makeGrip("ToolSplitterPanel1", 1);
    createToolsSection(actions);
    makeGrip("ToolSplitterPanel2", 2);
    createAddressSection(actions, placementMenu, viewMenu);
    makeGrip("ToolSplitterPanel3", 3);
    createNavigationSection(actions);

    layout->addWidget(m_grips[0]);
    layout->addWidget(m_toolsSection);
    layout->addWidget(m_grips[1]);
    layout->addWidget(m_addressSection, 1);
    layout->addWidget(m_grips[2]);
    layout->addWidget(m_navigationSection);
    // Takes the room only when no section does, so the grips stay on the left.
    layout->addStretch(0);
}

void MainToolbar::createToolsSection(const ActionRegistry& actions) {
    m_toolsSection = makePanel(this, "ToolPanel1", QFrame::Raised);
    m_toolsSection->setFixedWidth(163);
    const QSize image(16, 16);
    makeButton(m_toolsSection, "SpeedButton1", {5, 3, 26, 26},
               actions.action(Command::SetBackgroundColor), image);
    makeButton(m_toolsSection, "CustomFilterSpeedButton", {35, 3, 26, 26},
               actions.action(Command::AddCustomFilter), image);
    makeButton(m_toolsSection, "SpeedButton2", {65, 3, 26, 26}, actions.action(Command::Copy),
               image);
    makeButton(m_toolsSection, "SpeedButton4", {95, 3, 26, 26},
               actions.action(Command::ShowImageGallery), QSize(18, 20));
    makeButton(m_toolsSection, "SpeedButton3", {125, 3, 26, 26},
               actions.action(Command::ClearPreviewArea), image);
}

void MainToolbar::createAddressSection(const ActionRegistry& actions, QMenu* placementMenu,
                                       QMenu* viewMenu) {
    m_addressSection = makePanel(this, "ToolPanel2", QFrame::Raised);
    auto* layout = new QHBoxLayout(m_addressSection);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    QFrame* goPanel = makePanel(m_addressSection, "Panel10", QFrame::Plain);
    goPanel->setFixedWidth(47);
    makeButton(goPanel, "GoButton", {4, 2, 41, 26}, actions.action(Command::Go), QSize(27, 16));
    m_addressPanel = makePanel(m_addressSection, "AddressPanel", QFrame::Plain);
    m_addressBox = new QComboBox(m_addressPanel);
    m_addressBox->setObjectName("AddressComboBox");
    m_addressBox->setAccessibleName(QStringLiteral("Address"));
    m_addressBox->setEditable(true);
    m_addressBox->setInsertPolicy(QComboBox::NoInsert);
    m_addressBox->setMaxCount(20);
    m_addressBox->addItem(QStringLiteral("about:blank"));
    m_addressBox->setCurrentIndex(-1);
    m_addressBox->lineEdit()->clear();
    m_addressBox->move(2, 5);
    m_addressBox->setFixedHeight(21);
    m_addressPanel->installEventFilter(this);
    // In the section that stretches, so no fixed width of the toolbar changes.
    QFrame* placementPanel = makePanel(m_addressSection, "PlacementPanel", QFrame::Plain);
    placementPanel->setFixedWidth(40);
    m_placementButton = new QToolButton(placementPanel);
    m_placementButton->setObjectName("PlacementSpeedButton");
    m_placementButton->setAutoRaise(true);
    m_placementButton->setGeometry(2, 2, 36, 26);
    m_placementButton->setIconSize(QSize(16, 16));
    m_placementButton->setIcon(ToolbarIcon(ToolbarImage::Placement, QSize(16, 16)));
    const QString hint = QStringLiteral(" Background placement ");
    m_placementButton->setToolTip(hint);
    m_placementButton->setAccessibleName(hint.trimmed());
    m_placementButton->setFocusPolicy(Qt::NoFocus);
    m_placementButton->setPopupMode(QToolButton::InstantPopup);
    m_placementButton->setMenu(placementMenu);
    // The page width chosen, by name, so it is seen without opening the drop-down.
    QFrame* widthPanel = makePanel(m_addressSection, "PageWidthPanel", QFrame::Plain);
    widthPanel->setFixedWidth(100);
    m_pageWidthButton = new QToolButton(widthPanel);
    m_pageWidthButton->setObjectName("PageWidthSpeedButton");
    m_pageWidthButton->setAutoRaise(true);
    m_pageWidthButton->setGeometry(2, 2, 96, 26);
    m_pageWidthButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_pageWidthButton->setAccessibleName(QString(viewMenu->title()).remove(QLatin1Char('&')));
    m_pageWidthButton->setFocusPolicy(Qt::NoFocus);
    m_pageWidthButton->setPopupMode(QToolButton::InstantPopup);
    m_pageWidthButton->setMenu(viewMenu);
    layout->addWidget(goPanel);
    layout->addWidget(m_addressPanel, 1);
    layout->addWidget(placementPanel);
    layout->addWidget(widthPanel);
}

void MainToolbar::createNavigationSection(const ActionRegistry& actions) {
    m_navigationSection = makePanel(this, "ToolPanel3", QFrame::Raised);
    m_navigationSection->setFixedWidth(96);
    const QSize half(18, 10);
    makeButton(m_navigationSection, "BackSpeedButton", {5, 3, 26, 13},
               actions.action(Command::Back), half);
    makeButton(m_navigationSection, "ForwardSpeedButton", {5, 16, 26, 13},
               actions.action(Command::Forward), half);
    makeButton(m_navigationSection, "RefreshSpeedButton", {35, 3, 26, 26},
               actions.action(Command::Refresh), QSize(16, 16));
    makeButton(m_navigationSection, "StopSpeedButton", {65, 3, 26, 26},
               actions.action(Command::Stop), QSize(16, 16));
}

QFrame* MainToolbar::grip(int number) const {
    return m_grips[number - 1];
}

void MainToolbar::toggleSection(int grip) {
    auto* layout = static_cast<QHBoxLayout*>(this->layout());
    switch (grip) {
    case 1:
        m_toolsSection->setVisible(!m_toolsSection->isVisibleTo(this));
        break;
    case 2:
        if (m_addressSection->isVisibleTo(this)) {
            // The navigation section takes the freed room; its width is kept in its tag.
            m_addressSection->hide();
            m_navigationSection->setProperty("tag", m_navigationSection->width());
            m_navigationSection->setMinimumWidth(0);
            m_navigationSection->setMaximumWidth(QWIDGETSIZE_MAX);
            layout->setStretchFactor(m_navigationSection, 1);
        } else {
            layout->setStretchFactor(m_navigationSection, 0);
            m_navigationSection->setFixedWidth(m_navigationSection->property("tag").toInt());
            m_addressSection->show();
        }
        break;
    case 3:
        m_navigationSection->setVisible(!m_navigationSection->isVisibleTo(this));
        break;
    default:
        break;
    }
}

bool MainToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_addressPanel && event->type() == QEvent::Resize)
        fitAddressBox();
    return QFrame::eventFilter(watched, event);
}

void MainToolbar::fitAddressBox() {
    // Resize events reach a panel before it is shown, so ask whether it is hidden.
    if (m_addressPanel->isHidden())
        return;
    m_addressBox->setFixedWidth(
        qMax(0, m_addressPanel->contentsRect().width() - m_addressBox->x() - 5));
}

} // namespace zelvorin
