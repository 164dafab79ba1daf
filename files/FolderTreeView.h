// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// FolderTreeView: the path of the folder session's shown folder from the root down, one
// row per level, followed by the shown folder's subfolders. It shows the session's rows;
// opening a row (double-click, Enter) asks the session for that folder.
#pragma once

#include <QListWidget>

namespace zelvorin {

class FolderSession;

class FolderTreeView : public QListWidget {
    Q_OBJECT
public:
    enum Role { PathBytesRole = Qt::UserRole + 1, SubfolderRole };

    explicit FolderTreeView(FolderSession* session, QWidget* parent = nullptr);
    ~FolderTreeView() override;

    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int height);

    // The full path of a row with one trailing "/", as a path text and as raw bytes;
    // empty outside the list.
    QString itemPath(int row) const;
    QByteArray itemPathBytes(int row) const;

    // Opens the selected row's folder.
    void openCurrentRow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showLevels();
    void showSubfolders();
    void addRow(const QString& display, const QByteArray& path, bool subfolder);
    void showWaiting(bool waiting);
    void updateItemHeight();

    FolderSession* m_session = nullptr;
    int m_itemHeight = 17;
    // The row of the shown folder; the subfolders follow it.
    int m_currentRow = -1;
    bool m_waitCursor = false;
};

} // namespace zelvorin
