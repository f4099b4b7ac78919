// Answer-sheet entry driven with the keyboard, as staff type a paper answer sheet.
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTableWidget>
#include <QtTest>

#include "app/FormHelpers.h"
#include "app/Program.h"
#include "clients/DataAccess.h"
#include "testing/QuestionBank.h"
#include "testing/frmNewEntry.h"
#include "tests/support/TestSupport.h"

namespace {

const QColor Navy{0, 0, 128};
const QColor Green{0, 255, 0};
const QString TrueFalseHelp = QStringLiteral("0=No answer, 1=True, 2=False, Tab=Next grid");
const QString FourAnswerHelp = QStringLiteral("0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid");

QString Zeros() { return QString(AnswerCount, QLatin1Char('0')); }

} // namespace

class tst_NewEntry : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmNewEntry> form;

    void WriteBank(const QList<QuestionItem>& items, const QString& table = QStringLiteral("English"))
    {
        QString error;
        QVERIFY2(CreateQuestionBank(program().DatabasePath, {{table, items}}, &error), qPrintable(error));
    }

    // Two clients on the disk; slot 3 filled in memory as the client forms leave a new client.
    void NewClient()
    {
        WriteClients(t->disk(), {QStringLiteral("Ann One"), QStringLiteral("Bob Two")});
        QVERIFY(LoadClientTable());
        Program& p = program();
        p.EditMode = false;
        p.CurrentClient = 3;
        p.ClientTable[3] = SampleRecord(QStringLiteral("Carl New"));
        p.ClientTable[3].Answers = Zeros();
    }

    void ExistingClient(int slot, const QString& answers = QString())
    {
        WriteClients(t->disk(), {QStringLiteral("Ann One"), QStringLiteral("Bob Two")});
        if (!answers.isEmpty()) {
            ClientRecord r = SampleRecord(QStringLiteral("Bob Two"));
            r.Answers = answers;
            QByteArray bytes = ReadFileBytes(t->dataFile());
            bytes.replace((slot - 1) * RecordLength, RecordLength, RecordToBytes(r));
            WriteFileBytes(t->dataFile(), bytes);
        }
        QVERIFY(LoadClientTable());
        program().EditMode = true;
        program().CurrentClient = qint16(slot);
    }

    void Open()
    {
        form = std::make_unique<frmNewEntry>();
        QVERIFY2(form->Load(), qPrintable(form->LoadError()));
        form->Activate();
        ShowActive(form.get());
        QTRY_VERIFY(Grid(0)->hasFocus());
    }

    QTableWidget* Grid(int g) const { return form->grdResponses[g]; }
    QTableWidgetItem* Cell(int g, int row, int column) const { return Grid(g)->item(row - 1, column); }

    int Marks() const
    {
        int marks = 0;
        for (int g = 0; g <= form->LastGrid; ++g)
            for (int r = 1; r <= Grid(g)->rowCount(); ++r)
                for (int c = 1; c < Grid(g)->columnCount(); ++c)
                    marks += Cell(g, r, c)->text() == QLatin1String("X") ? 1 : 0;
        return marks;
    }

    bool RowVisible(int g, int row) const
    {
        const int top = Grid(g)->rowViewportPosition(row - 1);
        return top >= 0 && top + Grid(g)->rowHeight(row - 1) <= Grid(g)->viewport()->height();
    }

    QByteArray StoredAnswers(int slot) const
    {
        return ReadFileBytes(t->dataFile()).mid((slot - 1) * RecordLength + 78, AnswerCount);
    }

private slots:
    void init()
    {
        t = std::make_unique<TestProgram>();
        WriteBank(StandardTestItems());
    }
    void cleanup()
    {
        form.reset();
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("MainWorkspace")));  // the form closed the bank
        t.reset();
    }

    void newClientShowsEmptyGridsAndAnAnswerMovesOn()
    {
        NewClient();
        Open();
        QCOMPARE(form->windowTitle(), QStringLiteral("Edit Client Responses"));
        QCOMPARE(form->lblClientName->text(), QStringLiteral("Carl New"));
        QCOMPARE(form->LastGrid, 1);
        QCOMPARE(form->lblSection[0]->text(), QStringLiteral("Section 1"));
        QCOMPARE(form->lblSection[1]->text(), QStringLiteral("Section 2"));
        QCOMPARE(Grid(0)->rowCount(), 60);
        QCOMPARE(Grid(1)->rowCount(), 4);
        QCOMPARE(Grid(0)->horizontalHeaderItem(0)->text(), QStringLiteral("Num"));
        QCOMPARE(Grid(1)->horizontalHeaderItem(4)->text(), QStringLiteral("4"));
        QCOMPARE(Cell(0, 12, 0)->text(), QStringLiteral("12."));
        QCOMPARE(Cell(1, 1, 0)->text(), QStringLiteral("61."));
        QCOMPARE(Cell(0, 12, 0)->foreground().color(), Navy);
        QCOMPARE(Grid(0)->width(), Twips(1120));
        QCOMPARE(Grid(1)->width(), Twips(1550));
        QCOMPARE(Grid(1)->x(), Grid(0)->x() + Grid(0)->width() + Twips(200));
        QVERIFY(!form->cmdMenuChoice[2]->isVisible() && !form->sspMenuChoice[2]->isVisible());
        QCOMPARE(form->MsgPanel->text(), TrueFalseHelp);
        QCOMPARE(Marks(), 0);
        QCOMPARE(Cell(0, 1, 1)->background().color(), Cyan);  // the cursor's row

        TypeText(QStringLiteral("1"));
        QCOMPARE(form->EntryAnswers.at(0), QLatin1Char('1'));
        QCOMPARE(form->CurrentRow(0), 2);
        QCOMPARE(Cell(0, 1, 1)->text(), QStringLiteral("X"));
        QCOMPARE(Cell(0, 1, 1)->background().color(), Green);
        QCOMPARE(Cell(0, 1, 1)->foreground().color(), Black);
        QCOMPARE(Cell(0, 1, 2)->text(), QString());
        QCOMPARE(Cell(0, 1, 2)->background().color(), White);
        QCOMPARE(Cell(0, 2, 1)->background().color(), Cyan);
        QCOMPARE(Cell(0, 2, 0)->background().color(), White);
        QCOMPARE(Marks(), 1);
        QCOMPARE(BeepCount(), 0);
        QCOMPARE(program().ClientTable[3].Answers.text(), Zeros());  // nothing stored before Save
    }

    void eachGridTakesOnlyItsOwnDigits()
    {
        NewClient();
        Open();
        TypeText(QStringLiteral("3"));
        QCOMPARE(BeepCount(), 1);
        TypeText(QStringLiteral("a "));
        Press(Qt::Key_Return);
        QCOMPARE(BeepCount(), 4);
        Press(Qt::Key_Right);
        Press(Qt::Key_Left);
        QCOMPARE(BeepCount(), 4);  // sideways arrows are simply ignored
        QCOMPARE(Grid(0)->currentColumn(), 0);
        QCOMPARE(form->CurrentRow(0), 1);
        QCOMPARE(form->EntryAnswers, Zeros());
        QVERIFY(form->isVisible());

        Press(Qt::Key_Tab);
        QVERIFY(Grid(1)->hasFocus());
        QCOMPARE(form->MsgPanel->text(), FourAnswerHelp);
        TypeText(QStringLiteral("3"));
        QCOMPARE(form->EntryAnswers.at(60), QLatin1Char('3'));
        QCOMPARE(Cell(1, 1, 3)->text(), QStringLiteral("X"));
        TypeText(QStringLiteral("5"));
        QCOMPARE(BeepCount(), 5);
        QCOMPARE(form->EntryAnswers.mid(60), QStringLiteral("3000"));
    }

    void theCursorCrossesBetweenGridsBothWays()
    {
        NewClient();
        Open();
        // Leaving the rows in view, the row above the cursor stays in sight.
        Press(Qt::Key_Down, 17);
        QVERIFY(RowVisible(0, 17) && RowVisible(0, 33));
        QVERIFY(!RowVisible(0, 16));
        Press(Qt::Key_Down, 42);
        QCOMPARE(form->CurrentRow(0), 60);
        QVERIFY(RowVisible(0, 60));
        QVERIFY(!RowVisible(0, 1));
        TypeText(QStringLiteral("2"));
        QVERIFY(Grid(1)->hasFocus());
        QCOMPARE(form->CurrentRow(1), 1);
        QCOMPARE(form->ActiveGrid, 1);
        QCOMPARE(form->MsgPanel->text(), FourAnswerHelp);
        QCOMPARE(form->EntryAnswers.at(59), QLatin1Char('2'));
        QCOMPARE(Cell(0, 60, 2)->text(), QStringLiteral("X"));
        QCOMPARE(Cell(0, 60, 2)->background().color(), Green);  // grid 0 no longer shows a cursor row
        QCOMPARE(Cell(1, 1, 1)->background().color(), Cyan);

        Press(Qt::Key_Up);
        QVERIFY(Grid(0)->hasFocus());
        QCOMPARE(form->CurrentRow(0), 60);
        QCOMPARE(form->ActiveGrid, 0);
        QCOMPARE(form->MsgPanel->text(), TrueFalseHelp);
        QCOMPARE(Cell(0, 60, 2)->background().color(), Cyan);
        QCOMPARE(Cell(1, 1, 1)->background().color(), White);

        // Down from the last item of grid 0 crosses too; Up stops with a beep on the first item.
        Press(Qt::Key_Down);
        QVERIFY(Grid(1)->hasFocus());
        Press(Qt::Key_Up);
        Press(Qt::Key_Up, 59);
        QCOMPARE(form->CurrentRow(0), 1);
        QVERIFY(RowVisible(0, 1));
        QCOMPARE(BeepCount(), 0);
        Press(Qt::Key_Up);
        QCOMPARE(BeepCount(), 1);
        QCOMPARE(form->CurrentRow(0), 1);

        // A click on a cell moves the cursor row there.
        const QRect cell = Grid(0)->visualItemRect(Cell(0, 5, 1));
        QTest::mouseClick(Grid(0)->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(form->CurrentRow(0), 5);
        QCOMPARE(Cell(0, 5, 1)->background().color(), Cyan);
        QCOMPARE(Cell(0, 1, 1)->background().color(), White);
    }

    void theLastItemTakesItsAnswerAndKeepsTheCursor()
    {
        NewClient();
        Open();
        Press(Qt::Key_Tab);
        Press(Qt::Key_Down, 3);
        QCOMPARE(form->CurrentRow(1), 4);
        QCOMPARE(BeepCount(), 0);
        TypeText(QStringLiteral("4"));
        QCOMPARE(form->EntryAnswers.at(63), QLatin1Char('4'));
        QCOMPARE(BeepCount(), 1);
        QCOMPARE(form->CurrentRow(1), 4);
        QVERIFY(Grid(1)->hasFocus());
        QCOMPARE(Cell(1, 4, 4)->text(), QStringLiteral("X"));
        QCOMPARE(Cell(1, 4, 4)->background().color(), Cyan);
        TypeText(QStringLiteral("1"));  // a second answer replaces the first
        QCOMPARE(Cell(1, 4, 4)->text(), QString());
        QCOMPARE(Cell(1, 4, 1)->text(), QStringLiteral("X"));
        Press(Qt::Key_Down);
        QCOMPARE(BeepCount(), 3);
        QCOMPARE(form->CurrentRow(1), 4);
    }

    void existingAnswersShowAsMarksAndZeroRemovesOne()
    {
        ExistingClient(2);  // answers 60 x "2", then "1234"
        Open();
        QCOMPARE(Marks(), 64);
        for (int r = 1; r <= 60; ++r)
            QCOMPARE(Cell(0, r, 2)->text(), QStringLiteral("X"));
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(Cell(1, r, r)->text(), QStringLiteral("X"));
        QCOMPARE(Cell(1, 3, 3)->background().color(), Green);

        TypeText(QStringLiteral("0"));
        QCOMPARE(form->EntryAnswers.at(0), QLatin1Char('0'));
        QCOMPARE(Cell(0, 1, 2)->text(), QString());
        QCOMPARE(Cell(0, 1, 2)->background().color(), White);
        QCOMPARE(Marks(), 63);
    }

    void cancelAbandonsANewClient()
    {
        NewClient();
        const QByteArray before = ReadFileBytes(t->dataFile());
        Open();
        TypeText(QStringLiteral("1212"));
        Press(Qt::Key_Tab, 3);  // grid 1, Save, Cancel
        QVERIFY(form->cmdMenuChoice[1]->hasFocus());
        QCOMPARE(form->MsgPanel->text(), QStringLiteral("DISCARD data, close this window and return to Main Menu"));
        Press(Qt::Key_Return);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->Outcome, NewEntryOutcome::Cancelled);
        QVERIFY(!program().InputAccepted);
        QCOMPARE(program().ClientCount, 2);
        QVERIFY(program().ClientTable[3] == ClientRecord{});
        QCOMPARE(ReadFileBytes(t->dataFile()), before);
    }

    void saveWritesANewClientAndCountsIt()
    {
        NewClient();
        Open();
        TypeText(QStringLiteral("1221"));
        Press(Qt::Key_Tab);
        TypeText(QStringLiteral("43"));
        Press(Qt::Key_Tab);
        QVERIFY(form->cmdMenuChoice[0]->hasFocus());
        QCOMPARE(form->MsgPanel->text(), QStringLiteral("SAVE data, close this window and return to Main Menu"));
        Press(Qt::Key_Return);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->Outcome, NewEntryOutcome::Saved);
        QVERIFY(program().InputAccepted);
        QCOMPARE(program().ClientCount, 3);

        const QString expected = QStringLiteral("1221") + QString(56, QLatin1Char('0')) + QStringLiteral("4300");
        QCOMPARE(ReadFileBytes(t->dataFile()).size(), 3 * RecordLength);
        QCOMPARE(StoredAnswers(3), expected.toLatin1());
        ClientRecord written = SampleRecord(QStringLiteral("Carl New"));
        written.Answers = expected;
        QCOMPARE(ReadFileBytes(t->dataFile()).mid(2 * RecordLength), RecordToBytes(written));
    }

    void saveWritesAnExistingClientWithoutCountingIt()
    {
        ExistingClient(1);
        const QByteArray second = ReadFileBytes(t->dataFile()).mid(RecordLength);
        Open();
        TypeText(QStringLiteral("1"));
        form->cmdMenuChoice[0]->setFocus();
        QTRY_VERIFY(form->cmdMenuChoice[0]->hasFocus());
        Press(Qt::Key_Space);
        QCOMPARE(form->Outcome, NewEntryOutcome::Saved);
        QCOMPARE(program().ClientCount, 2);
        QCOMPARE(ReadFileBytes(t->dataFile()).size(), 2 * RecordLength);
        QCOMPARE(StoredAnswers(1), QByteArray("1") + QByteArray(59, '2') + "1234");
        QCOMPARE(ReadFileBytes(t->dataFile()).mid(RecordLength), second);
    }

    void oddStoredAnswersAndItemNumbersDoNoHarm()
    {
        // Items outside 1..64 have no place in the answers; the bank's other items still work.
        QList<QuestionItem> items = StandardTestItems();
        QuestionItem stray = items[0];
        stray.ID = 65;
        items.insert(3, stray);
        stray.ID = 0;
        items.append(stray);
        WriteBank(items);

        QString answers = QString(60, QLatin1Char('1')) + QStringLiteral("1111");
        answers[0] = QLatin1Char('3');   // beyond a true/false grid
        answers[1] = QLatin1Char('9');
        answers[2] = QLatin1Char(' ');
        answers[60] = QLatin1Char('5');  // beyond a four-answer grid
        ExistingClient(2, answers);
        Open();
        QCOMPARE(Grid(0)->rowCount(), 60);
        QCOMPARE(Cell(0, 4, 0)->text(), QStringLiteral("4."));
        QCOMPARE(Marks(), 60);
        for (int column = 1; column <= 2; ++column) {
            QCOMPARE(Cell(0, 1, column)->text(), QString());
            QCOMPARE(Cell(0, 2, column)->text(), QString());
            QCOMPARE(Cell(0, 3, column)->text(), QString());
        }
        Press(Qt::Key_Down);
        TypeText(QStringLiteral("2"));  // item 2 gets a real answer; items 1, 3 and 61 stay as stored
        form->cmdMenuChoice[0]->setFocus();
        QTRY_VERIFY(form->cmdMenuChoice[0]->hasFocus());
        Press(Qt::Key_Return);
        QCOMPARE(form->Outcome, NewEntryOutcome::Saved);
        answers[1] = QLatin1Char('2');
        QCOMPARE(StoredAnswers(2), answers.toLatin1());
    }

    void aFailedWriteKeepsTheFormOpenAndCountsNothing()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        program().DataDrive = disk.path();
        program().DataFilePath = disk.path() + QStringLiteral("/DATA401.ZEP");
        WriteClients(disk.path(), {QStringLiteral("Ann One"), QStringLiteral("Bob Two")});
        QVERIFY(LoadClientTable());
        program().EditMode = false;
        program().CurrentClient = 3;
        program().ClientTable[3] = SampleRecord(QStringLiteral("Carl New"));
        program().ClientTable[3].Answers = Zeros();
        const QByteArray before = ReadFileBytes(program().DataFilePath);
        QVERIFY(disk.remountReadOnly());

        Open();
        TypeText(QStringLiteral("21"));
        form->cmdMenuChoice[0]->setFocus();
        QTRY_VERIFY(form->cmdMenuChoice[0]->hasFocus());
        MsgBox::SetNextAnswer(MsgBox::Answer::Cancel);  // give up on the disk
        Press(Qt::Key_Return);
        QCOMPARE(LastMessage().title, QStringLiteral("Data Disk Error"));
        QVERIFY(form->isVisible());
        QVERIFY(form->cmdMenuChoice[0]->isEnabled());
        QVERIFY(form->cmdMenuChoice[0]->hasFocus());
        QVERIFY(form->Outcome != NewEntryOutcome::Saved);
        QCOMPARE(program().ClientCount, 2);
        QCOMPARE(program().ClientTable[3].Answers.text(), Zeros());
        QCOMPARE(ReadFileBytes(program().DataFilePath), before);

        // With the disk writable again the same answers are saved.
        QVERIFY(disk.remountWritable());
        Press(Qt::Key_Return);
        QCOMPARE(form->Outcome, NewEntryOutcome::Saved);
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(ReadFileBytes(program().DataFilePath).mid(2 * RecordLength + 78, 2), QByteArray("21"));
    }

    void anUnusableBankIsNamedAndNothingOpens()
    {
        NewClient();
        const ClientRecord slot = program().ClientTable[3];
        auto expectRefusal = [&](const QString& mentioned) {
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            QCOMPARE(ShowNewEntry(), NewEntryOutcome::NotOpened);
            QCOMPARE(LastMessage().title, QStringLiteral("Question Bank Error"));
            QVERIFY2(LastMessage().text.contains(program().DatabasePath), qPrintable(LastMessage().text));
            QVERIFY2(LastMessage().text.contains(mentioned), qPrintable(LastMessage().text));
            QVERIFY(!program().InputAccepted);
            QCOMPARE(program().ClientCount, 2);
            QVERIFY(program().ClientTable[3] == slot);
            QVERIFY(!QSqlDatabase::contains(QStringLiteral("MainWorkspace")));
        };
        QVERIFY(QFile::remove(program().DatabasePath));
        expectRefusal(QStringLiteral("does not exist"));
        WriteBank(StandardTestItems(), QStringLiteral("Spanish"));
        expectRefusal(QStringLiteral("English"));
        QuestionItem stray = StandardTestItems()[0];
        stray.ID = 99;
        WriteBank({stray});
        expectRefusal(QStringLiteral("English"));
        QCOMPARE(MsgBox::Shown().size(), 3);
    }

    void showNewEntryRunsModallyWithTheBankOpen()
    {
        NewClient();
        bool bankOpen = false;
        WhenModalOpens("frmNewEntry", [&](QWidget* shown) {
            bankOpen = QSqlDatabase::contains(QStringLiteral("MainWorkspace"));
            auto* entry = static_cast<frmNewEntry*>(shown);
            QTest::keyClicks(entry->grdResponses[0], QStringLiteral("2"));
            entry->cmdMenuChoice[0]->click();
        });
        QCOMPARE(ShowNewEntry(), NewEntryOutcome::Saved);
        QVERIFY(bankOpen);
        QVERIFY(program().InputAccepted);
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(StoredAnswers(3), QByteArray("2") + QByteArray(63, '0'));

        // No slot to work on: refused before anything opens.
        program().CurrentClient = 7;
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QCOMPARE(ShowNewEntry(), NewEntryOutcome::NotOpened);
        QCOMPARE(program().ClientCount, 3);
    }
};

QTEST_MAIN(tst_NewEntry)
#include "tst_NewEntry.moc"
