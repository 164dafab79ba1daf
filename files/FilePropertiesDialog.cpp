#include "FilePropertiesDialog.h"

#include "FileProperties.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
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

QString typeText(const QFileInfo& info) {
    static const QMimeDatabase database;
    const QMimeType type = info.isDir()
                               ? database.mimeTypeForName(QStringLiteral("inode/directory"))
                               : database.mimeTypeForFile(info);
    const QString comment = type.comment();
    if (comment.isEmpty())
        return type.name();
    return QStringLiteral("%1 (%2)").arg(comment, type.name());
}

} // namespace

QString PermissionText(const QFileInfo& info) {
    const QFileDevice::Permissions p = info.permissions();
    const struct {
        QFileDevice::Permission flag;
        char letter;
        int value;
    } bits[] = {{QFileDevice::ReadOwner, 'r', 0400}, {QFileDevice::WriteOwner, 'w', 0200},
                {QFileDevice::ExeOwner, 'x', 0100},  {QFileDevice::ReadGroup, 'r', 040},
                {QFileDevice::WriteGroup, 'w', 020}, {QFileDevice::ExeGroup, 'x', 010},
                {QFileDevice::ReadOther, 'r', 04},   {QFileDevice::WriteOther, 'w', 02},
                {QFileDevice::ExeOther, 'x', 01}};
    QString letters;
    int octal = 0;
    for (const auto& bit : bits) {
        const bool set = p.testFlag(bit.flag);
        letters += set ? QLatin1Char(bit.letter) : QLatin1Char('-');
        if (set)
            octal |= bit.value;
    }
    return QStringLiteral("%1 (%2)").arg(letters).arg(octal, 3, 8, QLatin1Char('0'));
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
    const QFileInfo info(path);
    FileFacts facts;
    facts.name = info.fileName().isEmpty() ? path : info.fileName();
    facts.location = info.isRoot() ? QString() : QDir::toNativeSeparators(info.absolutePath());
    facts.type = typeText(info);
    if (info.isDir()) {
        const qsizetype count =
            QDir(path)
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .size();
        facts.size = QObject::tr("%n item(s)", nullptr, int(count));
    } else {
        facts.size = SizeText(info.size());
    }
    facts.modified = dateText(info.lastModified());
    facts.accessed = dateText(info.lastRead());
    facts.permissions = PermissionText(info);
    const QString user = info.owner().isEmpty() ? QString::number(info.ownerId()) : info.owner();
    const QString group = info.group().isEmpty() ? QString::number(info.groupId()) : info.group();
    facts.owner = QStringLiteral("%1 : %2").arg(user, group);
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

} // namespace zelvorin

bool ShowShellProperties(QWidget* owner, const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return false;
    if (zelvorin::platform::showItemPropertiesInFileManager(info.absoluteFilePath()))
        return true;
    // Like the desktop's own properties window it stays open beside the main window.
    auto* dialog = new zelvorin::FilePropertiesDialog(info.absoluteFilePath(), owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return true;
}
