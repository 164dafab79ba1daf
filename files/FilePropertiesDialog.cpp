// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FilePropertiesDialog.h"

#include "FileProperties.h"
#include "LosslessNames.h"
#include "RawFolderReader.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QVBoxLayout>

namespace zelvorin {

namespace {

QString dateText(const QDateTime& time) {
    if (!time.isValid())
        return QObject::tr("(unknown)");
    return QLocale().toString(time.toLocalTime(), QLocale::LongFormat);
}

QString typeText(const QByteArray& path, const QString& name, bool folder) {
    static const QMimeDatabase database;
    QMimeType type;
    if (folder) {
        type = database.mimeTypeForName(QStringLiteral("inode/directory"));
    } else {
        QFile file;
        type = platform::openForReading(file, path)
                   ? database.mimeTypeForFileNameAndData(name, &file)
                   : database.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    }
    const QString comment = type.comment();
    if (comment.isEmpty())
        return type.name();
    return QStringLiteral("%1 (%2)").arg(comment, type.name());
}

} // namespace

QString PermissionText(uint permissions) {
    QString letters;
    for (int bit = 8; bit >= 0; --bit)
        letters += (permissions & (1u << bit)) ? QLatin1Char("xwr"[bit % 3]) : QLatin1Char('-');
    return QStringLiteral("%1 (%2)").arg(letters).arg(permissions & 0777, 3, 8, QLatin1Char('0'));
}

QString SizeText(qint64 bytes) {
    const QLocale locale;
    QString text = QObject::tr("%1 bytes").arg(locale.toString(bytes));
    if (bytes >= 1024)
        text += QStringLiteral(" (%1)").arg(
            locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat));
    return text;
}

FileFacts FileFacts::of(const QString& path) {
    const QByteArray raw = platform::encodePath(path);
    const platform::FileDetails details = platform::fileDetails(raw);
    FileFacts facts;
    QByteArray absolute = raw;
    if (!absolute.startsWith('/'))
        absolute = platform::currentFolderBytes() + '/' + absolute;
    while (absolute.size() > 1 && absolute.endsWith('/'))
        absolute.chop(1);
    const qsizetype slash = absolute.lastIndexOf('/');
    const QByteArray name = absolute.mid(slash + 1);
    facts.name = name.isEmpty() ? platform::displayName(absolute) : platform::displayName(name);
    facts.location = name.isEmpty() ? QString()
                     : slash == 0   ? QStringLiteral("/")
                                    : platform::displayName(absolute.left(slash));
    facts.type = typeText(absolute, facts.name, details.folder);
    facts.size = details.folder ? QObject::tr("%n item(s)", nullptr, int(details.entries))
                                : SizeText(details.size);
    facts.modified = dateText(details.modified);
    facts.accessed = dateText(details.accessed);
    facts.permissions = PermissionText(details.permissions);
    facts.owner = QStringLiteral("%1 : %2").arg(details.owner, details.group);
    return facts;
}

FilePropertiesDialog::FilePropertiesDialog(const QString& path, QWidget* parent)
    : QDialog(parent), m_path(path), m_facts(FileFacts::of(path)) {
    setObjectName(QStringLiteral("FilePropertiesDialog"));
    setWindowTitle(tr("%1 Properties").arg(m_facts.name));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    column->addLayout(form);
    addRow(form, tr("Name:"), m_facts.name, QStringLiteral("NameValue"));
    addRow(form, tr("Location:"), m_facts.location, QStringLiteral("LocationValue"));
    addRow(form, tr("Type:"), m_facts.type, QStringLiteral("TypeValue"));
    addRow(form, tr("Size:"), m_facts.size, QStringLiteral("SizeValue"));
    addRow(form, tr("Modified:"), m_facts.modified, QStringLiteral("ModifiedValue"));
    addRow(form, tr("Accessed:"), m_facts.accessed, QStringLiteral("AccessedValue"));
    addRow(form, tr("Permissions:"), m_facts.permissions, QStringLiteral("PermissionsValue"));
    addRow(form, tr("Owner:"), m_facts.owner, QStringLiteral("OwnerValue"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void FilePropertiesDialog::addRow(QFormLayout* form, const QString& label, const QString& value,
                                  const QString& objectName) {
    auto* text = new QLabel(value, this);
    text->setObjectName(objectName);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setTextFormat(Qt::PlainText);
    text->setAccessibleName(label);
    form->addRow(label, text);
}

platform::FileResult showProperties(QWidget* owner, const QByteArray& path,
                                    const platform::DesktopServices& desktop) {
    using platform::FileResult;
    const platform::FileDetails details = platform::fileDetails(path);
    if (details.error != 0)
        return FileResult::failure(details.error, path);
    QByteArray absolute = path;
    if (!absolute.startsWith('/'))
        absolute = platform::currentFolderBytes() + '/' + absolute;
    if (platform::showItemPropertiesInFileManager(absolute, desktop))
        return FileResult::done();
    // Like the desktop's own properties window it stays open beside the main window.
    auto* dialog = new FilePropertiesDialog(platform::openablePath(absolute), owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return FileResult::done();
}

} // namespace zelvorin
