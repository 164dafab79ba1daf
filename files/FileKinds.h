// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The kinds of entry a file list shows; the values are the attribute bits they stand for
// (see platform/FileAttributes.h).
#pragma once

#include <QFlags>

namespace zelvorin {

enum class FileKind : quint32 {
    ReadOnly = 0x01,
    Hidden = 0x02,
    System = 0x04,
    VolumeId = 0x08,
    Directory = 0x10,
    Archive = 0x20,
    Normal = 0x80
};
Q_DECLARE_FLAGS(FileKinds, FileKind)
Q_DECLARE_OPERATORS_FOR_FLAGS(FileKinds)

// The search bits of the kinds: what a folder search may return.
inline quint32 searchAttributeMask(FileKinds kinds) {
    return quint32(kinds.toInt()) & 0x3F;
}

} // namespace zelvorin
