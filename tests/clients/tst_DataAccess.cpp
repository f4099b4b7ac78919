// The client record on disk and the client table in memory.
#include <QtTest>

#include "app/Program.h"
#include "clients/DataAccess.h"
#include "tests/support/TestSupport.h"

namespace {

QByteArray Pad(const QByteArray& value, int length)
{
    return value.leftJustified(length, ' ', true);
}

// The record of SampleRecord("Jane Doe"), written out by hand field by field.
QByteArray HandMadeRecord()
{
    QByteArray r;
    r += Pad("Jane Doe", 25);      // Name                  0
    r += "123-45-6789";            // SSN                  25
    r += Pad("34", 3);             // Age                  36
    r += "1";                      // Gender               39
    r += "2";                      // Race                 40
    r += "12";                     // Education            41
    r += "3";                      // Marital              43
    r += "11/02/2026";             // TestDate             44
    r += "19";                     // AgeAtFirstConviction 54
    r += "3 ";                     // Misdemeanor          56
    r += "1 ";                     // Felony               58
    r += "2 ";                     // Probation            60
    r += "0 ";                     // ProbationRevocations 62
    r += "1 ";                     // Alcohol              64
    r += "N ";                     // Parole               66
    r += "0 ";                     // ParoleRevocations    68
    r += "2 ";                     // Jail                 70
    r += "0 ";                     // Prison               72
    r += "1 ";                     // Years                74
    r += "0 ";                     // Drug                 76
    r += QByteArray(60, '2') + "1234";  // Answers         78
    r += "0";                      // EditCount           142
    r += "0";                      // NameDeleted         143
    r += "04/17/1990";             // DateOfBirth         144
    return r;
}

QByteArray Records(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += RecordToBytes(SampleRecord(QStringLiteral("Client %1").arg(i)));
    return bytes;
}

} // namespace

class tst_DataAccess : public QObject {
    Q_OBJECT

private slots:
    void recordLayoutMatchesHandWrittenBytes()
    {
        const QByteArray expected = HandMadeRecord();
        QCOMPARE(expected.size(), 154);
        QCOMPARE(RecordToBytes(SampleRecord(QStringLiteral("Jane Doe"))), expected);
        QCOMPARE(RecordFromBytes(expected.constData()), SampleRecord(QStringLiteral("Jane Doe")));
        QCOMPARE(RecordFromBytes(expected.constData()).DateOfBirth.trimmed(), QStringLiteral("04/17/1990"));
    }

    void fieldsAreCutAndBlankFilled()
    {
        ClientRecord r;
        r.Name = QStringLiteral("A name of thirty characters..");
        r.Name = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcd");
        r.Education = "N";
        QCOMPARE(r.Name.text(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"));
        QCOMPARE(r.Education.text(), QStringLiteral("N "));
        QCOMPARE(RecordToBytes(r).mid(41, 2), QByteArray("N "));
    }

    void textIsStoredAsWindows1252()
    {
        TestProgram t;
        QVERIFY(LoadClientTable());
        ClientRecord& r = program().ClientTable[1];
        r = SampleRecord(QStringLiteral("José Müller €5 Ω\U0001F600"));
        const QByteArray name = RecordToBytes(r).left(25);
        QCOMPARE(name, QByteArray("Jos\xe9 M\xfcller \x80" "5 ??").leftJustified(25, ' '));

        program().CurrentClient = 1;
        QVERIFY(CompleteNewClient());
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientTable[1].Name.trimmed(), QStringLiteral("José Müller €5 ??"));
    }

    void absentFileIsCreatedEmptyAndFirstClientBecomesRecordOne()
    {
        TestProgram t;
        QVERIFY(!QFile::exists(t.dataFile()));
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientCount, 0);
        QCOMPARE(program().CurrentClient, 0);
        QVERIFY(QFile::exists(t.dataFile()));
        QCOMPARE(QFileInfo(t.dataFile()).size(), 0);

        program().CurrentClient = 1;
        program().ClientTable[1] = SampleRecord(QStringLiteral("Jane Doe"));
        QVERIFY(CompleteNewClient());
        QCOMPARE(program().ClientCount, 1);
        QCOMPARE(ReadFileBytes(t.dataFile()), HandMadeRecord());
    }

    void loadsEveryRecordIntoItsSlot()
    {
        TestProgram t;
        WriteFileBytes(t.dataFile(), Records(3));
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(program().CurrentClient, 1);
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(program().ClientTable[i], SampleRecord(QStringLiteral("Client %1").arg(i)));
        QVERIFY(MsgBox::Shown().isEmpty());
    }

    void writeTouchesOnlyItsRecordOrExtendsByOne()
    {
        TestProgram t;
        const QByteArray before = Records(3);
        WriteFileBytes(t.dataFile(), before);
        QVERIFY(LoadClientTable());

        program().ClientTable[2].Answers = QString(64, QLatin1Char('1'));
        QVERIFY(WriteClientRecord(2));
        const QByteArray after = ReadFileBytes(t.dataFile());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.left(154), before.left(154));
        QCOMPARE(after.mid(154 + 78, 64), QByteArray(64, '1'));
        QCOMPARE(after.mid(308), before.mid(308));

        program().CurrentClient = 4;
        program().ClientTable[4] = SampleRecord(QStringLiteral("Fourth"));
        QVERIFY(CompleteNewClient());
        QCOMPARE(QFileInfo(t.dataFile()).size(), 4 * 154);
        QCOMPARE(program().ClientCount, 4);
    }

    void clearCurrentRecordBlanksEveryField()
    {
        TestProgram t;
        program().CurrentClient = 5;
        program().ClientTable[5] = SampleRecord(QStringLiteral("Someone"));
        ClearCurrentRecord();
        QCOMPARE(RecordToBytes(program().ClientTable[5]), QByteArray(154, ' '));
        QCOMPARE(program().ClientTable[5].DateOfBirth.trimmed(), QString());
    }

    void refusesMoreClientsThanTheTableHolds()
    {
        TestProgram t;
        WriteFileBytes(t.dataFile(), Records(3));
        QVERIFY(LoadClientTable());
        const QByteArray big = Records(52);
        WriteFileBytes(t.dataFile(), big);

        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QVERIFY(!LoadClientTable());
        QCOMPARE(LastMessage().title, QStringLiteral("Data Disk Error"));
        QVERIFY(LastMessage().text.contains(QStringLiteral("more clients than the program can hold")));
        QVERIFY(LastMessage().text.contains(QStringLiteral("52")));
        QCOMPARE(program().ClientCount, 3);  // the table of the last good load stays
        QCOMPARE(ReadFileBytes(t.dataFile()), big);

        WriteFileBytes(t.dataFile(), Records(51));
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientCount, 51);
    }

    void partialTrailingRecordIsNoClientAndIsReplacedByTheNextOne()
    {
        TestProgram t;
        WriteFileBytes(t.dataFile(), Records(2) + QByteArray("half a rec"));
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientCount, 2);
        QCOMPARE(MsgBox::Shown().size(), 1);
        QCOMPARE(LastMessage().icon, MsgBox::Icon::Exclamation);
        QVERIFY(LastMessage().text.contains(QStringLiteral("10 bytes")));

        QVERIFY(LoadClientTable());  // the same file again: told once is enough
        QCOMPARE(MsgBox::Shown().size(), 1);

        program().CurrentClient = 3;
        program().ClientTable[3] = SampleRecord(QStringLiteral("Third"));
        QVERIFY(CompleteNewClient());
        QCOMPARE(ReadFileBytes(t.dataFile()), Records(2) + RecordToBytes(SampleRecord(QStringLiteral("Third"))));
    }

    void failedWriteNeverCountsTheNewClient()
    {
        TestProgram t;
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        program().DataDrive = disk.path();
        program().DataFilePath = disk.path() + QStringLiteral("/DATA401.ZEP");
        QVERIFY(LoadClientTable());
        QVERIFY(disk.remountReadOnly());

        program().CurrentClient = 1;
        program().ClientTable[1] = SampleRecord(QStringLiteral("Jane Doe"));
        MsgBox::SetNextAnswers({MsgBox::Answer::Ok, MsgBox::Answer::Cancel});  // retry once, then give up
        QVERIFY(!CompleteNewClient());
        QCOMPARE(program().ClientCount, 0);
        QCOMPARE(MsgBox::Shown().size(), 2);
        QCOMPARE(LastMessage().title, QStringLiteral("Data Disk Error"));
        QCOMPARE(LastMessage().buttons, MsgBox::Buttons::OkCancel);
        QCOMPARE(LastMessage().icon, MsgBox::Icon::Critical);
        QVERIFY(LastMessage().text.contains(QStringLiteral("Data disk write protected!")));
        QCOMPARE(QFileInfo(program().DataFilePath).size(), 0);

        // Unprotected while the message is up, OK saves it.
        MsgBox::SetObserver([&](const MsgBox::Message&) { disk.remountWritable(); });
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QVERIFY(CompleteNewClient());
        QCOMPARE(program().ClientCount, 1);
        QCOMPARE(ReadFileBytes(program().DataFilePath), HandMadeRecord());
    }

    void fullDiskIsReportedWithItsReason()
    {
        TestProgram t;
        TmpfsMount disk(QStringLiteral("size=16k"));
        REQUIRE_TMPFS(disk);
        program().DataDrive = disk.path();
        program().DataFilePath = disk.path() + QStringLiteral("/DATA401.ZEP");
        // 26 records end at byte 4004, so the 27th needs a new block of the full disk.
        WriteFileBytes(program().DataFilePath, Records(26));
        QFile filler(disk.path() + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
        }
        filler.close();
        QVERIFY(LoadClientTable());

        program().CurrentClient = 27;
        program().ClientTable[27] = SampleRecord(QStringLiteral("Overflow"));
        MsgBox::SetNextAnswer(MsgBox::Answer::Cancel);
        QVERIFY(!CompleteNewClient());
        QCOMPARE(program().ClientCount, 26);
        QVERIFY2(LastMessage().text.contains(QStringLiteral("Error 28:No space left on device")), qPrintable(LastMessage().text));
    }

    void vanishedDiskIsReportedAsNotFound()
    {
        TestProgram t;
        WriteFileBytes(t.dataFile(), Records(1));
        QVERIFY(LoadClientTable());
        QVERIFY(QFile::remove(t.dataFile()));  // the disk was swapped for an empty one

        MsgBox::SetNextAnswer(MsgBox::Answer::Cancel);
        QVERIFY(!WriteClientRecord(1));
        QVERIFY(LastMessage().text.contains(QStringLiteral("Data disk not found!")));
        QVERIFY(!QFile::exists(t.dataFile()));  // nothing written on the wrong disk
    }

    void recordsAreNeverWrittenPastAGap()
    {
        TestProgram t;
        WriteFileBytes(t.dataFile(), Records(3));
        QVERIFY(LoadClientTable());
        WriteFileBytes(t.dataFile(), Records(1));  // another disk with fewer clients

        program().CurrentClient = 4;
        MsgBox::SetNextAnswer(MsgBox::Answer::Cancel);
        QVERIFY(!CompleteNewClient());
        QVERIFY(LastMessage().text.startsWith(QStringLiteral("A different data disk is in the drive.")));
        QCOMPARE(ReadFileBytes(t.dataFile()), Records(1));
    }
};

QTEST_GUILESS_MAIN(tst_DataAccess)
#include "tst_DataAccess.moc"
