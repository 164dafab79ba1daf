// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The mounted volumes that stand in for drives: read from /proc/self/mountinfo without
// touching any volume, so a hung network mount can never stall the list. Pseudo file
// systems and the system's own mounts below /proc, /sys, /dev and /run are left out.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace zelvorin::platform {

enum class VolumeKind { Unknown, Removable, Fixed, Network, Optical, Ram };

struct Volume {
    QString rootPath;   // the mount point, e.g. "/" or "/media/usb"
    QString source;     // the device or remote source, e.g. "/dev/sda1" or "srv:/export"
    QString fileSystem; // e.g. "ext4", "nfs4", "tmpfs"
    VolumeKind kind = VolumeKind::Unknown;
    QString label;              // the file system's label, empty when it has none
    bool caseSensitive = true;  // names differing only in case are different names
    bool casePreserving = true; // names keep the case they were given
};

// Reads the labels from /dev/disk/by-label: device path -> label.
QHash<QString, QString> volumeLabels();

// Parses mountinfo text (one mount per line) into volumes, in mount order, keeping for a
// mount point mounted twice only the later (visible) one.
std::vector<Volume> parseMountInfo(const QByteArray& text, const QHash<QString, QString>& labels);

// The volumes of a mount table as this process sees it. Every path lies below "/", so the
// root folder is a volume even when the table leaves it out: in a chroot the root's file
// system is mounted outside the root and the table does not show it; a root of a pseudo
// file system (a live system's squashfs) is left out with the others.
std::vector<Volume> visibleVolumes(const QByteArray& table, const QHash<QString, QString>& labels);

// The volumes mounted now.
std::vector<Volume> mountedVolumes();

// The kind of a volume from its file system type, source and mount point.
VolumeKind classifyVolume(const QString& fileSystem, const QString& source,
                          const QString& rootPath);

// The volume holding an absolute path (the longest mount point that is a prefix of it);
// an empty Volume when none is given.
Volume volumeOf(const QString& path, const std::vector<Volume>& volumes);

// True when reading this volume may block for a long time (network file systems).
bool mayBlock(const Volume& volume);
// Whether reading the folder at `path` may block: it lies on a network volume. Reads the
// mount table (kinds only, no labels), never the volume itself.
bool pathMayBlock(const QString& path);

} // namespace zelvorin::platform
