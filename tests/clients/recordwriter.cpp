// recordwriter — the program's own record writing in a process of its own, for the tests that
// kill it at random moments or run two at once on one data disk. DISK is the disk's folder.
//   recordwriter edit DISK SLOT      writes record SLOT over and over, rewritten and as it was
//   recordwriter names DISK          deletes the names, writes the changed records back as they
//                                    were, and so on
//   recordwriter append DISK TAG N   adds the clients "TAG 1" .. "TAG N", each one once a line
//                                    arrives on its standard input, and prints "saved TAG n"
//                                    for each one the program reports saved
//   recordwriter hold DISK           locks the data file as a write does, prints "locked" and
//                                    keeps the lock until it is killed
//   recordwriter overtake DISK PID   locks the data file, prints "locked", waits until process
//                                    PID has opened the file too (to wait for the lock), and
//                                    then adds the client "Overtaker" as a save does
// The writers print "ready" before their first write. Message boxes are answered Yes to the
// warning of Delete Names and Cancel to a failed write; append then reads the disk again, as an
// operator would with Select Drive, and saves the same client once more.
#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "clients/DataAccess.h"
#include "clients/DelNames.h"
#include "tests/clients/RecordWriter.h"
#include "tests/support/TestSupport.h"

namespace {

void Say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

int Edit(int slot)
{
    Program& p = program();
    const ClientRecord original = p.ClientTable[slot];
    for (bool rewritten = true;; rewritten = !rewritten) {
        p.ClientTable[slot] = rewritten ? RewrittenRecord(original) : original;
        if (!WriteClientRecord(slot))
            return 1;
    }
}

int DeleteNamesAgainAndAgain()
{
    Program& p = program();
    const auto original = p.ClientTable;
    for (;;) {
        if (DeleteClientNames() != DeleteNamesOutcome::Completed)
            return 1;
        for (int slot = 1; slot <= p.ClientCount; ++slot) {
            if (p.ClientTable[slot] == original[slot])
                continue;
            p.ClientTable[slot] = original[slot];
            if (!WriteClientRecord(slot))
                return 1;
        }
    }
}

bool ReadDiskAgain()
{
    try {
        return LoadClientTable();
    } catch (const DiskError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return false;
    }
}

int Append(const QString& tag, int count)
{
    Program& p = program();
    char go[8];
    for (int n = 1; n <= count && std::fgets(go, sizeof go, stdin); ++n) {
        const ClientRecord client = SampleRecord(QStringLiteral("%1 %2").arg(tag).arg(n));
        for (;;) {
            if (p.ClientCount >= MaxClients)
                return 1;
            p.CurrentClient = qint16(p.ClientCount + 1);
            p.ClientTable[p.CurrentClient] = client;
            if (CompleteNewClient())
                break;
            if (!ReadDiskAgain())
                return 1;
        }
        Say(QStringLiteral("saved ") + client.Name.trimmed());
    }
    return 0;
}

// Whether process `pid` has the file `path` (a canonical path) open.
bool HasOpen(qint64 pid, const QString& path)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (QFile::symLinkTarget(fds.filePath(fd)) == path)
            return true;
    return false;
}

int Overtake(qint64 waiter)
{
    const QString path = program().DataFilePath;
    const DataFileLock lock(path);
    Say(QStringLiteral("locked"));
    while (!HasOpen(waiter, QFileInfo(path).canonicalFilePath()))
        QThread::msleep(1);
    QByteArray bytes;
    if (ReadRegularFile(path, 100000, bytes) != 0)
        return 1;
    return ReplaceFile(path, bytes + RecordToBytes(SampleRecord(QStringLiteral("Overtaker")))) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString mode = args.value(0);
    const QHash<QString, int> argumentCount{{QStringLiteral("edit"), 3},
                                            {QStringLiteral("names"), 2},
                                            {QStringLiteral("append"), 4},
                                            {QStringLiteral("hold"), 2},
                                            {QStringLiteral("overtake"), 3}};
    if (args.size() != argumentCount.value(mode, -1)) {
        std::fprintf(stderr, "usage: recordwriter edit DISK SLOT | names DISK | append DISK TAG N | hold DISK | "
                             "overtake DISK PID\n");
        return 2;
    }
    MsgBox::SetPresenter([](const MsgBox::Message& message) {
        switch (message.buttons) {
        case MsgBox::Buttons::YesNo: return MsgBox::Answer::Yes;
        case MsgBox::Buttons::OkCancel: return MsgBox::Answer::Cancel;
        case MsgBox::Buttons::OkOnly: break;
        }
        return MsgBox::Answer::Ok;
    });
    UseDisk(args[1]);
    try {
        if (mode == QLatin1String("hold")) {
            const DataFileLock lock(program().DataFilePath);
            Say(QStringLiteral("locked"));
            for (;;)
                ::pause();
        }
        if (mode == QLatin1String("overtake"))
            return Overtake(args[2].toLongLong());
        if (!LoadClientTable())
            return 1;
    } catch (const DiskError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    Say(QStringLiteral("ready"));
    if (mode == QLatin1String("edit"))
        return Edit(args[2].toInt());
    if (mode == QLatin1String("names"))
        return DeleteNamesAgainAndAgain();
    return Append(args[2], args[3].toInt());
}
