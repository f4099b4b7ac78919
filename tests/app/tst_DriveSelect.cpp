// Connecting a data disk: the presence test, the TID check, the write test and the
// fall-backs, on real folders and real read-only file systems.

#include "app/DriveSelect.h"
#include "app/Settings.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "tests/support/TestSupport.h"

using MsgBox::Answer;
using Result = DriveSelectResult;

namespace {

// The start of each message the operator may see here.
const QString NotOurs = "This is not an ZEP-Adult Probation Short Form data disk.",
              TryAgain = "Drive select unsuccessful";
QString NoTestInformation(const QString& drive) { return "No test information found on drive " + drive + ","; }

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

// The messages shown so far, each cut to the length of the start expected in its place.
QStringList Shown(const QStringList& starts)
{
    QStringList texts;
    for (const auto& m : MsgBox::Shown())
        texts << m.text.left(texts.size() < starts.size() ? starts[texts.size()].size() : m.text.size());
    return texts;
}

}  // namespace

class tst_DriveSelect : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { t.reset(); }

    void aDiskIsConnectedOnlyWhenItIsOurs_data()
    {
        QTest::addColumn<QByteArray>("tid");   // null: no TID at all
        QTest::addColumn<int>("clients");      // -1: a folder where the data file belongs
        QTest::addColumn<bool>("remembered");  // the settings name the disk (else A:)
        QTest::addColumn<QString>("chosen");   // "disk": the test's disk; null: none
        QTest::addColumn<QString>("answers");  // Yes, No, Ok as Y, N, O
        QTest::addColumn<Result>("result");
        QTest::addColumn<QStringList>("texts");  // the start of each message shown
        const QByteArray ok = "ZEPSF\r\n";
        const QString notAtA = NoTestInformation("A:");
        const auto tidRow = [](QByteArray tid) -> QTestData& {
            return QTest::addRow("TID %s", tid.replace("\r", "\\r").replace("\n", "\\n").constData());
        };
        QTest::newRow("remembered disk, nothing asked")
            << ok << 2 << true << QString() << "" << Result::Connected << QStringList();
        for (const QByteArray tid : {"ZEPSF", "ZEPSF\n", "ZEPSF\r\nmore"})  // nothing at A:, Yes, the chosen disk
            tidRow(tid) << tid << 1 << false << "disk"
                        << "Y" << Result::Connected << QStringList{notAtA};
        for (const QByteArray tid : {"ZEPSF \r\n", "zepsf\r\n", "ZEPSF2", "", "\r\nZEPSF\r\n"})
            tidRow(tid) << tid << 1 << true << QString() << "ON" << Result::EndProgram
                        << QStringList{NotOurs, TryAgain};
        QTest::newRow("nothing at A:, No ends")
            << QByteArray() << 0 << false << QString() << "N" << Result::EndProgram << QStringList{notAtA};
        QTest::newRow("folder without TID")
            << QByteArray() << 0 << false << "disk"
            << "YN" << Result::EndProgram << QStringList{notAtA, NoTestInformation("DISK")};
        QTest::newRow("empty drive is the root folder")
            << QByteArray() << 0 << false << ""
            << "YN" << Result::EndProgram << QStringList{notAtA, NoTestInformation("")};
        QTest::newRow("too many clients") << ok << 52 << true << QString() << "ON" << Result::EndProgram
                                          << QStringList{"This data disk holds more clients", TryAgain};
        QTest::newRow("unexpected error")
            << ok << -1 << true << QString() << "O" << Result::Interrupted << QStringList{"Error 21:Is a directory"};
    }

    // At start-up: a refused disk is left exactly as it was found and is not remembered; a
    // connected one is read, remembered, and its first client is current.
    void aDiskIsConnectedOnlyWhenItIsOurs()
    {
        QFETCH(QByteArray, tid);
        QFETCH(int, clients);
        QFETCH(bool, remembered);
        QFETCH(QString, chosen);
        QFETCH(QString, answers);
        QFETCH(Result, result);
        QFETCH(QStringList, texts);
        if (!tid.isNull())
            CHECKED(TestProgram::MakeDataDisk(t->disk(), tid));
        if (clients > 0)
            CHECKED(WriteFileBytes(t->dataFile(), Records(Names("C", clients))));
        if (clients < 0)
            QVERIFY(QDir(t->disk()).mkdir("DATA401.ZEP"));
        if (remembered)
            SaveINIFilePath(t->disk());
        const QByteArray ini = ReadFileBytes(program().IniPath), data = ReadFileBytes(t->dataFile());
        const QStringList files = QDir(t->disk()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (QChar a : answers)
            MsgBox::SetNextAnswer(a == 'Y' ? Answer::Yes : a == 'N' ? Answer::No : Answer::Ok);
        const QStringList drives = chosen.isNull() ? QStringList() : QStringList{chosen == "disk" ? t->disk() : chosen};
        QCOMPARE(SelectDataDrive(true, Chooser(drives)), result);
        texts.replaceInStrings("DISK", t->disk().toUpper());
        QCOMPARE(Shown(texts), texts);
        QCOMPARE(QDir(t->disk()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
        QCOMPARE(ReadFileBytes(t->dataFile()), data);
        QCOMPARE(ReadFileBytes(program().IniPath) == ini, result != Result::Connected || remembered);
        if (result == Result::Connected) {
            QCOMPARE(GetINIFilePath(), t->disk());
            QCOMPARE(program().ClientCount, clients);
            QCOMPARE(program().CurrentClient, 1);
        }
    }

    void menuModeFallsBackToThePreviousDisk_data()
    {
        QTest::addColumn<bool>("previousGone");
        QTest::newRow("previous disk still there") << false;
        QTest::newRow("previous disk gone too") << true;
    }
    void menuModeFallsBackToThePreviousDisk()
    {
        QFETCH(bool, previousGone);
        QTemporaryDir previous, stranger;
        CHECKED(WriteClients(previous.path(), Names("C", 3)));
        QVERIFY(OpenDataDisk(previous.path()));
        SaveINIFilePath(previous.path());
        CHECKED(TestProgram::MakeDataDisk(stranger.path(), "OTHER\r\n"));
        if (previousGone)
            QVERIFY(previous.remove());

        int refreshes = 0;
        MsgBox::SetNextAnswers({Answer::Ok, Answer::No, Answer::Ok});
        QCOMPARE(SelectDataDrive(false, Chooser({stranger.path()}, &refreshes)),
                 previousGone ? Result::EndProgram : Result::FellBack);
        const QStringList texts =
            QStringList{NotOurs, TryAgain} + QStringList(previousGone, "Reload of original data disk failed");
        QCOMPARE(Shown(texts), texts);
        QCOMPARE(refreshes, previousGone ? 0 : 1);
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(GetINIFilePath(), previous.path());  // not saved on a fall-back
    }

    void aWriteProtectedDiskIsRetriedOrKeptAsRead_data()
    {
        QTest::addColumn<bool>("unprotect");
        QTest::newRow("unprotected while asked, OK retries") << true;
        QTest::newRow("Cancel keeps what was read") << false;
    }
    void aWriteProtectedDiskIsRetriedOrKeptAsRead()
    {
        QFETCH(bool, unprotect);
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        CHECKED(WriteClients(disk.path(), {"Ann", "Bob"}));
        SaveINIFilePath("/somewhere/else");
        QVERIFY(disk.remountReadOnly());
        if (unprotect)
            MsgBox::SetObserver([&](const MsgBox::Message&) { disk.remountWritable(); });
        MsgBox::SetNextAnswer(unprotect ? Answer::Ok : Answer::Cancel);
        QCOMPARE(SelectDataDrive(false, Chooser({disk.path()})), unprotect ? Result::Connected : Result::Interrupted);
        QCOMPARE(Shown({}),
                 QStringList{"Data disk write protected!\r\rSet the data disk to writable and replace in drive."});
        QCOMPARE(program().DataDrive, disk.path());
        QCOMPARE(program().ClientCount, 2);  // read before the write test failed
        QCOMPARE(GetINIFilePath(), unprotect ? disk.path() : QString("/somewhere/else"));
    }

    void aDiskPulledBetweenOperationsIsNotFound()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        CHECKED(WriteClients(disk.path(), {"Ann"}));
        QVERIFY(OpenDataDisk(disk.path()));
        QVERIFY(disk.unmount());
        MsgBox::SetNextAnswer(Answer::Cancel);
        QVERIFY(!WriteClientRecord(1));
        QVERIFY(LastMessage().text.contains("Data disk not found!"));
        // Connecting it again finds the mount point empty: no test information there.
        MsgBox::SetNextAnswer(Answer::No);
        QCOMPARE(SelectDataDrive(true, Chooser({})), Result::EndProgram);
        QVERIFY(QDir(disk.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_DriveSelect)
#include "tst_DriveSelect.moc"
