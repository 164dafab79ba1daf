// The toolbar: three sections (tool buttons, the address box with Go, the navigation
// buttons), each with a 5-pixel grip that hides and shows it. The sections' states live
// only in the controls and are not saved. The window connects the buttons.
#pragma once

#include <QFrame>

class QComboBox;
class QToolButton;

class MainToolbar : public QFrame {
    Q_OBJECT
public:
    explicit MainToolbar(QWidget* parent);

    // A grip released: 1 toggles the tool buttons, 2 the address section (the navigation
    // section then takes its room), 3 the navigation buttons.
    void ToolSplitterPanelMouseUp(int grip);

    QFrame* ToolSplitterPanel1 = nullptr;
    QFrame* ToolPanel1 = nullptr;
    QFrame* ToolSplitterPanel2 = nullptr;
    QFrame* ToolPanel2 = nullptr;
    QFrame* Panel10 = nullptr;
    QFrame* AddressPanel = nullptr;
    QComboBox* AddressComboBox = nullptr;
    QFrame* ToolSplitterPanel3 = nullptr;
    QFrame* ToolPanel3 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* CustomFilterSpeedButton = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* GoButton = nullptr;
    // The background placement drop-down, at the end of the address section; the window
    // gives it its menu.
    QFrame* PlacementPanel = nullptr;
    QToolButton* PlacementSpeedButton = nullptr;
    QToolButton* BackSpeedButton = nullptr;
    QToolButton* ForwardSpeedButton = nullptr;
    QToolButton* RefreshSpeedButton = nullptr;
    QToolButton* StopSpeedButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createToolPanel1();
    void createToolPanel2();
    void createToolPanel3();
    // The address box fills its panel but for a margin of 5 pixels.
    void AddressPanelResize();
};
