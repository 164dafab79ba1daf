// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SettingsTable.h"

#include "SettingsStore.h"

namespace zelvorin::settings {

int SettingsAccess::read(const IntegerSetting& setting, int defaultValue) const {
    return m_store ? m_store->readInteger(m_root + setting.key, setting.name, defaultValue)
                   : defaultValue;
}

bool SettingsAccess::read(const BooleanSetting& setting) const {
    return m_store ? m_store->readBool(m_root + setting.key, setting.name, setting.defaultValue)
                   : setting.defaultValue;
}

QString SettingsAccess::read(const StringSetting& setting) const {
    return m_store ? m_store->readString(m_root + setting.key, setting.name, QString()) : QString();
}

QStringList SettingsAccess::read(const ListSetting& setting) const {
    QStringList list;
    if (m_store)
        m_store->readStringList(m_root + setting.key, setting.baseName, &list, 1);
    return list;
}

bool SettingsAccess::write(const IntegerSetting& setting, int value) const {
    return m_store && m_store->writeInteger(m_root + setting.key, setting.name, value);
}

bool SettingsAccess::write(const BooleanSetting& setting, bool value) const {
    return m_store && m_store->writeBool(m_root + setting.key, setting.name, value);
}

bool SettingsAccess::write(const StringSetting& setting, const QString& value) const {
    return m_store && m_store->writeString(m_root + setting.key, setting.name, value);
}

bool SettingsAccess::write(const ListSetting& setting, const QStringList& values) const {
    return m_store && m_store->writeStringList(m_root + setting.key, setting.baseName, &values, 1);
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
