// The command-line report tool: same report as the program, and a clear failure otherwise.

#include "tests/scoring/ScoringTestCase.h"

class tst_zepreport : public ScoringTestCase {
    Q_OBJECT
    QString ClientFile() const { return folder() + QStringLiteral("/clients/DATA401.ZEP"); }
    void WriteClients(const QList<ClientRecord>& records)
    {
        QDir().mkpath(folder() + QStringLiteral("/clients"));
        QByteArray bytes;
        for (const ClientRecord& r : records)
            bytes += RecordToBytes(r);
        WriteFileBytes(ClientFile(), bytes);
    }

private slots:
    void init() { Fresh(); }

    void writesTheSameReportAsTheProgram()
    {
        ClientRecord second = QuietClient(QStringLiteral("  Second Client"));
        SetAnswerRange(second, 11, 20, '1');
        second.DrugConvictions = "2";
        WriteClients({QuietClient(QStringLiteral("First Client")), second});
        data.WriteTo(folder());
        const QByteArray before = ReadFileBytes(ClientFile());
        const QDateTime modified = QFileInfo(ClientFile()).lastModified();

        const ToolRun run = RunTool({QStringLiteral("--folder"), folder(), ClientFile(), QStringLiteral("2")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, QByteArray());
        const QByteArray fromTool = ReadFileBytes(ReportPath());
        QVERIFY(fromTool.contains("NAME: Second Client\r\n"));

        // The client file is left exactly as it was, leading blanks included.
        QCOMPARE(ReadFileBytes(ClientFile()), before);
        QCOMPARE(QFileInfo(ClientFile()).lastModified(), modified);

        QVERIFY(Score(second, 2));
        QCOMPARE(ReadFileBytes(ReportPath()), fromTool);

        // --summary appends the summary page to the same report.
        QCOMPARE(RunTool({QStringLiteral("--summary"), QStringLiteral("--folder"), folder(), ClientFile(), QStringLiteral("2")}).exitCode, 0);
        const QByteArray withSummary = ReadFileBytes(ReportPath());
        QVERIFY(withSummary.startsWith(fromTool + "\f\r\n\r\n"));
        QVERIFY(withSummary.contains("ONE-PAGE SUMMARY"));
    }

    void refusesABadSlotOrBrokenFilesWithoutAReport_data()
    {
        QTest::addColumn<QString>("clientFile");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<bool>("brokenData");
        QTest::addColumn<QString>("message");
        const QString file = QStringLiteral("DATA401.ZEP");
        QTest::newRow("slot zero") << file << "0" << false << "DATA401.ZEP: slot 0 is outside 1..2";
        QTest::newRow("slot past the last record") << file << "3" << false << "DATA401.ZEP: slot 3 is outside 1..2";
        QTest::newRow("slot not a number") << file << "two" << false << "outside 1..2";
        QTest::newRow("broken data file")
            << file << "1" << true << "zepsfb.TXT, line 88: MaxRaw of gender 2, race group 3, scale 4 is 84, outside 0..83";
        QTest::newRow("missing client file") << "missing.ZEP" << "1" << false << "Cannot read FOLDER/clients/missing.ZEP: ";
    }

    void refusesABadSlotOrBrokenFilesWithoutAReport()
    {
        QFETCH(QString, clientFile);
        QFETCH(QString, slot);
        QFETCH(bool, brokenData);
        QFETCH(QString, message);
        WriteClients({QuietClient(), QuietClient()});
        if (brokenData)
            data.MaxRaw[2][3][4] = 84;
        data.WriteTo(folder());
        WriteFileBytes(ReportPath(), "report of some other client\r\n");
        const QString path = folder() + QStringLiteral("/clients/") + clientFile;
        const ToolRun run = RunTool({QStringLiteral("--folder"), folder(), path, slot});
        QVERIFY(run.exitCode != 0);
        QCOMPARE(run.err.count('\n'), 1);
        message.replace(QStringLiteral("FOLDER"), folder());
        QVERIFY2(run.err.startsWith("zepreport: ") && run.err.contains(message.toUtf8()), run.err.constData());
        QVERIFY(!QFile::exists(ReportPath()));
    }

    void usageForMissingArguments()
    {
        const ToolRun usage = RunTool({QStringLiteral("--folder")});
        QVERIFY(usage.exitCode != 0);
        QVERIFY(usage.err.contains("usage: zepreport [--summary] [--folder DIR] DATAFILE SLOT"));
    }
};

QTEST_GUILESS_MAIN(tst_zepreport)
#include "tst_zepreport.moc"
