// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RegFile.h"

#include "LosslessNames.h"

#include <QStringDecoder>
#include <QStringList>
#include <QtEndian>
#include <optional>

namespace zelvorin::tools {

using platform::RegistryHive;
using platform::RegistryValue;

namespace {

const QString kHeader = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kOldHeader = QStringLiteral("REGEDIT4");
constexpr int kWrapColumn = 76;

bool isStringType(quint32 type) {
    return type == platform::RegSz || type == platform::RegExpandSz;
}

// The registry editor keeps string data as UTF-16LE with a closing NUL; the hive keeps
// UTF-8 text. A byte that is not UTF-8 travels as the lone surrogate of its lossless
// form, so that it comes back as itself.
QByteArray utf16Bytes(const QByteArray& utf8) {
    const QString text = platform::losslessText(utf8) + QChar(u'\0');
    QByteArray bytes(int(text.size() * 2), '\0');
    for (int i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text.at(i).unicode(), bytes.data() + 2 * i);
    return bytes;
}

QByteArray utf8FromUtf16Bytes(const QByteArray& bytes) {
    QString text;
    for (int i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(qFromLittleEndian<quint16>(bytes.constData() + i)));
    if (text.endsWith(QChar(u'\0')))
        text.chop(1);
    return platform::losslessBytes(text);
}

// A byte that is not UTF-8, kept in a lossless text (not the second half of a pair).
bool isKeptByte(const QString& text, qsizetype i) {
    const char16_t c = text.at(i).unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !text.at(i - 1).isHighSurrogate());
}

bool hasKeptByte(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isKeptByte(text, i))
            return true;
    return false;
}

// Between the quotes of a file's string: backslash and quote escaped as the registry
// editor does them (when `quotes`), and what cannot be seen in a text as this tool writes
// it (a byte that is not UTF-8 as \xHH, U+FEFF as \uFEFF), so that every byte comes back.
QString escaped(const QString& text, bool quotes = true) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quotes && (c == QLatin1Char('\\') || c == QLatin1Char('"')))
            result += QLatin1Char('\\') + c;
        else if (isKeptByte(text, i))
            result += QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QLatin1Char('0'));
        else if (c == QChar(u'\ufeff'))
            result += QStringLiteral("\\ufeff");
        else
            result += c;
    }
    return result;
}

QString quoted(const QString& text) {
    return QLatin1Char('"') + escaped(text) + QLatin1Char('"');
}

// The character an escape of this tool stands for: "xHH" (a byte) or "uHHHH" at `pos`.
// Leaves `pos` on the escape's last character; nothing for any other escape.
std::optional<QChar> escapedCharacter(const QString& line, int& pos) {
    const QChar kind = line.at(pos);
    const int digits = kind == QLatin1Char('x') ? 2 : kind == QLatin1Char('u') ? 4 : 0;
    if (digits == 0 || pos + digits >= line.size())
        return std::nullopt;
    uint code = 0;
    for (int i = 1; i <= digits; ++i) {
        const int digit = QStringView(u"0123456789abcdef").indexOf(line.at(pos + i).toLower());
        if (digit < 0)
            return std::nullopt;
        code = code * 16 + uint(digit);
    }
    pos += digits;
    if (kind == QLatin1Char('x') && code >= 0x80)
        return QChar(char16_t(0xDC00 + code));
    return QChar(char16_t(code));
}

QString hexData(const QString& prefix, const QByteArray& bytes) {
    QString line = prefix;
    QString result;
    for (int i = 0; i < bytes.size(); ++i) {
        line += QStringLiteral("%1").arg(quint8(bytes.at(i)), 2, 16, QLatin1Char('0'));
        if (i + 1 < bytes.size()) {
            line += QLatin1Char(',');
            if (line.size() >= kWrapColumn) {
                result += line + QLatin1String("\\\n");
                line = QStringLiteral("  ");
            }
        }
    }
    return result + line;
}

// Reads a quoted string starting at `pos` (on the opening quote); leaves `pos` after the
// closing quote.
bool readQuoted(const QString& line, int& pos, QString* text) {
    if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
        return false;
    text->clear();
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == QLatin1Char('"')) {
            ++pos;
            return true;
        }
        if (c == QLatin1Char('\\')) {
            if (++pos >= line.size())
                return false;
            text->append(escapedCharacter(line, pos).value_or(line.at(pos)));
            continue;
        }
        text->append(c);
    }
    return false;
}

bool parseHexBytes(const QString& text, QByteArray* bytes) {
    bytes->clear();
    const QString compact = text.simplified().remove(QLatin1Char(' '));
    if (compact.isEmpty())
        return true;
    for (const QString& part : compact.split(QLatin1Char(','))) {
        bool ok = false;
        const uint byte = part.toUInt(&ok, 16);
        if (!ok || part.size() > 2 || byte > 0xff)
            return false;
        bytes->append(char(byte));
    }
    return true;
}

// The data part of a value line: "text", -, dword:, hex:, hex(N):.
bool parseData(const QString& data, RegFileEntry* entry, QString* problem) {
    RegistryValue& value = entry->value;
    if (data == QLatin1String("-")) {
        entry->kind = RegFileEntry::Kind::DeleteValue;
        return true;
    }
    entry->kind = RegFileEntry::Kind::Value;
    if (data.startsWith(QLatin1Char('"'))) {
        int pos = 0;
        QString text;
        if (!readQuoted(data, pos, &text) || !data.mid(pos).trimmed().isEmpty()) {
            *problem = QStringLiteral("badly quoted string");
            return false;
        }
        value.type = platform::RegSz;
        value.data = platform::losslessBytes(text);
        return true;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8) {
            *problem = QStringLiteral("a dword needs up to 8 hexadecimal digits");
            return false;
        }
        value.type = platform::RegDword;
        value.data = QByteArray(4, '\0');
        qToLittleEndian<quint32>(number, value.data.data());
        return true;
    }
    if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
        const int colon = data.indexOf(QLatin1Char(':'));
        const QString kind = data.left(colon).toLower();
        quint32 type = platform::RegBinary;
        if (colon < 0) {
            *problem = QStringLiteral("hex data needs a colon");
            return false;
        }
        if (kind != QLatin1String("hex")) {
            bool ok = kind.startsWith(QLatin1String("hex(")) && kind.endsWith(QLatin1Char(')'));
            if (ok)
                type = kind.mid(4, kind.size() - 5).toUInt(&ok, 16);
            if (!ok) {
                *problem = QStringLiteral("unknown data kind %1").arg(data.left(colon));
                return false;
            }
        }
        QByteArray bytes;
        if (!parseHexBytes(data.mid(colon + 1), &bytes)) {
            *problem = QStringLiteral("hex data must be bytes like 0a,ff separated by commas");
            return false;
        }
        value.type = type;
        value.data = isStringType(type) ? utf8FromUtf16Bytes(bytes) : bytes;
        return true;
    }
    *problem = QStringLiteral("unknown value data");
    return false;
}

bool splitKeyName(const QString& name, QString* root, QString* path) {
    const int slash = name.indexOf(QLatin1Char('\\'));
    *root = canonicalRoot(slash < 0 ? name : name.left(slash));
    *path = slash < 0 ? QString() : name.mid(slash + 1);
    return !root->isEmpty();
}

// The format has no escape for a line break, and a NUL ends the text for many readers: a
// name holding one would give a file that does not read back. A key's name is not quoted
// either, so it has no escape for a byte that is not UTF-8.
bool writableName(const QString& name, bool key) {
    return !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) &&
           !name.contains(QChar(u'\0')) && !(key && hasKeptByte(name));
}

// A name as the user can read it in a message, the characters the format refuses shown
// as escapes.
QString shownName(const QString& name) {
    QString shown = QLatin1Char('"') + escaped(name, false) + QLatin1Char('"');
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    shown.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    shown.replace(QChar(u'\0'), QLatin1String("\\0"));
    return shown;
}

bool exportKey(RegistryHive& hive, const QString& root, const QString& path, QString* text,
               QStringList* unwritable, bool* keyBytes) {
    const auto values = hive.values(path);
    const auto subKeys = hive.subKeys(path);
    if (!values || !subKeys)
        return false;
    const QString keyName = root + (path.isEmpty() ? QString() : QLatin1Char('\\') + path);
    if (!writableName(keyName, true))
        unwritable->append(QStringLiteral("key %1").arg(shownName(keyName)));
    *keyBytes = *keyBytes || hasKeptByte(keyName);
    *text += QLatin1Char('[') + keyName + QLatin1String("]\n");
    for (const RegistryValue& value : *values) {
        if (!writableName(value.name, false))
            unwritable->append(QStringLiteral("value %1 of key %2")
                                   .arg(shownName(value.name), shownName(keyName)));
        *text += formatValueLine(value) + QLatin1Char('\n');
    }
    *text += QLatin1Char('\n');
    for (const QString& sub : *subKeys) {
        const QString child = path.isEmpty() ? sub : path + QLatin1Char('\\') + sub;
        if (!exportKey(hive, root, child, text, unwritable, keyBytes))
            return false;
    }
    return true;
}

} // namespace

QString canonicalRoot(const QString& name) {
    const QString upper = name.toUpper();
    if (upper == QLatin1String("HKCU") || upper == QLatin1String("HKEY_CURRENT_USER"))
        return QStringLiteral("HKEY_CURRENT_USER");
    if (upper == QLatin1String("HKLM") || upper == QLatin1String("HKEY_LOCAL_MACHINE"))
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    return QString();
}

QString shownText(const QString& text) {
    return hasKeptByte(text) || text.contains(QChar(u'\ufeff')) ? quoted(text) : text;
}

QString formatValueLine(const RegistryValue& value) {
    const QString name = value.name.isEmpty() ? QStringLiteral("@") : quoted(value.name);
    const QString text = platform::losslessText(value.data);
    const bool oneLine = !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
                         !text.contains(QChar(u'\0'));
    if (value.type == platform::RegSz && oneLine)
        return name + QLatin1Char('=') + quoted(text);
    if (value.type == platform::RegDword && value.data.size() == 4)
        return name + QStringLiteral("=dword:%1")
                          .arg(qFromLittleEndian<quint32>(value.data.constData()), 8, 16,
                               QLatin1Char('0'));
    if (value.type == platform::RegBinary)
        return hexData(name + QLatin1String("=hex:"), value.data);
    const QByteArray bytes = isStringType(value.type) ? utf16Bytes(value.data) : value.data;
    return hexData(name + QStringLiteral("=hex(%1):").arg(value.type, 0, 16), bytes);
}

bool exportRegFile(RegistryHive& hive, const QString& root, const QString& path, QString* text,
                   QString* error) {
    const auto spelled = hive.keySpelling(path);
    if (!spelled) {
        *error = QStringLiteral("The key %1 does not exist.")
                     .arg(root + (path.isEmpty() ? QString() : QLatin1Char('\\') + path));
        return false;
    }
    *text = kHeader + QLatin1String("\n\n");
    QStringList unwritable;
    bool keyBytes = false;
    if (!exportKey(hive, root, *spelled, text, &unwritable, &keyBytes)) {
        const QString reason = hive.lastError();
        *error = reason.isEmpty()
                     ? QStringLiteral("Could not read %1.").arg(hive.fileName())
                     : QStringLiteral("Could not read %1: %2.").arg(hive.fileName(), reason);
        return false;
    }
    if (!unwritable.isEmpty()) {
        text->clear();
        *error =
            QStringLiteral("Nothing was exported: a registry file cannot hold a line break "
                           "or a NUL character in a name%1, and these names have one: %2.")
                .arg(keyBytes ? QStringLiteral(", nor a byte that is not UTF-8 in a key's name")
                              : QString(),
                     unwritable.join(QStringLiteral("; ")));
        return false;
    }
    return true;
}

bool parseRegFile(const QByteArray& bytes, QList<RegFileEntry>* entries, QString* error) {
    // The byte order mark tells UTF-16 in either byte order; without one the text is UTF-8.
    QStringDecoder decode(QStringDecoder::Utf8);
    qsizetype skip = bytes.startsWith("\xef\xbb\xbf") ? 3 : 0;
    if (bytes.startsWith("\xff\xfe")) {
        decode = QStringDecoder(QStringDecoder::Utf16LE);
        skip = 2;
    } else if (bytes.startsWith("\xfe\xff")) {
        decode = QStringDecoder(QStringDecoder::Utf16BE);
        skip = 2;
    }
    const QString content = decode(QByteArrayView(bytes).sliced(skip));
    if (decode.hasError() || (skip == 2 && bytes.size() % 2 != 0)) {
        *error = QStringLiteral("The file is not UTF-8 or UTF-16 text.");
        return false;
    }
    const QStringList lines = content.split(QLatin1Char('\n'));
    entries->clear();
    bool headerSeen = false;
    bool inDeletedKey = false;
    bool haveKey = false;
    QString root;
    QString path;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        QString line = lines.at(i).trimmed();
        // Long hex data continues on the next lines after a trailing backslash.
        while (line.endsWith(QLatin1Char('\\')) && !line.startsWith(QLatin1Char('[')) &&
               i + 1 < lines.size()) {
            line.chop(1);
            line += lines.at(++i).trimmed();
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        const auto fail = [&](const QString& problem) {
            *error = QStringLiteral("Line %1: %2.").arg(lineNumber).arg(problem);
            return false;
        };
        if (!headerSeen) {
            if (line != kHeader && line != kOldHeader)
                return fail(QStringLiteral("the file must start with \"%1\"").arg(kHeader));
            headerSeen = true;
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return fail(QStringLiteral("a key line must end with ]"));
            QString name = line.mid(1, line.size() - 2);
            RegFileEntry entry;
            entry.line = lineNumber;
            entry.kind = RegFileEntry::Kind::Key;
            if (name.startsWith(QLatin1Char('-'))) {
                entry.kind = RegFileEntry::Kind::DeleteKey;
                name.remove(0, 1);
            }
            if (!splitKeyName(name, &root, &path))
                return fail(QStringLiteral("unknown root key in %1 (use HKEY_CURRENT_USER or "
                                           "HKEY_LOCAL_MACHINE)")
                                .arg(name));
            if (entry.kind == RegFileEntry::Kind::DeleteKey &&
                RegistryHive::pathParts(path).isEmpty())
                return fail(QStringLiteral("a root key cannot be deleted"));
            entry.root = root;
            entry.path = path;
            inDeletedKey = entry.kind == RegFileEntry::Kind::DeleteKey;
            haveKey = true;
            entries->append(entry);
            continue;
        }
        if (!haveKey)
            return fail(QStringLiteral("a value comes before any key"));
        RegFileEntry entry;
        entry.line = lineNumber;
        entry.root = root;
        entry.path = path;
        int pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (!readQuoted(line, pos, &entry.value.name)) {
            return fail(QStringLiteral("expected a quoted value name or @"));
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
            return fail(QStringLiteral("expected = after the value name"));
        QString problem;
        if (!parseData(line.mid(pos + 1).trimmed(), &entry, &problem))
            return fail(problem);
        // As in the registry editor, values under a deleted key are skipped.
        if (!inDeletedKey)
            entries->append(entry);
    }
    if (!headerSeen) {
        *error = QStringLiteral("The file is empty; it must start with \"%1\".").arg(kHeader);
        return false;
    }
    return true;
}

} // namespace zelvorin::tools
