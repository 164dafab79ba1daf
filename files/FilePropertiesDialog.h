// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The properties of a file or folder: the desktop file manager's own window when one
// answers, else a small window of the program's own with the facts the system keeps
// (name, location, type, size, dates, permissions, owner).
#pragma once

#include "ShellOperations.h"

#include <QDialog>
#include <QString>

class QFormLayout;

namespace zelvorin {

// The facts shown, as texts. `path` is a path text (see platform/LosslessNames.h).
struct FileFacts {
    QString name;
    QString location;
    QString type;
    QString size;
    QString modified;
    QString accessed;
    QString permissions;
    QString owner;

    static FileFacts of(const QString& path);
};

// Permission bits as "rwxr-xr-x" followed by the octal value, e.g. "rw-r--r-- (644)".
QString PermissionText(uint permissions);
// A size as "1,234 bytes", with a rounded larger unit beside it when there is one.
QString SizeText(qint64 bytes);

class FilePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    FilePropertiesDialog(const QString& path, QWidget* parent);

    QString Path() const { return m_path; }
    const FileFacts& Facts() const { return m_facts; }

private:
    void addRow(QFormLayout* form, const QString& label, const QString& value,
                const QString& objectName);

    QString m_path;
    FileFacts m_facts;
};

// Shows the properties of a file or folder by its raw path: the file manager's window
// when `desktop` has one, else the program's own. Nothing shows for a path that does not
// exist, and the result tells why.
platform::FileResult showProperties(QWidget* owner, const QByteArray& path,
                                    const platform::DesktopServices& desktop);

} // namespace zelvorin
