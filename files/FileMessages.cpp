// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FileMessages.h"

#include "LosslessNames.h"
#include "ProgramValues.h"

#include <QMessageBox>

#include <algorithm>

namespace zelvorin {

void showErrorBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, ProductTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

QString NotTextNameTip(const QByteArray& raw) {
    // Each byte that is not part of a character is written as \xNN; the rest shows as
    // the characters it is.
    const QString kept = platform::openablePath(raw);
    QString bytes;
    for (const QChar c : kept) {
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            bytes += QStringLiteral("\\x") + QString::number(c.unicode() - 0xDC00, 16).toUpper();
        else
            bytes += c;
    }
    return QObject::tr("This name is not UTF-8 text: it shows \"%1\" for each byte that is not. "
                       "Its bytes: %2")
        .arg(QChar(QChar::ReplacementCharacter), bytes);
}

QString FileFailureMessage(FileAction action, const QList<FileFailure>& failures,
                           const QString& folder) {
    if (failures.isEmpty())
        return QString();
    const auto name = [](const QByteArray& path) {
        return platform::displayName(path.mid(path.lastIndexOf('/') + 1));
    };
    const QString shownFolder = platform::displayPath(folder);
    if (failures.size() == 1) {
        const QString file = name(failures.first().path);
        const QString reason = failures.first().reason;
        switch (action) {
        case FileAction::Open:
            return QObject::tr("Could not open \"%1\": %2.").arg(file, reason);
        case FileAction::Trash:
            return QObject::tr("Could not move \"%1\" to the trash: %2.").arg(file, reason);
        case FileAction::Properties:
            return QObject::tr("Could not show the properties of \"%1\": %2.").arg(file, reason);
        case FileAction::Copy:
            return QObject::tr("Could not copy \"%1\" to \"%2\": %3.")
                .arg(file, shownFolder, reason);
        case FileAction::Move:
            return QObject::tr("Could not move \"%1\" to \"%2\": %3.")
                .arg(file, shownFolder, reason);
        }
    }
    QString text = action == FileAction::Move
                       ? QObject::tr("Could not move %1 of the dropped files to \"%2\":")
                       : QObject::tr("Could not copy %1 of the dropped files to \"%2\":");
    text = text.arg(failures.size()).arg(shownFolder);
    for (const FileFailure& failure : failures)
        text += QStringLiteral("\n\"%1\": %2").arg(name(failure.path), failure.reason);
    return text;
}

QString readingFolderText(qint64 entriesRead) {
    return QStringLiteral("Reading folder... %1").arg(entriesRead);
}

int readingFolderGauge(qint64 entriesRead, qint64 estimatedEntries) {
    // The count of all is a guess from the folder's size: the gauge never claims the end
    // before the read has reached it.
    if (estimatedEntries <= 0)
        return 0;
    return int(std::min<qint64>(99, entriesRead * 100 / estimatedEntries));
}

} // namespace zelvorin
