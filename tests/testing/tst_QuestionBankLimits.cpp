// A question bank whose values are far longer than any item needs is refused before they
// are read; the item's own columns are the only ones read at all.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include "testing/QuestionBank.h"
#include "tests/support/TestSupport.h"

namespace {

bool RunSql(const QString& path, const QString& sql)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shape"));
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("shape"));
    return ok;
}

// SQL for a text of n characters.
QString TextOf(int n)
{
    return QStringLiteral("substr(replace(hex(zeroblob(%1)), '00', 'ab'), 1, %1)").arg(n);
}

} // namespace

class tst_QuestionBankLimits : public QObject {
    Q_OBJECT

private slots:
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
        TestProgram t;
        const QString path = t.programFolder() + QStringLiteral("/ZEPSF.db");
        QString error;
        QVERIFY2(CreateQuestionBank(path, {{QStringLiteral("English"), StandardTestItems()}}, &error), qPrintable(error));
        QVERIFY(RunSql(path, shape));

        QuestionBank bank(path);
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

QTEST_GUILESS_MAIN(tst_QuestionBankLimits)
#include "tst_QuestionBankLimits.moc"
