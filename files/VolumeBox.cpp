// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "VolumeBox.h"

#include "FileIcons.h"
#include "FolderSession.h"

namespace zelvorin {

VolumeBox::VolumeBox(FolderSession* session, QWidget* parent)
    : QComboBox(parent), m_session(session) {
    resize(180, height());
    rebuild();
    connect(this, &QComboBox::activated, this, &VolumeBox::chooseVolume);
    connect(session, &FolderSession::folderChanged, this, &VolumeBox::showSessionVolume);
    // A volume chosen and not reached: the box shows the volume still shown.
    connect(session, &FolderSession::failed, this, &VolumeBox::showSessionVolume);
}

QString VolumeBox::volumeText(const platform::Volume& volume) {
    if (volume.kind == platform::VolumeKind::Removable ||
        volume.kind == platform::VolumeKind::Unknown || volume.label.isEmpty())
        return volume.rootPath;
    return QStringLiteral("%1 [%2]").arg(volume.rootPath, volume.label);
}

void VolumeBox::rebuild() {
    const QSignalBlocker blocker(this);
    clear();
    const std::vector<platform::Volume> volumes =
        m_testVolumes.empty() ? platform::mountedVolumes() : m_testVolumes;
    for (const platform::Volume& volume : volumes) {
        addItem(FileIcons::instance().volumeIcon(volume.kind), volumeText(volume));
        setItemData(count() - 1, volume.rootPath, RootRole);
        setItemData(count() - 1, int(volume.kind), KindRole);
    }
    showSessionVolume();
}

void VolumeBox::setVolumesForTest(std::vector<platform::Volume> volumes) {
    m_testVolumes = std::move(volumes);
    rebuild();
}

void VolumeBox::showSessionVolume() {
    const QString root = m_session->volume();
    const QSignalBlocker blocker(this);
    setCurrentIndex(root.isEmpty() ? -1 : findData(root, RootRole));
}

void VolumeBox::chooseVolume(int index) {
    m_session->setVolume(itemData(index, RootRole).toString());
}

} // namespace zelvorin
