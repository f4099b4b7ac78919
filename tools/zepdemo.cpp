// zepdemo PROGRAMFOLDER DISKFOLDER — makes a demonstration data disk with invented clients
// and points the program's settings at it.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "app/DriveSelect.h"
#include "app/PrivateProfile.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "clients/DataAccess.h"
#include "tools/DemoClients.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: zepdemo PROGRAMFOLDER DISKFOLDER\n");
        return 2;
    }
    const QString programFolder = QDir(args[0]).absolutePath();
    const QString disk = QDir(args[1]).absolutePath();
    if (!QDir().mkpath(disk) || !QDir().mkpath(programFolder)) {
        std::fprintf(stderr, "zepdemo: cannot create %s\n", qPrintable(disk));
        return 1;
    }
    QFile tid(DriveFile(disk, QLatin1String(TidFileName)));
    QFile data(DriveFile(disk, QLatin1String(DataFileName)));
    QByteArray records;
    for (const ClientRecord& client : DemoClients())
        records += RecordToBytes(client);
    if (!tid.open(QIODevice::WriteOnly) || tid.write(QByteArray(TidText) + "\r\n") < 0 ||
        !data.open(QIODevice::WriteOnly | QIODevice::Truncate) || data.write(records) != records.size()) {
        std::fprintf(stderr, "zepdemo: cannot write the demonstration disk in %s\n", qPrintable(disk));
        return 1;
    }
    program().IniPath = programFolder + QStringLiteral("/zeptest.ini");
    // The recordings of the on-screen test live in the program folder (tools/zepvoice).
    if (!SaveINIFilePath(disk) ||
        !WritePrivateProfileString(QStringLiteral("Path"), QStringLiteral("SndPath"), programFolder, program().IniPath)) {
        std::fprintf(stderr, "zepdemo: cannot write %s\n", qPrintable(program().IniPath));
        return 1;
    }
    std::printf("Demonstration disk with %d clients in %s\n", int(records.size() / RecordLength), qPrintable(disk));
    return 0;
}
