// Reading the data files: the field grammar, and refusing files the scoring cannot use.

#include "scoring/DataFileReader.h"
#include "tests/scoring/ScoringTestCase.h"

class tst_ScoringData : public ScoringTestCase {
    Q_OBJECT
private slots:
    void init() { Fresh(); }

    // A field ends at a comma or a line end and loses the blanks around it and its quotes;
    // blank lines between fields are skipped. A heading is a whole line, whatever it holds.
    void fieldsAndHeadings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reads");  // F: a field, L: a heading line
        QTest::addColumn<QStringList>("read");
        QTest::newRow("fields") << "  12 , \"a, b\" ,x y \r\n\"q\"  ,\t7\n\"\",last"
                                << "FFFFFFFF" << QStringList{"12", "a, b", "x y", "q", "7", "", "last"};
        QTest::newRow("blank lines") << "1,\r\n\r\n  \r\n2\r\n\r\n"
                                     << "FFF" << QStringList{"1", "2"};
        QTest::newRow("headings") << "Heading, with \"quotes\", commas\r\n5,6\r\nNext heading\r\n7"
                                  << "LFFLFL"
                                  << QStringList{"Heading, with \"quotes\", commas", "5", "6", "Next heading", "7"};
    }
    void fieldsAndHeadings()
    {
        QFETCH(QString, text);
        QFETCH(QString, reads);
        QFETCH(QStringList, read);
        DataFileReader reader(text);
        QStringList got;
        QString value;
        for (QChar kind : reads)
            if (kind == QLatin1Char('L') ? reader.ReadLine(value) : reader.ReadField(value))
                got << value;
        QCOMPARE(got, read);
    }

    void linesEndAtCrLfCrOrLf()
    {
        QCOMPARE(SplitLines(QStringLiteral("a\r\nb\rc\nd")), (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(SplitLines(QStringLiteral("a\r\n\r\nEND\r\n")), (QStringList{"a", "", "END"}));
        QCOMPARE(SplitLines(QString()), QStringList());
    }

    void faultyDataStopsTheScoringAndLeavesNoReport_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("from");  // empty: the file is removed
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("slot");
        const QString b = QStringLiteral("zepsfb.TXT");
        QTest::newRow("non-number") << b << "\r\n30\r\n"
                                    << "\r\n3O\r\n"
                                    << "\"3O\" is not a whole number (MaxRaw of gender 1, race group 1, scale 1)" << 1;
        QTest::newRow("seven digits") << b << "\r\n30\r\n"
                                      << "\r\n3000000\r\n"
                                      << "\"3000000\" is not a whole number (MaxRaw of gender 1, race group 1, scale 1)"
                                      << 1;
        QTest::newRow("a sign alone") << b << "\r\n30\r\n"
                                      << "\r\n-\r\n"
                                      << "\"-\" is not a whole number (MaxRaw of gender 1, race group 1, scale 1)" << 1;
        QTest::newRow("negative MaxRaw") << b << "\r\n30\r\n"
                                         << "\r\n-30\r\n"
                                         << "MaxRaw of gender 1, race group 1, scale 1 is -30, outside 0..83" << 1;
        QTest::newRow("MaxRaw above 83") << b << "\r\n80\r\n"
                                         << "\r\n84\r\n"
                                         << "MaxRaw of gender 1, race group 1, scale 4 is 84, outside 0..83" << 1;
        QTest::newRow("too many scale items") << b << "Scale items\r\n10\r\n"
                                              << "Scale items\r\n41\r\n"
                                              << "item count of scale 1 (Truthfulness) is 41, outside 0..40" << 1;
        QTest::newRow("item number 65") << b << "\r\n1,2,3,4,5,6,7,8,9,10\r\n"
                                        << "\r\n1,2,3,4,5,6,7,8,9,65\r\n"
                                        << "item 10 of scale 1 (Truthfulness) is 65, outside 1..64" << 1;
        QTest::newRow("item number 0") << b << "\r\n1,2,3,4,5,6,7,8,9,10\r\n"
                                       << "\r\n0,2,3,4,5,6,7,8,9,10\r\n"
                                       << "item 1 of scale 1 (Truthfulness) is 0, outside 1..64" << 1;
        QTest::newRow("critical item outside the test") << b << "\r\n11,12,13,14,15,16,17,18,21"
                                                        << "\r\n11,12,13,14,15,16,17,99,21"
                                                        << "critical item 8 is 99, outside 1..64" << 1;
        QTest::newRow("percentile above 100")
            << b << "\r\n4,7,10,"
            << "\r\n4,107,10,"
            << "percentile for raw score 2 of gender 1, race group 1, scale 1 is 107, outside 0..100" << 1;
        QTest::newRow("file cut short")
            << b << "\r\n3,4,5,6,7\r\n"
            << "\r\n3,4,5\r\n"
            << "too few fields: the file ends before truthfulness correction of scale 4, level 4" << 1;
        QTest::newRow("short label file") << "zepsfRPT.TXT"
                                          << "\"Choice text 16\"\r\n"
                                          << ""
                                          << "too few fields: the file ends before choice text 16" << 1;
        for (const char* name :
             {"zepsfb.TXT", "zepsfRPT.TXT", "ZEPSFVA.TXT", "ZEPSFAL.TXT", "ZEPSFDG.TXT", "ZEPSFRK.TXT", "ZEPINVAL.TXT"})
            QTest::addRow("%s missing", name)
                << QString::fromLatin1(name) << QString() << QString() << "Cannot read " << 1;
        QTest::newRow("client slot 0") << QString() << QString() << QString() << "slot 0" << 0;
    }
    void faultyDataStopsTheScoringAndLeavesNoReport()
    {
        QFETCH(QString, file);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, problem);
        QFETCH(int, slot);
        CHECKED(data.WriteTo(folder()));
        const QString path = folder() + QLatin1Char('/') + file;
        if (!file.isEmpty() && from.isEmpty())
            QVERIFY(QFile::remove(path));
        if (!from.isEmpty()) {
            QByteArray text = ReadFileBytes(path);
            QVERIFY2(text.contains(from.toLatin1()), qPrintable(from));
            CHECKED(WriteFileBytes(path, text.replace(text.indexOf(from.toLatin1()), from.size(), to.toLatin1())));
        }
        CHECKED(WriteFileBytes(ReportPath(), "stale report of another client\r\n"));
        program().ClientTable[1] = QuietClient();
        program().CurrentClient = qint16(slot);
        const ScoringResult result = ScoreAndReport();
        QVERIFY(!result.Ok);
        QVERIFY2(result.Message.contains(file) && result.Message.contains(problem), qPrintable(result.Message));
        QVERIFY(!QFile::exists(ReportPath()));
    }

    void paragraphWithoutLabelOrEndStopsAtTheEndOfTheFile()
    {
        // Truthfulness has no paragraph for its label at all; Alcohol's paragraph has no END.
        data.Explanation[Truthfulness] =
            QStringList{QStringLiteral("SOMETHING ELSE"), QStringLiteral("text"), QStringLiteral("END")};
        data.Explanation[Alcohol] =
            QStringList{QStringLiteral("LOWEST"), QStringLiteral("alcohol to the end"), QStringLiteral("last line")};
        QVERIFY(Score(QuietClient()));
        const QStringList lines = ReportLines(folder());
        const qsizetype truth = lines.indexOf(QRegularExpression(QStringLiteral("^       TRUTH SCALE: .*")));
        QCOMPARE(lines.at(truth + 1), QString());
        QVERIFY(lines.at(truth + 2).startsWith(QStringLiteral("       ALC SCALE: LOWEST RISK RANGE")));
        QCOMPARE(lines.at(truth + 3), QStringLiteral("        alcohol to the end"));
        QCOMPARE(lines.at(truth + 4), QStringLiteral("        last line"));
        QCOMPARE(lines.at(truth + 5), QString());
        QVERIFY(lines.at(truth + 6).startsWith(QStringLiteral("       DRG SCALE: ")));
    }
};

QTEST_GUILESS_MAIN(tst_ScoringData)
#include "tst_ScoringData.moc"
