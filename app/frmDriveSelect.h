#pragma once
// The chooser of the data disk's drive: a mounted volume from the list or a typed folder.
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

struct VolumeEntry {
    QString path;
    bool removable = false;
};

// Mounted volumes worth offering, removable media first.
QList<VolumeEntry> ListDataVolumes();

class frmDriveSelect : public QDialog {
    Q_OBJECT

public:
    explicit frmDriveSelect(QWidget* parent = nullptr);

    // The drive last chosen; empty until the list is first changed.
    QString SelectedDrive;

    // Refills the list with the volumes mounted now, keeping the typed or chosen text.
    void RefreshDrives();
    int exec() override;

private:
    QComboBox* drDrive = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdDone = nullptr;
    QPushButton* cmdhelp = nullptr;
};
