#include "SettingsTable.h"

#include "NeededRegistryLib.h"

namespace zelvorin::settings {

int SettingsAccess::Read(const IntegerSetting& setting, int defaultValue) const {
    return m_store ? m_store->ReadInteger(m_root + setting.key, setting.name, defaultValue)
                   : defaultValue;
}

bool SettingsAccess::Read(const BooleanSetting& setting) const {
    return m_store ? m_store->ReadBool(m_root + setting.key, setting.name, setting.defaultValue)
                   : setting.defaultValue;
}

QString SettingsAccess::Read(const StringSetting& setting) const {
    return m_store ? m_store->ReadString(m_root + setting.key, setting.name, QString()) : QString();
}

QStringList SettingsAccess::Read(const ListSetting& setting) const {
    QStringList list;
    if (m_store)
        m_store->ReadStringList(m_root + setting.key, setting.baseName, &list, 1);
    return list;
}

bool SettingsAccess::Write(const IntegerSetting& setting, int value) const {
    return m_store && m_store->WriteInteger(m_root + setting.key, setting.name, value);
}

bool SettingsAccess::Write(const BooleanSetting& setting, bool value) const {
    return m_store && m_store->WriteBool(m_root + setting.key, setting.name, value);
}

bool SettingsAccess::Write(const StringSetting& setting, const QString& value) const {
    return m_store && m_store->WriteString(m_root + setting.key, setting.name, value);
}

bool SettingsAccess::Write(const ListSetting& setting, const QStringList& values) const {
    return m_store && m_store->WriteStringList(m_root + setting.key, setting.baseName, &values, 1);
}

QString NotSavedStatusText(const QString& file, const QString& reason) {
    return QStringLiteral("Settings not saved: %2 (%1)").arg(file, reason);
}

QString NotSavedMessageText(const QString& file, const QString& reason) {
    return QStringLiteral("The settings could not be saved to\n%1\n\n%2.\n\nZelvorin keeps "
                          "your settings until it closes and saves them as soon as the file "
                          "takes them again.")
        .arg(file, reason);
}

QString UnsavedAtCloseText(const QString& file, const QString& reason) {
    return QStringLiteral("The settings could still not be saved to\n%1\n\n%2.\n\nThe "
                          "settings changed since they were last saved are lost when Zelvorin "
                          "closes.")
        .arg(file, reason);
}

} // namespace zelvorin::settings
