// The question bank the build puts beside the program, and the tool that builds it.

#include "app/Program.h"
#include "testing/QuestionBank.h"
#include "tests/support/TestSupport.h"

namespace {

struct Run {
    int exitCode = -1;
    QByteArray err;
};

Run Zepbank(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ZEPBANK), args);
    Run run;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        run.exitCode = p.exitCode();
    run.err = p.readAllStandardError();
    return run;
}

const QByteArray GoodItem = "Q 1 Q01 I have never told a lie.\r\nA Q01A1 True\r\nA Q01A2 False\r\n";

} // namespace

class tst_ShippedBank : public QObject {
    Q_OBJECT

private slots:
    void shippedBankHoldsTheWholeTestInBothLanguages()
    {
        TestProgram t;
        program().MainWorkspace = QStringLiteral("MainWorkspace");
        QuestionBank bank(QStringLiteral(ZEP_PROGRAM_DIR "/ZEPSF.db"));
        QVERIFY2(bank.IsOpen(), qPrintable(bank.ErrorText()));
        QCOMPARE(bank.LanguageTables(), (QStringList{QStringLiteral("English"), QStringLiteral("Spanish")}));
        for (const QString& language : bank.LanguageTables()) {
            QList<QuestionItem> items;
            QVERIFY2(bank.ReadLanguage(language, items), qPrintable(bank.ErrorText()));
            QCOMPARE(items.size(), 64);
            for (int i = 0; i < 64; ++i) {
                const QuestionItem& item = items[i];
                const QByteArray where = (language + QStringLiteral(" item %1").arg(i + 1)).toUtf8();
                QVERIFY2(item.ID == i + 1, where.constData());
                QVERIFY2(!item.TestQuestion.isEmpty() && !item.QuestionAudio.isEmpty(), where.constData());
                const int answers = item.ID <= 60 ? 2 : 4;
                for (int a = 0; a < 5; ++a) {
                    QVERIFY2(item.Answer[a].isEmpty() == (a >= answers), where.constData());
                    QVERIFY2(item.ChoiceAudio[a].isEmpty() == (a >= answers), where.constData());
                }
                // The answer-sheet form types the items by the English second answer.
                if (language == QLatin1String("English"))
                    QVERIFY2(item.Answer[1].startsWith(QLatin1String("False")) == (item.ID <= 60), where.constData());
                else if (item.ID <= 60)
                    QVERIFY2(item.Answer[0] == QLatin1String("Verdadero") && item.Answer[1] == QLatin1String("Falso"),
                             where.constData());
            }
        }
    }

    void faultySourceIsRefusedWithItsFileAndLine_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("item out of order") << GoodItem + "Q 3 Q03 Skipped two.\r\nA a True\r\nA b False\r\n" << 4
                                           << QByteArray("item 3 where item 2 belongs");
        QTest::newRow("answer before any item") << QByteArray("; heading\r\nA Q01A1 True\r\n") << 2
                                                << QByteArray("answer before the first item");
        QTest::newRow("one answer only") << QByteArray("\r\nQ 1 Q01 Alone.\r\nA Q01A1 True\r\n") << 2
                                         << QByteArray("fewer than two answers");
        QTest::newRow("answer without text") << GoodItem + "A Q01A3\r\n" << 4 << QByteArray("needs an audio name and a text");
        QTest::newRow("six answers") << GoodItem + "A c 3\r\nA d 4\r\nA e 5\r\nA f 6\r\n" << 7
                                     << QByteArray("more than five answers");
        QTest::newRow("unknown line") << GoodItem + "I have never been drunk.\r\n" << 4 << QByteArray("not \"I\"");
    }

    void faultySourceIsRefusedWithItsFileAndLine()
    {
        QFETCH(QByteArray, source);
        QFETCH(int, line);
        QFETCH(QByteArray, reason);
        QTemporaryDir dir;
        const QString sourcePath = dir.path() + QStringLiteral("/English.txt");
        const QString output = dir.path() + QStringLiteral("/ZEPSF.db");
        WriteFileBytes(sourcePath, source);
        const Run run = Zepbank({output, sourcePath});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains((sourcePath + QStringLiteral(":%1: ").arg(line)).toUtf8()), run.err.constData());
        QVERIFY2(run.err.contains(reason), run.err.constData());
        QVERIFY(!QFileInfo::exists(output));
    }

    void languagesMustOfferTheSameItems()
    {
        QTemporaryDir dir;
        const QString english = dir.path() + QStringLiteral("/English.txt");
        const QString spanish = dir.path() + QStringLiteral("/Spanish.txt");
        const QString output = dir.path() + QStringLiteral("/ZEPSF.db");
        WriteFileBytes(english, GoodItem);
        // Windows-1252 accents come through as the characters they stand for.
        WriteFileBytes(spanish, "Q 1 Q01 Nunca he dicho una mentira peque\xF1" "a.\r\nA Q01A1 Verdadero\r\nA Q01A2 Falso\r\n");
        QCOMPARE(Zepbank({output, english, spanish}).exitCode, 0);
        {
            TestProgram t;
            QuestionBank bank(output);
            QList<QuestionItem> items;
            QVERIFY(bank.ReadLanguage(QStringLiteral("Spanish"), items));
            QCOMPARE(items.value(0).TestQuestion, QStringLiteral("Nunca he dicho una mentira peque\u00F1a."));
        }

        WriteFileBytes(spanish, "Q 1 Q01 Nunca.\r\nA a Verdadero\r\nA b Falso\r\nA c Tal vez\r\n");
        const Run run = Zepbank({output, english, spanish});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("item 1 has 2 answers in"), run.err.constData());
        QVERIFY(run.err.contains(spanish.toUtf8()));
    }
};

QTEST_GUILESS_MAIN(tst_ShippedBank)
#include "tst_ShippedBank.moc"
