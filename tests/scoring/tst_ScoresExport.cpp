// The export of scores: its numbers are the ones the report prints, read off the report's own
// lines; CSV and JSON read back alike with a real CSV parser and Qt's JSON reader; and
// zepreport --scores says whether every client was scored and leaves a whole file or none.
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "scoring/ScoresExport.h"
#include "tests/scoring/ScoringTestCase.h"

namespace {

const char* const ScaleKeys[] = {"truthfulness", "alcohol", "drugs", "risk"};

// The fixture's scale titles, as the report prints them.
const QStringList Titles = {QStringLiteral("TRUTH"), QStringLiteral("ALC"), QStringLiteral("DRG"),
                            QStringLiteral("RSK")};

QString Capture(const QStringList& lines, const QString& pattern, int group = 1)
{
    const QRegularExpression re(pattern);
    for (const QString& line : lines)
        if (const QRegularExpressionMatch m = re.match(line); m.hasMatch())
            return m.captured(group);
    return QStringLiteral("<no line matches %1>").arg(pattern);
}

// A JSON value as the report would print it: numbers as digits, null as nothing.
QString Printed(const QJsonValue& v)
{
    if (v.isDouble())
        return QString::number(v.toInt());
    if (v.isBool())
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return v.toString();
}

QString IsoFromReport(const QString& mmddyyyy)
{
    return QDate::fromString(mmddyyyy, QStringLiteral("MM/dd/yyyy")).toString(Qt::ISODate);
}

QJsonArray ExportJson(const QList<int>& chosen, ScoresExport* out = nullptr)
{
    ScoresExport result;
    if (const ScoringResult scored = ExportScores(chosen, ScoresFormat::Json, result); !scored)
        qWarning("export failed: %s", qPrintable(scored.Message));
    if (out)
        *out = result;
    return QJsonDocument::fromJson(result.Bytes).array();
}

}  // namespace

class tst_ScoresExport : public ScoringTestCase {
    Q_OBJECT

    QString DataFile() const { return folder() + QStringLiteral("/DATA401.ZEP"); }

private slots:
    void initTestCase() { ::umask(022); }  // the usual one, under which new files are readable by all
    void init() { Fresh(); }

    void numbersAreTheReportsNumbers_data()
    {
        QTest::addColumn<ClientRecord>("record");
        QTest::addColumn<QString>("validity");
        ClientRecord scored = SampleRecord(QStringLiteral("Ana Scored"));
        scored.Gender = "2";
        scored.Race = "3";
        scored.Marital = "4";
        const char* court[] = {"19", "3", "1", "2", "0", "1", "N", "0", "2", "5", "1", "-1"};
        for (int n = 1; n <= 12; ++n)
            SetCourt(scored, n, QString::fromLatin1(court[n - 1]));
        SetAnswerRange(scored, 1, 3, '1');
        SetAnswerRange(scored, 11, 14, '1');
        SetAnswerRange(scored, 21, 25, '1');
        SetAnswerRange(scored, 31, 36, '1');
        QTest::newRow("every scale scored") << scored << "valid";

        ClientRecord floors = QuietClient();
        SetCourt(floors, 6, QStringLiteral("3"));
        SetCourt(floors, 12, QStringLiteral("5"));
        QTest::newRow("conviction floors") << floors << "valid";

        ClientRecord untruthful = QuietClient();
        SetAnswerRange(untruthful, 1, 10, '1');  // the fixture's norms give raw 10 a percentile of 99
        QTest::newRow("Truthfulness 99") << untruthful << "Truthfulness percentile 95 or above";

        ClientRecord allTrue = QuietClient();
        SetAnswerRange(allTrue, 1, 60, '1');
        QTest::newRow("too many True answers") << allTrue << "too many True answers";

        ClientRecord omitted = QuietClient();
        SetAnswerRange(omitted, 21, 25, '0');
        SetAnswerRange(omitted, 31, 34, '0');  // four omitted still scores Risk
        QTest::newRow("a scale not scored") << omitted << "scale not scored: Drugs";

        ClientRecord none = QuietClient();
        none.Answers = QString(64, QLatin1Char('0'));
        QTest::newRow("no answers") << none << "answers missing";
    }
    void numbersAreTheReportsNumbers()
    {
        QFETCH(ClientRecord, record);
        QFETCH(QString, validity);
        data.SetPercentile(1, 10, 99);
        QVERIFY(Score(record, 1, SummaryPage::With));  // the court values are on the summary page
        const QStringList report = ReportLines(folder());
        ScoresExport counts;
        const QJsonObject row = ExportJson({1}, &counts).at(0).toObject();
        const auto field = [&](const char* key) { return Printed(row.value(QLatin1String(key))); };
        const bool answered = validity != QLatin1String("answers missing");
        QCOMPARE(counts.NotScored, answered ? 0 : 1);
        QCOMPARE(field("validity"), validity);

        QCOMPARE(field("name"), Capture(report, QStringLiteral("^ {7}NAME: (.*)$")));
        QCOMPARE(field("id"), Capture(report, QStringLiteral("ID#: (.*?) +AGE:")));
        QCOMPARE(field("age"), Capture(report, QStringLiteral("AGE: (\\S*) +SEX:")));
        QCOMPARE(field("sex"), Capture(report, QStringLiteral("SEX: (.*)$")));
        QCOMPARE(field("race"), Capture(report, QStringLiteral("ETHNICITY/RACE  : (.*?) +CONFIDENTIAL")));
        QCOMPARE(field("marital"), Capture(report, QStringLiteral("MARITAL STATUS  : (.*)$")));
        QCOMPARE(field("education"), Capture(report, QStringLiteral("EDUCATION/HIGHEST GRADE : (.*)$")));
        QCOMPARE(field("date_of_birth"), IsoFromReport(Capture(report, QStringLiteral("DATE OF BIRTH   : (.*)$"))));
        QCOMPARE(field("test_date"), IsoFromReport(Capture(report, QStringLiteral("DATE ZEP SCORED : (.*)$"))));

        // The additional information lists the twelve court values in record order, down the
        // left column and then down the right.
        const qsizetype block =
            report.indexOf(QRegularExpression(QStringLiteral(" +ADDITIONAL INFORMATION PROVIDED BY CLIENT")));
        QVERIFY(block > 0);
        QStringList left, right;
        const QRegularExpression pair(QStringLiteral("^ {7}[A-Za-z -]+\\.+ (\\S*) +[A-Za-z -]+\\.+ (\\S*) *$"));
        for (qsizetype i = block + 2; i < block + 8; ++i) {
            const QRegularExpressionMatch m = pair.match(report.at(i));
            QVERIFY2(m.hasMatch(), qPrintable(report.at(i)));
            left << m.captured(1);
            right << m.captured(2);
        }
        QStringList exported;
        for (qsizetype k = ScoreFieldNames().indexOf(QStringLiteral("age_at_first_conviction")), n = 0; n < 12; ++n)
            exported << Printed(row.value(ScoreFieldNames().at(k + n)));
        QCOMPARE(exported, left + right);

        for (int s = 0; s < 4; ++s) {
            const QString key = QLatin1String(ScaleKeys[s]) + QLatin1Char('_');
            const QString printed = Capture(report, QStringLiteral("^ {7}%1 +(\\d+|\\*\\*) ").arg(Titles[s]));
            QCOMPARE(Printed(row.value(key + QStringLiteral("percentile"))),
                     printed == QLatin1String("**") || !answered ? QString() : printed);
            // The range and its name head each paragraph of a valid test.
            if (validity == QLatin1String("valid")) {
                const QString heading =
                    QStringLiteral("^ {7}%1 SCALE: (.*) RISK RANGE +RISK PERCENTILE:").arg(Titles[s]);
                QCOMPARE(Printed(row.value(key + QStringLiteral("range_name"))), Capture(report, heading));
            }
        }
        const QString text = report.join(QLatin1Char('\n'));
        QCOMPARE(field("alcohol_floor") == QLatin1String("true"),
                 text.contains(QStringLiteral("* Score due to alcohol")));
        QCOMPARE(field("drug_floor") == QLatin1String("true"), text.contains(QStringLiteral("* Score due to drug")));
        QCOMPARE(validity == QLatin1String("valid"), !text.contains(QStringLiteral("Invalid line 1")) &&
                                                         !text.contains(QStringLiteral("Scale not scored")));
    }

    // A name with a quote, a comma and accents, an ID a spreadsheet would run as a formula and
    // the stored court value -1, read back by Python's csv module and by QJsonDocument.
    void csvAndJsonReadBackAlike()
    {
        ClientRecord tricky = QuietClient(QStringLiteral("Zoë \"Z\" Núñez, Jr."));
        tricky.SSN = "=HYPERLINK(";
        SetCourt(tricky, 12, QStringLiteral("-1"));
        SetCourt(tricky, 7, QStringLiteral("N"));
        ClientRecord deleted = QuietClient(QStringLiteral("Xqzv Wrpl"));
        deleted.NameDeleted = "1";
        deleted.SSN = "-12-34";
        ClientRecord none = QuietClient(QStringLiteral("Not Yet Tested"));
        none.Answers = QString(64, QLatin1Char('0'));
        none.SSN = "'@x";  // an apostrophe of its own survives the guard
        CHECKED(data.WriteTo(folder()));
        program().ClientTable[1] = tricky;
        program().ClientTable[2] = deleted;
        program().ClientTable[3] = none;
        program().ClientCount = 3;
        program().CurrentClient = 2;

        // Cancelled at the second client: nothing composed, and the current client as it was.
        ScoresExport cancelled;
        QVERIFY(ExportScores({1, 2, 3}, ScoresFormat::Csv, cancelled, [](int n, int, int) { return n < 2; }));
        QVERIFY(cancelled.Cancelled && cancelled.Bytes.isEmpty());

        ScoresExport csv;
        QVERIFY(ExportScores({1, 2, 3}, ScoresFormat::Csv, csv));
        const QString csvPath = folder() + QStringLiteral("/scores.csv");
        CHECKED(WriteFileBytes(csvPath, csv.Bytes));
        const QJsonArray json = ExportJson({1, 2, 3});
        QCOMPARE(json.size(), 3);
        QCOMPARE(program().CurrentClient, qint16(2));

        // Python prints every row as a JSON list of the texts it read, one per line.
        const ToolRun python =
            ::RunTool(QStringLiteral("python3"),
                      {QStringLiteral("-c"),
                       QStringLiteral("import csv, json, sys\n"
                                      "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                      "    for row in csv.reader(f, strict=True): print(json.dumps(row))\n"),
                       csvPath});
        QCOMPARE(python.exitCode, 0);
        const QList<QByteArray> lines = python.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        QStringList header;
        for (const QJsonValue& v : QJsonDocument::fromJson(lines[0]).array())
            header << v.toString();
        QCOMPARE(header, ScoreFieldNames());
        for (int r = 0; r < 3; ++r) {
            const QJsonArray cells = QJsonDocument::fromJson(lines[r + 1]).array();
            QCOMPARE(cells.size(), header.size());
            const QJsonObject object = json.at(r).toObject();
            QStringList keys = header;
            keys.sort();
            QCOMPARE(object.keys(), keys);
            for (int c = 0; c < header.size(); ++c) {
                QCOMPARE(UnguardFormula(cells.at(c).toString()), Printed(object.value(header.at(c))));
            }
        }
        const QJsonObject first = json.at(0).toObject();
        QCOMPARE(first.value(QLatin1String("name")).toString(), QStringLiteral("Zoë \"Z\" Núñez, Jr."));
        QCOMPARE(first.value(QLatin1String("drug_convictions")), QJsonValue(-1));
        QCOMPARE(first.value(QLatin1String("times_on_parole")), QJsonValue(QStringLiteral("N")));
        QVERIFY(json.at(1).toObject().value(QLatin1String("name")).isNull());
        QCOMPARE(json.at(1).toObject().value(QLatin1String("name_deleted")), QJsonValue(true));
        QVERIFY(json.at(2).toObject().value(QLatin1String("risk_percentile")).isNull());

        // In the file itself: the formulas are guarded and the number is a bare number.
        const QList<QByteArray> rows = csv.Bytes.split('\n');
        QVERIFY(rows[1].startsWith("1,'=HYPERLINK(,\"Zo\xc3\xab \"\"Z\"\" N\xc3\xba\xc3\xb1"
                                   "ez, Jr.\",false,"));
        QVERIFY(rows[1].contains(",-1,"));
        QVERIFY(rows[2].startsWith("2,'-12-34,,true,"));
        QVERIFY(rows[3].startsWith("3,''@x,"));
        QVERIFY(csv.Bytes.endsWith("answers missing\r\n"));
    }

    void zepreportExitStatusAndOutputFile_data()
    {
        QTest::addColumn<QStringList>("args");  // OUT: the output file, DISK: the data file
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("rows");  // rows in the output, -1 for none written
        QTest::addColumn<QString>("err");
        QTest::newRow("every client") << QStringList{"DISK"} << 3 << 3 << "1 of 3 clients could not be scored";
        QTest::newRow("chosen slots, JSON") << QStringList{"--format", "json", "DISK", "2", "1"} << 0 << 2 << "";
        QTest::newRow("a client without answers")
            << QStringList{"DISK", "3"} << 3 << 1 << "1 of 1 clients could not be scored";
        QTest::newRow("into a file") << QStringList{"--output", "OUT", "DISK", "1", "2"} << 0 << 2 << QString();
        QTest::newRow("slot past the last client") << QStringList{"DISK", "4"} << 1 << -1 << "slot 4 is outside 1..3";
        QTest::newRow("unknown format") << QStringList{"--format", "xls", "DISK"} << 2 << -1 << "csv or json, not xls";
        QTest::newRow("--summary is not for scores") << QStringList{"--summary", "DISK"} << 2 << -1 << "--summary";
    }
    void zepreportExitStatusAndOutputFile()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(int, rows);
        QFETCH(QString, err);
        CHECKED(data.WriteTo(folder()));
        ClientRecord none = QuietClient(QStringLiteral("Not Yet Tested"));
        none.Answers = QString(64, QLatin1Char('0'));
        CHECKED(WriteFileBytes(DataFile(), RecordToBytes(QuietClient(QStringLiteral("First"))) +
                                               RecordToBytes(QuietClient(QStringLiteral("Second"))) +
                                               RecordToBytes(none)));
        const QString out = folder() + QStringLiteral("/out/scores.csv");
        QVERIFY(QDir().mkpath(folder() + QStringLiteral("/out")));
        args.replaceInStrings(QStringLiteral("OUT"), out).replaceInStrings(QStringLiteral("DISK"), DataFile());
        const ToolRun run =
            RunTool(QStringList{QStringLiteral("--scores"), QStringLiteral("--folder"), folder()} + args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(err.isEmpty() ? run.err.isEmpty() : run.err.contains(err.toUtf8()), run.err.constData());
        QVERIFY(!QFile::exists(ReportPath()));
        const bool toFile = args.contains(out);
        const QByteArray written = toFile ? ReadFileBytes(out) : run.out;
        if (toFile) {
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(FileMode(out), 0600);
        }
        if (rows < 0)
            QCOMPARE(written, QByteArray());
        else if (args.contains(QStringLiteral("json")))
            QCOMPARE(QJsonDocument::fromJson(written).array().size(), rows);
        else
            QCOMPARE(written.count("\r\n"), rows + 1);
    }

    // A full disk, a folder made read-only and a pipe where the file would go: the export is
    // refused with the reason, and no file or part of one is left there.
    void exportThatCannotBeWrittenLeavesNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << "full"
                                   << "No space left on device";
        QTest::newRow("read-only disk") << "read-only"
                                        << "Read-only file system";
        QTest::newRow("a pipe in the file's place") << "pipe"
                                                    << "Not a regular file";
    }
    void exportThatCannotBeWrittenLeavesNothing()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        CHECKED(data.WriteTo(folder()));
        QByteArray disk;
        for (int n = 1; n <= MaxClients; ++n)
            disk += RecordToBytes(QuietClient(QStringLiteral("Client %1").arg(n)));
        CHECKED(WriteFileBytes(DataFile(), disk));
        TmpfsMount target(QStringLiteral("size=64k"));
        REQUIRE_TMPFS(target);
        const QString out = target.path() + QStringLiteral("/scores.csv");
        if (fault == QLatin1String("full"))
            target.fill();
        else if (fault == QLatin1String("read-only"))
            QVERIFY(target.remountReadOnly());
        else
            QCOMPARE(::mkfifo(QFile::encodeName(out).constData(), 0600), 0);
        const QStringList before = QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

        const ToolRun run = RunTool({QStringLiteral("--scores"), QStringLiteral("--folder"), folder(),
                                     QStringLiteral("--output"), out, DataFile()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(reason.toUtf8()), run.err.constData());
        QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    }
};

QTEST_GUILESS_MAIN(tst_ScoresExport)
#include "tst_ScoresExport.moc"
