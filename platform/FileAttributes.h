// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The attribute bits of a file or folder as the program's file controls and helpers see
// them, taken from the values the Windows file system uses so stored masks keep meaning.
#pragma once

#include <QtGlobal>

namespace zelvorin {

// Attribute bits of a folder entry, with the values the file controls store and test.
namespace FileAttribute {
inline constexpr quint32 ReadOnly = 0x01;  // the user may not write it
inline constexpr quint32 Hidden = 0x02;    // the name starts with "."
inline constexpr quint32 System = 0x04;    // neither a regular file nor a folder
inline constexpr quint32 VolumeId = 0x08;  // never set on Linux
inline constexpr quint32 Directory = 0x10; // a folder
inline constexpr quint32 Archive = 0x20;   // every regular file
// A file with no other bit. Every regular file carries Archive, so this is never set;
// it exists because the file controls' allowed-attribute masks name it.
inline constexpr quint32 Normal = 0x80;
} // namespace FileAttribute

} // namespace zelvorin
