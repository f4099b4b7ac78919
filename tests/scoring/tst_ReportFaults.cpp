// REPORT.PRN and the report tool against links, pipes and hostile bytes.
#include <sys/stat.h>

#include "clients/RegularFile.h"
#include "tests/scoring/ScoringTestCase.h"

class tst_ReportFaults : public ScoringTestCase {
    Q_OBJECT

    QString DataFile() const { return folder() + QStringLiteral("/DATA401.ZEP"); }

private slots:
    void init() { Fresh(); }

    void reportIsNeverWrittenThroughALink_data()
    {
        QTest::addColumn<bool>("dangling");
        QTest::addColumn<bool>("tool");
        QTest::newRow("dangling link, program") << true << false;
        QTest::newRow("link to a file, program") << false << false;
        QTest::newRow("dangling link, zepreport --folder") << true << true;
        QTest::newRow("link to a file, zepreport --folder") << false << true;
    }

    // A confidential report stays in the program folder, whatever REPORT.PRN pointed to.
    void reportIsNeverWrittenThroughALink()
    {
        QFETCH(bool, dangling);
        QFETCH(bool, tool);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.path() + QStringLiteral("/stolen.txt");
        if (!dangling)
            WriteFileBytes(target, "someone else's file\r\n");
        QVERIFY(QFile::link(target, ReportPath()));
        if (tool) {
            data.WriteTo(folder());
            WriteFileBytes(DataFile(), RecordToBytes(QuietClient()));
            QCOMPARE(RunTool({QStringLiteral("--folder"), folder(), DataFile(), QStringLiteral("1")}).exitCode, 0);
        } else {
            QVERIFY(Score(QuietClient()));
        }
        QVERIFY(!QFileInfo(ReportPath()).isSymLink());
        QVERIFY(ReadFileBytes(ReportPath()).contains("Quiet Client"));
        QCOMPARE(QFileInfo::exists(target), !dangling);
        if (!dangling)
            QCOMPARE(ReadFileBytes(target), QByteArray("someone else's file\r\n"));
    }

    void reportLostAtSyncOrCloseLeavesNoReport_data()
    {
        QTest::addColumn<FileFault>("fault");
        QTest::newRow("fsync") << FileFault::Sync;
        QTest::newRow("close") << FileFault::Close;
    }

    void reportLostAtSyncOrCloseLeavesNoReport()
    {
        QFETCH(FileFault, fault);
        InjectFileFault(fault, EIO);
        QVERIFY(!Score(QuietClient()));
        QVERIFY(!QFile::exists(ReportPath()));
    }

    void zepreportRefusesAPipeAsItsDataFile()
    {
        data.WriteTo(folder());
        QCOMPARE(::mkfifo(QFile::encodeName(DataFile()).constData(), 0644), 0);
        const ToolRun run = RunTool({QStringLiteral("--folder"), folder(), DataFile(), QStringLiteral("1")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Not a regular file"), run.err.constData());
        QVERIFY(!QFile::exists(ReportPath()));
    }

    void controlBytesInClientFieldsPrintHarmlessly_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("escape sequence in the name") << 0 << QByteArray("Eve\x1b[2J\x0c") << QByteArray("Eve?[2J?");
        QTest::newRow("form feed in the ID") << 25 << QByteArray("12\x0c-4") << QByteArray("12?-4");
        QTest::newRow("NUL in the date of birth") << 144 << QByteArray("01/\x00" "2/1990", 10) << QByteArray("01/?2/1990");
        QTest::newRow("undefined Windows-1252 byte in the name") << 0 << QByteArray("Ann\x81") << QByteArray("Ann?");
    }

    // The record's bytes as an old or hostile disk holds them: the report carries a "?" for
    // each control byte, so nothing reaches the printer but text, in the usual columns.
    void controlBytesInClientFieldsPrintHarmlessly()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, printed);
        QByteArray record = RecordToBytes(QuietClient());
        record.replace(offset, bytes.size(), bytes);
        QVERIFY(Score(RecordFromBytes(record.constData())));
        const QByteArray report = ReadFileBytes(ReportPath());

        QByteArray plain = RecordToBytes(QuietClient());
        plain.replace(offset, printed.size(), printed);
        QVERIFY(Score(RecordFromBytes(plain.constData())));
        QCOMPARE(report, ReadFileBytes(ReportPath()));
        QVERIFY(report.contains(printed));
    }

    void messagesQuoteBadValuesEscaped()
    {
        data.WriteTo(folder());
        QByteArray text = data.ScoringFileText();
        text.replace(text.indexOf("\r\n30\r\n"), 6, "\r\n3\x1b[2J\r\n");
        WriteFileBytes(folder() + QStringLiteral("/zepsfb.TXT"), text);
        program().ClientTable[1] = QuietClient();
        program().CurrentClient = 1;
        const ScoringResult result = ScoreAndReport();
        QVERIFY(!result.Ok);
        QVERIFY2(result.Message.contains(QStringLiteral("\"3\\x1B[2J\" is not a whole number")), qPrintable(result.Message));

        data.WriteTo(folder());
        WriteFileBytes(DataFile(), RecordToBytes(QuietClient()));
        const ToolRun run = RunTool({QStringLiteral("--folder"), folder(), DataFile(), QStringLiteral("7\x0c")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("slot 7\\x0C is outside"), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(tst_ReportFaults)
#include "tst_ReportFaults.moc"
