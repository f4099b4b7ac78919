// The language screen, driven with the keyboard over question banks written by the test.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QtTest>

#include "app/Program.h"
#include "testing/QuestionBank.h"
#include "testing/frmSelectLanguage.h"
#include "tests/support/TestSupport.h"

namespace {

void WriteBank(const QStringList& tables)
{
    QuestionItem item;
    item.ID = 1;
    item.TestQuestion = QStringLiteral("I have never told a lie.");
    item.Answer[0] = QStringLiteral("True");
    item.Answer[1] = QStringLiteral("False");
    QList<QPair<QString, QList<QuestionItem>>> contents;
    for (const QString& table : tables)
        contents.append({table, {item}});
    QString error;
    QVERIFY2(CreateQuestionBank(program().DatabasePath, contents, &error), qPrintable(error));
}

bool IsCyan(QWidget* w)
{
    return w->palette().color(QPalette::Window) == QColor(0, 255, 255);
}

// Shows the screen modally and lets `keys` work on it. A failed check inside `keys` closes
// the screen instead of leaving the test waiting.
int RunScreen(frmSelectLanguage& form, const std::function<void()>& keys)
{
    WhenModalOpens("frmSelectLanguage", [&form, keys](QWidget*) {
        keys();
        if (form.isVisible())
            form.done(-1);
    });
    return form.exec();
}

void PressOn(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace

class tst_SelectLanguage : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;

private slots:
    void init()
    {
        t = std::make_unique<TestProgram>();
    }
    void cleanup() { t.reset(); }

    void tabRunsOverBothLanguagesAndCancelAndEnterChooses()
    {
        WriteBank({QStringLiteral("Spanish"), QStringLiteral("Notes"), QStringLiteral("English")});
        frmSelectLanguage form;
        QCOMPARE(form.LanguageCount(), qint16(2));
        QVERIFY(!form.isVisible());
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("MainWorkspace"))); // closed again at once
        QCOMPARE(form.windowTitle(), QStringLiteral("Select Presentation Language"));
        QCOMPARE(form.fraSelectMethod->title(), QStringLiteral("Select Language to Present"));
        QCOMPARE(form.cmdMenuChoice[3]->text(), QStringLiteral("Cancel Presentation"));

        const int result = RunScreen(form, [&form] {
            auto cyanPanels = [&form] {
                int n = 0;
                for (QFrame* panel : form.sspMenuChoice)
                    n += IsCyan(panel) ? 1 : 0;
                return n;
            };
            QTRY_VERIFY(form.cmdMenuChoice[0]->hasFocus());
            QCOMPARE(form.cmdMenuChoice[0]->text(), QStringLiteral("English"));
            QCOMPARE(form.MsgPanel->text(), QStringLiteral("Present in English"));
            QVERIFY(IsCyan(form.sspMenuChoice[0]) && form.cmdMenuChoice[0]->font().bold());
            QVERIFY(!form.cmdMenuChoice[2]->isVisible() && !form.sspMenuChoice[2]->isVisible());

            PressOn(Qt::Key_Tab);
            QVERIFY(form.cmdMenuChoice[1]->hasFocus());
            QCOMPARE(form.MsgPanel->text(), QStringLiteral("Present in Spanish"));
            QCOMPARE(cyanPanels(), 1);
            QVERIFY(IsCyan(form.sspMenuChoice[1]) && !form.cmdMenuChoice[0]->font().bold());
            PressOn(Qt::Key_Tab);
            QVERIFY(form.cmdMenuChoice[3]->hasFocus());
            QCOMPARE(form.MsgPanel->text(), QStringLiteral("Cancel presentation"));
            QCOMPARE(cyanPanels(), 1);
            PressOn(Qt::Key_Tab);
            QVERIFY(form.cmdMenuChoice[0]->hasFocus());
            PressOn(Qt::Key_Tab);
            // Letters and arrows do nothing on a button; Enter chooses.
            PressOn(Qt::Key_E);
            PressOn(Qt::Key_Down);
            QVERIFY(form.isVisible() && form.cmdMenuChoice[1]->hasFocus());
            PressOn(Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(form.Language, QStringLiteral("Spanish"));
        QVERIFY(program().InputAccepted);
        QVERIFY(MsgBox::Shown().isEmpty());
    }

    void cancelAbandonsANewClientAndKeepsAnExistingOne()
    {
        WriteBank({QStringLiteral("English"), QStringLiteral("Spanish")});
        Program& p = program();
        p.ClientTable[1] = SampleRecord(QStringLiteral("First Client"));
        p.ClientTable[2] = SampleRecord(QStringLiteral("Second Client"));
        p.ClientTable[3] = SampleRecord(QStringLiteral("New Client"));
        p.ClientCount = 2;
        auto cancel = [](frmSelectLanguage& form) {
            return RunScreen(form, [] {
                PressOn(Qt::Key_Tab);
                PressOn(Qt::Key_Tab);
                PressOn(Qt::Key_Return);
            });
        };

        // A new client (slot 3, not yet counted) is abandoned.
        p.EditMode = false;
        p.CurrentClient = 3;
        p.InputAccepted = true;
        {
            frmSelectLanguage form;
            QCOMPARE(form.LanguageCount(), qint16(2));
            QCOMPARE(cancel(form), int(QDialog::Rejected));
            QVERIFY(form.Language.isEmpty());
        }
        QVERIFY(!p.InputAccepted);
        QCOMPARE(p.CurrentClient, qint16(1));
        QVERIFY(p.ClientTable[3] == ClientRecord{});
        QCOMPARE(p.ClientTable[1].Name.trimmed(), QStringLiteral("First Client"));

        // An existing client keeps its record and stays current.
        p.EditMode = true;
        p.CurrentClient = 2;
        p.InputAccepted = true;
        {
            frmSelectLanguage form;
            QCOMPARE(form.LanguageCount(), qint16(2));
            QCOMPARE(cancel(form), int(QDialog::Rejected));
        }
        QVERIFY(!p.InputAccepted);
        QCOMPARE(p.CurrentClient, qint16(2));
        QCOMPARE(p.ClientTable[2].Name.trimmed(), QStringLiteral("Second Client"));
    }

    void oneLanguageFillsOnlyTheFirstSlot()
    {
        WriteBank({QStringLiteral("Notes"), QStringLiteral("English")});
        frmSelectLanguage form;
        QCOMPARE(form.LanguageCount(), qint16(1));
        QCOMPARE(form.cmdMenuChoice[0]->text(), QStringLiteral("English"));
        QVERIFY(!form.cmdMenuChoice[0]->isHidden() && !form.sspMenuChoice[0]->isHidden());
        QVERIFY(form.cmdMenuChoice[1]->isHidden() && form.sspMenuChoice[1]->isHidden());
        QVERIFY(form.cmdMenuChoice[2]->isHidden());
        QVERIFY(MsgBox::Shown().isEmpty());
    }

    void unusableBankIsReportedAndTheScreenStaysAway()
    {
        Program& p = program();
        p.CurrentClient = 1;
        p.ClientTable[1] = SampleRecord(QStringLiteral("New Client"));
        const QByteArray junk("not a database\r\n");
        // Missing, not a database, and without any language table (names are exact).
        for (int round = 0; round < 3; ++round) {
            if (round == 1)
                WriteFileBytes(p.DatabasePath, junk);
            if (round == 2)
                WriteBank({QStringLiteral("english"), QStringLiteral("Notes")});
            MsgBox::ResetTestState();
            MsgBox::SetTestMode(true);
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            p.InputAccepted = true;
            frmSelectLanguage form;
            QCOMPARE(form.LanguageCount(), qint16(0));
            QCOMPARE(MsgBox::Shown().size(), 1);
            QCOMPARE(LastMessage().title, QStringLiteral("Question Bank Error"));
            QVERIFY2(LastMessage().text.contains(p.DatabasePath), qPrintable(LastMessage().text));
            QVERIFY(form.cmdMenuChoice[0]->isHidden());

            QCOMPARE(form.exec(), int(QDialog::Rejected)); // returns at once, never shown
            QVERIFY(!p.InputAccepted);
            QCOMPARE(p.ClientTable[1].Name.trimmed(), QStringLiteral("New Client"));
            QVERIFY(!QSqlDatabase::contains(QStringLiteral("MainWorkspace")));
            if (round == 0)
                QVERIFY(!QFileInfo::exists(p.DatabasePath)); // never created by looking
            if (round == 1)
                QCOMPARE(ReadFileBytes(p.DatabasePath), junk);
        }
    }
};

QTEST_MAIN(tst_SelectLanguage)
#include "tst_SelectLanguage.moc"
