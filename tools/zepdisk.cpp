// zepdisk FOLDER — prepares an empty data disk: writes the identification file TID.
// A folder that already holds client records is refused, so no disk is overwritten.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/DriveSelect.h"
#include "base/RegularFile.h"
#include "clients/DataAccess.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: zepdisk FOLDER\n"
                             "Prepares an empty ZEP data disk (a USB stick's mount point, or any folder).\n");
        return 2;
    }
    const QString folder = args[0];
    const QFileInfo data(DriveFile(folder, QLatin1String(DataFileName)));
    if (data.exists() || data.isSymLink()) {
        std::fprintf(stderr, "zepdisk: %s already holds client records (%s); nothing was changed.\n",
                     qPrintable(folder), DataFileName);
        return 1;
    }
    const bool madeFolder = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "zepdisk: cannot create the folder %s.\n", qPrintable(folder));
        return 1;
    }
    // TID appears whole or not at all: a disk with a damaged TID would be refused later
    // with a message that does not say why.
    const QString tid = DriveFile(folder, QLatin1String(TidFileName));
    if (const int err = ReplaceFile(tid, QByteArray(TidText) + "\r\n"); err != 0) {
        if (madeFolder)
            QDir().rmdir(folder);
        std::fprintf(stderr, "zepdisk: cannot write %s: %s; the disk was not prepared.\n", qPrintable(tid),
                     qPrintable(FileErrorText(err)));
        return 1;
    }
    std::printf("%s is ready as an empty ZEP data disk.\n", qPrintable(folder));
    return 0;
}
