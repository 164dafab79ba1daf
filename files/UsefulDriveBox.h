// TUsefulDriveBox: the mounted volumes, each with its label and the icon of its kind.
// A "drive" is a mount point; an item reads "<mount point> [<label>]" with the label as the
// file system keeps it, or the mount point alone when there is no label (removable
// volumes show the mount point only, network volumes show their remote source as the
// label).
#pragma once

#include "UsefulFileControls.h"
#include "Volumes.h"

#include <QComboBox>
#include <QPointer>

#include <vector>

class TUsefulDirectoryBox;

class TUsefulDriveBox : public QComboBox {
    Q_OBJECT
public:
    enum Role { RootRole = Qt::UserRole + 1, KindRole };

    explicit TUsefulDriveBox(QWidget* parent = nullptr);

    TUsefulDirectoryBox* DirList() const { return m_dirList; }
    void SetDirList(TUsefulDirectoryBox* list);
    // The case of drive letters; mount points have none, and labels are never re-cased (a
    // label is a name its owner chose), so on Linux it changes no text.
    TTextCase TextCase() const { return m_textCase; }
    void SetTextCase(TTextCase textCase);

    // The selected volume's mount point (empty: none).
    QString Drive() const { return m_drive; }
    void SetDrive(const QString& root);

    // Rebuilds the list from the volumes mounted now and selects the current drive.
    void BuildList();
    // Tests: list these volumes instead of the mounted ones (empty: the mounted ones).
    void SetVolumesForTest(std::vector<zelvorin::platform::Volume> volumes);

    // The text of a volume's item.
    static QString ItemText(const zelvorin::platform::Volume& volume);

signals:
    void Change();

private:
    void OnActivated(int index);

    QPointer<TUsefulDirectoryBox> m_dirList;
    TTextCase m_textCase = TTextCase::tcLowerCase;
    QString m_drive;
    std::vector<zelvorin::platform::Volume> m_testVolumes;
};
