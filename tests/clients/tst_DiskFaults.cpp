// The data disk under real faults: a disk swapped under the same path, a disk full to the
// byte, a device that reports a lost write at fsync or close, pipes and links where the data
// files belong, a writer killed at random moments, and two writers on one disk.
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>

#include "app/DriveSelect.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "clients/DataAccess.h"
#include "clients/DelNames.h"
#include "tests/clients/RecordWriter.h"
#include "tests/support/TestSupport.h"

using MsgBox::Answer;

namespace {

// The state letter of a process in /proc: 'S' while it sleeps, for one.
char ProcessState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() ? line[close + 2] : 0;
}

// A pipe never answers; a test that waits on one must fail, not hang CTest.
struct HangGuard {
    HangGuard() { ::alarm(20); }
    ~HangGuard() { ::alarm(0); }
};

}  // namespace

class tst_DiskFaults : public QObject {
    Q_OBJECT

    // Two clients on `disk`, loaded, and a record writer started there with `args` after the
    // disk; it has locked the disk when this returns.
    void LockedByWriter(const TmpfsMount& disk, std::unique_ptr<RunningTool>& writer, QStringList args)
    {
        CHECKED(WriteClients(disk.path(), Names(QStringLiteral("Client"), 2)));
        UseDisk(disk.path());
        QVERIFY(LoadClientTable());
        args.insert(1, disk.path());
        writer = std::make_unique<RunningTool>(QStringLiteral(RECORDWRITER), args);
        QVERIFY(writer->waitForReadyRead(10000));
        QCOMPARE(writer->readLine(), QByteArray("locked\n"));
    }

private slots:
    void swappedDiskIsNeverWrittenOver_data()
    {
        QTest::addColumn<QStringList>("second");
        QTest::newRow("another disk with more clients") << Names(QStringLiteral("Other"), 6);
        QTest::newRow("the same clients and more") << Names(QStringLiteral("Client"), 6);
        QTest::newRow("as many clients, other ones") << Names(QStringLiteral("Other"), 3);
        QTest::newRow("another disk with fewer clients") << Names(QStringLiteral("Other"), 1);
    }

    // Disk A was read; disk B now sits under the same path. Neither an edit nor a new client
    // may land on B. With A back in the drive, OK saves the record on A.
    void swappedDiskIsNeverWrittenOver()
    {
        QFETCH(QStringList, second);
        TestProgram t;
        const QString drive = t.disk() + QStringLiteral("/drive");
        const QString a = t.disk() + QStringLiteral("/a");
        const QString b = t.disk() + QStringLiteral("/b");
        QVERIFY(QDir().mkpath(drive) && QDir().mkpath(b));
        CHECKED(WriteClients(drive, Names(QStringLiteral("Client"), 3)));
        CHECKED(WriteClients(b, second));
        UseDisk(drive);
        QVERIFY(LoadClientTable());
        QVERIFY(QDir().rename(drive, a) && QDir().rename(b, drive));
        const QByteArray onB = ReadFileBytes(program().DataFilePath);

        program().ClientTable[2].Answers = QString(64, QLatin1Char('1'));
        MsgBox::SetNextAnswer(Answer::Cancel);
        QVERIFY(!WriteClientRecord(2));
        QVERIFY2(LastMessage().text.startsWith(QStringLiteral("A different data disk is in the drive.")),
                 qPrintable(LastMessage().text));
        program().CurrentClient = 4;
        program().ClientTable[4] = SampleRecord(QStringLiteral("New"));
        MsgBox::SetNextAnswer(Answer::Cancel);
        QVERIFY(!CompleteNewClient());
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(ReadFileBytes(program().DataFilePath), onB);

        // The operator puts disk A back while the message is up and presses OK.
        MsgBox::SetObserver([&](const MsgBox::Message&) { QDir().rename(drive, b) && QDir().rename(a, drive); });
        MsgBox::SetNextAnswer(Answer::Ok);
        QVERIFY(WriteClientRecord(2));
        QCOMPARE(ReadFileBytes(b + QStringLiteral("/DATA401.ZEP")), onB);
        QCOMPARE(ReadFileBytes(program().DataFilePath).mid(154 + 78, 64), QByteArray(64, '1'));
        // Its own writes do not make the disk a stranger.
        QVERIFY(CompleteNewClient());
        QCOMPARE(QFileInfo(program().DataFilePath).size(), 4 * 154);
    }

    void fullDiskLeavesTheFileAsItWas()
    {
        TestProgram t;
        TmpfsMount disk(QStringLiteral("size=16k"));
        REQUIRE_TMPFS(disk);
        UseDisk(disk.path());
        // 26 records end at byte 4004: the 27th gets 92 bytes of a page and then no more.
        const QByteArray before = Records(Names(QStringLiteral("Client"), 26));
        CHECKED(WriteFileBytes(program().DataFilePath, before));
        const QString filler = disk.fill();
        QVERIFY(LoadClientTable());

        program().CurrentClient = 27;
        program().ClientTable[27] = SampleRecord(QStringLiteral("Overflow"));
        MsgBox::SetNextAnswer(Answer::Cancel);
        QVERIFY(!CompleteNewClient());
        QVERIFY2(LastMessage().text.contains(QStringLiteral("Error 28:No space left on device")),
                 qPrintable(LastMessage().text));
        QCOMPARE(program().ClientCount, 26);
        QCOMPARE(ReadFileBytes(program().DataFilePath), before);
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("DATA401.ZEP"), QStringLiteral("filler")}));

        // With room made, the same client is saved whole.
        QVERIFY(QFile::remove(filler));
        QVERIFY(CompleteNewClient());
        QCOMPARE(ReadFileBytes(program().DataFilePath),
                 before + RecordToBytes(SampleRecord(QStringLiteral("Overflow"))));
    }

    void aRefusedWriteLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("error");
        // The device takes the bytes but says at fsync or close that they are lost.
        const QString lost = QStringLiteral("The client record could not be saved");
        QTest::newRow("fsync, new client") << "fsync" << 3 << lost;
        QTest::newRow("close, new client") << "close" << 3 << lost;
        QTest::newRow("fsync, edited client") << "fsync" << 1 << lost;
        QTest::newRow("close, edited client") << "close" << 1 << lost;
        // A hole before the record would read back as clients of zero bytes.
        QTest::newRow("past the end") << "" << 4 << "Error 1001:";
        // The disk swapped for an empty one: the file is not created anew.
        QTest::newRow("data file gone") << "gone" << 1 << "Data disk not found!";
        // Replaced by a link after it was read, to an exact copy: the records match, but
        // nothing may be written through the link.
        QTest::newRow("data file now a link") << "link" << 1 << "Error 1004:";
    }

    // The record does not count as saved, and the file is as it was.
    void aRefusedWriteLeavesTheFileAsItWas()
    {
        QFETCH(QString, fault);
        QFETCH(int, slot);
        QFETCH(QString, error);
        TestProgram t;
        QTemporaryDir elsewhere;
        const QByteArray before = Records(Names(QStringLiteral("Client"), 2));
        CHECKED(WriteFileBytes(t.dataFile(), before));
        QVERIFY(LoadClientTable());
        if (fault == QLatin1String("link")) {
            CHECKED(WriteFileBytes(elsewhere.filePath("DATA401.ZEP"), before));
            QVERIFY(QFile::remove(t.dataFile()) && QFile::link(elsewhere.filePath("DATA401.ZEP"), t.dataFile()));
        }
        if (fault == QLatin1String("gone"))
            QVERIFY(QFile::remove(t.dataFile()));
        if (fault == QLatin1String("fsync") || fault == QLatin1String("close"))
            InjectFileFault(fault == QLatin1String("fsync") ? FileFault::Sync : FileFault::Close, EIO);
        program().CurrentClient = qint16(slot);
        program().ClientTable[slot] = SampleRecord(QStringLiteral("Changed"));
        MsgBox::SetNextAnswer(Answer::Cancel);
        QVERIFY(slot == 3 ? !CompleteNewClient() : !WriteClientRecord(slot));
        QVERIFY2(LastMessage().text.contains(error), qPrintable(LastMessage().text));
        QCOMPARE(program().ClientCount, 2);
        QCOMPARE(ReadFileBytes(t.dataFile()), fault == QLatin1String("gone") ? QByteArray() : before);
    }

    // The folder did not confirm the rename that put the new file in place, so a power cut
    // might still bring the old file back: the client is not reported saved. OK writes the
    // same file again.
    void unconfirmedRenameIsNoSave()
    {
        TestProgram t;
        const QByteArray before = Records(Names(QStringLiteral("Client"), 2));
        CHECKED(WriteFileBytes(t.dataFile(), before));
        QVERIFY(LoadClientTable());
        program().CurrentClient = 3;
        program().ClientTable[3] = SampleRecord(QStringLiteral("New"));
        InjectFileFault(FileFault::FolderSync, EIO);
        MsgBox::SetNextAnswer(Answer::Ok);
        QVERIFY(CompleteNewClient());
        QCOMPARE(MsgBox::Shown().size(), 1);
        QVERIFY(LastMessage().text.startsWith(QStringLiteral("The client record could not be saved")));
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(ReadFileBytes(t.dataFile()), before + RecordToBytes(SampleRecord(QStringLiteral("New"))));
    }

    void specialFilesAreRefusedPromptly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        for (const char* name : {"DATA401.ZEP", "TID"})
            for (const char* kind : {"pipe", "dangling link", "link to a file"})
                QTest::newRow(qPrintable(QStringLiteral("%1 is a %2").arg(QLatin1String(name), QLatin1String(kind))))
                    << QString::fromLatin1(name) << QString::fromLatin1(kind);
    }

    // Connecting a disk whose data file or TID is a pipe or a link fails at once with the
    // reason, and nothing is created or changed where a link points.
    void specialFilesAreRefusedPromptly()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        HangGuard guard;
        TestProgram t;
        QTemporaryDir elsewhere;
        const QString target = elsewhere.path() + QStringLiteral("/target");
        const QByteArray outside = Records(Names(QStringLiteral("Outside"), 2));
        CHECKED(TestProgram::MakeDataDisk(t.disk()));
        const QString path = t.disk() + QLatin1Char('/') + name;
        QFile::remove(path);
        if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else {
            if (kind == QLatin1String("link to a file"))
                CHECKED(WriteFileBytes(target, name == QLatin1String("TID") ? QByteArray("ZEPSF\r\n") : outside));
            QVERIFY(QFile::link(target, path));
        }

        int error = 0;
        try {
            CheckDrivePresence(t.disk());
            OpenDataDisk(t.disk());
        } catch (const DiskError& e) {
            error = e.number();
        }
        QCOMPARE(error, ErrNotRegularFile);
        if (kind == QLatin1String("dangling link"))
            QVERIFY(!QFileInfo::exists(target));
        else if (kind == QLatin1String("link to a file") && name == QLatin1String("DATA401.ZEP"))
            QCOMPARE(ReadFileBytes(target), outside);
    }

    void killedWriterLeavesEveryRecordWhole_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("rewriting record 27") << QStringLiteral("edit");
        QTest::newRow("deleting names") << QStringLiteral("names");
    }

    // Record 27 (bytes 4004 to 4157) crosses the file's first page boundary, where a write into
    // the file itself can be cut short by the kill. Only record 27 changes: for Delete Names the
    // other 26 clients are name-deleted already. After every kill each record is wholly as it
    // was or wholly the new version (for Delete Names: the name scrambled and marked), and the
    // copies that killed writers leave behind do not pile up on the disk.
    void killedWriterLeavesEveryRecordWhole()
    {
        QFETCH(QString, mode);
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        const auto changed = [&](ClientRecord record) {
            if (mode == QLatin1String("edit"))
                return RewrittenRecord(record);
            record.Name = ScrambleName(record.Name.text());
            record.NameDeleted = "1";
            return record;
        };
        QList<QByteArray> before, after;
        for (int slot = 1; slot <= 27; ++slot) {
            const ClientRecord record = SampleRecord(QStringLiteral("Client %1").arg(slot));
            const bool done = slot < 27 && mode == QLatin1String("names");
            before += RecordToBytes(done ? changed(record) : record);
            after += RecordToBytes(slot == 27 || done ? changed(record) : record);
        }
        CHECKED(TestProgram::MakeDataDisk(disk.path()));
        const QStringList args = mode == QLatin1String("edit") ? QStringList{mode, disk.path(), QStringLiteral("27")}
                                                               : QStringList{mode, disk.path()};
        QDeadlineTimer deadline(10000);
        for (int kill = 1; kill <= 300 && !deadline.hasExpired(); ++kill) {
            CHECKED(WriteFileBytes(disk.path() + QStringLiteral("/DATA401.ZEP"), before.join()));
            RunningTool writer(QStringLiteral(RECORDWRITER), args);
            QVERIFY(writer.waitForReadyRead(10000));
            QCOMPARE(writer.readLine(), QByteArray("ready\n"));
            QThread::usleep(QRandomGenerator::global()->bounded(2000));
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            const QByteArray file = ReadFileBytes(disk.path() + QStringLiteral("/DATA401.ZEP"));
            QCOMPARE(file.size(), before.size() * RecordLength);
            for (int i = 0; i < before.size(); ++i) {
                const QByteArray record = file.mid(i * RecordLength, RecordLength);
                QVERIFY2(record == before[i] || record == after[i],
                         qPrintable(QStringLiteral("kill %1 tore record %2: %3")
                                        .arg(kill)
                                        .arg(i + 1)
                                        .arg(QString::fromLatin1(record))));
            }
        }
        QStringList left = QDir(disk.path()).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral("TID"));
        left.removeAll(QStringLiteral("DATA401.ZEP"));
        QVERIFY2(left.size() <= 1, qPrintable(left.join(QLatin1Char(' '))));  // the last kill's, at most
    }

    // Two copies of the program, each with a client list of its own, add 25 clients each to one
    // disk, a client at a time each; a copy that finds the disk changed by the other reads it
    // again and saves once more. The first copy is stopped at a random moment of saving, as a
    // slow disk or a busy computer may hold it, while the second saves its client (or waits a
    // while for the disk the first holds). In every round each client that either copy
    // reported saved is on the disk, once. The disk is a folder on the computer's own disk,
    // where a save waits for the device as on a USB stick; on a tmpfs it takes a few
    // microseconds, and the two seldom meet. Without the lock about every second round loses
    // a client.
    void twoWritersLoseNoSavedClient()
    {
        QTemporaryDir disk;
        QDeadlineTimer deadline(8000);
        for (int round = 1; round <= 10 && !deadline.hasExpired(); ++round) {
            CHECKED(WriteClients(disk.path(), {}));
            std::array<QProcess, 2> writers;
            std::array<QStringList, 2> saved;
            for (int i = 0; i < 2; ++i) {
                writers[i].start(
                    QStringLiteral(RECORDWRITER),
                    {QStringLiteral("append"), disk.path(), QStringLiteral("Writer%1").arg(i), QStringLiteral("25")});
                QVERIFY(writers[i].waitForReadyRead(10000));
                QCOMPARE(writers[i].readLine(), QByteArray("ready\n"));
            }
            // Waits until writer i has reported n clients saved, or for at most `ms`.
            const auto awaitSaved = [&](int i, int n, int ms) {
                QDeadlineTimer wait(ms);
                while (saved[i].size() < n && !wait.hasExpired()) {
                    while (writers[i].canReadLine())
                        saved[i] += QString::fromLatin1(writers[i].readLine().trimmed().mid(6));
                    if (saved[i].size() < n)
                        writers[i].waitForReadyRead(int(qMax<qint64>(1, wait.remainingTime())));
                }
                return saved[i].size() >= n;
            };
            const qint64 first = writers[0].processId();
            for (int n = 1; n <= 25; ++n) {
                // The first copy is stopped a random time after it woke up to save.
                writers[0].write("go\n");
                writers[0].waitForBytesWritten();
                QDeadlineTimer woken(2);
                while (ProcessState(first) == 'S' && !woken.hasExpired()) {
                }
                QElapsedTimer moment;
                moment.start();
                const qint64 ns = QRandomGenerator::global()->bounded(150000);
                while (moment.nsecsElapsed() < ns) {
                }
                ::kill(pid_t(first), SIGSTOP);
                writers[1].write("go\n");
                writers[1].waitForBytesWritten();
                awaitSaved(1, n, 20);
                ::kill(pid_t(first), SIGCONT);
                QVERIFY(awaitSaved(0, n, 30000) && awaitSaved(1, n, 30000));
            }
            QStringList reported = saved[0] + saved[1];
            for (QProcess& writer : writers) {
                writer.waitForFinished(30000);
                QCOMPARE(writer.exitCode(), 0);
            }
            const QByteArray file = ReadFileBytes(disk.path() + QStringLiteral("/DATA401.ZEP"));
            QStringList stored;
            for (qsizetype at = 0; at < file.size(); at += RecordLength)
                stored +=
                    RecordFromBytes(file.mid(at, RecordLength).leftJustified(RecordLength).constData()).Name.trimmed();
            reported.sort();
            stored.sort();
            QVERIFY2(stored == reported, qPrintable(QStringLiteral("round %1: %2 clients saved, %3 on the disk")
                                                        .arg(round)
                                                        .arg(reported.size())
                                                        .arg(stored.size())));
        }
    }

    // Another copy of the program holds the disk while it saves: this one waits, then says so
    // with a retry box. The other copy is killed while it holds the disk; the lock ends with it,
    // and OK saves the record.
    void busyDiskIsToldAndTriedAgain()
    {
        TestProgram t;
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        std::unique_ptr<RunningTool> holder;
        CHECKED(LockedByWriter(disk, holder, {QStringLiteral("hold")}));

        program().ClientTable[2].Answers = QString(64, QLatin1Char('1'));
        MsgBox::SetObserver([&](const MsgBox::Message&) { holder.reset(); });
        MsgBox::SetNextAnswer(Answer::Ok);
        QVERIFY(WriteClientRecord(2));
        QCOMPARE(MsgBox::Shown().size(), 1);
        QVERIFY2(LastMessage().text.startsWith(QStringLiteral("The data disk is busy")),
                 qPrintable(LastMessage().text));
        QCOMPARE(StoredRecord(2), program().ClientTable[2]);
    }

    // Another copy saves a client while this one waits for the disk: this one then finds the
    // disk changed and says so, instead of saving over the other's client the file it waited on.
    void waitingWriterFindsTheOtherSave()
    {
        TestProgram t;
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        std::unique_ptr<RunningTool> other;
        CHECKED(LockedByWriter(disk, other,
                               {QStringLiteral("overtake"), QString::number(QCoreApplication::applicationPid())}));

        program().CurrentClient = 3;
        program().ClientTable[3] = SampleRecord(QStringLiteral("Mine"));
        MsgBox::SetNextAnswer(Answer::Cancel);
        QVERIFY(!CompleteNewClient());
        QVERIFY2(LastMessage().text.startsWith(QStringLiteral("A different data disk is in the drive.")),
                 qPrintable(LastMessage().text));
        QVERIFY(other->waitForFinished(10000));
        QCOMPARE(other->exitCode(), 0);
        QCOMPARE(ReadFileBytes(program().DataFilePath), Records(Names(QStringLiteral("Client"), 2)) +
                                                            RecordToBytes(SampleRecord(QStringLiteral("Overtaker"))));
    }
};

QTEST_GUILESS_MAIN(tst_DiskFaults)
#include "tst_DiskFaults.moc"
