// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SettingsStore.h"

#include "LosslessNames.h"
#include "PlatformInfo.h"
#include "RegistryHive.h"

#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace zelvorin {

using platform::RegistryHive;
using platform::RegistryLookup;
using platform::RegistryValue;

namespace {

const QString kMachineHiveFile = QStringLiteral("/etc/xdg/zelvorin/registry.db");
// How often writes the file did not take are offered to it again.
constexpr int kRetryMs = 2000;
// How long the store stays open after its last use: long enough for the reads and writes
// of one action, short enough that an import of both roots, which needs the file to
// itself for a moment, does not wait long.
constexpr int kIdleReleaseMs = 500;

QString numberedName(const QString& baseName, int number) {
    return baseName + QString::number(number);
}

UnsavedWrite valueWrite(const QString& keyPath, const QString& name, quint32 type,
                        const QByteArray& data) {
    UnsavedWrite write;
    write.keyPath = keyPath;
    write.name = name;
    write.type = type;
    write.data = data;
    return write;
}

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(const QString& currentUserHiveFile)
    : m_currentUserFile(currentUserHiveFile) {}

SettingsStore::~SettingsStore() {
    if (m_root == Root::CurrentUser && !unsaved().isEmpty())
        save(nullptr);
    // Nothing is lost without a word: the last chance to say so.
    for (const Root root : {Root::CurrentUser, Root::LocalMachine})
        if (!m_unsaved.at(root == Root::LocalMachine ? 1 : 0).isEmpty())
            qWarning("Settings not saved to %s (%s); those changed since the last save are lost",
                     qPrintable(fileOf(root)), qPrintable(m_saveProblem));
}

void SettingsStore::setRoot(Root root) {
    if (root == m_root)
        return;
    m_root = root;
    m_hive.reset();
}

QString SettingsStore::hiveFile() const {
    return fileOf(m_root);
}

QString SettingsStore::fileOf(Root root) const {
    if (root == Root::LocalMachine)
        return kMachineHiveFile;
    if (!m_currentUserFile.isEmpty())
        return m_currentUserFile;
    return platform::userConfigFolder() + QStringLiteral("/registry.db");
}

UnsavedSettings& SettingsStore::unsaved() {
    return m_unsaved.at(m_root == Root::LocalMachine ? 1 : 0);
}

bool SettingsStore::hasUnsavedChanges() const {
    return !m_unsaved.at(0).isEmpty() || !m_unsaved.at(1).isEmpty();
}

RegistryLookup SettingsStore::lookup(const QString& keyPath, const QString& name,
                                     RegistryValue* value) {
    RegistryHive* h = hive();
    const UnsavedSettings& pending = unsaved();
    if (pending.isEmpty())
        return h->readValue(keyPath, name, value);
    return pending.lookup(keyPath, name, value,
                          [h](const QString& path, const QString& valueName, RegistryValue* found) {
                              return h->readValue(path, valueName, found);
                          });
}

std::optional<QByteArray> SettingsStore::typedData(const QString& keyPath, const QString& name,
                                                   quint32 type) {
    RegistryValue value;
    if (lookup(keyPath, name, &value) != RegistryLookup::Found || value.type != type)
        return std::nullopt;
    return value.data;
}

bool SettingsStore::save(const UnsavedWrite* write, bool* applied) {
    RegistryHive* h = hive();
    UnsavedSettings& pending = unsaved();
    const bool hadUnsaved = !pending.isEmpty();
    bool done = false;
    bool saved = false;
    {
        RegistryHive::Batch batch(*h, true);
        if (batch.isOpen()) {
            for (const UnsavedWrite& earlier : pending.writes())
                apply(*h, earlier);
            if (write)
                done = apply(*h, *write);
            saved = batch.commit();
        }
    }
    if (saved) {
        pending.clear();
        m_saveFailing = false;
        if (applied)
            *applied = done;
        if (hadUnsaved)
            emit unsavedChangesSaved(hiveFile());
        return true;
    }
    const QString reason = h->lastError();
    if (write)
        pending.add(*write);
    noteSaveFailure(reason);
    return false;
}

void SettingsStore::retrySaving() {
    if (m_root == Root::CurrentUser && !unsaved().isEmpty())
        save(nullptr);
    if (m_root != Root::CurrentUser || unsaved().isEmpty())
        m_retryTimer->stop();
}

void SettingsStore::noteSaveFailure(const QString& reason) {
    m_saveProblem = reason.isEmpty() ? QStringLiteral("the reason is not known") : reason;
    // The machine's hive is never written by the program: nothing to wait for there.
    if (m_root == Root::CurrentUser) {
        if (!m_retryTimer) {
            m_retryTimer = new QTimer(this);
            m_retryTimer->setInterval(kRetryMs);
            connect(m_retryTimer, &QTimer::timeout, this, &SettingsStore::retrySaving);
        }
        if (!m_retryTimer->isActive())
            m_retryTimer->start();
    }
    if (m_saveFailing)
        return;
    m_saveFailing = true;
    const bool first = !m_saveFailureTold;
    m_saveFailureTold = true;
    emit saveFailed(hiveFile(), m_saveProblem, first);
}

bool SettingsStore::apply(RegistryHive& h, const UnsavedWrite& write) {
    switch (write.kind) {
    case UnsavedWrite::Kind::Value:
        return h.writeValue(write.keyPath, write.name, write.type, write.data);
    case UnsavedWrite::Kind::Delete:
        return applyDelete(h, write.keyPath, write.name);
    case UnsavedWrite::Kind::List:
        break;
    }
    const auto exists = [&](int n) {
        return h.readValue(write.keyPath, numberedName(write.name, n), nullptr) ==
               RegistryLookup::Found;
    };
    // Below clearedUpTo the old values go whatever gaps they have (see UnsavedWrite).
    const int cleared = std::max(write.first, write.clearedUpTo);
    for (int n = write.first; n < cleared; ++n)
        if (exists(n))
            applyDelete(h, write.keyPath, numberedName(write.name, n));
    for (int n = cleared; exists(n); ++n)
        applyDelete(h, write.keyPath, numberedName(write.name, n));
    bool written = true;
    for (qsizetype i = 0; i < write.list.size(); ++i)
        written = h.writeValue(write.keyPath, numberedName(write.name, write.first + int(i)),
                               platform::RegSz, platform::losslessBytes(write.list.at(i))) &&
                  written;
    return written;
}

bool SettingsStore::applyDelete(RegistryHive& h, const QString& keyPath, const QString& name) {
    if (!h.createKey(keyPath))
        return false;
    const bool deleted = h.deleteValue(keyPath, name);
    // Only the key itself goes; parents left empty stay, as the registry would keep them.
    if (h.keyHasContent(keyPath) == false)
        h.deleteKey(keyPath, false);
    return deleted;
}

RegistryHive* SettingsStore::hive() {
    if (!m_hive) {
        const auto access = m_root == Root::LocalMachine ? RegistryHive::Access::ReadOnly
                                                         : RegistryHive::Access::ReadWrite;
        m_hive = std::make_unique<RegistryHive>(hiveFile(), access);
    }
    if (!m_idleTimer) {
        m_idleTimer = new QTimer(this);
        m_idleTimer->setSingleShot(true);
        m_idleTimer->setInterval(kIdleReleaseMs);
        connect(m_idleTimer, &QTimer::timeout, this, [this] {
            if (m_hive)
                m_hive->release();
        });
    }
    m_idleTimer->start();
    return m_hive.get();
}

bool SettingsStore::openKey(const QString& keyPath, bool canCreate) {
    RegistryHive* h = hive();
    const bool opened =
        canCreate ? h->createKey(keyPath) : h->keyExists(keyPath) || unsaved().fillsKey(keyPath);
    if (opened)
        m_currentPath = keyPath;
    return opened;
}

QString SettingsStore::readString(const QString& keyPath, const QString& name,
                                  const QString& defaultValue) {
    RegistryValue value;
    switch (lookup(keyPath, name, &value)) {
    case RegistryLookup::Found:
        m_currentPath = keyPath;
        // REG_EXPAND_SZ is read as it is stored: references are not expanded.
        if (value.type == platform::RegSz || value.type == platform::RegExpandSz)
            return platform::losslessText(value.data);
        return defaultValue;
    case RegistryLookup::ValueMissing:
        m_currentPath = keyPath;
        return QString();
    case RegistryLookup::KeyMissing:
    case RegistryLookup::Failed:
        break;
    }
    return defaultValue;
}

int SettingsStore::readInteger(const QString& keyPath, const QString& name, int defaultValue) {
    const auto data = typedData(keyPath, name, platform::RegDword);
    if (!data || data->size() != 4)
        return defaultValue;
    return qFromLittleEndian<qint32>(data->constData());
}

bool SettingsStore::readBool(const QString& keyPath, const QString& name, bool defaultValue) {
    const auto data = typedData(keyPath, name, platform::RegDword);
    if (!data || data->size() != 4)
        return defaultValue;
    return qFromLittleEndian<qint32>(data->constData()) != 0;
}

double SettingsStore::readFloat(const QString& keyPath, const QString& name, double defaultValue) {
    const auto data = typedData(keyPath, name, platform::RegBinary);
    if (!data || data->size() != int(sizeof(double)))
        return defaultValue;
    const quint64 bits = qFromLittleEndian<quint64>(data->constData());
    double result = 0;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

int SettingsStore::dataSize(const QString& keyPath, const QString& name) {
    RegistryValue value;
    if (lookup(keyPath, name, &value) != RegistryLookup::Found)
        return -1;
    return int(value.data.size());
}

bool SettingsStore::readBinary(const QString& keyPath, const QString& name, QByteArray& buffer) {
    // Size and bytes come from one read, so a writer in between cannot make them disagree.
    const auto data = typedData(keyPath, name, platform::RegBinary);
    if (!data || data->isEmpty())
        return false;
    buffer = *data;
    return true;
}

bool SettingsStore::writeString(const QString& keyPath, const QString& name, const QString& value) {
    return save(valueWrite(keyPath, name, platform::RegSz, platform::losslessBytes(value)));
}

bool SettingsStore::writeInteger(const QString& keyPath, const QString& name, int value) {
    QByteArray data(4, '\0');
    qToLittleEndian<qint32>(value, data.data());
    return save(valueWrite(keyPath, name, platform::RegDword, data));
}

bool SettingsStore::writeBool(const QString& keyPath, const QString& name, bool value) {
    return writeInteger(keyPath, name, value ? 1 : 0);
}

bool SettingsStore::writeFloat(const QString& keyPath, const QString& name, double value) {
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray data(int(sizeof bits), '\0');
    qToLittleEndian<quint64>(bits, data.data());
    return save(valueWrite(keyPath, name, platform::RegBinary, data));
}

bool SettingsStore::writeBinary(const QString& keyPath, const QString& name,
                                const QByteArray& buffer) {
    return save(valueWrite(keyPath, name, platform::RegBinary, buffer));
}

bool SettingsStore::valueExists(const QString& keyPath, const QString& name) {
    return lookup(keyPath, name, nullptr) == RegistryLookup::Found;
}

bool SettingsStore::deleteValue(const QString& keyPath, const QString& name) {
    UnsavedWrite write;
    write.kind = UnsavedWrite::Kind::Delete;
    write.keyPath = keyPath;
    write.name = name;
    bool deleted = false;
    return save(&write, &deleted) && deleted;
}

bool SettingsStore::readStringList(const QString& keyPath, const QString& baseName,
                                   QStringList* list, int firstNumber) {
    if (!list)
        return false;
    list->clear();
    // One read transaction, so a list being rewritten by another process is seen whole.
    RegistryHive::Batch batch(*hive(), false);
    for (int n = firstNumber; valueExists(keyPath, numberedName(baseName, n)); ++n)
        list->append(readString(keyPath, numberedName(baseName, n), QString()));
    batch.commit();
    return !list->isEmpty();
}

bool SettingsStore::writeStringList(const QString& keyPath, const QString& baseName,
                                    const QStringList* list, int firstNumber) {
    if (!list)
        return false;
    // One transaction: a crash halfway leaves the old list, never half of each.
    UnsavedWrite write;
    write.kind = UnsavedWrite::Kind::List;
    write.keyPath = keyPath;
    write.name = baseName;
    write.list = *list;
    write.first = firstNumber;
    return save(&write);
}

} // namespace zelvorin
