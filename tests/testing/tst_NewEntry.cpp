// Answer-sheet entry: the rules that place items in grids, and the form driven with the
// keyboard as staff type a paper answer sheet.
#include <QSqlDatabase>
#include <QTableWidget>

#include "base/Program.h"
#include "clients/DataAccess.h"
#include "testing/AnswerEntry.h"
#include "testing/frmNewEntry.h"
#include "tests/support/TestSupport.h"

using MsgBox::Answer;

namespace {

const QString Zeros(AnswerCount, QLatin1Char('0'));

QuestionItem Item(int id, const QString& answer2)
{
    QuestionItem item;
    item.ID = id;
    item.Answer[1] = answer2;
    return item;
}

}  // namespace

class tst_NewEntry : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmNewEntry> form;

    // Two clients on the disk in `disk`, and client 3 being added, filled in memory as the
    // client forms leave it.
    void Client(const QString& disk = QString())
    {
        UseDisk(disk.isEmpty() ? t->disk() : disk);
        CHECKED(WriteClients(program().DataDrive, {QStringLiteral("Ann One"), QStringLiteral("Bob Two")}));
        QVERIFY(LoadClientTable());
        Program& p = program();
        p.EditMode = false;
        p.CurrentClient = 3;
        p.ClientTable[3] = SampleRecord(QStringLiteral("Carl New"));
        p.ClientTable[3].Answers = Zeros;
    }

    void Open()
    {
        form = std::make_unique<frmNewEntry>();
        QVERIFY2(form->Load(), qPrintable(form->LoadError()));
        QVERIFY(QSqlDatabase::contains(program().MainWorkspace));  // open while the form is
        form->Activate();
        CHECKED(ShowActive(form.get()));
        QTRY_VERIFY(Grid(0)->hasFocus());
    }

    QTableWidget* Grid(int g) const { return Child<QTableWidget>(form, "grdResponses", g); }
    QString Mark(int g, int row, int column) const { return Grid(g)->item(row - 1, column)->text(); }

    bool RowVisible(int g, int row) const
    {
        const int top = Grid(g)->rowViewportPosition(row - 1);
        return top >= 0 && top + Grid(g)->rowHeight(row - 1) <= Grid(g)->viewport()->height();
    }

private slots:
    void typeComesFromTheFirstFiveCharactersExactly_data()
    {
        QTest::addColumn<QString>("answer2");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("digits");  // the digits a grid of the type takes
        QTest::newRow("False") << "False, not at all" << 0 << "012";
        QTest::newRow("false lower case") << "false" << 2 << "01234";
        QTest::newRow("No") << "No" << 1 << "012";
        QTest::newRow("Not sure") << "Not sure" << 2 << "01234";
        QTest::newRow("Sometimes") << "Sometimes" << 3 << "01234";
        QTest::newRow("Mostly True") << "Mostly True" << 4 << "012345";
        QTest::newRow("Often") << "Often" << 5 << "012345";
        QTest::newRow("empty") << "" << 2 << "01234";
    }
    void typeComesFromTheFirstFiveCharactersExactly()
    {
        QFETCH(QString, answer2);
        QFETCH(int, type);
        QFETCH(QString, digits);
        QCOMPARE(AnswerTypeOf(answer2), type);
        QString accepted;
        for (QChar c : QStringLiteral("0123456789aX \r"))
            if (AcceptsAnswer(type, c))
                accepted += c;
        QCOMPARE(accepted, digits);
    }

    void itemsFallIntoOneGridPerTypeFirstMetFirstAndStrayItemsAreLeftOut()
    {
        const QList<EntryGrid> grids =
            LayoutEntryGrids({Item(1, "False"), Item(4, "Sometimes"), Item(0, "Often"), Item(3, "False"),
                              Item(65, "No"), Item(6, "No"), Item(1, "Often"), Item(7, "Sometimes")});
        QCOMPARE(grids.size(), 3);
        QCOMPARE(grids[0].Type, int(TrueFalseAnswers));
        QCOMPARE(grids[0].Items, (QList<int>{1, 3}));
        QCOMPARE(grids[1].Items, (QList<int>{4, 7}));
        QCOMPARE(grids[2].Items, (QList<int>{6}));
        QVERIFY(LayoutEntryGrids({Item(99, "False")}).isEmpty());
    }

    void scrollingKeepsTheRowAboveOrFillsTheViewAtTheEnd()
    {
        // 60 items: the header row plus 60 data rows.
        const int rows[][2] = {{1, 1}, {20, 19}, {45, 44}, {46, 44}, {60, 44}};
        for (const auto& row : rows)
            QCOMPARE(FirstVisibleRow(row[0], 61), row[1]);
        QCOMPARE(FirstVisibleRow(3, 5), 1);  // a short grid never scrolls above its first row
    }

    void init()
    {
        t = std::make_unique<TestProgram>();
        CHECKED(WriteBank({{QStringLiteral("English"), StandardTestItems()}}));
    }
    void cleanup()
    {
        form.reset();
        QVERIFY(!QSqlDatabase::contains(program().MainWorkspace));  // the form closed the bank
        t.reset();
    }

    void eachGridTakesOnlyItsOwnDigitsAndCancelDiscardsThem()
    {
        CHECKED(Client());
        const QByteArray before = ReadFileBytes(t->dataFile());
        CHECKED(Open());
        TypeText(QStringLiteral("3a "));
        Press(Qt::Key_Return);
        QCOMPARE(BeepCount(), 4);
        Press(Qt::Key_Right);
        Press(Qt::Key_Left);
        QCOMPARE(BeepCount(), 4);  // sideways arrows are simply ignored
        QCOMPARE(form->CurrentRow(0), 1);
        QCOMPARE(form->EntryAnswers, Zeros);

        Press(Qt::Key_Tab);
        QVERIFY(Grid(1)->hasFocus());
        TypeText(QStringLiteral("45"));
        QCOMPARE(Mark(1, 1, 4), QStringLiteral("X"));
        QCOMPARE(BeepCount(), 5);
        QCOMPARE(form->EntryAnswers.mid(60), QStringLiteral("4000"));

        // Cancel abandons the new client: nothing on the disk, the slot emptied.
        Press(Qt::Key_Tab, 2);  // Save, Cancel
        Press(Qt::Key_Return);
        QCOMPARE(form->Outcome, NewEntryOutcome::Cancelled);
        QVERIFY(!program().InputAccepted);
        QCOMPARE(program().ClientCount, 2);
        QVERIFY(program().ClientTable[3] == ClientRecord{});
        QCOMPARE(ReadFileBytes(t->dataFile()), before);
    }

    void escapeOrClosingAsksBeforeLosingATypedSheet_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("escape");                   // Escape, or the window's close (Alt+F4)
        QTest::addColumn<std::optional<Answer>>("answer");  // to "discard them?"; none: not asked
        QTest::newRow("nothing typed, Escape") << "" << true << std::optional<Answer>();
        QTest::newRow("typed, Escape, No") << "12" << true << std::optional(Answer::No);
        QTest::newRow("typed, closed, No") << "12" << false << std::optional(Answer::No);
        QTest::newRow("typed, closed, Yes") << "12" << false << std::optional(Answer::Yes);
    }
    void escapeOrClosingAsksBeforeLosingATypedSheet()
    {
        QFETCH(QString, typed);
        QFETCH(bool, escape);
        QFETCH(std::optional<Answer>, answer);
        CHECKED(Client());
        const QByteArray before = ReadFileBytes(t->dataFile());
        CHECKED(Open());
        TypeText(typed);
        if (answer)
            MsgBox::SetNextAnswer(*answer);
        if (escape)
            Press(Qt::Key_Escape);
        else
            form->close();
        QCOMPARE(MsgBox::Shown().size(), answer ? 1 : 0);
        if (answer)
            QCOMPARE(LastMessage().defaultButton, Answer::No);
        const bool kept = answer == Answer::No;
        QCOMPARE(form->isVisible(), kept);
        if (kept)
            QCOMPARE(form->EntryAnswers.left(2), typed);
        else
            QVERIFY(program().ClientTable[3] == ClientRecord{});  // the new client abandoned
        QCOMPARE(ReadFileBytes(t->dataFile()), before);
    }

    void theCursorCrossesBetweenGridsBothWays()
    {
        CHECKED(Client());
        CHECKED(Open());
        // Leaving the rows in view, the row above the cursor stays in sight.
        Press(Qt::Key_Down, 17);
        QVERIFY(RowVisible(0, 17) && RowVisible(0, 33) && !RowVisible(0, 16));
        Press(Qt::Key_Down, 42);
        QCOMPARE(form->CurrentRow(0), 60);
        QVERIFY(RowVisible(0, 60) && !RowVisible(0, 1));
        TypeText(QStringLiteral("2"));
        QVERIFY(Grid(1)->hasFocus());
        QCOMPARE(form->CurrentRow(1), 1);
        QCOMPARE(Child<QLabel>(form, "MsgPanel")->text(), GridStatusText(NumberedAnswers));

        Press(Qt::Key_Up);
        QVERIFY(Grid(0)->hasFocus());
        QCOMPARE(form->CurrentRow(0), 60);
        QCOMPARE(Child<QLabel>(form, "MsgPanel")->text(), GridStatusText(TrueFalseAnswers));

        // Down from the last item of grid 0 crosses too; Up stops with a beep on the first item.
        Press(Qt::Key_Down);
        QVERIFY(Grid(1)->hasFocus());
        Press(Qt::Key_Up, 60);
        QCOMPARE(form->CurrentRow(0), 1);
        QVERIFY(RowVisible(0, 1));
        QCOMPARE(BeepCount(), 0);
        Press(Qt::Key_Up);
        QCOMPARE(BeepCount(), 1);
        QCOMPARE(form->CurrentRow(0), 1);
    }

    void theLastItemTakesItsAnswerAndKeepsTheCursor()
    {
        CHECKED(Client());
        CHECKED(Open());
        Press(Qt::Key_Tab);
        Press(Qt::Key_Down, 3);
        TypeText(QStringLiteral("4"));
        QCOMPARE(form->EntryAnswers.at(63), QLatin1Char('4'));
        QCOMPARE(BeepCount(), 1);
        QCOMPARE(form->CurrentRow(1), 4);
        QCOMPARE(Mark(1, 4, 4), QStringLiteral("X"));
        TypeText(QStringLiteral("1"));  // a second answer replaces the first
        QCOMPARE(Mark(1, 4, 4), QString());
        QCOMPARE(Mark(1, 4, 1), QStringLiteral("X"));
        Press(Qt::Key_Down);
        QCOMPARE(BeepCount(), 3);
        QCOMPARE(form->CurrentRow(1), 4);
    }

    void aFailedWriteKeepsTheFormOpenAndCountsNothing()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        CHECKED(Client(disk.path()));
        const QByteArray before = ReadFileBytes(program().DataFilePath);
        QVERIFY(disk.remountReadOnly());
        CHECKED(Open());
        TypeText(QStringLiteral("21"));
        MsgBox::SetNextAnswer(MsgBox::Answer::Cancel);  // give up on the disk
        auto* save = Child<QPushButton>(form, "cmdMenuChoice", 0);
        save->setFocus();
        QTRY_VERIFY(save->hasFocus());
        Press(Qt::Key_Return);  // Save
        QCOMPARE(LastMessage().title, QStringLiteral("Data Disk Error"));
        QVERIFY(form->isVisible());
        QVERIFY(save->isEnabled() && save->hasFocus());
        QVERIFY(form->Outcome != NewEntryOutcome::Saved);
        QCOMPARE(program().ClientCount, 2);
        QCOMPARE(program().ClientTable[3].Answers.text(), Zeros);
        QCOMPARE(ReadFileBytes(program().DataFilePath), before);

        // With the disk writable again the same answers are saved.
        QVERIFY(disk.remountWritable());
        Press(Qt::Key_Return);
        QCOMPARE(form->Outcome, NewEntryOutcome::Saved);
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(StoredRecord(3).Answers.text().left(2), QStringLiteral("21"));
    }

    void nothingOpensWithoutABankOrASlot_data()
    {
        QTest::addColumn<QString>("table");  // empty: no bank file at all
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("slot");  // a new client must take the slot after the last one
        QTest::addColumn<QString>("mentioned");
        QTest::newRow("no file") << QString() << 1 << 3 << "does not exist";
        QTest::newRow("no English table") << "Spanish" << 1 << 3 << "English";
        QTest::newRow("no item of the test") << "English" << 99 << 3 << "English";
        QTest::newRow("no slot to work on") << "English" << 1 << 4 << "client number 4 of 2";
    }
    void nothingOpensWithoutABankOrASlot()
    {
        QFETCH(QString, table);
        QFETCH(int, item);
        QFETCH(int, slot);
        QFETCH(QString, mentioned);
        QVERIFY(QFile::remove(program().DatabasePath));
        if (!table.isEmpty())
            CHECKED(WriteBank({{table, {Item(item, QStringLiteral("False"))}}}));
        CHECKED(Client());
        program().CurrentClient = qint16(slot);
        const ClientRecord record = program().ClientTable[3];
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QTimer closer;  // a form that wrongly opened is closed again, so the test goes on
        closer.callOnTimeout([] {
            if (QWidget* form = QApplication::activeModalWidget())
                form->close();
        });
        closer.start(1000);
        QCOMPARE(ShowNewEntry(), NewEntryOutcome::NotOpened);
        QCOMPARE(MsgBox::Shown().size(), 1);
        QVERIFY2(LastMessage().text.contains(mentioned), qPrintable(LastMessage().text));
        if (slot == 3)
            QVERIFY2(LastMessage().text.contains(program().DatabasePath), qPrintable(LastMessage().text));
        QVERIFY(!program().InputAccepted);
        QCOMPARE(program().ClientCount, 2);
        QVERIFY(program().ClientTable[3] == record);
    }
};

QTEST_MAIN(tst_NewEntry)
#include "tst_NewEntry.moc"
