// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// VolumeBox: the mounted volumes, each with its label and the icon of its kind, showing
// the volume of the folder session's shown folder; choosing one asks the session for it.
// An item reads "<mount point> [<label>]" with the label as the file system keeps it, or
// the mount point alone when there is no label (removable volumes show the mount point
// only, network volumes show their remote source as the label).
#pragma once

#include "Volumes.h"

#include <QComboBox>

#include <vector>

namespace zelvorin {

class FolderSession;

class VolumeBox : public QComboBox {
    Q_OBJECT
public:
    enum Role { RootRole = Qt::UserRole + 1, KindRole };

    explicit VolumeBox(FolderSession* session, QWidget* parent = nullptr);

    // Rebuilds the list from the volumes mounted now and selects the session's volume.
    void rebuild();
    // Tests: list these volumes instead of the mounted ones (empty: the mounted ones).
    void setVolumesForTest(std::vector<platform::Volume> volumes);

    // The text of a volume's item.
    static QString volumeText(const platform::Volume& volume);

private:
    void showSessionVolume();
    void chooseVolume(int index);

    FolderSession* m_session = nullptr;
    std::vector<platform::Volume> m_testVolumes;
};

} // namespace zelvorin
