// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The text format of the registry editor's export files ("Windows Registry Editor Version
// 5.00"): key sections in brackets, one value per line, strings quoted with backslash
// escapes, dword:, hex: and hex(N): data, "[-KEY]" and "NAME"=- for deletions. Strings
// keep every byte: beside the editor's \\ and \", a byte that is not UTF-8 is written
// \xHH and U+FEFF \uFEFF; only the file's own byte order mark is dropped on reading.
#pragma once

#include "RegistryHive.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zelvorin::tools {

// One step of an import file, in file order.
struct RegFileEntry {
    enum class Kind { Key, DeleteKey, Value, DeleteValue };
    Kind kind = Kind::Key;
    QString root; // "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE"
    QString path; // below the root
    platform::RegistryValue value;
    int line = 0;
};

// The canonical root name for "HKCU", "HKEY_CURRENT_USER", "HKLM" or "HKEY_LOCAL_MACHINE"
// (any case); empty for anything else.
QString canonicalRoot(const QString& name);

// Parses a whole file (UTF-16 with byte order mark, or UTF-8). On failure gives false and
// an error naming the line.
bool parseRegFile(const QByteArray& bytes, QList<RegFileEntry>* entries, QString* error);

// The file text for a key and everything below it, the header line included.
bool exportRegFile(platform::RegistryHive& hive, const QString& root, const QString& path,
                   QString* text, QString* error);

// One value as an export line (without the line end).
QString formatValueLine(const platform::RegistryValue& value);

// A text (a value's name or string data, in lossless form) as the tool shows it: as it
// is, unless it holds what cannot be seen (a byte that is not UTF-8, U+FEFF); then
// quoted and escaped as in a registry file ("caf\xe9", "\ufeffname"), the form import
// reads back.
QString shownText(const QString& text);

} // namespace zelvorin::tools
