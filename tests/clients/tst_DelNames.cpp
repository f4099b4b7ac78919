// Deleting client names: the scrambled code of each character, and runs over a data disk
// compared byte for byte with what the disk must hold afterwards.
#include <cerrno>

#include "base/Program.h"
#include "base/RegularFile.h"
#include "clients/DataAccess.h"
#include "clients/DelNames.h"
#include "tests/support/TestSupport.h"

using MsgBox::Answer;

class tst_DelNames : public QObject {
    Q_OBJECT

    QByteArray file;  // what the data file must hold

    void MarkDeleted(int slot, const QByteArray& scrambledName = {})
    {
        if (!scrambledName.isNull())
            file.replace((slot - 1) * RecordLength, 25, scrambledName.leftJustified(25, ' '));
        file[(slot - 1) * RecordLength + 143] = '1';
    }
    void CompareDisk()
    {
        QCOMPARE(ReadFileBytes(program().DataFilePath), file);
        for (int slot = 1; slot <= program().ClientCount; ++slot)  // memory holds what the disk holds
            QCOMPARE(RecordToBytes(program().ClientTable[slot]), file.mid((slot - 1) * RecordLength, RecordLength));
    }

private slots:
    void scramblesEachCode_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("scrambled");
        QTest::newRow("accented") << QByteArray("\xE9\xF1\xC0\xD6") << QByteArray("\xEC\xF4\xC7\xDD");
        QTest::newRow("top codes wrap to capitals") << QByteArray("\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF")
                                                    << QByteArray("\xFF\xFC"
                                                                  "B\xFE"
                                                                  "DAFC");
        QTest::newRow("onto undefined bytes and DEL")
            << QByteArray("xz\x86\x88\x96") << QByteArray("\x7F\x81\x8D\x8F\x9D");
        QTest::newRow("control codes, never a blank") << QByteArray("\x1D\x02\x19") << QByteArray("!\x09\x1C");
    }
    void scramblesEachCode()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, scrambled);
        const QString result = ScrambleName(FromAnsi(name));
        QCOMPARE(ToAnsi(result), scrambled);
        QCOMPARE(FromAnsi(ToAnsi(result)), result);  // the disk gives back what memory holds
    }

    // The second client is marked already; the device reports the third client's write lost
    // (every write replaces the whole file, so no size limit or full disk could fail that write
    // and not the one before it).
    void runsUntilEveryNameIsDeleted()
    {
        TestProgram t;
        CHECKED(WriteClients(t.disk(), {QStringLiteral("abc def"), QStringLiteral("Kept"), QStringLiteral("xyz"),
                                        QStringLiteral("Ann")}));
        file = ReadFileBytes(t.dataFile());
        MarkDeleted(2);
        CHECKED(WriteFileBytes(t.dataFile(), file));
        QVERIFY(LoadClientTable());

        MsgBox::SetNextAnswer(Answer::No);
        QCOMPARE(DeleteClientNames(), DeleteNamesOutcome::Declined);
        CHECKED(CompareDisk());
        QCOMPARE(LastMessage().buttons, MsgBox::Buttons::YesNo);
        QCOMPARE(LastMessage().defaultButton, Answer::No);  // Enter must not delete the names

        InjectFileFault(FileFault::Sync, EIO, 1);
        MsgBox::SetNextAnswers({Answer::Yes, Answer::Cancel});
        QCOMPARE(DeleteClientNames(), DeleteNamesOutcome::Interrupted);
        QCOMPARE(LastMessage().title, QStringLiteral("Data Disk Error"));
        MarkDeleted(1, "dif khm");
        CHECKED(CompareDisk());

        MsgBox::SetNextAnswers({Answer::Yes, Answer::Ok});
        QCOMPARE(DeleteClientNames(), DeleteNamesOutcome::Completed);
        QCOMPARE(MsgBox::Shown().size(), 5);  // the question and "Process complete"
        MarkDeleted(3, "\x7F|\x81");
        MarkDeleted(4, "Duu");
        CHECKED(CompareDisk());
    }
};

QTEST_GUILESS_MAIN(tst_DelNames)
#include "tst_DelNames.moc"
