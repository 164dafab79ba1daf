#include "MainToolbar.h"

#include "ToolbarIcons.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

using zelvorin::ToolbarImage;

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

QToolButton* makeButton(QWidget* parent, const char* name, const QRect& geometry,
                        ToolbarImage image, const QSize& imageSize, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setGeometry(geometry);
    button->setIconSize(imageSize);
    button->setIcon(zelvorin::ToolbarIcon(image, imageSize));
    button->setToolTip(hint);
    button->setAccessibleName(hint.trimmed());
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

MainToolbar::MainToolbar(QWidget* parent) : QFrame(parent) {
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
        new GripFilter(grip, [this, number] { ToolSplitterPanelMouseUp(number); });
        return grip;
    };

    ToolSplitterPanel1 = makeGrip("ToolSplitterPanel1", 1);
    createToolPanel1();
    ToolSplitterPanel2 = makeGrip("ToolSplitterPanel2", 2);
    createToolPanel2();
    ToolSplitterPanel3 = makeGrip("ToolSplitterPanel3", 3);
    createToolPanel3();

    layout->addWidget(ToolSplitterPanel1);
    layout->addWidget(ToolPanel1);
    layout->addWidget(ToolSplitterPanel2);
    layout->addWidget(ToolPanel2, 1);
    layout->addWidget(ToolSplitterPanel3);
    layout->addWidget(ToolPanel3);
    // Takes the room only when no section does, so the grips stay on the left.
    layout->addStretch(0);
}

void MainToolbar::createToolPanel1() {
    ToolPanel1 = makePanel(this, "ToolPanel1", QFrame::Raised);
    ToolPanel1->setFixedWidth(163);
    const QSize image(16, 16);
    SpeedButton1 =
        makeButton(ToolPanel1, "SpeedButton1", {5, 3, 26, 26}, ToolbarImage::BackgroundColor, image,
                   QStringLiteral(" Change the background color... "));
    CustomFilterSpeedButton =
        makeButton(ToolPanel1, "CustomFilterSpeedButton", {35, 3, 26, 26},
                   ToolbarImage::CustomFilter, image, QStringLiteral(" Add a custom filter... "));
    SpeedButton2 = makeButton(ToolPanel1, "SpeedButton2", {65, 3, 26, 26}, ToolbarImage::Copy,
                              image, QStringLiteral(" Copy "));
    SpeedButton4 = makeButton(ToolPanel1, "SpeedButton4", {95, 3, 26, 26}, ToolbarImage::Gallery,
                              QSize(18, 20), QStringLiteral(" Show image gallery "));
    SpeedButton3 = makeButton(ToolPanel1, "SpeedButton3", {125, 3, 26, 26}, ToolbarImage::Clear,
                              image, QStringLiteral(" Clear the Preview Area "));
}

void MainToolbar::createToolPanel2() {
    ToolPanel2 = makePanel(this, "ToolPanel2", QFrame::Raised);
    auto* layout = new QHBoxLayout(ToolPanel2);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    Panel10 = makePanel(ToolPanel2, "Panel10", QFrame::Plain);
    Panel10->setFixedWidth(47);
    GoButton = makeButton(Panel10, "GoButton", {4, 2, 41, 26}, ToolbarImage::Go, QSize(27, 16),
                          QStringLiteral(" Load document "));
    AddressPanel = makePanel(ToolPanel2, "AddressPanel", QFrame::Plain);
    AddressComboBox = new QComboBox(AddressPanel);
    AddressComboBox->setObjectName("AddressComboBox");
    AddressComboBox->setAccessibleName(QStringLiteral("Address"));
    AddressComboBox->setEditable(true);
    AddressComboBox->setInsertPolicy(QComboBox::NoInsert);
    AddressComboBox->setMaxCount(20);
    AddressComboBox->addItem(QStringLiteral("about:blank"));
    AddressComboBox->setCurrentIndex(-1);
    AddressComboBox->lineEdit()->clear();
    AddressComboBox->move(2, 5);
    AddressComboBox->setFixedHeight(21);
    AddressPanel->installEventFilter(this);
    // In the section that stretches, so no fixed width of the toolbar changes.
    PlacementPanel = makePanel(ToolPanel2, "PlacementPanel", QFrame::Plain);
    PlacementPanel->setFixedWidth(40);
    PlacementSpeedButton =
        makeButton(PlacementPanel, "PlacementSpeedButton", {2, 2, 36, 26}, ToolbarImage::Placement,
                   QSize(16, 16), QStringLiteral(" Background placement "));
    PlacementSpeedButton->setPopupMode(QToolButton::InstantPopup);
    layout->addWidget(Panel10);
    layout->addWidget(AddressPanel, 1);
    layout->addWidget(PlacementPanel);
}

void MainToolbar::createToolPanel3() {
    ToolPanel3 = makePanel(this, "ToolPanel3", QFrame::Raised);
    ToolPanel3->setFixedWidth(96);
    const QSize half(18, 10);
    BackSpeedButton = makeButton(ToolPanel3, "BackSpeedButton", {5, 3, 26, 13}, ToolbarImage::Back,
                                 half, QStringLiteral("Back"));
    ForwardSpeedButton = makeButton(ToolPanel3, "ForwardSpeedButton", {5, 16, 26, 13},
                                    ToolbarImage::Forward, half, QStringLiteral("Forward"));
    RefreshSpeedButton =
        makeButton(ToolPanel3, "RefreshSpeedButton", {35, 3, 26, 26}, ToolbarImage::Refresh,
                   QSize(16, 16), QStringLiteral(" Refresh "));
    StopSpeedButton = makeButton(ToolPanel3, "StopSpeedButton", {65, 3, 26, 26}, ToolbarImage::Stop,
                                 QSize(16, 16), QStringLiteral(" Stop "));
}

void MainToolbar::ToolSplitterPanelMouseUp(int grip) {
    auto* layout = static_cast<QHBoxLayout*>(this->layout());
    switch (grip) {
    case 1:
        ToolPanel1->setVisible(!ToolPanel1->isVisibleTo(this));
        break;
    case 2:
        if (ToolPanel2->isVisibleTo(this)) {
            // The navigation section takes the freed room; its width is kept in its tag.
            ToolPanel2->hide();
            ToolPanel3->setProperty("tag", ToolPanel3->width());
            ToolPanel3->setMinimumWidth(0);
            ToolPanel3->setMaximumWidth(QWIDGETSIZE_MAX);
            layout->setStretchFactor(ToolPanel3, 1);
        } else {
            layout->setStretchFactor(ToolPanel3, 0);
            ToolPanel3->setFixedWidth(ToolPanel3->property("tag").toInt());
            ToolPanel2->show();
        }
        break;
    case 3:
        ToolPanel3->setVisible(!ToolPanel3->isVisibleTo(this));
        break;
    default:
        break;
    }
}

bool MainToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == AddressPanel && event->type() == QEvent::Resize)
        AddressPanelResize();
    return QFrame::eventFilter(watched, event);
}

void MainToolbar::AddressPanelResize() {
    // Resize events reach a panel before it is shown, so ask whether it is hidden.
    if (AddressPanel->isHidden())
        return;
    AddressComboBox->setFixedWidth(
        qMax(0, AddressPanel->contentsRect().width() - AddressComboBox->x() - 5));
}
