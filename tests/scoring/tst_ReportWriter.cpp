// The layout of REPORT.PRN, checked on exact lines of the written file.

#include "base/Ansi.h"
#include "tests/scoring/ScoringTestCase.h"

namespace {

// A line with each text starting at its 1-based column.
QString Row(std::initializer_list<std::pair<int, QString>> pieces)
{
    QString line;
    for (const auto& [column, text] : pieces) {
        line = line.leftJustified(column - 1, QLatin1Char(' '));
        line += text;
    }
    return line;
}

const QString EmptyBar = QStringLiteral("*...............-...........-.......-...-");
const QString FullBar = QString(40, QLatin1Char('*')) + QLatin1Char('-');

}  // namespace

class tst_ReportWriter : public ScoringTestCase {
    Q_OBJECT
private slots:
    void init() { Fresh(); }

    void headerAndProfileOfOneClient()
    {
        data.SetPercentile(Truthfulness, 2, 7);
        data.SetPercentile(Alcohol, 3, 57);
        ClientRecord r = QuietClient(QStringLiteral("Zo\u00e9 \u20ac"));
        r.Gender = "2";
        r.Race = "5";
        r.Marital = "0";
        r.Education = "N";
        SetAnswers(r, {1, 2}, '1');            // Truthfulness raw 2: percentile 7
        SetAnswers(r, {19, 20}, '1');          // Alcohol raw 2...
        SetAnswers(r, {61}, '2');              // ...plus 1: 57, capped by nothing (3 items)
        SetAnswers(r, {31, 32, 33, 34}, '0');  // 4 omitted: Risk 99
        QVERIFY(Score(r));
        const QStringList lines = ReportLines(folder());
        QCOMPARE(lines.mid(3, 6), (QStringList{
                                      Row({{8, "NAME: Zo\u00e9 \u20ac"}}),
                                      Row({{8, "ID#: 123-45-6789"}, {26, "AGE: 34"}, {35, "SEX: Woman"}}),
                                      Row({{8, "DATE OF BIRTH   : 04/17/1990"}}),
                                      Row({{8, "ETHNICITY/RACE  : Race5"}, {60, "CONFIDENTIAL REPORT"}}),
                                      Row({{8, "EDUCATION/HIGHEST GRADE : N"}}),
                                      Row({{8, "MARITAL STATUS  : N/A"}}),
                                  }));
        // One-digit percentiles sit one column right of two-digit ones.
        QCOMPARE(lines.at(21), Row({{8, "TRUTH"}, {29, " 7 "}, {38, QStringLiteral("***") + EmptyBar.right(38)}}));
        QCOMPARE(lines.at(23),
                 Row({{8, "ALC"}, {28, " 57 "}, {38, QString(23, QLatin1Char('*')) + EmptyBar.right(40 - 22)}}));
        QCOMPARE(lines.at(25), Row({{8, "DRG"}, {29, " 0 "}, {38, EmptyBar}}));
        QCOMPARE(lines.at(27), Row({{8, "RSK"}, {28, " 99 "}, {38, FullBar}}));
        QCOMPARE(lines.at(33), Row({{8, "TRUTH SCALE: LOWEST RISK RANGE"}, {61, "RISK PERCENTILE:7"}}));
        // Four omitted items give 99, and the paragraph of the highest range.
        const qsizetype at = lines.indexOf(Row({{8, "RSK SCALE: TOP RISK RANGE"}, {61, "RISK PERCENTILE:99"}}));
        QVERIFY(at > 33);
        QCOMPARE(lines.mid(at + 1, 3),
                 (QStringList{"        RSK MAXIMUM-HIGH first line", "        RSK MAXIMUM-HIGH second line", ""}));

        // The file is Windows-1252 with CR LF line ends.
        const QByteArray bytes = ReadFileBytes(folder() + QStringLiteral("/REPORT.PRN"));
        QVERIFY(bytes.contains(QByteArray("NAME: Zo\xe9 \x80\r\n")));
        QCOMPARE(bytes.count("\r"), bytes.count("\r\n"));
    }

    void doubtfulTruthfulnessMarksEveryScoredRow()
    {
        data.SetPercentile(Truthfulness, 1, 90);
        ClientRecord r = QuietClient();
        SetAnswers(r, {1}, '1');
        SetAnswers(r, {31, 32, 33, 34, 35}, '0');  // Risk not scored: no mark
        QVERIFY(Score(r));
        const QStringList lines = ReportLines(folder());
        QCOMPARE(lines.at(21),
                 Row({{8, "TRUTH"}, {28, " 90 *"}, {38, QString(37, QLatin1Char('*')) + EmptyBar.right(4)}}));
        QCOMPARE(lines.at(23), Row({{8, "ALC"}, {29, " 0 *"}, {38, EmptyBar}}));
        QCOMPARE(lines.at(27), Row({{8, "RSK"}, {28, " **"}, {38, "Scale not scored, insufficient answers"}}));
        // The not-scored note wins over the doubtful note.
        QCOMPARE(lines.at(29),
                 Row({{8, "** Too many omitted items"}, {38, "0               40          70      90 100"}}));
        QCOMPARE(lines.at(30), Row({{8, "   to score this scale"}, {38, "----------- PERCENTILE SCORES -----------"}}));
        const qsizetype at = lines.indexOf(Row({{8, "RSK"}}));
        QVERIFY(at > 30);
        QCOMPARE(lines.mid(at + 1, 5),
                 (QStringList{
                     QString(),
                     Row({{8, "This scale  is inaccurate  and  not  scorable  because  the  respondent"}}),
                     Row({{8, "omitted or skipped an excessive number of items."}}),
                     QString(),
                     QString(),
                 }));

        SetAnswers(r, {31, 32, 33, 34, 35}, '2');
        QVERIFY(Score(r));
        const QStringList valid = ReportLines(folder());
        QCOMPARE(valid.at(29), Row({{8, "* These test results"}, {38, "0               40          70      90 100"}}));
        QCOMPARE(valid.at(30), Row({{8, "  are inaccurate"}, {38, "----------- PERCENTILE SCORES -----------"}}));
        QCOMPARE(valid.at(33), Row({{8, "TRUTH SCALE: TOP RISK RANGE"}, {61, "RISK PERCENTILE:90"}}));
    }

    // The range and its paragraph change between 39 and 40, and the paragraph between 55 and 56.
    void riskRangeAndParagraphAtTheEdges_data()
    {
        QTest::addColumn<int>("percentile");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("paragraph");
        QTest::newRow("39") << 39 << "LOWEST"
                            << "LOWEST";
        QTest::newRow("40") << 40 << "MIDDLE"
                            << "MEDIUM-LOW";
        QTest::newRow("55") << 55 << "MIDDLE"
                            << "MEDIUM-LOW";
        QTest::newRow("56") << 56 << "MIDDLE"
                            << "MEDIUM-HIGH";
    }
    void riskRangeAndParagraphAtTheEdges()
    {
        QFETCH(int, percentile);
        QFETCH(QString, range);
        QFETCH(QString, paragraph);
        data.SetPercentile(Risk, 3, percentile);
        ClientRecord r = QuietClient();
        SetAnswers(r, {37, 38, 39}, '1');  // three scored items: no cap, no critical item
        QVERIFY(Score(r));
        const QStringList lines = ReportLines(folder());
        const qsizetype at = lines.indexOf(
            Row({{8, "RSK SCALE: " + range + " RISK RANGE"}, {61, "RISK PERCENTILE:" + QString::number(percentile)}}));
        QVERIFY(at > 0);
        QCOMPARE(lines.at(at + 1), "        RSK " + paragraph + " first line");
    }

    void invalidTestTakesTheShortForm()
    {
        data.SetPercentile(Truthfulness, 1, 95);
        ClientRecord r = QuietClient(QStringLiteral("Invalid Client"));
        SetAnswers(r, {1}, '1');
        r.TimesJail = "3";
        QVERIFY(Score(r, 4, SummaryPage::With));
        const QStringList lines = ReportLines(folder());
        QCOMPARE(lines.mid(31, 4), (QStringList{"", "", "", Row({{22, "ADDITIONAL INFORMATION PROVIDED BY CLIENT"}})}));
        // Without the significant items block the one-character value stays unpadded.
        QCOMPARE(lines.at(38),
                 Row({{8, "Felony convictions........... 0"}, {44, "Jail sentences.................. 3"}}));
        QCOMPARE(lines.at(41),
                 Row({{8, "Alcohol-related convictions.. 0"}, {44, "Drug-related convictions........ 0"}}));
        // Lines 43.. fill to counted line 56, then the publisher and notice lines.
        const qsizetype publisher = lines.indexOf(QRegularExpression(QStringLiteral("^         \\S.*")), 43);
        QCOMPARE(publisher, 55);
        for (qsizetype i = 43; i < publisher; ++i)
            QCOMPARE(lines.at(i), QString());
        QCOMPARE(lines.at(publisher + 2), QStringLiteral("       Invalid line 1"));
        QCOMPARE(lines.at(publisher + 3), QStringLiteral("\f"));
        QCOMPARE(lines.at(publisher + 4),
                 Row({{8, "NAME: Invalid Client"}, {41, "-2-"}, {55, "ZEP-AP SHORT FORM REPORT"}}));
        QCOMPARE(lines.at(publisher + 6), QStringLiteral("       Invalid line 2"));
        QCOMPARE(lines.at(publisher + 8),
                 Row({{8, "OBSERVATIONS/RECOMMENDATIONS:__________________________________________"}}));
        QVERIFY(!lines.contains(QStringLiteral("       Never printed")));
        QVERIFY(lines.contains(Row({{8, "STAFF MEMBER SIGNATURE             DATE"}, {68, "(TEST # 4 )"}})));
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("SIGNIFICANT|SECTION 2|ONE-PAGE"))), QStringList());
    }

    void paragraphsBreakPagesAtLine58WithNumberedHeaders()
    {
        QStringList longParagraph{QStringLiteral("LOWEST")};
        for (int i = 1; i <= 600; ++i)
            longParagraph << QStringLiteral("long line %1").arg(i);
        longParagraph << QStringLiteral("END");
        data.Explanation[Truthfulness] = longParagraph;
        QVERIFY(Score(QuietClient(QStringLiteral("Paged Client"))));
        const QStringList lines = ReportLines(folder());

        QList<qsizetype> pageBreaks;
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines.at(i) == QLatin1String("\f"))
                pageBreaks << i;
        QVERIFY(pageBreaks.size() >= 11);

        // Page 1 holds 33 counted lines before the paragraph, the empty line, the title, then 23 lines.
        QCOMPARE(lines.at(pageBreaks[0] - 1), QStringLiteral("        long line 23"));
        QCOMPARE(lines.at(pageBreaks[0] + 1),
                 Row({{8, "NAME: Paged Client"}, {41, "-2-"}, {55, "ZEP-AP SHORT FORM REPORT"}}));
        QCOMPARE(lines.at(pageBreaks[0] + 3), QStringLiteral("        long line 24"));
        // Every following page holds 56 paragraph lines.
        QCOMPARE(pageBreaks[1] - pageBreaks[0], 59);
        QCOMPARE(lines.at(pageBreaks[1] - 1), QStringLiteral("        long line 79"));
        QCOMPARE(lines.at(pageBreaks[9] + 1),
                 Row({{8, "NAME: Paged Client"}, {41, "-11-"}, {55, "ZEP-AP SHORT FORM REPORT"}}));
    }

    void courtValuesAndTheSummaryPage()
    {
        ClientRecord r = QuietClient();
        r.AlcoholConvictions = "-1";
        r.TimesJail = "3";
        r.YearsJailAndPrison = "12";
        r.TimesOnParole = "";  // padded to one blank once the significant block ran
        QVERIFY(Score(r, 3));
        const QStringList plain = ReportLines(folder());
        QVERIFY(
            plain.contains(Row({{8, "**  Alcohol-related convictions:N/A"}, {45, "**  Drug-related convictions:0 "}})));
        QVERIFY(
            plain.contains(Row({{8, "**  Age at first conviction.... 0 "}, {45, "**  Times on parole...........  "}})));
        QVERIFY(plain.contains(
            Row({{8, "**  Probation revocations...... 0 "}, {45, "**  Years in jail and prison.. 12"}})));
        QVERIFY(plain.contains(Row({{8, "STAFF MEMBER SIGNATURE             DATE"}, {68, "(TEST # 3 )"}})));
        QVERIFY(Score(r, 3, SummaryPage::With));
        const QStringList lines = ReportLines(folder());
        QCOMPARE(lines.mid(0, plain.size()), plain);
        const QStringList summary = lines.mid(plain.size());
        QCOMPARE(summary.at(0), QStringLiteral("\f"));
        QCOMPARE(summary.at(4), Row({{35, "ONE-PAGE SUMMARY"}}));
        // The additional block shows the court values as stored.
        QVERIFY(summary.contains(
            Row({{8, "Felony convictions........... 0 "}, {44, "Jail sentences.................. 3 "}})));
        QVERIFY(summary.contains(
            Row({{8, "Alcohol-related convictions.. -1"}, {44, "Drug-related convictions........ 0 "}})));
        QVERIFY(summary.contains(
            Row({{8, "Age at first conviction...... 0 "}, {44, "Times on parole.................  "}})));
        QVERIFY(summary.contains(Row({{8, "STAFF MEMBER SIGNATURE             DATE"}, {59, "(ZEP-SF TEST # 3 )"}})));
        // Counted lines: 1 + 3 + 8 + 1 + 6 + 15 + 1 + 7 + 2 + 4 + 3 + 1 = 52, filled to 56, then the notice.
        QCOMPARE(summary.size(), 1 + 1 + 57);
        QCOMPARE(scoring().ClientWork.TimesOnParole, QStringLiteral(" "));
    }

    void significantItemsAndTheFloorNoteAreListed()
    {
        ClientRecord r = QuietClient();
        SetAnswers(r, {12, 16}, '1');              // alcohol texts 2 and 6
        SetAnswers(r, {21}, '1');                  // drug text 7
        SetAnswers(r, {31, 32, 33, 35, 36}, '1');  // risk texts 13, 14, 15, 17, 18
        r.AlcoholConvictions = "1";
        QVERIFY(Score(r));
        const QStringList lines = ReportLines(folder());
        // Raw 3 gives 10, raised to 40 by the conviction floor and marked.
        QCOMPARE(lines.at(23),
                 Row({{8, "ALC"}, {28, " 40 *"}, {38, QString(17, QLatin1Char('*')) + EmptyBar.right(24)}}));
        QCOMPARE(lines.at(30), Row({{8, "* Score Due to Priors"}, {38, "----------- PERCENTILE SCORES -----------"}}));
        const qsizetype at = lines.indexOf(Row({{8, "-------"}, {45, "-----"}}));
        QCOMPARE(lines.mid(at + 1, 10),
                 (QStringList{
                     Row({{8, "* Score due to alcohol convictions"}, {45, "Sig text 7"}}),
                     Row({{8, "Sig text 2"}, {45, "**  Drug-related convictions:0 "}}),
                     // A row that reaches counted line 58 is followed by a page break and the heading.
                     QStringLiteral("\f"),
                     Row({{8, "NAME: Quiet Client"}, {41, "-2-"}, {55, "ZEP-AP SHORT FORM REPORT"}}),
                     QString(),
                     Row({{8, "SIGNIFICANT ITEMS, continued"}}),
                     QString(),
                     Row({{8, "Sig text 6"}}),
                     Row({{8, "**  Alcohol-related convictions:1 "}}),
                     QString(),
                 }));
        const qsizetype risk =
            lines.indexOf(Row({{8, "**  Probation revocations...... 0 "}, {45, "**  Years in jail and prison.. 0 "}}));
        QCOMPARE(lines.mid(risk + 1, 4), (QStringList{
                                             Row({{8, "Sig text 13"}, {45, "Sig text 17"}}),
                                             Row({{8, "Sig text 14"}, {45, "Sig text 18"}}),
                                             Row({{8, "Sig text 15"}}),
                                             QString(),
                                         }));
    }

    void sectionTwoAndResponsesShowUnansweredItems()
    {
        data.Labels[2 + 6 + 8 + 5 + 1] = QStringLiteral("A VERY LONG ALCOHOL TITLE!");
        ClientRecord r = QuietClient();
        r.Answers = QStringLiteral("1201201201") + QString(50, QLatin1Char('2')) + QStringLiteral("3057");
        QVERIFY(Score(r));
        const QStringList lines = ReportLines(folder());
        // A title past the percentile column continues the row on the next line (item 61: raw 2).
        QCOMPARE(lines.at(23), Row({{8, "A VERY LONG ALCOHOL TITLE!"}}));
        QCOMPARE(lines.at(24), Row({{29, " 7 "}, {38, QStringLiteral("***") + EmptyBar.right(38)}}));
        const qsizetype at =
            lines.indexOf(Row({{8, "subjective opinions with objective and empirically base scale scores."}}));
        QCOMPARE(lines.mid(at + 1, 5),
                 (QStringList{
                     QString(),
                     Row({{8, "Choice text 3"}}),
                     Row({{8, "62. No response given."}}),
                     // Entry (q - 1) * 4 + answer: 5 on item 63 is entry 13, 7 on item 64 is past the last entry.
                     Row({{8, "Choice text 13"}}),
                     Row({{8, ""}}),
                 }));
        const qsizetype responses =
            lines.indexOf(QRegularExpression(QStringLiteral("^       ZEP-AP SHORT FORM     1-30 .*")));
        QVERIFY(responses > at);
        QCOMPARE(lines.at(responses),
                 Row({{8, "ZEP-AP SHORT FORM    "}, {29, " 1-30   TF0TF0TF0T  FFFFFFFFFF  FFFFFFFFFF  "}}));
        QCOMPARE(lines.at(responses + 1),
                 Row({{8, "RESPONSES            "}, {29, "31-64   FFFFFFFFFF  FFFFFFFFFF  FFFFFFFFFF  3057"}}));
        QCOMPARE(lines.at(responses + 2), QString());
    }
};

QTEST_GUILESS_MAIN(tst_ReportWriter)
#include "tst_ReportWriter.moc"
