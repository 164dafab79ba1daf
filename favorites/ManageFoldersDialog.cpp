// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ManageFoldersDialog.h"

#include "Paths.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <qdrawutil.h>

namespace zelvorin {

namespace {

constexpr int ButtonLeft = 8;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ControlPanelWidth = 92;
constexpr int ItemListBorderWidth = 5;
constexpr int BevelWidth = 1;
constexpr int DataRole = Qt::UserRole;

// A blank border, then a one-pixel lowered bevel around the panel's contents.
class InsetBevelPanel : public QWidget {
public:
    InsetBevelPanel(int borderWidth, QWidget* parent) : QWidget(parent), m_border(borderWidth) {
        const int inset = m_border + BevelWidth;
        setContentsMargins(inset, inset, inset, inset);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect bevel = rect().adjusted(m_border, m_border, -m_border, -m_border);
        qDrawShadePanel(&painter, bevel, palette(), true, BevelWidth);
    }

private:
    int m_border;
};

QString chooseFolderWithDialog(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QString(), QString(),
                                             QFileDialog::ShowDirsOnly);
}

bool confirmRemoveWithMessageBox(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Remove from the list"),
                    QStringLiteral("You are sure to REMOVE this folder from the list?"),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QListWidgetItem* makeItem(const FolderEntry& entry) {
    auto* item = new QListWidgetItem(entry.path);
    item->setData(DataRole, qulonglong(entry.data));
    return item;
}

} // namespace

ManageFoldersDialog::ManageFoldersDialog(QWidget* parent)
    : QDialog(parent), m_chooseFolder(chooseFolderWithDialog),
      m_confirmRemove(confirmRemoveWithMessageBox) {
    setObjectName(QStringLiteral("ManageFoldersForm"));
    setSizeGripEnabled(true);
    resize(485, 333);

    MainOuterPanel = new InsetBevelPanel(MainOuterPanelBorderWidth, this);
    MainOuterPanel->setObjectName(QStringLiteral("MainOuterPanel"));
    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->addWidget(MainOuterPanel);

    ItemListPanel = new QWidget(MainOuterPanel);
    ItemListPanel->setObjectName(QStringLiteral("ItemListPanel"));
    FolderListBox = new QListWidget(ItemListPanel);
    FolderListBox->setObjectName(QStringLiteral("FolderListBox"));
    FolderListBox->setAccessibleName(QStringLiteral("Favorite folders"));
    FolderListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* listLayout = new QVBoxLayout(ItemListPanel);
    listLayout->setContentsMargins(ItemListBorderWidth, ItemListBorderWidth, ItemListBorderWidth,
                                   ItemListBorderWidth);
    listLayout->addWidget(FolderListBox);

    ControlPanel = new QWidget(MainOuterPanel);
    ControlPanel->setObjectName(QStringLiteral("ControlPanel"));
    ControlPanel->setFixedWidth(ControlPanelWidth);

    auto* outerLayout = new QHBoxLayout(MainOuterPanel);
    outerLayout->setContentsMargins(MainOuterPanel->contentsMargins());
    outerLayout->setSpacing(0);
    outerLayout->addWidget(ItemListPanel, 1);
    outerLayout->addWidget(ControlPanel);

    OkButton = addButton(QStringLiteral("OkButton"), QStringLiteral("&Ok"), 12,
                         &ManageFoldersDialog::keepChanges);
    CancelButton = addButton(QStringLiteral("CancelButton"), QStringLiteral("&Cancel"), 44,
                             &ManageFoldersDialog::dropChanges);
    AddButton = addButton(QStringLiteral("AddButton"), QStringLiteral("&Add ..."), 104,
                          &ManageFoldersDialog::addFolder);
    DeleteButton = addButton(QStringLiteral("DeleteButton"), QStringLiteral("&Remove ..."), 136,
                             &ManageFoldersDialog::removeFolder);
    MoveUpButton = addButton(QStringLiteral("MoveUpButton"), QStringLiteral("Move &Up"), 180,
                             &ManageFoldersDialog::moveUp);
    MoveDownButton = addButton(QStringLiteral("MoveDownButton"), QStringLiteral("Move &Down"), 212,
                               &ManageFoldersDialog::moveDown);

    setTabOrder(FolderListBox, OkButton);
    setTabOrder(OkButton, CancelButton);
    setTabOrder(CancelButton, AddButton);
    setTabOrder(AddButton, DeleteButton);
    setTabOrder(DeleteButton, MoveUpButton);
    setTabOrder(MoveUpButton, MoveDownButton);

    // The form sees every key stroke before the control that has the focus.
    FolderListBox->installEventFilter(this);
}

QPushButton* ManageFoldersDialog::addButton(const QString& name, const QString& caption, int top,
                                            void (ManageFoldersDialog::*handler)()) {
    auto* button = new QPushButton(caption, ControlPanel);
    button->setObjectName(name);
    button->setAccessibleName(
        QString(caption).remove(QLatin1Char('&')).remove(QStringLiteral(" ...")));
    button->setGeometry(ButtonLeft, top, ButtonWidth, ButtonHeight);
    // Enter means nothing here: no button is the default one.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    return button;
}

FolderList ManageFoldersDialog::entries() const {
    FolderList entries;
    for (int row = 0; row < FolderListBox->count(); ++row) {
        const QListWidgetItem* item = FolderListBox->item(row);
        entries.append({item->text(), quintptr(item->data(DataRole).toULongLong())});
    }
    return entries;
}

int ManageFoldersDialog::selectedIndex() const {
    const QList<QListWidgetItem*> selected = FolderListBox->selectedItems();
    return selected.isEmpty() ? -1 : FolderListBox->row(selected.first());
}

void ManageFoldersDialog::selectRow(int row) {
    if (row < 0 || row >= FolderListBox->count()) {
        FolderListBox->setCurrentRow(-1);
        FolderListBox->clearSelection();
        return;
    }
    FolderListBox->setCurrentRow(row);
}

void ManageFoldersDialog::showEvent(QShowEvent* event) {
    showEntries();
    if (const QScreen* shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
    FolderListBox->setFocus();
}

void ManageFoldersDialog::showEntries() {
    FolderListBox->clear();
    if (m_folderList) {
        for (const FolderEntry& entry : *m_folderList)
            FolderListBox->addItem(makeItem(entry));
    }
    FolderListBox->setFocus();
    selectRow(FolderListBox->count() > 0 ? 0 : -1);

    ControlPanel->setFixedWidth(2 * MoveDownButton->x() + MoveDownButton->width());
    const int minimalClientHeight = MoveDownButton->y() + MoveDownButton->height() + OkButton->y() +
                                    2 * MainOuterPanelBorderWidth + 4;
    if (height() < minimalClientHeight)
        resize(width(), minimalClientHeight);
}

bool ManageFoldersDialog::closeOnEscape(QKeyEvent* event) {
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && held == Qt::NoModifier) {
        dropChanges();
        return true;
    }
    return false;
}

void ManageFoldersDialog::keyPressEvent(QKeyEvent* event) {
    // QDialog's own handling would let Enter press a button and Shift+Escape close.
    if (!closeOnEscape(event))
        event->ignore();
}

bool ManageFoldersDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && closeOnEscape(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void ManageFoldersDialog::keepChanges() {
    if (m_folderList)
        *m_folderList = entries();
    accept();
}

void ManageFoldersDialog::dropChanges() {
    reject();
}

void ManageFoldersDialog::addFolder() {
    const QString chosen = m_chooseFolder ? m_chooseFolder(this) : QString();
    if (chosen.isEmpty() || !folderExists(chosen))
        return;
    QString name = normalizeFolderPath(chosen);
    const qsizetype found = indexOfFolder(entries(), name);
    quintptr data =
        found >= 0 ? quintptr(FolderListBox->item(int(found))->data(DataRole).toULongLong()) : 0;
    bool cancel = false;
    if (m_onAddFolderFromDialog)
        m_onAddFolderFromDialog(name, data, cancel);
    if (cancel)
        return;
    if (found < 0) {
        FolderListBox->addItem(makeItem({name, data}));
        selectRow(FolderListBox->count() - 1);
    } else {
        FolderListBox->item(int(found))->setData(DataRole, qulonglong(data));
        selectRow(int(found));
    }
}

void ManageFoldersDialog::removeFolder() {
    const int index = selectedIndex();
    if (index < 0)
        return;
    if (!m_confirmRemove || !m_confirmRemove(this))
        return;
    delete FolderListBox->takeItem(index);
    selectRow(index < FolderListBox->count() ? index : index - 1);
}

void ManageFoldersDialog::moveUp() {
    const int index = selectedIndex();
    if (index <= 0)
        return;
    QListWidgetItem* item = FolderListBox->takeItem(index);
    FolderListBox->insertItem(index - 1, item);
    selectRow(index - 1);
}

void ManageFoldersDialog::moveDown() {
    const int index = selectedIndex();
    if (index < 0 || index >= FolderListBox->count() - 1)
        return;
    QListWidgetItem* item = FolderListBox->takeItem(index);
    FolderListBox->insertItem(index + 1, item);
    selectRow(index + 1);
}

} // namespace zelvorin
