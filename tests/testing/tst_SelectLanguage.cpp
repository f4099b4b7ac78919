// The language screen, driven with the keyboard over question banks written by the test.
#include <QSqlDatabase>

#include "base/Program.h"
#include "testing/QuestionBank.h"
#include "testing/frmSelectLanguage.h"
#include "tests/support/TestSupport.h"

namespace {

void WriteTables(const QStringList& tables)
{
    QList<QPair<QString, QList<QuestionItem>>> contents;
    for (const QString& table : tables)
        contents.append({table, {StandardTestItems().first()}});
    CHECKED(WriteBank(contents));
}

// Shows the screen modally and presses `keys` on it. A failed check inside `keys` closes
// the screen instead of leaving the test waiting.
int RunScreen(frmSelectLanguage& form, const std::function<void()>& keys)
{
    WhenModalOpens("frmSelectLanguage", [&form, keys](QWidget* w) {
        ShowActive(w);
        if (!QTest::currentTestFailed())
            keys();
        if (form.isVisible())
            form.done(-1);
    });
    return form.exec();
}

}  // namespace

class tst_SelectLanguage : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { t.reset(); }

    void tabRunsOverBothLanguagesAndEnterChooses()
    {
        CHECKED(WriteTables({QStringLiteral("Spanish"), QStringLiteral("Notes"), QStringLiteral("English")}));
        frmSelectLanguage form;
        QCOMPARE(form.LanguageCount(), qint16(2));
        QVERIFY(!QSqlDatabase::contains(program().MainWorkspace));  // closed again at once
        const int result = RunScreen(form, [&form] {
            QTRY_VERIFY(Child<QPushButton>(&form, "cmdMenuChoice", 0)->hasFocus());
            QCOMPARE(Child<QLabel>(&form, "MsgPanel")->text(), QStringLiteral("Present in English"));
            for (int i : {1, 3, 0}) {  // the unused third slot is never reached
                Press(Qt::Key_Tab);
                QVERIFY(Child<QPushButton>(&form, "cmdMenuChoice", i)->hasFocus());
            }
            Press(Qt::Key_Tab);
            Press(Qt::Key_E);  // letters and arrows do nothing on a button; Enter chooses
            Press(Qt::Key_Down);
            Press(Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(form.Language, QStringLiteral("Spanish"));
        QVERIFY(program().InputAccepted);
    }

    void unusableBankIsReportedAndTheScreenStaysAway_data()
    {
        QTest::addColumn<QByteArray>("junk");
        QTest::addColumn<QStringList>("tables");
        QTest::newRow("missing") << QByteArray() << QStringList();
        QTest::newRow("not a database") << QByteArray("not a database\r\n") << QStringList();
        QTest::newRow("no language table, names are exact") << QByteArray() << QStringList{"english", "Notes"};
    }
    void unusableBankIsReportedAndTheScreenStaysAway()
    {
        QFETCH(QByteArray, junk);
        QFETCH(QStringList, tables);
        Program& p = program();
        p.CurrentClient = 1;
        p.ClientTable[1] = SampleRecord(QStringLiteral("New Client"));
        p.InputAccepted = true;
        if (!junk.isEmpty())
            CHECKED(WriteFileBytes(p.DatabasePath, junk));
        if (!tables.isEmpty())
            CHECKED(WriteTables(tables));
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        frmSelectLanguage form;
        QCOMPARE(form.LanguageCount(), qint16(0));
        QCOMPARE(MsgBox::Shown().size(), 1);
        QCOMPARE(LastMessage().title, QStringLiteral("Question Bank Error"));
        QVERIFY2(LastMessage().text.contains(p.DatabasePath), qPrintable(LastMessage().text));
        QCOMPARE(form.exec(), int(QDialog::Rejected));  // returns at once, never shown
        QVERIFY(!p.InputAccepted);
        QCOMPARE(p.ClientTable[1].Name.trimmed(), QStringLiteral("New Client"));
        QVERIFY(!QSqlDatabase::contains(program().MainWorkspace));
        // Looking never creates or changes the file.
        QCOMPARE(QFileInfo::exists(p.DatabasePath), !junk.isEmpty() || !tables.isEmpty());
        if (!junk.isEmpty())
            QCOMPARE(ReadFileBytes(p.DatabasePath), junk);
    }
};

QTEST_MAIN(tst_SelectLanguage)
#include "tst_SelectLanguage.moc"
