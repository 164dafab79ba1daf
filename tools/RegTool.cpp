// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RegTool.h"

#include "LosslessNames.h"
#include "PlatformInfo.h"
#include "RegFile.h"
#include "RegistryHive.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <memory>
#include <optional>

namespace zelvorin::tools {

using platform::RegistryHive;
using platform::RegistryLookup;
using platform::RegistryValue;

namespace {

const char* const kUsage =
    "Usage: zelvorin-reg [--hive FILE] [--machine-hive FILE] COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  query  KEY [/v NAME | /ve] [/s]\n"
    "  add    KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]\n"
    "  delete KEY [/v NAME | /ve | /va] [/f]\n"
    "  export KEY FILE [/y]\n"
    "  import FILE\n"
    "\n"
    "KEY    HKCU\\Path or HKLM\\Path (also HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE)\n"
    "/v     the value's name; /ve the unnamed (default) value; /va every value of the key\n"
    "/t     REG_SZ (the default), REG_EXPAND_SZ, REG_DWORD or REG_BINARY\n"
    "/d     the data: text, a number (decimal or 0x hexadecimal) or hex digits\n"
    "/s     query the key and all its sub-keys\n"
    "/f /y  overwrite or delete without asking\n"
    "\n"
    "--hive FILE          the hive behind HKCU (default: the user's settings store)\n"
    "--machine-hive FILE  the hive behind HKLM (default: /etc/xdg/zelvorin/registry.db)\n"
    "\n"
    "Exit code 0 on success, 1 on any error.\n";

struct Options {
    QStringList positional;
    std::optional<QString> valueName;
    std::optional<QString> type;
    std::optional<QString> data;
    bool force = false;
    bool recursive = false;
    bool allValues = false;
};

struct Key {
    QString root;
    QString path;
    QString display() const { return path.isEmpty() ? root : root + QLatin1Char('\\') + path; }
};

class Tool {
public:
    Tool(const RegToolFiles& files, QTextStream& in, QTextStream& out, QTextStream& err)
        : m_files(files), m_in(in), m_out(out), m_err(err) {}

    int run(const QString& command, const Options& options);

private:
    int query(const Options& options);
    int add(const Options& options);
    int remove(const Options& options);
    int exportKey(const Options& options);
    int importFile(const Options& options);

    int syntax(const QString& detail) {
        m_err << "ERROR: Invalid syntax. " << detail << "\n"
              << "Type \"zelvorin-reg --help\" for usage.\n";
        return 1;
    }
    int error(const QString& message) {
        m_err << "ERROR: " << message << "\n";
        return 1;
    }
    // The store's own reason (SQLite's message, the system's error) names the cause.
    int writeFailed(const RegistryHive& hive) {
        const QString reason = hive.lastError();
        if (reason.isEmpty())
            return error(QStringLiteral("Could not write to %1.").arg(hive.fileName()));
        return error(QStringLiteral("Could not write to %1: %2.").arg(hive.fileName(), reason));
    }
    int done() {
        m_out << "The operation completed successfully.\n";
        return 0;
    }
    bool confirm(const QString& question) {
        m_out << question << " " << Qt::flush;
        const QString answer = m_in.readLine().trimmed().toLower();
        return answer == QLatin1String("y") || answer == QLatin1String("yes");
    }
    bool parseKey(const QString& text, Key* key) {
        const int slash = text.indexOf(QLatin1Char('\\'));
        key->root = canonicalRoot(slash < 0 ? text : text.left(slash));
        key->path = RegistryHive::pathParts(slash < 0 ? QString() : text.mid(slash + 1))
                        .join(QLatin1Char('\\'));
        return !key->root.isEmpty();
    }
    QString fileOf(const QString& root) const {
        return root == QLatin1String("HKEY_LOCAL_MACHINE") ? m_files.localMachine
                                                           : m_files.currentUser;
    }
    std::unique_ptr<RegistryHive> hive(const QString& root, bool write) {
        return std::make_unique<RegistryHive>(fileOf(root), write ? RegistryHive::Access::ReadWrite
                                                                  : RegistryHive::Access::ReadOnly);
    }
    void printKey(RegistryHive& hive, const Key& key, bool recursive);

    const RegToolFiles& m_files;
    QTextStream& m_in;
    QTextStream& m_out;
    QTextStream& m_err;
};

QString typeName(quint32 type) {
    switch (type) {
    case platform::RegSz:
        return QStringLiteral("REG_SZ");
    case platform::RegExpandSz:
        return QStringLiteral("REG_EXPAND_SZ");
    case platform::RegBinary:
        return QStringLiteral("REG_BINARY");
    case platform::RegDword:
        return QStringLiteral("REG_DWORD");
    default:
        return QStringLiteral("REG_TYPE_%1").arg(type);
    }
}

QString queryLine(const RegistryValue& value) {
    QString data;
    if (value.type == platform::RegSz || value.type == platform::RegExpandSz)
        data = shownText(platform::losslessText(value.data));
    else if (value.type == platform::RegDword && value.data.size() == 4)
        data =
            QStringLiteral("0x%1").arg(qFromLittleEndian<quint32>(value.data.constData()), 0, 16);
    else
        data = QString::fromLatin1(value.data.toHex().toUpper());
    const QString name = value.name.isEmpty() ? QStringLiteral("(Default)") : shownText(value.name);
    return QStringLiteral("    %1    %2    %3").arg(name, typeName(value.type), data);
}

// The stored bytes for /t and /d, or an error message.
std::optional<QByteArray> valueData(quint32 type, const QString& data, QString* problem) {
    if (type == platform::RegSz || type == platform::RegExpandSz)
        return platform::losslessBytes(data);
    if (type == platform::RegDword) {
        const QString text = data.trimmed();
        bool ok = text.isEmpty();
        qint64 number = 0;
        if (!ok && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            number = text.mid(2).toLongLong(&ok, 16);
        else if (!ok)
            number = text.toLongLong(&ok, 10);
        if (!ok || number < -2147483648LL || number > 4294967295LL) {
            *problem = QStringLiteral("REG_DWORD data must be a 32-bit number, such as 10 or "
                                      "0x0a: %1")
                           .arg(data);
            return std::nullopt;
        }
        QByteArray bytes(4, '\0');
        qToLittleEndian<quint32>(quint32(number), bytes.data());
        return bytes;
    }
    QString digits = data;
    digits.remove(QLatin1Char(',')).remove(QLatin1Char(' '));
    const QByteArray bytes = QByteArray::fromHex(digits.toLatin1());
    bool valid = digits.size() % 2 == 0;
    for (const QChar c : digits)
        valid =
            valid && c.isLetterOrNumber() && QStringLiteral("0123456789abcdefABCDEF").contains(c);
    if (!valid) {
        *problem = QStringLiteral("REG_BINARY data must be pairs of hexadecimal digits, such as "
                                  "0a1bff: %1")
                       .arg(data);
        return std::nullopt;
    }
    return bytes;
}

std::optional<quint32> parseType(const QString& name) {
    const QString upper = name.toUpper();
    if (upper == QLatin1String("REG_SZ"))
        return platform::RegSz;
    if (upper == QLatin1String("REG_EXPAND_SZ"))
        return platform::RegExpandSz;
    if (upper == QLatin1String("REG_DWORD"))
        return platform::RegDword;
    if (upper == QLatin1String("REG_BINARY"))
        return platform::RegBinary;
    return std::nullopt;
}

int Tool::run(const QString& command, const Options& options) {
    const QString name = command.toLower();
    if (name == QLatin1String("query"))
        return query(options);
    if (name == QLatin1String("add"))
        return add(options);
    if (name == QLatin1String("delete"))
        return remove(options);
    if (name == QLatin1String("export"))
        return exportKey(options);
    if (name == QLatin1String("import"))
        return importFile(options);
    return syntax(QStringLiteral("Unknown command: %1").arg(command));
}

void Tool::printKey(RegistryHive& hive, const Key& key, bool recursive) {
    m_out << "\n" << key.display() << "\n";
    for (const RegistryValue& value : hive.values(key.path).value_or(QList<RegistryValue>()))
        m_out << queryLine(value) << "\n";
    const QStringList subKeys = hive.subKeys(key.path).value_or(QStringList());
    if (recursive) {
        for (const QString& sub : subKeys)
            printKey(hive, {key.root, key.path.isEmpty() ? sub : key.path + '\\' + sub}, true);
        return;
    }
    if (!subKeys.isEmpty())
        m_out << "\n";
    for (const QString& sub : subKeys)
        m_out << key.display() << "\\" << sub << "\n";
}

int Tool::query(const Options& options) {
    Key key;
    if (options.positional.size() != 1)
        return syntax(QStringLiteral("query needs exactly one KEY."));
    if (!parseKey(options.positional.at(0), &key))
        return error(QStringLiteral("Invalid key name: %1 (it must start with HKCU\\ or HKLM\\).")
                         .arg(options.positional.at(0)));
    auto h = hive(key.root, false);
    const auto spelled = h->keySpelling(key.path);
    if (!spelled)
        return error(QStringLiteral("The system was unable to find the specified registry key "
                                    "or value."));
    key.path = *spelled;
    if (options.valueName) {
        RegistryValue value;
        if (h->readValue(key.path, *options.valueName, &value) != RegistryLookup::Found)
            return error(QStringLiteral("The system was unable to find the specified registry "
                                        "key or value."));
        m_out << "\n" << key.display() << "\n" << queryLine(value) << "\n\n";
        return 0;
    }
    printKey(*h, key, options.recursive);
    m_out << "\n";
    return 0;
}

int Tool::add(const Options& options) {
    Key key;
    if (options.positional.size() != 1)
        return syntax(QStringLiteral("add needs exactly one KEY."));
    if (!parseKey(options.positional.at(0), &key))
        return error(QStringLiteral("Invalid key name: %1 (it must start with HKCU\\ or HKLM\\).")
                         .arg(options.positional.at(0)));
    const auto type = parseType(options.type.value_or(QStringLiteral("REG_SZ")));
    if (!type)
        return error(QStringLiteral("Invalid type %1 (use REG_SZ, REG_EXPAND_SZ, REG_DWORD or "
                                    "REG_BINARY).")
                         .arg(*options.type));
    QString problem;
    const auto data = valueData(*type, options.data.value_or(QString()), &problem);
    if (!data)
        return error(problem);
    auto h = hive(key.root, true);
    if (!options.valueName && !options.type && !options.data) {
        if (!h->createKey(key.path))
            return writeFailed(*h);
        return done();
    }
    const QString name = options.valueName.value_or(QString());
    if (!options.force && h->readValue(key.path, name, nullptr) == RegistryLookup::Found &&
        !confirm(QStringLiteral("Value %1 exists, overwrite (Yes/No)?")
                     .arg(name.isEmpty() ? QStringLiteral("(Default)") : name))) {
        m_out << "The operation was cancelled.\n";
        return 1;
    }
    if (!h->writeValue(key.path, name, *type, *data))
        return writeFailed(*h);
    return done();
}

int Tool::remove(const Options& options) {
    Key key;
    if (options.positional.size() != 1)
        return syntax(QStringLiteral("delete needs exactly one KEY."));
    if (!parseKey(options.positional.at(0), &key))
        return error(QStringLiteral("Invalid key name: %1 (it must start with HKCU\\ or HKLM\\).")
                         .arg(options.positional.at(0)));
    if (options.valueName && options.allValues)
        return syntax(QStringLiteral("/v, /ve and /va exclude each other."));
    auto h = hive(key.root, true);
    if (!h->keyExists(key.path))
        return error(QStringLiteral("The system was unable to find the specified registry key "
                                    "or value."));
    if (options.valueName) {
        const QString name = *options.valueName;
        if (h->readValue(key.path, name, nullptr) != RegistryLookup::Found)
            return error(QStringLiteral("The system was unable to find the specified registry "
                                        "key or value."));
        if (!options.force &&
            !confirm(QStringLiteral("Delete the registry value %1 (Yes/No)?")
                         .arg(name.isEmpty() ? QStringLiteral("(Default)") : name))) {
            m_out << "The operation was cancelled.\n";
            return 1;
        }
        if (!h->deleteValue(key.path, name))
            return writeFailed(*h);
        return done();
    }
    if (options.allValues) {
        if (!options.force &&
            !confirm(QStringLiteral("Delete all values under the registry key %1 (Yes/No)?")
                         .arg(key.display()))) {
            m_out << "The operation was cancelled.\n";
            return 1;
        }
        RegistryHive::Batch batch(*h, true);
        for (const RegistryValue& value : h->values(key.path).value_or(QList<RegistryValue>()))
            h->deleteValue(key.path, value.name);
        if (!batch.commit())
            return writeFailed(*h);
        return done();
    }
    if (key.path.isEmpty())
        return error(QStringLiteral("A root key cannot be deleted."));
    if (!options.force && !confirm(QStringLiteral("Permanently delete the registry key %1 "
                                                  "(Yes/No)?")
                                       .arg(key.display()))) {
        m_out << "The operation was cancelled.\n";
        return 1;
    }
    if (!h->deleteKey(key.path, true))
        return writeFailed(*h);
    return done();
}

int Tool::exportKey(const Options& options) {
    Key key;
    if (options.positional.size() != 2)
        return syntax(QStringLiteral("export needs a KEY and a FILE."));
    if (!parseKey(options.positional.at(0), &key))
        return error(QStringLiteral("Invalid key name: %1 (it must start with HKCU\\ or HKLM\\).")
                         .arg(options.positional.at(0)));
    const QString fileName = options.positional.at(1);
    auto h = hive(key.root, false);
    QString text;
    QString problem;
    if (!exportRegFile(*h, key.root, key.path, &text, &problem))
        return error(problem);
    if (QFileInfo::exists(fileName) && !options.force &&
        !confirm(QStringLiteral("File %1 already exists. Overwrite (Yes/No)?").arg(fileName))) {
        m_out << "The operation was cancelled.\n";
        return 1;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        return error(QStringLiteral("Could not write %1: %2").arg(fileName, file.errorString()));
    return done();
}

int Tool::importFile(const Options& options) {
    if (options.positional.size() != 1)
        return syntax(QStringLiteral("import needs exactly one FILE."));
    QFile file(options.positional.at(0));
    if (!file.open(QIODevice::ReadOnly))
        return error(QStringLiteral("Could not read %1: %2")
                         .arg(options.positional.at(0), file.errorString()));
    QList<RegFileEntry> entries;
    QString problem;
    if (!parseRegFile(file.readAll(), &entries, &problem))
        return error(QStringLiteral("%1: %2").arg(options.positional.at(0), problem));
    // All or nothing across both roots: one transaction over both files (the machine's
    // hive attached to the user's), committed in both or in neither, whatever stops it.
    QStringList roots;
    for (const RegFileEntry& entry : std::as_const(entries))
        if (!roots.contains(entry.root))
            roots << entry.root;
    if (roots.isEmpty())
        return done();
    const auto notImported = [this](const QString& files, const QString& reason) {
        return error(QStringLiteral("Could not write to %1%2; nothing was imported.")
                         .arg(files, reason.isEmpty() ? QString() : ": " + reason));
    };
    std::unique_ptr<RegistryHive> first = hive(roots.first(), true);
    if (!first->createKey(QString()))
        return notImported(first->fileName(), first->lastError());
    std::unique_ptr<RegistryHive> second;
    const QString secondFile = fileOf(roots.last());
    // Both roots may name one file.
    if (QFileInfo(secondFile).absoluteFilePath() !=
        QFileInfo(first->fileName()).absoluteFilePath()) {
        second = first->attach(secondFile);
        if (!second)
            return notImported(secondFile, first->lastError());
    }
    RegistryHive::Batch batch(*first, true);
    if (!batch.isOpen())
        return notImported(first->fileName(), first->lastError());
    for (const RegFileEntry& entry : std::as_const(entries)) {
        RegistryHive& into = second && entry.root == roots.last() ? *second : *first;
        bool ok = true;
        switch (entry.kind) {
        case RegFileEntry::Kind::Key:
            ok = into.createKey(entry.path);
            break;
        case RegFileEntry::Kind::DeleteKey:
            if (into.keyExists(entry.path))
                ok = into.deleteKey(entry.path, true);
            break;
        case RegFileEntry::Kind::Value:
            ok = into.writeValue(entry.path, entry.value.name, entry.value.type, entry.value.data);
            break;
        case RegFileEntry::Kind::DeleteValue:
            into.deleteValue(entry.path, entry.value.name);
            break;
        }
        // A deletion's result does not tell a missing value from a failure; the reason does.
        if (!ok || !into.lastError().isEmpty())
            return notImported(into.fileName(), into.lastError());
    }
    if (!batch.commit()) {
        const QString files = second
                                  ? QStringLiteral("%1 and %2").arg(first->fileName(), secondFile)
                                  : first->fileName();
        return notImported(files, first->lastError());
    }
    return done();
}

} // namespace

RegToolFiles defaultRegToolFiles() {
    return {platform::userConfigFolder() + QStringLiteral("/registry.db"),
            QStringLiteral("/etc/xdg/zelvorin/registry.db")};
}

int runRegTool(const QStringList& arguments, const RegToolFiles& defaults, QTextStream& in,
               QTextStream& out, QTextStream& err) {
    RegToolFiles files = defaults;
    QString command;
    Options options;
    Tool tool(files, in, out, err);
    const auto switchIs = [](const QString& argument, const char* name) {
        return argument.size() > 1 &&
               (argument.at(0) == QLatin1Char('/') || argument.at(0) == QLatin1Char('-')) &&
               argument.mid(1).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    const auto usageError = [&](const QString& detail) {
        err << "ERROR: Invalid syntax. " << detail << "\n"
            << "Type \"zelvorin-reg --help\" for usage.\n";
        return 1;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool hasNext = i + 1 < arguments.size();
        if (command.isEmpty()) {
            if (argument == QLatin1String("--help") || argument == QLatin1String("-h") ||
                argument == QLatin1String("/?")) {
                out << kUsage;
                return 0;
            }
            if (argument == QLatin1String("--hive") ||
                argument == QLatin1String("--machine-hive")) {
                if (!hasNext)
                    return usageError(QStringLiteral("%1 needs a file name.").arg(argument));
                (argument == QLatin1String("--hive") ? files.currentUser : files.localMachine) =
                    arguments.at(++i);
                continue;
            }
            if (argument.startsWith(QLatin1String("--")))
                return usageError(QStringLiteral("Unknown option: %1").arg(argument));
            command = argument;
            continue;
        }
        if (switchIs(argument, "v") || switchIs(argument, "t") || switchIs(argument, "d")) {
            if (!hasNext)
                return usageError(QStringLiteral("%1 needs an argument.").arg(argument));
            const QString next = arguments.at(++i);
            if (switchIs(argument, "v"))
                options.valueName = next;
            else if (switchIs(argument, "t"))
                options.type = next;
            else
                options.data = next;
        } else if (switchIs(argument, "ve")) {
            options.valueName = QString();
        } else if (switchIs(argument, "va")) {
            options.allValues = true;
        } else if (switchIs(argument, "f") || switchIs(argument, "y")) {
            options.force = true;
        } else if (switchIs(argument, "s")) {
            options.recursive = true;
        } else {
            options.positional << argument;
        }
    }
    if (command.isEmpty()) {
        err << kUsage;
        return 1;
    }
    return tool.run(command, options);
}

} // namespace zelvorin::tools
