#include "UsefulDriveBox.h"

#include "FileIcons.h"
#include "UsefulDirectoryBox.h"

using namespace zelvorin;

TUsefulDriveBox::TUsefulDriveBox(QWidget* parent) : QComboBox(parent) {
    resize(180, height());
    m_drive = platform::volumeOf(CurrentFolderText(), platform::mountedVolumes()).rootPath;
    BuildList();
    connect(this, &QComboBox::activated, this, &TUsefulDriveBox::OnActivated);
}

QString TUsefulDriveBox::ItemText(const platform::Volume& volume) {
    if (volume.kind == platform::VolumeKind::Removable ||
        volume.kind == platform::VolumeKind::Unknown || volume.label.isEmpty())
        return volume.rootPath;
    return QStringLiteral("%1 [%2]").arg(volume.rootPath, volume.label);
}

void TUsefulDriveBox::BuildList() {
    const QSignalBlocker blocker(this);
    clear();
    const std::vector<platform::Volume> volumes =
        m_testVolumes.empty() ? platform::mountedVolumes() : m_testVolumes;
    for (const platform::Volume& volume : volumes) {
        addItem(FileIcons::instance().volumeIcon(volume.kind), ItemText(volume));
        setItemData(count() - 1, volume.rootPath, RootRole);
        setItemData(count() - 1, int(volume.kind), KindRole);
    }
    setCurrentIndex(findData(m_drive, RootRole));
}

void TUsefulDriveBox::SetVolumesForTest(std::vector<platform::Volume> volumes) {
    m_testVolumes = std::move(volumes);
    BuildList();
}

void TUsefulDriveBox::SetDirList(TUsefulDirectoryBox* list) {
    if (m_dirList)
        m_dirList->SetDriveBox(nullptr);
    m_dirList = list;
    if (list)
        list->SetDriveBox(this);
}

void TUsefulDriveBox::SetTextCase(TTextCase textCase) {
    if (textCase == m_textCase)
        return;
    m_textCase = textCase;
    BuildList();
}

void TUsefulDriveBox::SetDrive(const QString& root) {
    if (currentIndex() >= 0 && root == m_drive)
        return;
    m_drive = root;
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(root.isEmpty() ? -1 : findData(root, RootRole));
    }
    if (m_dirList)
        m_dirList->SetDrive(root);
    emit Change();
}

void TUsefulDriveBox::OnActivated(int index) {
    SetDrive(itemData(index, RootRole).toString());
}
