// The client record on disk and the client table in memory.
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "tests/support/TestSupport.h"

namespace {

// The record of SampleRecord("Jane Doe"), written out by hand field by field.
const QByteArray HandMadeRecord = QByteArray("Jane Doe").leftJustified(25)   // Name                   0
                                  + "123-45-6789"                            // SSN 25
                                  + "34 "                                    // Age 36
                                  + "1" + "2"                                // Gender 39, Race 40
                                  + "12" + "3"                               // Education 41, Marital 43
                                  + "11/02/2026"                             // TestDate 44
                                  + "19" + "3 " + "1 " + "2 " + "0 " + "1 "  // first conviction 54 .. alcohol 64
                                  + "N " + "0 " + "2 " + "0 " + "1 " + "0 "  // parole 66 .. drugs 76
                                  + QByteArray(60, '2') + "1234"             // Answers 78
                                  + "0" + "0"                                // EditCount 142, NameDeleted 143
                                  + "04/17/1990";                            // DateOfBirth 144

QByteArray Records(int count) { return ::Records(Names("Client", count)); }

// A client in slot `slot` of the table, as the client forms leave a new one.
void NewClientIn(int slot, const QString& name = QStringLiteral("Jane Doe"))
{
    program().CurrentClient = qint16(slot);
    program().ClientTable[slot] = SampleRecord(name);
}

}  // namespace

class tst_DataAccess : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { t.reset(); }

    void recordLayoutMatchesHandWrittenBytes()
    {
        QCOMPARE(HandMadeRecord.size(), 154);
        QCOMPARE(RecordToBytes(SampleRecord(QStringLiteral("Jane Doe"))), HandMadeRecord);
        QCOMPARE(RecordFromBytes(HandMadeRecord.constData()), SampleRecord(QStringLiteral("Jane Doe")));
        ClientRecord r;
        r.Name = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcd");
        r.Education = "N";
        QCOMPARE(RecordToBytes(r).left(43), QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXY").leftJustified(41) + "N ");
    }

    void textIsStoredAsWindows1252()
    {
        QVERIFY(LoadClientTable());
        NewClientIn(1, QStringLiteral("José Müller €5 Ω\U0001F600"));
        QVERIFY(CompleteNewClient());
        QCOMPARE(ReadFileBytes(t->dataFile()).left(25), QByteArray("Jos\xe9 M\xfcller \x80"
                                                                   "5 ??")
                                                            .leftJustified(25));
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientTable[1].Name.trimmed(), QStringLiteral("José Müller €5 ??"));
    }

    void absentFileIsCreatedEmptyAndFirstClientBecomesRecordOne()
    {
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientCount, 0);
        QCOMPARE(QFileInfo(t->dataFile()).size(), 0);  // and it exists
        NewClientIn(1);
        QVERIFY(CompleteNewClient());
        QCOMPARE(program().ClientCount, 1);
        QCOMPARE(ReadFileBytes(t->dataFile()), HandMadeRecord);
    }

    void writeTouchesOnlyItsRecordOrExtendsByOne()
    {
        CHECKED(WriteFileBytes(t->dataFile(), Records(3)));
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(program().CurrentClient, 1);
        QCOMPARE(program().ClientTable[3], SampleRecord(QStringLiteral("Client 3")));
        QVERIFY(MsgBox::Shown().isEmpty());

        program().ClientTable[2].Answers = QString(64, QLatin1Char('1'));
        QVERIFY(WriteClientRecord(2));
        QByteArray expected = Records(3);
        expected.replace(154 + 78, 64, QByteArray(64, '1'));
        QCOMPARE(ReadFileBytes(t->dataFile()), expected);

        NewClientIn(4, QStringLiteral("Fourth"));
        QVERIFY(CompleteNewClient());
        QCOMPARE(QFileInfo(t->dataFile()).size(), 4 * 154);
        QCOMPARE(program().ClientCount, 4);
    }

    void refusesMoreClientsThanTheTableHolds()
    {
        CHECKED(WriteFileBytes(t->dataFile(), Records(3)));
        QVERIFY(LoadClientTable());
        CHECKED(WriteFileBytes(t->dataFile(), Records(52)));
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QVERIFY(!LoadClientTable());
        QVERIFY(LastMessage().text.contains(QStringLiteral("holds 52 client records")));
        QCOMPARE(program().ClientCount, 3);  // the table of the last good load stays
        QCOMPARE(ReadFileBytes(t->dataFile()), Records(52));

        CHECKED(WriteFileBytes(t->dataFile(), Records(51)));
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientCount, 51);
    }

    void partialTrailingRecordIsNoClientAndIsReplacedByTheNextOne()
    {
        CHECKED(WriteFileBytes(t->dataFile(), Records(2) + QByteArray("half a rec")));
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QVERIFY(LoadClientTable());
        QCOMPARE(program().ClientCount, 2);
        QCOMPARE(LastMessage().icon, MsgBox::Icon::Exclamation);
        QVERIFY(LastMessage().text.contains(QStringLiteral("10 bytes")));
        QVERIFY(LoadClientTable());  // the same file again: told once is enough
        QCOMPARE(MsgBox::Shown().size(), 1);

        NewClientIn(3, QStringLiteral("Third"));
        QVERIFY(CompleteNewClient());
        QCOMPARE(ReadFileBytes(t->dataFile()), Records(2) + RecordToBytes(SampleRecord(QStringLiteral("Third"))));
    }
};

QTEST_GUILESS_MAIN(tst_DataAccess)
#include "tst_DataAccess.moc"
