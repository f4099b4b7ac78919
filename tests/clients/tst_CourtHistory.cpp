// The court history form driven with the keyboard.
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "clients/frmCourtHistory.h"
#include "tests/support/TestSupport.h"

namespace {

const QString FirstRule =
    QStringLiteral("Enter a number from 5 to 99 or N for Not Available. Press Enter to continue.");
const QString OtherRule =
    QStringLiteral("Enter a number from 0 to 99 or N for Not Available. Press Enter to continue.");

QString Stored(int box) { return (program().ClientTable[program().CurrentClient].*CourtFields[box].Field).text(); }

}  // namespace

class tst_CourtHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmCourtHistory> form;

    // Two clients on the disk; the form opened for client 2, or for a new client in slot 3
    // as the client information form leaves it (in memory only).
    void Open(bool editMode)
    {
        CHECKED(WriteClients(t->disk(), {"Jane Doe", "John Roe"}));
        QVERIFY(LoadClientTable());
        Program& p = program();
        p.EditMode = editMode;
        p.CurrentClient = editMode ? 2 : 3;
        if (!editMode)
            p.ClientTable[3] = SampleRecord("New Client");
        form = std::make_unique<frmCourtHistory>();
        CHECKED(ShowActive(form.get()));
        form->Activate();
    }

    QLineEdit* Box(int i) const { return Child<QLineEdit>(form, CourtFields[i].Control); }
    QPushButton* Choice(int i) const { return Child<QPushButton>(form, "cmdMenuChoice", i); }
    void ChooseMenu(int i)
    {
        Choice(i)->setFocus();
        Press(Qt::Key_Return);
    }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup()
    {
        form.reset();
        t.reset();
    }

    void enterRulesPerBox()
    {
        CHECKED(Open(false));
        QCOMPARE(Child<QLabel>(form, "lblClientName")->text(), QString("New Client").leftJustified(25));
        QCOMPARE(Focused(), Box(0));
        QCOMPARE(Child<QLabel>(form, "MsgPanel")->text(),
                 QString("Type a value 5 to 99 or N for Not Available, then press Enter."));
        QVERIFY(Child<QLabel>(form, "lblInfo", 0)->font().bold());

        ExpectRefusal();
        TypeAndEnter("4");
        QCOMPARE(LastMessage().text, FirstRule);
        QCOMPARE(BeepCount(), 1);
        QCOMPARE(Focused(), Box(0));
        QCOMPARE(Box(0)->text(), QString("4"));  // left as typed; the next try replaces it

        TypeAndEnter("5");
        QCOMPARE(Focused(), Box(1));
        QVERIFY(!Child<QLabel>(form, "lblInfo", 0)->font().bold());
        TypeAndEnter("0");
        TypeAndEnter("n");
        QCOMPARE(Box(2)->text(), QString("N"));
        for (const char* refused : {"NN", ""}) {
            ExpectRefusal();
            TypeAndEnter(refused);
            QCOMPARE(LastMessage().text, OtherRule);
            QCOMPARE(Focused(), Box(3));
        }
        QCOMPARE(BeepCount(), 3);
        for (int box = 3; box < CourtFieldCount; ++box)
            TypeAndEnter("99");
        QCOMPARE(Focused(), Choice(0));
        Press(Qt::Key_Return);

        QVERIFY(program().InputAccepted);
        QCOMPARE(Stored(0) + Stored(1) + Stored(2) + Stored(11), QString("5 0 N 99"));
        // A new client is not on the disk until its answers are.
        QCOMPARE(QFileInfo(t->dataFile()).size(), qint64(2 * RecordLength));
    }

    // With every box empty, each press of "Information OK" opens the next box in its own
    // order (not the boxes' order on the form) with its refusal; a value is typed there and
    // left without Enter.
    void informationOkVisitsEmptyBoxesInItsOwnOrder()
    {
        CHECKED(Open(false));
        QList<int> visited;
        for (int n = 0; n < CourtFieldCount; ++n) {
            ExpectRefusal();
            ChooseMenu(0);
            int box = 0;
            while (box < CourtFieldCount && Box(box) != Focused())
                ++box;
            visited << box;
            // A first conviction of 3 passes: the button checks 0 to 99 only.
            TypeText(visited.last() == 0 ? "3" : visited.last() == 7 ? "n" : "1");
        }
        QCOMPARE(visited, (QList<int>{0, 1, 3, 4, 2, 8, 9, 5, 11, 7, 6, 10}));
        QCOMPARE(MsgBox::Shown().first().text, FirstRule);
        QCOMPARE(LastMessage().text, OtherRule);
        QVERIFY(!program().InputAccepted);
        ChooseMenu(0);
        QVERIFY(program().InputAccepted);
        QCOMPARE(Stored(0) + Stored(7), QString("3 N "));
        QCOMPARE(Box(7)->text(), QString("N"));
    }

    void cancelAbandonsOnlyANewClient()
    {
        CHECKED(Open(false));
        TypeAndEnter("20");
        ChooseMenu(1);
        QVERIFY(!program().InputAccepted);
        QCOMPARE(program().ClientTable[3], ClientRecord{});
        QCOMPARE(program().ClientCount, qint16(2));

        const QByteArray file = ReadFileBytes(t->dataFile());
        CHECKED(Open(true));
        const ClientRecord before = program().ClientTable[2];
        QCOMPARE(Box(0)->text() + Box(6)->text(), QString("19N"));
        QCOMPARE(Focused(), Choice(0));
        Box(0)->setText("30");
        ChooseMenu(1);
        QCOMPARE(program().ClientTable[2], before);
        QCOMPARE(ReadFileBytes(t->dataFile()), file);
    }

    void acceptedCorrectionReachesTheDiskAtOnceTrimmed_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("7") << "7";
        QTest::newRow("blank before") << " 7";
        QTest::newRow("blank after") << "7 ";
    }
    void acceptedCorrectionReachesTheDiskAtOnceTrimmed()
    {
        QFETCH(QString, typed);
        CHECKED(Open(true));
        const QByteArray file = ReadFileBytes(t->dataFile());
        Press(Qt::Key_Backtab);
        QCOMPARE(Focused(), Box(11));
        TypeAndEnter(typed);
        Press(Qt::Key_Return);
        QVERIFY(program().InputAccepted);
        QByteArray expected = file;
        expected.replace(RecordLength + 76, 2, "7 ");
        QCOMPARE(ReadFileBytes(t->dataFile()), expected);
    }
};

QTEST_MAIN(tst_CourtHistory)
#include "tst_CourtHistory.moc"
