#include "app/frmDriveSelect.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "widgets/FormHelpers.h"

namespace {

bool IsRemovableDevice(const QByteArray& device)
{
    if (!device.startsWith("/dev/"))
        return false;
    const QString name = QString::fromLocal8Bit(device.mid(5));
    const QString sys = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (sys.isEmpty())
        return false;
    for (const QString& dir : {sys, QFileInfo(sys).path()}) {
        QFile flag(dir + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
    }
    return false;
}

bool IsSystemFileSystem(const QByteArray& type)
{
    static const QList<QByteArray> pseudo = {
        "proc",        "sysfs",   "devtmpfs", "devpts",    "cgroup",   "cgroup2", "securityfs", "pstore",
        "debugfs",     "tracefs", "mqueue",   "hugetlbfs", "configfs", "fusectl", "bpf",        "autofs",
        "binfmt_misc", "overlay", "squashfs", "efivarfs",  "nsfs",     "ramfs",   "rpc_pipefs"};
    return pseudo.contains(type);
}

}  // namespace

QList<VolumeEntry> ListDataVolumes()
{
    QList<VolumeEntry> removable;
    QList<VolumeEntry> fixed;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || IsSystemFileSystem(volume.fileSystemType()))
            continue;
        const QString path = volume.rootPath();
        if (path.startsWith(QStringLiteral("/boot")) || path.startsWith(QStringLiteral("/sys")) ||
            path.startsWith(QStringLiteral("/proc")) || path.startsWith(QStringLiteral("/dev")))
            continue;
        const bool isRemovable = IsRemovableDevice(volume.device()) || path.startsWith(QStringLiteral("/media/")) ||
                                 path.startsWith(QStringLiteral("/run/media/"));
        (isRemovable ? removable : fixed).append({path, isRemovable});
    }
    return removable + fixed;
}

frmDriveSelect::frmDriveSelect(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDriveSelect"));
    setWindowTitle(QStringLiteral("Select Drive"));
    setFixedSize(Twips(4455), Twips(2295));

    drDrive = new QComboBox(this);
    drDrive->setObjectName(QStringLiteral("drDrive"));
    drDrive->setGeometry(TwipsRect(120, 240, 4215, 315));
    drDrive->setEditable(true);
    drDrive->setInsertPolicy(QComboBox::NoInsert);

    Label1 = new QLabel(QStringLiteral(" Choose the drive associated with the data disk. (Usually A: or F:)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(TwipsRect(240, 720, 3975, 495));
    Label1->setWordWrap(true);

    cmdDone = new QPushButton(QStringLiteral("Done"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setGeometry(TwipsRect(2520, 1560, 1695, 495));
    cmdhelp = new QPushButton(QStringLiteral("Help"), this);
    cmdhelp->setObjectName(QStringLiteral("cmdhelp"));
    cmdhelp->setGeometry(TwipsRect(240, 1560, 1695, 495));
    for (QPushButton* b : {cmdDone, cmdhelp})
        b->setAutoDefault(true);
    QWidget::setTabOrder(drDrive, cmdDone);
    QWidget::setTabOrder(cmdDone, cmdhelp);

    RefreshDrives();
    drDrive->setCurrentIndex(-1);
    drDrive->setEditText(QString());

    // The drive itself, as chosen from the list or typed; the list shows nothing else.
    connect(drDrive, &QComboBox::editTextChanged, this,
            [this](const QString& text) { SelectedDrive = text.trimmed(); });
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdhelp, &QPushButton::clicked, this, [] {
        MsgBox::Show(QStringLiteral("Use the dropdown box to select the drive that the floppy data \r\n"
                                    "diskette or USB Flash Drive is in. Floppy drives are usually A: or\r\n"
                                    "B: and USB drives are usually F: or G:"),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::None, QString::fromLatin1(AppTitle));
    });
}

void frmDriveSelect::RefreshDrives()
{
    const QString text = drDrive->currentText();
    const QSignalBlocker block(drDrive);
    drDrive->clear();
    for (const VolumeEntry& v : ListDataVolumes())
        drDrive->addItem(v.path);
    drDrive->setCurrentIndex(-1);
    drDrive->setEditText(text);
}

int frmDriveSelect::exec()
{
    RefreshDrives();
    drDrive->setFocus(Qt::OtherFocusReason);
    const QString before = drDrive->currentText();
    const int result = QDialog::exec();
    // Escape takes back what was typed: the next use starts from the last drive chosen.
    if (result != QDialog::Accepted)
        drDrive->setEditText(before);
    return result;
}
