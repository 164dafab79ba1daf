#include "NeededRegistryLib.h"

#include "PlatformInfo.h"
#include "RegistryHive.h"

#include <QtEndian>
#include <cstring>

using zelvorin::UnsavedSettings;
using zelvorin::UnsavedWrite;
using zelvorin::platform::RegistryHive;
using zelvorin::platform::RegistryLookup;
using zelvorin::platform::RegistryValue;

namespace {

const QString kMachineHiveFile = QStringLiteral("/etc/xdg/zelvorin/registry.db");

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

TUsefulRegistry::TUsefulRegistry() = default;

TUsefulRegistry::TUsefulRegistry(const QString& currentUserHiveFile)
    : m_currentUserFile(currentUserHiveFile) {}

TUsefulRegistry::~TUsefulRegistry() = default;

void TUsefulRegistry::SetRootKey(TRootKey root) {
    if (root == m_root)
        return;
    m_root = root;
    m_hive.reset();
}

QString TUsefulRegistry::HiveFile() const {
    if (m_root == TRootKey::LocalMachine)
        return kMachineHiveFile;
    if (!m_currentUserFile.isEmpty())
        return m_currentUserFile;
    return zelvorin::platform::userConfigFolder() + QStringLiteral("/registry.db");
}

UnsavedSettings& TUsefulRegistry::unsaved() {
    return m_unsaved.at(m_root == TRootKey::LocalMachine ? 1 : 0);
}

bool TUsefulRegistry::HasUnsavedChanges() const {
    return !m_unsaved.at(0).isEmpty() || !m_unsaved.at(1).isEmpty();
}

RegistryLookup TUsefulRegistry::lookup(const QString& keyPath, const QString& name,
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

std::optional<QByteArray> TUsefulRegistry::typedData(const QString& keyPath, const QString& name,
                                                     quint32 type) {
    RegistryValue value;
    if (lookup(keyPath, name, &value) != RegistryLookup::Found || value.type != type)
        return std::nullopt;
    return value.data;
}

bool TUsefulRegistry::save(const UnsavedWrite& write, bool* applied) {
    RegistryHive* h = hive();
    UnsavedSettings& pending = unsaved();
    bool done = false;
    bool saved = false;
    {
        RegistryHive::Batch batch(*h, true);
        if (batch.isOpen()) {
            for (const UnsavedWrite& earlier : pending.writes())
                apply(*h, earlier);
            done = apply(*h, write);
            saved = batch.commit();
        }
    }
    if (saved) {
        pending.clear();
        m_saveFailing = false;
        if (applied)
            *applied = done;
        return true;
    }
    const QString reason = h->lastError();
    pending.add(write);
    noteSaveFailure(reason);
    return false;
}

void TUsefulRegistry::noteSaveFailure(const QString& reason) {
    if (m_saveFailing)
        return;
    m_saveFailing = true;
    const bool first = !m_saveFailureTold;
    m_saveFailureTold = true;
    emit saveFailed(HiveFile(),
                    reason.isEmpty() ? QStringLiteral("the reason is not known") : reason, first);
}

bool TUsefulRegistry::apply(RegistryHive& h, const UnsavedWrite& write) {
    switch (write.kind) {
    case UnsavedWrite::Kind::Value:
        return h.writeValue(write.keyPath, write.name, write.type, write.data);
    case UnsavedWrite::Kind::Delete:
        return applyDelete(h, write.keyPath, write.name);
    case UnsavedWrite::Kind::List:
        break;
    }
    for (int n = write.first;
         h.readValue(write.keyPath, numberedName(write.name, n), nullptr) == RegistryLookup::Found;
         ++n)
        applyDelete(h, write.keyPath, numberedName(write.name, n));
    bool written = true;
    for (qsizetype i = 0; i < write.list.size(); ++i)
        written = h.writeValue(write.keyPath, numberedName(write.name, write.first + int(i)),
                               zelvorin::platform::RegSz, write.list.at(i).toUtf8()) &&
                  written;
    return written;
}

bool TUsefulRegistry::applyDelete(RegistryHive& h, const QString& keyPath, const QString& name) {
    if (!h.createKey(keyPath))
        return false;
    const bool deleted = h.deleteValue(keyPath, name);
    // Only the key itself goes; parents left empty stay, as the registry would keep them.
    if (h.keyHasContent(keyPath) == false)
        h.deleteKey(keyPath, false);
    return deleted;
}

RegistryHive* TUsefulRegistry::hive() {
    if (!m_hive) {
        const auto access = m_root == TRootKey::LocalMachine ? RegistryHive::Access::ReadOnly
                                                             : RegistryHive::Access::ReadWrite;
        m_hive = std::make_unique<RegistryHive>(HiveFile(), access);
    }
    return m_hive.get();
}

bool TUsefulRegistry::OpenKey(const QString& keyPath, bool canCreate) {
    RegistryHive* h = hive();
    const bool opened =
        canCreate ? h->createKey(keyPath) : h->keyExists(keyPath) || unsaved().fillsKey(keyPath);
    if (opened)
        m_currentPath = keyPath;
    return opened;
}

QString TUsefulRegistry::ReadString(const QString& keyPath, const QString& name,
                                    const QString& defaultValue) {
    RegistryValue value;
    switch (lookup(keyPath, name, &value)) {
    case RegistryLookup::Found:
        m_currentPath = keyPath;
        // REG_EXPAND_SZ is read as it is stored: references are not expanded.
        if (value.type == zelvorin::platform::RegSz ||
            value.type == zelvorin::platform::RegExpandSz)
            return QString::fromUtf8(value.data);
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

int TUsefulRegistry::ReadInteger(const QString& keyPath, const QString& name, int defaultValue) {
    const auto data = typedData(keyPath, name, zelvorin::platform::RegDword);
    if (!data || data->size() != 4)
        return defaultValue;
    return qFromLittleEndian<qint32>(data->constData());
}

bool TUsefulRegistry::ReadBool(const QString& keyPath, const QString& name, bool defaultValue) {
    const auto data = typedData(keyPath, name, zelvorin::platform::RegDword);
    if (!data || data->size() != 4)
        return defaultValue;
    return qFromLittleEndian<qint32>(data->constData()) != 0;
}

double TUsefulRegistry::ReadFloat(const QString& keyPath, const QString& name,
                                  double defaultValue) {
    const auto data = typedData(keyPath, name, zelvorin::platform::RegBinary);
    if (!data || data->size() != int(sizeof(double)))
        return defaultValue;
    const quint64 bits = qFromLittleEndian<quint64>(data->constData());
    double result = 0;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

int TUsefulRegistry::GetDataSize(const QString& keyPath, const QString& name) {
    RegistryValue value;
    if (lookup(keyPath, name, &value) != RegistryLookup::Found)
        return -1;
    return int(value.data.size());
}

bool TUsefulRegistry::ReadBinary(const QString& keyPath, const QString& name, QByteArray& buffer) {
    // Size and bytes come from one read, so a writer in between cannot make them disagree.
    const auto data = typedData(keyPath, name, zelvorin::platform::RegBinary);
    if (!data || data->isEmpty())
        return false;
    buffer = *data;
    return true;
}

bool TUsefulRegistry::WriteString(const QString& keyPath, const QString& name,
                                  const QString& value) {
    return save(valueWrite(keyPath, name, zelvorin::platform::RegSz, value.toUtf8()));
}

bool TUsefulRegistry::WriteInteger(const QString& keyPath, const QString& name, int value) {
    QByteArray data(4, '\0');
    qToLittleEndian<qint32>(value, data.data());
    return save(valueWrite(keyPath, name, zelvorin::platform::RegDword, data));
}

bool TUsefulRegistry::WriteBool(const QString& keyPath, const QString& name, bool value) {
    return WriteInteger(keyPath, name, value ? 1 : 0);
}

bool TUsefulRegistry::WriteFloat(const QString& keyPath, const QString& name, double value) {
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray data(int(sizeof bits), '\0');
    qToLittleEndian<quint64>(bits, data.data());
    return save(valueWrite(keyPath, name, zelvorin::platform::RegBinary, data));
}

bool TUsefulRegistry::WriteBinary(const QString& keyPath, const QString& name,
                                  const QByteArray& buffer) {
    return save(valueWrite(keyPath, name, zelvorin::platform::RegBinary, buffer));
}

bool TUsefulRegistry::ValueExists(const QString& keyPath, const QString& name) {
    return lookup(keyPath, name, nullptr) == RegistryLookup::Found;
}

bool TUsefulRegistry::DeleteValue(const QString& keyPath, const QString& name) {
    UnsavedWrite write;
    write.kind = UnsavedWrite::Kind::Delete;
    write.keyPath = keyPath;
    write.name = name;
    bool deleted = false;
    return save(write, &deleted) && deleted;
}

bool TUsefulRegistry::ReadStringList(const QString& keyPath, const QString& baseName,
                                     QStringList* list, int firstNumber) {
    if (!list)
        return false;
    list->clear();
    // One read transaction, so a list being rewritten by another process is seen whole.
    RegistryHive::Batch batch(*hive(), false);
    for (int n = firstNumber; ValueExists(keyPath, numberedName(baseName, n)); ++n)
        list->append(ReadString(keyPath, numberedName(baseName, n), QString()));
    batch.commit();
    return !list->isEmpty();
}

bool TUsefulRegistry::WriteStringList(const QString& keyPath, const QString& baseName,
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
    return save(write);
}
