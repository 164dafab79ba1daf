// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The toolbar: three sections (tool buttons, the address box with Go, the background
// placement drop-down and the page width drop-down, the navigation buttons), each with a 5-pixel
// grip that hides and shows it. The sections' states live only in the controls and are not saved.
// Every button is a door to one of the registry's actions.
#pragma once

#include <QFrame>

class QComboBox;
class QMenu;
class QToolButton;

namespace zelvorin {

class ActionRegistry;

class MainToolbar : public QFrame {
    Q_OBJECT
public:
    // `placementMenu` is the Edit menu's background placement submenu, which the
    // placement button drops down; `viewMenu` the Options menu's View submenu, which the
    // page width button drops down.
    MainToolbar(const ActionRegistry& actions, QMenu* placementMenu, QMenu* viewMenu,
                QWidget* parent);

    // A grip released: 1 toggles the tool buttons, 2 the address section (the navigation
    // section then takes its room), 3 the navigation buttons.
    void toggleSection(int grip);

    QComboBox* addressBox() const { return m_addressBox; }
    QToolButton* placementButton() const { return m_placementButton; }
    QToolButton* pageWidthButton() const { return m_pageWidthButton; }
    // The grips 1 to 3 and the sections they toggle.
    QFrame* grip(int number) const;
    QFrame* toolsSection() const { return m_toolsSection; }
    QFrame* addressSection() const { return m_addressSection; }
    QFrame* addressPanel() const { return m_addressPanel; }
    QFrame* navigationSection() const { return m_navigationSection; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createToolsSection(const ActionRegistry& actions);
    void createAddressSection(const ActionRegistry& actions, QMenu* placementMenu, QMenu* viewMenu);
    void createNavigationSection(const ActionRegistry& actions);
    // The address box fills its panel but for a margin of 5 pixels.
    void fitAddressBox();

    QFrame* m_grips[3] = {};
    QFrame* m_toolsSection = nullptr;
    QFrame* m_addressSection = nullptr;
    QFrame* m_addressPanel = nullptr;
    QComboBox* m_addressBox = nullptr;
    QToolButton* m_placementButton = nullptr;
    QToolButton* m_pageWidthButton = nullptr;
    QFrame* m_navigationSection = nullptr;
};

} // namespace zelvorin
