// Connecting a data disk: the presence test, the TID check, the write test and the
// fall-backs, on real folders and real read-only file systems.

#include "app/DriveSelect.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "clients/DataAccess.h"
#include "tests/support/TestSupport.h"

using MsgBox::Answer;

namespace {

const QString NotOurs = QStringLiteral("This is not an ZEP-Adult Probation Short Form data disk. Aborting program.");
const QString TryAgain = QStringLiteral("Drive select unsuccessful, would you like to try again?");

QString NoTestInformation(const QString& drive)
{
    return QStringLiteral("No test information found on drive %1, would you like to try another drive?").arg(drive);
}

// A chooser that hands out the given drives in turn.
DriveSelectHooks Chooser(QStringList drives, int* refreshes = nullptr)
{
    DriveSelectHooks hooks;
    hooks.chooseDrive = [drives]() mutable { return drives.isEmpty() ? QString() : drives.takeFirst(); };
    hooks.refreshMainMenu = [refreshes] {
        if (refreshes)
            ++*refreshes;
    };
    return hooks;
}

QStringList Texts()
{
    QStringList texts;
    for (const auto& m : MsgBox::Shown())
        texts << m.text;
    return texts;
}

} // namespace

class tst_DriveSelect : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;

    // Writes clients on the test's disk and remembers it in the settings.
    void RememberedDisk(int clients)
    {
        WriteClients(t->disk(), Names(QStringLiteral("C"), clients));
        SaveINIFilePath(t->disk());
    }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { t.reset(); }

    void startUpTriesTheRememberedDriveWithoutAsking()
    {
        RememberedDisk(2);
        QCOMPARE(SelectDataDrive(true, Chooser({})), DriveSelectResult::Connected);
        QVERIFY(MsgBox::Shown().isEmpty());
        QCOMPARE(program().DataDrive, t->disk());
        QCOMPARE(program().DataFilePath, t->disk() + QStringLiteral("/DATA401.ZEP"));
        QCOMPARE(program().ClientCount, 2);
        QVERIFY(!QFile::exists(t->disk() + QStringLiteral("/checkWriteTest")));
    }


    void yesShowsTheChooserAndASuccessIsRememberedForNextTime()
    {
        WriteClients(t->disk(), {QStringLiteral("Ann")});
        MsgBox::SetNextAnswer(Answer::Yes);
        QCOMPARE(SelectDataDrive(true, Chooser({t->disk()})), DriveSelectResult::Connected);
        QCOMPARE(GetINIFilePath(), t->disk());
        QCOMPARE(program().ClientCount, 1);
        QCOMPARE(program().CurrentClient, 1);
    }

    void identificationMustBeExactlyZepsf()
    {
        for (const QByteArray& tid : {QByteArray("ZEPSF \r\n"), QByteArray("zepsf\r\n"), QByteArray("ZEPSF2"),
                                      QByteArray(""), QByteArray("\r\nZEPSF\r\n")}) {
            t = std::make_unique<TestProgram>();
            TestProgram::MakeDataDisk(t->disk(), tid);
            SaveINIFilePath(t->disk());
            MsgBox::SetNextAnswers({Answer::Ok, Answer::No});
            QCOMPARE(SelectDataDrive(true, Chooser({})), DriveSelectResult::EndProgram);
            QCOMPARE(Texts(), (QStringList{NotOurs, TryAgain}));
            QCOMPARE(MsgBox::Shown().at(0).title, QStringLiteral("Data Disk Error"));
            // A disk that is not ours is left as it was found.
            QCOMPARE(QDir(t->disk()).entryList(QDir::Files), QStringList{QStringLiteral("TID")});
        }
        for (const QByteArray& tid : {QByteArray("ZEPSF"), QByteArray("ZEPSF\n"), QByteArray("ZEPSF\r\nmore")}) {
            t = std::make_unique<TestProgram>();
            TestProgram::MakeDataDisk(t->disk(), tid);
            QCOMPARE(SelectDataDrive(false, Chooser({t->disk()})), DriveSelectResult::Connected);
        }
    }

    // The default drive A: is not found and No ends the program; a drive without TID
    // gets nothing created.
    void aDriveWithoutTidIsNotFoundAndGetsNothingCreated()
    {
        MsgBox::SetNextAnswer(Answer::No);
        QCOMPARE(SelectDataDrive(true, Chooser({})), DriveSelectResult::EndProgram);
        QCOMPARE(Texts(), QStringList{NoTestInformation(QStringLiteral("A:"))});
        QCOMPARE(LastMessage().buttons, MsgBox::Buttons::YesNo);
        QCOMPARE(LastMessage().title, QStringLiteral("ZEP - Adult Probation Short Form"));
        MsgBox::ResetTestState();
        MsgBox::SetNextAnswers({Answer::Yes, Answer::No});
        QCOMPARE(SelectDataDrive(true, Chooser({t->disk()})), DriveSelectResult::EndProgram);
        QVERIFY(QDir(t->disk()).isEmpty());
        QCOMPARE(Texts().at(1), NoTestInformation(t->disk().toUpper()));
    }

    void emptyDriveMeansTheRootFolder()
    {
        QCOMPARE(DriveFile(QString(), QStringLiteral("TID")), QStringLiteral("/TID"));
        QCOMPARE(DriveFile(QStringLiteral("/media/usb"), QStringLiteral("DATA401.ZEP")),
                 QStringLiteral("/media/usb/DATA401.ZEP"));
        MsgBox::SetNextAnswers({Answer::Yes, Answer::No});
        QCOMPARE(SelectDataDrive(true, Chooser({QString()})), DriveSelectResult::EndProgram);
        QCOMPARE(Texts().at(1), NoTestInformation(QString()));
    }

    void menuModeFallsBackToThePreviousDisk()
    {
        WriteClients(t->disk(), {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")});
        QVERIFY(OpenDataDisk(t->disk()));
        SaveINIFilePath(t->disk());
        QTemporaryDir stranger;
        TestProgram::MakeDataDisk(stranger.path(), "OTHER\r\n");

        int refreshes = 0;
        MsgBox::SetNextAnswers({Answer::Ok, Answer::No});
        QCOMPARE(SelectDataDrive(false, Chooser({stranger.path()}, &refreshes)), DriveSelectResult::FellBack);
        QCOMPARE(Texts(), (QStringList{NotOurs, TryAgain}));
        QCOMPARE(program().DataDrive, t->disk());
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(refreshes, 1);
        QCOMPARE(GetINIFilePath(), t->disk());  // not saved on a fall-back
    }

    void menuModeEndsWhenThePreviousDiskIsGoneToo()
    {
        QString previous;
        {
            QTemporaryDir gone;
            WriteClients(gone.path(), {QStringLiteral("Ann")});
            QVERIFY(OpenDataDisk(gone.path()));
            previous = gone.path();
        }
        QTemporaryDir empty;
        MsgBox::SetNextAnswers({Answer::No, Answer::Ok});
        QCOMPARE(SelectDataDrive(false, Chooser({empty.path()})), DriveSelectResult::EndProgram);
        QCOMPARE(LastMessage().text, QStringLiteral("Reload of original data disk failed, aborting Program"));
        QCOMPARE(LastMessage().buttons, MsgBox::Buttons::OkOnly);
    }

    void writeProtectedDiskCanBeUnprotectedAndRetried()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        WriteClients(disk.path(), {QStringLiteral("Ann"), QStringLiteral("Bob")});
        SaveINIFilePath(disk.path());
        QVERIFY(disk.remountReadOnly());

        MsgBox::SetObserver([&](const MsgBox::Message& m) {
            if (m.text.startsWith(QStringLiteral("Data disk write protected!")))
                disk.remountWritable();
        });
        MsgBox::SetNextAnswer(Answer::Ok);
        QCOMPARE(SelectDataDrive(true, Chooser({})), DriveSelectResult::Connected);
        QCOMPARE(Texts(), QStringList{QStringLiteral("Data disk write protected!\r\rSet the data disk to writable and "
                                                     "replace in drive.")});
        QCOMPARE(LastMessage().buttons, MsgBox::Buttons::OkCancel);
        QCOMPARE(LastMessage().icon, MsgBox::Icon::Critical);
        QCOMPARE(program().ClientCount, 2);
    }

    void cancellingTheWriteProtectionMessageKeepsWhatWasRead()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        WriteClients(disk.path(), {QStringLiteral("Ann"), QStringLiteral("Bob")});
        QVERIFY(disk.remountReadOnly());
        SaveINIFilePath(QStringLiteral("/somewhere/else"));

        MsgBox::SetNextAnswer(Answer::Cancel);
        QCOMPARE(SelectDataDrive(false, Chooser({disk.path()})), DriveSelectResult::Interrupted);
        QCOMPARE(program().DataDrive, disk.path());
        QCOMPARE(program().ClientCount, 2);  // read before the write test failed
        QCOMPARE(GetINIFilePath(), QStringLiteral("/somewhere/else"));
    }

    void aDiskPulledBetweenOperationsIsNotFound()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        WriteClients(disk.path(), {QStringLiteral("Ann")});
        QVERIFY(OpenDataDisk(disk.path()));
        QVERIFY(disk.unmount());

        MsgBox::SetNextAnswer(Answer::Cancel);
        QVERIFY(!WriteClientRecord(1));
        QVERIFY(LastMessage().text.contains(QStringLiteral("Data disk not found!")));

        // Connecting it again finds the mount point empty: no test information there.
        MsgBox::SetNextAnswer(Answer::No);
        QCOMPARE(SelectDataDrive(true, Chooser({})), DriveSelectResult::EndProgram);
        QVERIFY(QDir(disk.path()).isEmpty());
    }

    void aDiskWithTooManyClientsIsRefusedUntouched()
    {
        RememberedDisk(52);
        const QByteArray before = ReadFileBytes(t->dataFile());
        MsgBox::SetNextAnswers({Answer::Ok, Answer::No});
        QCOMPARE(SelectDataDrive(true, Chooser({})), DriveSelectResult::EndProgram);
        QCOMPARE(MsgBox::Shown().at(0).title, QStringLiteral("Data Disk Error"));
        QCOMPARE(MsgBox::Shown().at(1).text, TryAgain);
        QCOMPARE(ReadFileBytes(t->dataFile()), before);
        QVERIFY(!QFile::exists(t->disk() + QStringLiteral("/checkWriteTest")));
    }

    void unexpectedErrorsShowTheirNumberAndStop()
    {
        TestProgram::MakeDataDisk(t->disk());
        QVERIFY(QDir(t->disk()).mkdir(QStringLiteral("DATA401.ZEP")));  // a folder where the file belongs
        MsgBox::SetNextAnswer(Answer::Ok);
        QCOMPARE(SelectDataDrive(false, Chooser({t->disk()})), DriveSelectResult::Interrupted);
        QVERIFY2(LastMessage().text.startsWith(QStringLiteral("Error 21:Is a directory")), qPrintable(LastMessage().text));
        QCOMPARE(LastMessage().buttons, MsgBox::Buttons::OkOnly);
    }
};

QTEST_GUILESS_MAIN(tst_DriveSelect)
#include "tst_DriveSelect.moc"
