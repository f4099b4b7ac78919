// The question bank file: what is written comes back, languages are found by exact name,
// a missing or broken file is reported, never replaced, and overlong values refuse it.
#include <QSqlDatabase>
#include <QSqlQuery>

#include "app/Program.h"
#include "testing/QuestionBank.h"
#include "tests/support/TestSupport.h"

namespace {

QuestionItem Item(int id, const QString& question, const QStringList& answers)
{
    QuestionItem item;
    item.ID = id;
    item.TestQuestion = question;
    item.QuestionAudio = QStringLiteral("Q%1").arg(id, 2, 10, QLatin1Char('0'));
    for (int i = 0; i < answers.size(); ++i) {
        item.Answer[i] = answers[i];
        item.ChoiceAudio[i] = item.QuestionAudio + QStringLiteral("A%1").arg(i + 1);
    }
    return item;
}

using Tables = QList<QPair<QString, QList<QuestionItem>>>;

// Runs one statement on a file outside the bank's own code, to look at or shape it; the
// first value it gives goes to `value`.
bool RunSql(const QString& path, const QString& sql, QVariant* value = nullptr)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(sql);
            if (ok && value && q.next())
                *value = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return ok;
}

// SQL for a text of n characters.
QString TextOf(int n)
{
    return QStringLiteral("substr(replace(hex(zeroblob(%1)), '00', 'ab'), 1, %1)").arg(n);
}

} // namespace

class tst_QuestionBank : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    QString bankPath() const { return t->programFolder() + QStringLiteral("/ZEPSF.db"); }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { t.reset(); }

    void itemsComeBackInTheirOwnOrderWithMissingAnswersEmpty()
    {
        QuestionItem padded = Item(7, QStringLiteral("I drink to relax."), {QStringLiteral("True"), QStringLiteral("False")});
        padded.QuestionAudio = QStringLiteral("  Q07 ");
        padded.ChoiceAudio[1] = QStringLiteral("Q07A2  ");
        const QList<QuestionItem> items{
            Item(2, QStringLiteral("Second on purpose."), {QStringLiteral("True"), QStringLiteral("False")}),
            padded,
            Item(61, QStringLiteral("How would you describe your drinking?"),
                 {QStringLiteral("None"), QStringLiteral("Light"), QStringLiteral("Moderate"), QStringLiteral("Heavy")}),
        };
        WriteBank({{QStringLiteral("English"), items}});
        // Answers an item does not have are stored as NULL, not as empty texts.
        QVariant nulls;
        QVERIFY(RunSql(bankPath(), "SELECT count(*) FROM English WHERE ANSWER3 IS NULL AND ChoiceAudio3 IS NULL", &nulls));
        QCOMPARE(nulls.toInt(), 2);

        {
            QuestionBank bank(bankPath());
            QVERIFY2(bank.IsOpen(), qPrintable(bank.ErrorText()));
            QList<QuestionItem> read;
            QVERIFY(bank.ReadLanguage(QStringLiteral("English"), read));
            // The table's order, not the item numbers'.
            QCOMPARE((QList<int>{read.value(0).ID, read.value(1).ID, read.value(2).ID, int(read.size())}), (QList<int>{2, 7, 61, 3}));

            // Blanks around the audio names are dropped; missing answers come back empty.
            QCOMPARE(read[1].QuestionAudio + read[1].ChoiceAudio[1] + read[1].Answer[1], QStringLiteral("Q07Q07A2False"));
            QVERIFY(read[1].Answer[2].isEmpty() && read[1].ChoiceAudio[2].isEmpty());
            QCOMPARE(read[2].TestQuestion, items[2].TestQuestion);
            for (int i = 0; i < 5; ++i)
                QCOMPARE(read[2].Answer[i] + read[2].ChoiceAudio[i], items[2].Answer[i] + items[2].ChoiceAudio[i]);
            QVERIFY(QSqlDatabase::contains(QStringLiteral("MainWorkspace")));
        }
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("MainWorkspace"))); // closed with the object

        // A bank made by other means may lack answer columns or hold NULL where text is expected.
        QVERIFY(RunSql(bankPath(), QStringLiteral("CREATE TABLE Spanish (id INTEGER, TestQuestion TEXT, "
                                            "QuestionAudio TEXT, Answer1 TEXT, Answer2 TEXT)")));
        QVERIFY(RunSql(bankPath(), "INSERT INTO Spanish VALUES (1, 'Nunca he mentido.', NULL, 'Verdadero', NULL)"));
        QuestionBank bank(bankPath());
        QList<QuestionItem> read;
        QVERIFY2(bank.ReadLanguage(QStringLiteral("Spanish"), read), qPrintable(bank.ErrorText()));
        QCOMPARE(read.size(), 1);
        QCOMPARE(read[0].ID, 1);
        QCOMPARE(read[0].Answer[0], QStringLiteral("Verdadero"));
        QVERIFY(read[0].Answer[1].isEmpty() && read[0].Answer[4].isEmpty() && read[0].QuestionAudio.isEmpty());
    }

    void tablesKeepTheDatabaseOrderAndOnlyExactNamesAreLanguages()
    {
        const QList<QuestionItem> one{Item(1, QStringLiteral("x"), {QStringLiteral("True"), QStringLiteral("False")})};
        QVERIFY(CreateQuestionBank(bankPath(),
                                   Tables{{QStringLiteral("Spanish"), one}, {QStringLiteral("Notes"), one},
                                          {QStringLiteral("english"), one}},
                                   nullptr));
        // English takes the first language slot whatever the stored order.
        const QString other = t->programFolder() + QStringLiteral("/other.db");
        QVERIFY(CreateQuestionBank(other, Tables{{QStringLiteral("Spanish"), one}, {QStringLiteral("English"), one}},
                                   nullptr));
        QCOMPARE(QuestionBank(other).LanguageTables(), (QStringList{QStringLiteral("English"), QStringLiteral("Spanish")}));

        QuestionBank bank(bankPath());
        QCOMPARE(bank.TableNames(), (QStringList{QStringLiteral("Spanish"), QStringLiteral("Notes"), QStringLiteral("english")}));
        QCOMPARE(bank.LanguageTables(), QStringList{QStringLiteral("Spanish")});
        QVERIFY(!IsLanguageTable(QStringLiteral("english")) && !IsLanguageTable(QStringLiteral("Notes")));
        QVERIFY(IsLanguageTable(QStringLiteral("English")) && IsLanguageTable(QStringLiteral("Spanish")));

        // SQLite would answer "English" with the table "english"; the bank does not.
        QList<QuestionItem> read;
        QVERIFY(!bank.ReadLanguage(QStringLiteral("English"), read));
        QVERIFY(read.isEmpty());
        QVERIFY(bank.ErrorText().contains(bankPath()) && bank.ErrorText().contains(QStringLiteral("English")));
        QVERIFY(bank.ReadLanguage(QStringLiteral("english"), read));
        QVERIFY(bank.ErrorText().isEmpty());
    }

    void missingOrBrokenFileIsReportedAndLeftAlone()
    {
        {
            QuestionBank bank(bankPath());
            QVERIFY(!bank.IsOpen());
            QVERIFY(bank.ErrorText().contains(bankPath()));
            QVERIFY(bank.TableNames().isEmpty());
            QList<QuestionItem> read;
            QVERIFY(!bank.ReadLanguage(QStringLiteral("English"), read));
        }
        QVERIFY(!QFileInfo::exists(bankPath()));

        const QByteArray junk("this is a text file, not a question bank\r\n");
        WriteFileBytes(bankPath(), junk);
        {
            QuestionBank bank(bankPath());
            QVERIFY(!bank.IsOpen());
            QVERIFY(bank.ErrorText().contains(bankPath()));
        }
        QCOMPARE(ReadFileBytes(bankPath()), junk);
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("MainWorkspace")));

        // Writing over it replaces it whole.
        QVERIFY(CreateQuestionBank(bankPath(), {{QStringLiteral("English"), {}}}, nullptr));
        QuestionBank bank(bankPath());
        QVERIFY(bank.IsOpen());
        QCOMPARE(bank.LanguageTables(), QStringList{QStringLiteral("English")});
    }

    // Values far longer than any item needs refuse the bank before they are read; the
    // item's own columns are the only ones read at all.
    void longValuesRefuseTheBank_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("question text past the cap")
            << QStringLiteral("UPDATE English SET TestQuestion = %1 WHERE ID = 2").arg(TextOf(200000)) << false;
        QTest::newRow("audio name one past the cap")
            << QStringLiteral("UPDATE English SET ChoiceAudio5 = %1 WHERE ID = 64").arg(TextOf(4001)) << false;
        QTest::newRow("answer at the cap")
            << QStringLiteral("UPDATE English SET ANSWER3 = %1 WHERE ID = 61").arg(TextOf(4000)) << true;
        QTest::newRow("huge column of its own")
            << QStringLiteral("ALTER TABLE English ADD COLUMN Extra TEXT AS (%1) VIRTUAL").arg(TextOf(200000)) << true;
    }
    void longValuesRefuseTheBank()
    {
        QFETCH(QString, shape);
        QFETCH(bool, accepted);
        WriteBank({{QStringLiteral("English"), StandardTestItems()}});
        QVERIFY(RunSql(bankPath(), shape));
        QuestionBank bank(bankPath());
        QVERIFY(bank.IsOpen());
        QList<QuestionItem> items;
        QCOMPARE(bank.ReadLanguage(QStringLiteral("English"), items), accepted);
        if (accepted) {
            QCOMPARE(items.size(), 64);
            QCOMPARE(items[1].TestQuestion, QStringLiteral("Statement 2."));
        } else {
            QVERIFY2(bank.ErrorText().contains(QStringLiteral("longer than 4000 characters")), qPrintable(bank.ErrorText()));
            QVERIFY(items.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(tst_QuestionBank)
#include "tst_QuestionBank.moc"
