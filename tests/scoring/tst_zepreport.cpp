// The command-line report tool: the same report as the program, and a clear failure
// otherwise; REPORT.PRN against links, pipes, lost writes and hostile bytes; and who may
// read a report's files, and what a killed bulk print leaves.
#include <sys/stat.h>

#include "base/RegularFile.h"
#include "scoring/BulkPrint.h"
#include "scoring/ReportOutput.h"
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
        CHECKED(WriteFileBytes(ClientFile(), bytes));
    }

private slots:
    void initTestCase() { ::umask(022); }  // the usual one, under which files are readable by all
    void init() { Fresh(); }

    void writesTheSameReportAsTheProgram()
    {
        ClientRecord second = QuietClient(QStringLiteral("  Second Client"));
        SetAnswerRange(second, 11, 20, '1');
        second.DrugConvictions = "2";
        CHECKED(WriteClients({QuietClient(QStringLiteral("First Client")), second}));
        CHECKED(data.WriteTo(folder()));
        const QByteArray before = ReadFileBytes(ClientFile());

        const ToolRun run = RunTool({QStringLiteral("--folder"), folder(), ClientFile(), QStringLiteral("2")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out + run.err, QByteArray());
        const QByteArray fromTool = ReadFileBytes(ReportPath());
        QVERIFY(fromTool.contains("NAME: Second Client\r\n"));

        // The client file is left exactly as it was, leading blanks included.
        QCOMPARE(ReadFileBytes(ClientFile()), before);

        QVERIFY(Score(second, 2));
        QCOMPARE(ReadFileBytes(ReportPath()), fromTool);

        // --summary appends the summary page to the same report.
        QCOMPARE(RunTool({QStringLiteral("--summary"), QStringLiteral("--folder"), folder(), ClientFile(),
                          QStringLiteral("2")})
                     .exitCode,
                 0);
        const QByteArray withSummary = ReadFileBytes(ReportPath());
        QVERIFY(withSummary.startsWith(fromTool + "\f\r\n\r\n"));
        QVERIFY(withSummary.contains("ONE-PAGE SUMMARY"));
    }

    // One line on standard error, quoting bad values with their control bytes escaped.
    void refusesABadSlotOrBrokenFilesWithoutAReport_data()
    {
        QTest::addColumn<QString>("clientFile");  // empty: no file given at all
        QTest::addColumn<QString>("slot");
        QTest::addColumn<bool>("brokenData");
        QTest::addColumn<QString>("message");
        const QString file = QStringLiteral("DATA401.ZEP");
        QTest::newRow("slot zero") << file << "0" << false << "DATA401.ZEP: slot 0 is outside 1..2";
        QTest::newRow("slot past the last record") << file << "3" << false << "DATA401.ZEP: slot 3 is outside 1..2";
        QTest::newRow("slot not a number") << file << "two" << false << "outside 1..2";
        QTest::newRow("control byte in the slot") << file << "7\x0c" << false << "slot 7\\x0C is outside";
        QTest::newRow("broken data file")
            << file << "1" << true
            << "zepsfb.TXT, line 88: MaxRaw of gender 2, race group 3, scale 4 is 84, outside 0..83";
        QTest::newRow("missing client file") << "missing.ZEP"
                                             << "1" << false << "Cannot read FOLDER/clients/missing.ZEP: ";
        QTest::newRow("a pipe as the client file") << "pipe.ZEP"
                                                   << "1" << false << "Not a regular file";
        QTest::newRow("--folder without a folder")
            << QString() << QString() << false << "--folder needs a folder; usage: zepreport [--summary]";
    }
    void refusesABadSlotOrBrokenFilesWithoutAReport()
    {
        QFETCH(QString, clientFile);
        QFETCH(QString, slot);
        QFETCH(bool, brokenData);
        QFETCH(QString, message);
        CHECKED(WriteClients({QuietClient(), QuietClient()}));
        if (brokenData)
            data.MaxRaw[2][3][4] = 84;
        CHECKED(data.WriteTo(folder()));
        CHECKED(WriteFileBytes(ReportPath(), "report of some other client\r\n"));
        const QString path = folder() + QStringLiteral("/clients/") + clientFile;
        if (clientFile == QLatin1String("pipe.ZEP"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        const ToolRun run =
            RunTool(clientFile.isEmpty() ? QStringList{QStringLiteral("--folder")}
                                         : QStringList{QStringLiteral("--folder"), folder(), path, slot});
        QVERIFY(run.exitCode > 0);
        QCOMPARE(run.err.count('\n'), 1);
        message.replace(QStringLiteral("FOLDER"), folder());
        QVERIFY2(run.err.startsWith("zepreport: ") && run.err.contains(message.toUtf8()), run.err.constData());
        QCOMPARE(QFile::exists(ReportPath()), clientFile.isEmpty());
    }

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
            CHECKED(WriteFileBytes(target, "someone else's file\r\n"));
        QVERIFY(QFile::link(target, ReportPath()));
        if (tool) {
            CHECKED(data.WriteTo(folder()));
            CHECKED(WriteClients({QuietClient()}));
            QCOMPARE(RunTool({QStringLiteral("--folder"), folder(), ClientFile(), QStringLiteral("1")}).exitCode, 0);
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

    void reportFilesAreTheOwnersAlone_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("scored by the program") << "program";
        QTest::newRow("scored by zepreport") << "zepreport";
        QTest::newRow("numbered copy of a bulk print") << "numbered";
    }
    void reportFilesAreTheOwnersAlone()
    {
        QFETCH(QString, how);
        CHECKED(data.WriteTo(folder()));
        QVERIFY(Score(QuietClient()));
        QString file = ReportPath();
        if (how == "zepreport") {
            CHECKED(WriteClients({QuietClient()}));
            QVERIFY(QFile::remove(ReportPath()));
            QCOMPARE(RunTool({QStringLiteral("--folder"), folder(), ClientFile(), QStringLiteral("1")}).exitCode, 0);
        } else if (how == "numbered") {
            QCOMPARE(CopyReportToNumbered(1), FileProblem());
            file = NumberedReportPath(1);
        }
        QVERIFY(ReadFileBytes(file).contains("Quiet Client"));
        QCOMPARE(FileMode(file), 0600);
    }

    void stagedFileIsTheOwnersUntilWritten_data()
    {
        QTest::addColumn<FileAccess>("access");
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("before");  // the mode of the file replaced, -1 for none
        QTest::addColumn<int>("mode");
        QTest::newRow("a report") << FileAccess::OwnerOnly << 022 << 0644 << 0600;
        QTest::newRow("a new settings file, umask 027") << FileAccess::Usual << 027 << -1 << 0640;
        QTest::newRow("a settings file made group-writable") << FileAccess::Usual << 022 << 0664 << 0664;
    }
    // The half-written file beside the real one never lets others read what it holds; once in
    // place, the file has the permissions it is meant to have.
    void stagedFileIsTheOwnersUntilWritten()
    {
        QFETCH(FileAccess, access);
        QFETCH(int, umask);
        QFETCH(int, before);
        QFETCH(int, mode);
        const QString path = folder() + QStringLiteral("/file");
        if (before >= 0) {
            CHECKED(WriteFileBytes(path, "old\r\n"));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(before)), 0);
        }
        const mode_t usual = ::umask(mode_t(umask));
        StagedFile file;
        const int err = file.Stage(path, "new\r\n", access);
        ::umask(usual);
        QCOMPARE(err, 0);
        const QStringList staged = QDir(folder()).entryList({QStringLiteral(".file.*")}, QDir::Hidden | QDir::Files);
        QCOMPARE(staged.size(), 1);
        QCOMPARE(FileMode(folder() + QLatin1Char('/') + staged[0]), access == FileAccess::OwnerOnly ? 0600 : mode);
        QCOMPARE(file.Commit(), 0);
        QCOMPARE(FileMode(path), mode);
        QCOMPARE(ReadFileBytes(path), QByteArray("new\r\n"));
    }

    // A killed bulk print leaves numbered files and staging files of reports. The next run
    // removes them before it makes its first copy, and its own at the end; other names stay.
    void bulkPrintRemovesWhatAKilledRunLeft()
    {
        CHECKED(data.WriteTo(folder()));
        program().ClientTable[1] = QuietClient(QStringLiteral("First Client"));
        program().ClientTable[2] = QuietClient(QStringLiteral("Second Client"));
        program().ClientCount = 2;
        // The copies are the user's, in the folder an installed program keeps apart from its own.
        const QString state = folder() + QStringLiteral("/state");
        QVERIFY(QDir().mkpath(state));
        program().StateFolder = state;
        const QStringList left = {"temp1", "temp2", "temp44", ".temp3.aB12cD", ".REPORT.PRN.Zz09Yy"};
        const QStringList others = {".temp3.aB12c", ".zeptest.ini.aB12cD", "temp", "temp0", "temp2.txt", "template"};
        for (const QString& name : left + others)
            CHECKED(WriteFileBytes(state + QLatin1Char('/') + name, "CONFIDENTIAL REPORT\r\n"));
        const auto present = [&] { return QDir(state).entryList(left + others, QDir::Files | QDir::Hidden); };
        QStringList atFirstCopy;
        BulkPrintHooks hooks;
        hooks.Progress = [&](BulkPrintHooks::Stage, int n, int, int) {
            if (n == 1 && atFirstCopy.isEmpty())
                atFirstCopy = present();
            return true;
        };
        int printed = 0;
        hooks.Print = [&] {
            ++printed;
            return QFile::exists(state + QStringLiteral("/REPORT.PRN")) && QFile::exists(state + "/temp2") &&
                   QDir(folder()).entryList({QStringLiteral("temp*"), QStringLiteral("REPORT.PRN")}).isEmpty();
        };
        QCOMPARE(int(BulkPrint({1, 2}, hooks).End), int(BulkPrintEnd::Done));
        QCOMPARE(printed, 2);
        QCOMPARE(atFirstCopy, others);
        QCOMPARE(present(), others);
    }

    void controlBytesInClientFieldsPrintHarmlessly_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("escape sequence in the name") << 0 << QByteArray("Eve\x1b[2J\x0c") << QByteArray("Eve?[2J?");
        QTest::newRow("form feed in the ID") << 25 << QByteArray("12\x0c-4") << QByteArray("12?-4");
        QTest::newRow("NUL in the date of birth") << 144
                                                  << QByteArray("01/\x00"
                                                                "2/1990",
                                                                10)
                                                  << QByteArray("01/?2/1990");
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

    // Installed (its folder read-only), the tool writes the report into the user's state
    // folder, and reads the office's copy of a supplied file before the installed one.
    void installedToolWritesTheReportForTheUser()
    {
        TmpfsMount installed;
        REQUIRE_TMPFS(installed);
        CHECKED(data.WriteTo(installed.path()));
        QTemporaryDir home, site;
        FixtureData office = data;
        office.Labels[21] = QStringLiteral("OFFICE TRUTH");  // the first scale's title
        CHECKED(WriteFileBytes(site.path() + QStringLiteral("/zepsfRPT.TXT"), office.LabelFileText()));
        CHECKED(WriteClients({QuietClient()}));
        QVERIFY(installed.remountReadOnly());
        const auto stateSet = SetEnvironment("XDG_STATE_HOME", QFile::encodeName(home.path()));
        const auto configSet = SetEnvironment("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        const auto siteSet = SetEnvironment("ZEP_SITE_DIR", QFile::encodeName(site.path()));
        const ToolRun run = RunTool({QStringLiteral("--folder"), installed.path(), ClientFile(), QStringLiteral("1")});
        QCOMPARE(run.exitCode, 0);
        const QString report = home.path() + QStringLiteral("/zep/REPORT.PRN");
        QCOMPARE(FileMode(report), 0600);
        QVERIFY(ReadFileBytes(report).contains("OFFICE TRUTH"));
    }

    void scoringMessagesQuoteBadValuesEscaped()
    {
        CHECKED(data.WriteTo(folder()));
        QByteArray text = data.ScoringFileText();
        text.replace(text.indexOf("\r\n30\r\n"), 6, "\r\n3\x1b[2J\r\n");
        CHECKED(WriteFileBytes(folder() + QStringLiteral("/zepsfb.TXT"), text));
        program().ClientTable[1] = QuietClient();
        program().CurrentClient = 1;
        const ScoringResult result = ScoreAndReport();
        QVERIFY(!result.Ok);
        QVERIFY2(result.Message.contains(QStringLiteral("\"3\\x1B[2J\" is not a whole number")),
                 qPrintable(result.Message));
    }
};

QTEST_GUILESS_MAIN(tst_zepreport)
#include "tst_zepreport.moc"
