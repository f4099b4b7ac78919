// zepdemo PROGRAMFOLDER DISKFOLDER — makes a demonstration data disk with invented clients
// and points the program's settings at it. Like zepdisk it refuses a folder that already
// holds client records: the demonstration's clients must never take the place of real ones.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/DriveSelect.h"
#include "app/Settings.h"
#include "base/PrivateProfile.h"
#include "base/Program.h"
#include "base/RegularFile.h"
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
    const QString dataPath = DriveFile(disk, QLatin1String(DataFileName));
    if (const QFileInfo data(dataPath); data.exists() || data.isSymLink()) {
        std::fprintf(stderr, "zepdemo: %s already holds client records (%s); nothing was changed.\n", qPrintable(disk),
                     DataFileName);
        return 1;
    }
    if (!QDir().mkpath(disk) || !QDir().mkpath(programFolder)) {
        std::fprintf(stderr, "zepdemo: cannot create %s\n", qPrintable(disk));
        return 1;
    }
    QByteArray records;
    for (const ClientRecord& client : DemoClients())
        records += RecordToBytes(client);

    // Both files are written in full beside their names before either takes its place, so
    // a full or failing disk leaves no half-made data disk behind.
    const QString tidPath = DriveFile(disk, QLatin1String(TidFileName));
    StagedFile tid;
    StagedFile data;
    QString failed;
    int err = data.Stage(dataPath, records);
    if (err != 0)
        failed = dataPath;
    if (err == 0 && (err = tid.Stage(tidPath, QByteArray(TidText) + "\r\n")) != 0)
        failed = tidPath;
    const bool hadTid = QFileInfo(tidPath).isFile();
    if (err == 0 && (err = tid.Commit()) != 0)
        failed = tidPath;
    if (err == 0 && (err = data.Commit()) != 0) {
        failed = dataPath;
        if (!hadTid)
            QFile::remove(tidPath);
    }
    if (err != 0) {
        std::fprintf(stderr, "zepdemo: cannot write %s: %s; no demonstration disk was made.\n", qPrintable(failed),
                     qPrintable(FileErrorText(err)));
        return 1;
    }
    program().IniPath = programFolder + QStringLiteral("/zeptest.ini");
    QString error;
    // The recordings of the on-screen test live in the program folder (tools/zepvoice). A
    // newcomer's first report comes out as printed pages, not as the report's raw bytes: the
    // demonstration starts with "Print to DOS port" off, while a real program folder keeps
    // the option on until someone turns it off.
    if (!SaveINIFilePath(disk, &error) ||
        !WritePrivateProfileString(QStringLiteral("Path"), QStringLiteral("SndPath"), programFolder, program().IniPath,
                                   &error) ||
        !SavePrintDOSSetting(false, &error)) {
        std::fprintf(stderr, "zepdemo: the demonstration disk is ready, but the settings were not changed: %s\n",
                     qPrintable(error));
        return 1;
    }
    std::printf("Demonstration disk with %d clients in %s\n", int(records.size() / RecordLength), qPrintable(disk));
    return 0;
}
