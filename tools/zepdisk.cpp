// zepdisk FOLDER — prepares an empty data disk: writes the identification file TID.
// A folder that already holds client records is refused, so no disk is overwritten.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "app/DriveSelect.h"
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
    if (QFileInfo::exists(DriveFile(folder, QLatin1String(DataFileName)))) {
        std::fprintf(stderr, "zepdisk: %s already holds client records (%s); nothing was changed.\n",
                     qPrintable(folder), DataFileName);
        return 1;
    }
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "zepdisk: cannot create the folder %s.\n", qPrintable(folder));
        return 1;
    }
    QSaveFile tid(DriveFile(folder, QLatin1String(TidFileName)));
    if (!tid.open(QIODevice::WriteOnly) || tid.write(QByteArray(TidText) + "\r\n") < 0 || !tid.commit()) {
        std::fprintf(stderr, "zepdisk: cannot write %s: %s\n", qPrintable(tid.fileName()), qPrintable(tid.errorString()));
        return 1;
    }
    std::printf("%s is ready as an empty ZEP data disk.\n", qPrintable(folder));
    return 0;
}
