// The question bank: what is written comes back, languages are found by exact name, a
// missing or broken file is reported and left alone, overlong values refuse it; and the
// bank the build ships, made by zepbank from its source texts.
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "base/Program.h"
#include "testing/Presentation.h"
#include "testing/QuestionBank.h"
#include "tests/support/TestSupport.h"

namespace {

using Tables = QList<QPair<QString, QList<QuestionItem>>>;

QuestionItem Item(int id, const QStringList& answers = {"True", "False"})
{
    QuestionItem item;
    item.ID = id;
    item.TestQuestion = QStringLiteral("Statement %1.").arg(id);
    item.QuestionAudio = QStringLiteral("Q%1").arg(id);
    for (int i = 0; i < answers.size(); ++i) {
        item.Answer[i] = answers[i];
        item.ChoiceAudio[i] = item.QuestionAudio + QStringLiteral("A%1").arg(i + 1);
    }
    return item;
}

// Runs one statement on the file outside the bank's own code, to shape it.
bool RunSql(const QString& path, const QString& sql)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "raw");
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase("raw");
    return ok;
}

// SQL for a text of n characters.
QString TextOf(int n) { return QStringLiteral("substr(replace(hex(zeroblob(%1)), '00', 'ab'), 1, %1)").arg(n); }

ToolRun Zepbank(const QStringList& args) { return RunTool(QStringLiteral(ZEPBANK), args); }

const QByteArray GoodItem = "Q 1 Q01 I have never told a lie.\r\nA Q01A1 True\r\nA Q01A2 False\r\n";

}  // namespace

class tst_QuestionBank : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    QString bankPath() const { return t->programFolder() + QStringLiteral("/ZEPSF.db"); }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { t.reset(); }

    void itemsComeBackInTheirOwnOrderWithMissingAnswersEmpty()
    {
        QuestionItem padded = Item(7);
        padded.QuestionAudio = QStringLiteral("  Q07 ");
        padded.ChoiceAudio[1] = QStringLiteral("Q07A2  ");
        const QList<QuestionItem> items{Item(2), padded, Item(61, {"None", "Light", "Moderate", "Heavy"})};
        CHECKED(WriteBank({{QStringLiteral("English"), items}}));
        {
            QuestionBank bank(bankPath());
            QList<QuestionItem> read;
            QVERIFY(bank.ReadLanguage(QStringLiteral("English"), read));
            // The table's order, not the item numbers'.
            QCOMPARE((QList<int>{read.value(0).ID, read.value(1).ID, read.value(2).ID, int(read.size())}),
                     (QList<int>{2, 7, 61, 3}));
            // Blanks around the audio names are dropped; missing answers come back empty.
            QCOMPARE(read[1].QuestionAudio + read[1].ChoiceAudio[1] + read[1].Answer[1],
                     QStringLiteral("Q07Q07A2False"));
            QVERIFY(read[1].Answer[2].isEmpty() && read[1].ChoiceAudio[2].isEmpty());
            for (int i = 0; i < 5; ++i)
                QCOMPARE(read[2].Answer[i] + read[2].ChoiceAudio[i], items[2].Answer[i] + items[2].ChoiceAudio[i]);
        }
        QVERIFY(!QSqlDatabase::contains(program().MainWorkspace));  // closed with the object
    }

    void tablesKeepTheDatabaseOrderAndOnlyExactNamesAreLanguages()
    {
        const QList<QuestionItem> one{Item(1)};
        CHECKED(WriteBank({{"Spanish", one}, {"Notes", one}, {"english", one}}));
        // English takes the first language slot whatever the stored order.
        const QString other = t->programFolder() + QStringLiteral("/other.db");
        QVERIFY(CreateQuestionBank(other, Tables{{"Spanish", one}, {"English", one}}, nullptr));
        QCOMPARE(QuestionBank(other).LanguageTables(), (QStringList{"English", "Spanish"}));

        QuestionBank bank(bankPath());
        QCOMPARE(bank.TableNames(), (QStringList{"Spanish", "Notes", "english"}));
        QCOMPARE(bank.LanguageTables(), QStringList{"Spanish"});
        QVERIFY(!IsLanguageTable("english") && !IsLanguageTable("Notes") && IsLanguageTable("English"));

        // SQLite would answer "English" with the table "english"; the bank does not.
        QList<QuestionItem> read;
        QVERIFY(!bank.ReadLanguage(QStringLiteral("English"), read));
        QVERIFY(read.isEmpty());
        QVERIFY(bank.ErrorText().contains(bankPath()) && bank.ErrorText().contains(QStringLiteral("English")));
        QVERIFY(bank.ReadLanguage(QStringLiteral("english"), read));
    }

    void missingOrBrokenFileIsReportedAndLeftAlone()
    {
        const QByteArray junk("this is a text file, not a question bank\r\n");
        for (bool exists : {false, true}) {
            if (exists)
                CHECKED(WriteFileBytes(bankPath(), junk));
            {
                QuestionBank bank(bankPath());
                QVERIFY(!bank.IsOpen() && bank.TableNames().isEmpty());
                QVERIFY(bank.ErrorText().contains(bankPath()));
            }
            QVERIFY(!QSqlDatabase::contains(program().MainWorkspace));
            QCOMPARE(QFileInfo::exists(bankPath()), exists);
        }
        QCOMPARE(ReadFileBytes(bankPath()), junk);
    }

    // Values far longer than any item needs, and tables of more rows than the test has items,
    // refuse the bank before they are read; the item's own columns and the first rows are the
    // only ones read at all.
    void longValuesRefuseTheBank_data()
    {
        const QString tooLong = QStringLiteral("longer than 4000 characters");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("told");
        QTest::newRow("question text past the cap")
            << QStringLiteral("UPDATE English SET TestQuestion = %1 WHERE ID = 2").arg(TextOf(200000)) << tooLong;
        QTest::newRow("audio name one past the cap")
            << QStringLiteral("UPDATE English SET ChoiceAudio5 = %1 WHERE ID = 64").arg(TextOf(4001)) << tooLong;
        QTest::newRow("answer at the cap")
            << QStringLiteral("UPDATE English SET ANSWER3 = %1 WHERE ID = 61").arg(TextOf(4000)) << QString();
        QTest::newRow("huge column of its own")
            << QStringLiteral("ALTER TABLE English ADD COLUMN Extra TEXT AS (%1) VIRTUAL").arg(TextOf(200000))
            << QString();
        QTest::newRow("value too big to be handed over")
            << QStringLiteral("UPDATE English SET ANSWER1 = %1 WHERE ID = 3").arg(TextOf(2000000)) << tooLong;
        QTest::newRow("a million more rows")
            << QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 65 UNION ALL SELECT i + 1 FROM n WHERE i < 1000064) "
                   "INSERT INTO English (ID, TestQuestion, ANSWER1, ANSWER2) SELECT i, 'Word.', 'True', 'False' FROM n")
            << QStringLiteral("holds more rows than the test's 64 items");
    }
    void longValuesRefuseTheBank()
    {
        QFETCH(QString, shape);
        QFETCH(QString, told);
        CHECKED(WriteBank({{QStringLiteral("English"), StandardTestItems()}}));
        QVERIFY(RunSql(bankPath(), shape));
        QuestionBank bank(bankPath());
        QList<QuestionItem> items;
        QCOMPARE(bank.ReadLanguage(QStringLiteral("English"), items), told.isEmpty());
        QCOMPARE(items.size(), told.isEmpty() ? 64 : 0);
        if (!told.isEmpty())
            QVERIFY2(bank.ErrorText().contains(told), qPrintable(bank.ErrorText()));
    }

    void shippedBankHoldsTheWholeTestInBothLanguages()
    {
        QuestionBank bank(QStringLiteral(ZEP_PROGRAM_DIR "/ZEPSF.db"));
        QCOMPARE(bank.LanguageTables(), (QStringList{"English", "Spanish"}));
        for (const QString& language : bank.LanguageTables()) {
            QList<QuestionItem> items;
            QVERIFY2(bank.ReadLanguage(language, items), qPrintable(bank.ErrorText()));
            QCOMPARE(items.size(), 64);
            // The true/false items answer with the two words the section 1 instructions name.
            QStringList named;
            const QRegularExpression inQuotes(QStringLiteral("[\"\u00AB]([^\"\u00BB]+)[\"\u00BB]"));
            auto quoted = inQuotes.globalMatch(InstructionText(language, 1));
            while (quoted.hasNext())
                named << quoted.next().captured(1);
            for (const QuestionItem& item : items) {
                const QByteArray where = (language + QStringLiteral(" item %1").arg(item.ID)).toUtf8();
                QVERIFY2(item.ID == &item - items.data() + 1 && !item.TestQuestion.isEmpty() &&
                             !item.QuestionAudio.isEmpty(),
                         where.constData());
                const int answers = item.ID <= 60 ? 2 : 4;
                for (int a = 0; a < 5; ++a)
                    QVERIFY2(item.Answer[a].isEmpty() == (a >= answers) &&
                                 item.ChoiceAudio[a].isEmpty() == (a >= answers),
                             where.constData());
                if (item.ID <= 60)
                    QVERIFY2(named.contains(item.Answer[0]) && named.contains(item.Answer[1]), where.constData());
                // The answer-sheet form types the items by the English second answer.
                if (language == QLatin1String("English"))
                    QVERIFY2(item.Answer[1].startsWith(QLatin1String("False")) == (item.ID <= 60), where.constData());
            }
        }
    }

    void faultySourceIsRefusedWithItsFileAndLine_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("item out of order") << GoodItem + "Q 3 Q03 Skipped two.\r\nA a True\r\nA b False\r\n"
                                           << 4 << "item 3 where item 2 belongs";
        QTest::newRow("answer before any item")
            << QByteArray("; heading\r\nA Q01A1 True\r\n") << 2 << "answer before the first item";
        QTest::newRow("one answer only") << QByteArray("\r\nQ 1 Q01 Alone.\r\nA Q01A1 True\r\n") << 2
                                         << "fewer than two answers";
        QTest::newRow("answer without text") << GoodItem + "A Q01A3\r\n" << 4 << "needs an audio name and a text";
        QTest::newRow("six answers") << GoodItem + "A c 3\r\nA d 4\r\nA e 5\r\nA f 6\r\n"
                                     << 7 << "more than five answers";
        QTest::newRow("unknown line") << GoodItem + "I have never been drunk.\r\n" << 4 << "not \"I\"";
    }
    void faultySourceIsRefusedWithItsFileAndLine()
    {
        QFETCH(QByteArray, source);
        QFETCH(int, line);
        QFETCH(QString, reason);
        const QString sourcePath = t->programFolder() + QStringLiteral("/English.txt");
        CHECKED(WriteFileBytes(sourcePath, source));
        const ToolRun run = Zepbank({bankPath(), sourcePath});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains((sourcePath + QStringLiteral(":%1: ").arg(line)).toUtf8()), run.err.constData());
        QVERIFY2(run.err.contains(reason.toUtf8()), run.err.constData());
        QVERIFY(!QFileInfo::exists(bankPath()));
    }

    void languagesMustOfferTheSameItems()
    {
        const QString english = t->programFolder() + QStringLiteral("/English.txt");
        const QString spanish = t->programFolder() + QStringLiteral("/Spanish.txt");
        CHECKED(WriteFileBytes(english, GoodItem));
        // Windows-1252 accents come through as the characters they stand for.
        CHECKED(WriteFileBytes(spanish, "Q 1 Q01 Nunca he dicho una mentira peque\xF1"
                                        "a.\r\nA Q01A1 Cierto\r\nA Q01A2 Falso\r\n"));
        QCOMPARE(Zepbank({bankPath(), english, spanish}).exitCode, 0);
        {
            QList<QuestionItem> items;
            QVERIFY(QuestionBank(bankPath()).ReadLanguage(QStringLiteral("Spanish"), items));
            QCOMPARE(items.value(0).TestQuestion, QStringLiteral("Nunca he dicho una mentira peque\u00F1a."));
        }
        CHECKED(WriteFileBytes(spanish, "Q 1 Q01 Nunca.\r\nA a Cierto\r\nA b Falso\r\nA c Tal vez\r\n"));
        const ToolRun run = Zepbank({bankPath(), english, spanish});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("item 1 has 2 answers in") && run.err.contains(spanish.toUtf8()),
                 run.err.constData());
    }
};

QTEST_GUILESS_MAIN(tst_QuestionBank)
#include "tst_QuestionBank.moc"
