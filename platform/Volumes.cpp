// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Volumes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace zelvorin::platform {

namespace {

const QSet<QString>& pseudoFileSystems() {
    static const QSet<QString> names = {
        QStringLiteral("proc"),       QStringLiteral("sysfs"),       QStringLiteral("devtmpfs"),
        QStringLiteral("devpts"),     QStringLiteral("cgroup"),      QStringLiteral("cgroup2"),
        QStringLiteral("mqueue"),     QStringLiteral("debugfs"),     QStringLiteral("tracefs"),
        QStringLiteral("securityfs"), QStringLiteral("pstore"),      QStringLiteral("bpf"),
        QStringLiteral("configfs"),   QStringLiteral("fusectl"),     QStringLiteral("hugetlbfs"),
        QStringLiteral("autofs"),     QStringLiteral("binfmt_misc"), QStringLiteral("nsfs"),
        QStringLiteral("efivarfs"),   QStringLiteral("selinuxfs"),   QStringLiteral("rpc_pipefs"),
        QStringLiteral("squashfs"),   QStringLiteral("fuse.portal"), QStringLiteral("ramfs")};
    return names;
}

const QSet<QString>& networkFileSystems() {
    static const QSet<QString> names = {
        QStringLiteral("nfs"),         QStringLiteral("nfs4"),
        QStringLiteral("cifs"),        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),       QStringLiteral("ncpfs"),
        QStringLiteral("afs"),         QStringLiteral("ceph"),
        QStringLiteral("glusterfs"),   QStringLiteral("9p"),
        QStringLiteral("lustre"),      QStringLiteral("fuse.sshfs"),
        QStringLiteral("fuse.rclone"), QStringLiteral("davfs"),
        QStringLiteral("fuse.davfs2"), QStringLiteral("fuse.glusterfs"),
        QStringLiteral("fuse.s3fs"),   QStringLiteral("fuse.gvfsd-fuse")};
    return names;
}

// mountinfo escapes blanks, tabs, newlines and backslashes as octal "\ooo".
QString unescapeOctal(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QFile::decodeName(out);
}

// udev writes labels with "\xNN" escapes.
QString unescapeHex(const QString& text) {
    QByteArray out;
    const QByteArray in = text.toUtf8();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '\\' && i + 3 < in.size() && in[i + 1] == 'x') {
            bool ok = false;
            const int value = in.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(in[i]);
    }
    return QString::fromUtf8(out);
}

bool systemMountPoint(const QString& path) {
    for (const char* prefix : {"/proc", "/sys", "/dev", "/run", "/snap"}) {
        const QString p = QString::fromLatin1(prefix);
        if (path == p || path.startsWith(p + QLatin1Char('/'))) {
            // Desktop automounts live below /run/media.
            return !path.startsWith(QStringLiteral("/run/media/"));
        }
    }
    return false;
}

bool removableDevice(const QString& source) {
    if (!source.startsWith(QStringLiteral("/dev/")))
        return false;
    const QString device = QFileInfo(source).canonicalFilePath().section(QLatin1Char('/'), -1);
    if (device.isEmpty())
        return false;
    // A partition's own folder has no "removable"; its disk's folder (the parent) does.
    for (const QString& candidate :
         {QStringLiteral("/sys/class/block/%1/removable").arg(device),
          QStringLiteral("/sys/class/block/%1/../removable").arg(device)}) {
        QFile file(candidate);
        if (file.open(QIODevice::ReadOnly))
            return file.read(1) == "1";
    }
    return false;
}

} // namespace

VolumeKind classifyVolume(const QString& fileSystem, const QString& source,
                          const QString& rootPath) {
    if (networkFileSystems().contains(fileSystem) || source.startsWith(QStringLiteral("//")))
        return VolumeKind::Network;
    if (fileSystem == QStringLiteral("iso9660") || fileSystem == QStringLiteral("udf"))
        return VolumeKind::Optical;
    if (fileSystem == QStringLiteral("tmpfs") || fileSystem == QStringLiteral("ramfs"))
        return VolumeKind::Ram;
    if (rootPath.startsWith(QStringLiteral("/media/")) ||
        rootPath.startsWith(QStringLiteral("/run/media/")) || removableDevice(source))
        return VolumeKind::Removable;
    if (source.startsWith(QLatin1Char('/')) || fileSystem == QStringLiteral("overlay") ||
        fileSystem == QStringLiteral("btrfs") || fileSystem == QStringLiteral("zfs") ||
        fileSystem.startsWith(QStringLiteral("fuse")))
        return VolumeKind::Fixed;
    return VolumeKind::Unknown;
}

QHash<QString, QString> volumeLabels() {
    QHash<QString, QString> labels;
    QDirIterator it(QStringLiteral("/dev/disk/by-label"), QDir::System | QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        labels.insert(info.canonicalFilePath(), unescapeHex(info.fileName()));
    }
    return labels;
}

std::vector<Volume> parseMountInfo(const QByteArray& text, const QHash<QString, QString>& labels) {
    std::vector<Volume> volumes;
    for (const QByteArray& line : text.split('\n')) {
        // id parent major:minor root mountpoint options [optional...] - fstype source superopts
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (fields.size() < 5 || dash < 0 || dash + 2 >= fields.size())
            continue;
        Volume volume;
        volume.rootPath = unescapeOctal(fields[4]);
        volume.fileSystem = QString::fromUtf8(fields[dash + 1]);
        volume.source = unescapeOctal(fields[dash + 2]);
        if (pseudoFileSystems().contains(volume.fileSystem) || systemMountPoint(volume.rootPath))
            continue;
        volume.kind = classifyVolume(volume.fileSystem, volume.source, volume.rootPath);
        if (volume.kind == VolumeKind::Network)
            volume.label = volume.source;
        else if (volume.kind != VolumeKind::Removable)
            volume.label = labels.value(QFileInfo(volume.source).canonicalFilePath());
        static const QSet<QString> foldingCase = {
            QStringLiteral("vfat"), QStringLiteral("msdos"),  QStringLiteral("exfat"),
            QStringLiteral("ntfs"), QStringLiteral("ntfs3"),  QStringLiteral("cifs"),
            QStringLiteral("smb3"), QStringLiteral("iso9660")};
        volume.caseSensitive = !foldingCase.contains(volume.fileSystem);
        volume.casePreserving = volume.fileSystem != QStringLiteral("msdos");
        std::erase_if(volumes, [&](const Volume& v) { return v.rootPath == volume.rootPath; });
        volumes.push_back(volume);
    }
    return volumes;
}

namespace {

QByteArray mountTable() {
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

std::vector<Volume> visibleVolumes(const QByteArray& table, const QHash<QString, QString>& labels) {
    std::vector<Volume> volumes = parseMountInfo(table, labels);
    const QString root = QStringLiteral("/");
    if (std::none_of(volumes.begin(), volumes.end(),
                     [&](const Volume& volume) { return volume.rootPath == root; })) {
        Volume volume;
        volume.rootPath = root;
        volume.kind = VolumeKind::Fixed;
        volumes.insert(volumes.begin(), volume);
    }
    return volumes;
}

std::vector<Volume> mountedVolumes() {
    return visibleVolumes(mountTable(), volumeLabels());
}

Volume volumeOf(const QString& path, const std::vector<Volume>& volumes) {
    Volume best;
    for (const Volume& volume : volumes) {
        const QString& root = volume.rootPath;
        const bool inside =
            root == QStringLiteral("/") || path == root || path.startsWith(root + QLatin1Char('/'));
        if (inside && root.size() > best.rootPath.size())
            best = volume;
    }
    return best;
}

bool mayBlock(const Volume& volume) {
    return volume.kind == VolumeKind::Network;
}

bool pathMayBlock(const QString& path) {
    // Only the kinds of the mounts matter here, so the labels are not read.
    return mayBlock(volumeOf(path, parseMountInfo(mountTable(), {})));
}

} // namespace zelvorin::platform
