// The client information form driven with the keyboard, as staff use it.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/Program.h"
#include "clients/DataAccess.h"
#include "clients/MaskedDateEdit.h"
#include "clients/frmClientInfo.h"
#include "tests/support/TestSupport.h"

class tst_ClientInfo : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmClientInfo> form;

    // Two clients on the disk; the form opened for a new client or for client 2.
    void Open(bool editMode, const ClientRecord* second = nullptr)
    {
        WriteClients(t->disk(), {"Jane Doe", "John Roe"});
        if (second) {
            QByteArray bytes = ReadFileBytes(t->dataFile());
            bytes.replace(RecordLength, RecordLength, RecordToBytes(*second));
            WriteFileBytes(t->dataFile(), bytes);
        }
        QVERIFY(LoadClientTable());
        program().EditMode = editMode;
        program().CurrentClient = editMode ? 2 : 1;
        ShowForm();
    }

    void ShowForm()
    {
        form = std::make_unique<frmClientInfo>();
        ShowActive(form.get());
        form->Activate();
        QCoreApplication::processEvents();
    }

    // Corrects the age and leaves the field, which counts as one change.
    void CorrectAge(const QString& age)
    {
        form->txtAge->setFocus();
        TypeText(age);
        Press(Qt::Key_Tab);
    }

    // A new client's eight fields typed in with Enter after each, up to "Information OK".
    void TypeNewClient(const QString& age, const QString& date)
    {
        TypeAndEnter("Al Smith");
        TypeAndEnter("123-45-6789");
        TypeAndEnter(age);
        TypeAndEnter("1");
        TypeAndEnter("3");
        TypeAndEnter("12");
        TypeAndEnter("2");
        TypeAndEnter(date);
    }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup()
    {
        form.reset();
        t.reset();
    }

    void newClientWithEveryFieldNotAvailable()
    {
        Open(false);
        const QByteArray before = ReadFileBytes(t->dataFile());
        QCOMPARE(Focused(), form->txtName);
        TypeAndEnter("n");
        QCOMPARE(form->txtName->text(), QString("N"));
        TypeAndEnter("n");
        QCOMPARE(Focused(), form->txtAge);
        QCOMPARE(form->MsgPanel->text(), QString("Type age in years or N for Not Available, then press Enter."));
        QVERIFY(form->lblInfo[2]->font().bold());
        QVERIFY(!form->lblInfo[1]->font().bold());
        TypeAndEnter("n");
        TypeText("n"); // "n" in the sex box selects "N/A"
        QCOMPARE(form->cmbGender->currentText(), QString("N/A"));
        Press(Qt::Key_Return);
        TypeAndEnter("0");
        TypeAndEnter("n");
        TypeAndEnter("0");
        TypeText("n");
        QCOMPARE(form->mebDateOfBirth->text(), QString("N_/__/____"));
        Press(Qt::Key_Return);
        QCOMPARE(Focused(), form->cmdMenuChoice[0]);
        Press(Qt::Key_Return);

        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(program().InputAccepted);
        QCOMPARE(program().CurrentClient, qint16(3));
        const ClientRecord& r = program().ClientTable[3];
        for (const auto& field : {r.Name.trimmed(), r.SSN.trimmed(), r.Age.trimmed(), r.Education.trimmed(),
                                  r.DateOfBirth.trimmed()})
            QCOMPARE(field, QString("N"));
        QCOMPARE(r.Gender.text() + r.Race.text() + r.Marital.text(), QString("000"));
        QCOMPARE(r.Answers.text(), QString(64, '0'));
        // A new client reaches the disk only with its answers.
        QCOMPARE(ReadFileBytes(t->dataFile()), before);
        QCOMPARE(program().ClientCount, qint16(2));
        QCOMPARE(BeepCount(), 0);
    }

    void enterRefusesWithTheFieldsRule()
    {
        Open(false);
        ExpectRefusal();
        Press(Qt::Key_Return);
        QCOMPARE(LastMessage().text, QString("Enter client's name. Press Enter to continue."));
        QCOMPARE(LastMessage().title, QString(AppTitle));
        QCOMPARE(LastMessage().icon, MsgBox::Icon::Critical);
        QCOMPARE(Focused(), form->txtName);
        TypeText("Al");
        // A letter the data file cannot hold is refused.
        QTest::sendKeyEvent(QTest::Click, Focused(), Qt::Key_unknown, QString(QChar(0x0141)), Qt::NoModifier);
        QCOMPARE(form->txtName->text(), QString("Al"));
        Press(Qt::Key_Return);

        TypeText("123-45-x678"); // letters other than N never reach the field
        QCOMPARE(form->txtSSN->text(), QString("123-45-678"));
        QCOMPARE(BeepCount(), 3);
        ExpectRefusal();
        Press(Qt::Key_Return);
        QCOMPARE(LastMessage().text, QString("Enter ID number of the client or N for Not Available. Press Enter to continue."));
        QCOMPARE(form->txtSSN->text(), QString());
        QCOMPARE(Focused(), form->txtSSN);
        TypeAndEnter("123-45-6789");

        ExpectRefusal();
        TypeAndEnter("10");
        QCOMPARE(LastMessage().text, QString("Enter age of client in number of years. Press Enter to continue."));
        QCOMPARE(form->txtAge->text(), QString());
        TypeAndEnter("99");
        QCOMPARE(Focused(), form->cmbGender);

        ExpectRefusal();
        Press(Qt::Key_Return); // nothing selected yet
        QCOMPARE(LastMessage().text, QString("Press down arrow to select sex or N/A for Not Available. Press Enter to continue."));
        TypeText("x"); // refused: the box is emptied
        QCOMPARE(form->cmbGender->currentText(), QString());
        TypeAndEnter("2");
        QCOMPARE(form->cmbGender->currentText(), QString("Female"));

        TypeText("N"); // "N" is both "N/A" and "Native American": the list opens to choose
        QVERIFY(form->cmbRace->view()->isVisible());
        QCOMPARE(form->Values().Race, -1);
        form->cmbRace->hidePopup();
        QCOMPARE(Focused(), form->cmbRace);
        TypeText("5");
        QCOMPARE(form->cmbRace->currentText(), QString("Native American"));
        Press(Qt::Key_Return);
        QCOMPARE(Focused(), form->txtEducation);

        ExpectRefusal();
        TypeAndEnter("");
        QCOMPARE(LastMessage().text, QString("Enter education level of client in number of years. Press Enter to continue."));
        ExpectRefusal();
        TypeAndEnter("ab");
        QCOMPARE(Focused(), form->txtEducation);
        TypeAndEnter("0");
        QCOMPARE(Focused(), form->cmbMarital);
        QCOMPARE(program().InputAccepted, false);
    }

    void datesOfBirthOnEnterAndOnInformationOk()
    {
        Open(false);
        ExpectRefusal();
        TypeNewClient("34", "02301990");
        QCOMPARE(LastMessage().text, QString("Enter date of birth month, day, year as MM/DD/YYYY or N for Not Available. "
                                             "Press Enter to continue."));
        QCOMPARE(form->mebDateOfBirth->text(), QString("__/__/____"));
        QCOMPARE(Focused(), form->mebDateOfBirth);

        // A real date passes Enter; only "Information OK" knows it is too late for a birth.
        TypeAndEnter("01152001");
        QCOMPARE(Focused(), form->cmdMenuChoice[0]);
        const int shown = MsgBox::Shown().size();
        ExpectRefusal();
        Press(Qt::Key_Return);
        QCOMPARE(MsgBox::Shown().size(), shown + 1);
        QVERIFY(LastMessage().text.startsWith("Enter date of birth"));
        QCOMPARE(form->mebDateOfBirth->text(), QString("__/__/____"));
        QCOMPARE(Focused(), form->mebDateOfBirth);
        QVERIFY(form->isVisible());

        TypeAndEnter("12312000");
        Press(Qt::Key_Return);
        QVERIFY(program().InputAccepted);
        QCOMPARE(program().ClientTable[3].DateOfBirth.text(), QString("12/31/2000"));
        QCOMPARE(program().ClientTable[3].Race.text(), QString("3"));
    }

    void valueLeftWithTabIsStoredAsTyped()
    {
        Open(false);
        TypeAndEnter("Al");
        TypeAndEnter("N");
        TypeText("5");
        Press(Qt::Key_Tab);
        TypeAndEnter("1");
        TypeAndEnter("1");
        TypeAndEnter("9");
        TypeAndEnter("1");
        TypeAndEnter("04171990");
        Press(Qt::Key_Return);
        QVERIFY(program().InputAccepted);
        QCOMPARE(program().ClientTable[3].Age.text(), QString("5  "));
    }

    void emptyFieldStopsInformationOk()
    {
        Open(false);
        TypeAndEnter("Al");
        Press(Qt::Key_Tab); // ID number left empty
        form->cmdMenuChoice[0]->setFocus();
        ExpectRefusal();
        Press(Qt::Key_Return);
        QCOMPARE(LastMessage().text, QString("Enter ID number of the client or N for Not Available. Press Enter to continue."));
        QCOMPARE(Focused(), form->txtSSN);
        QVERIFY(form->isVisible());
    }

    void thirdChangeLocksTheRecord()
    {
        Open(true);
        const QByteArray before = ReadFileBytes(t->dataFile());
        QCOMPARE(Focused(), form->cmdMenuChoice[0]);
        Press(Qt::Key_Tab);
        Press(Qt::Key_Tab);
        QCOMPARE(Focused(), form->txtName);
        Press(Qt::Key_Tab);
        Press(Qt::Key_Tab);
        TypeText("40");
        Press(Qt::Key_Tab);
        QCOMPARE(program().CurrentEditCount, qint16(1));
        Press(Qt::Key_Backtab);
        Press(Qt::Key_Backtab);
        Press(Qt::Key_Backtab);
        QCOMPARE(Focused(), form->txtName);
        TypeText("Jim Roe");
        Press(Qt::Key_Tab);
        QCOMPARE(program().CurrentEditCount, qint16(2));
        Press(Qt::Key_Backtab);
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        TypeText("John Roe"); // back as it was: the third change
        Press(Qt::Key_Tab);
        QCOMPARE(program().CurrentEditCount, qint16(3));
        QCOMPARE(LastMessage().title, QString("Edit Limit Reached"));
        QCOMPARE(LastMessage().text, QString("This client's information has been editted.\r3 times already. Further "
                                             "editting of this\rinformation is no longer permitted."));
        QVERIFY(!form->txtName->isEnabled());
        QVERIFY(!form->mebDateOfBirth->isEnabled());
        QCOMPARE(Focused(), form->cmdMenuChoice[0]);
        QCOMPARE(form->MsgPanel->text(), QString("Exceeded limits of editing. No further editing is permitted."));
        Press(Qt::Key_Return);

        QVERIFY(program().InputAccepted);
        const QByteArray after = ReadFileBytes(t->dataFile());
        QCOMPARE(after.left(RecordLength), before.left(RecordLength));
        const ClientRecord stored = RecordFromBytes(after.constData() + RecordLength);
        QCOMPARE(stored.EditCount.text(), QString("3"));
        QCOMPARE(stored.Age.trimmed(), QString("40"));
        QCOMPARE(stored.Name.trimmed(), QString("John Roe"));
        QCOMPARE(stored, program().ClientTable[2]);
    }

    void lockedRecordOpensDisabledAndWritesNothing_data()
    {
        QTest::addColumn<QString>("editCount");
        QTest::addColumn<QString>("nameDeleted");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("status");
        QTest::newRow("edit limit") << "3" << "0" << "Edit Limit Reached"
                                    << "Exceeded limits of editing. No further editing is permitted.";
        QTest::newRow("name deleted") << "1" << "1" << "Name Deleted"
                                      << "Client name has been deleted. No further editing is permitted.";
    }
    void lockedRecordOpensDisabledAndWritesNothing()
    {
        QFETCH(QString, editCount);
        QFETCH(QString, nameDeleted);
        QFETCH(QString, title);
        QFETCH(QString, status);
        ClientRecord locked = SampleRecord("John Roe");
        locked.EditCount = editCount;
        locked.NameDeleted = nameDeleted;
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        Open(true, &locked);
        QCOMPARE(LastMessage().title, title);
        QCOMPARE(LastMessage().icon, MsgBox::Icon::Information);
        QVERIFY(!form->txtAge->isEnabled());
        QVERIFY(!form->cmbRace->isEnabled());
        QCOMPARE(form->MsgPanel->text(), status);
        // Whatever reached the disk would recreate the file.
        QVERIFY(QFile::remove(t->dataFile()));
        Press(Qt::Key_Return);
        QVERIFY(program().InputAccepted);
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(!QFile::exists(t->dataFile()));
    }

    void unchangedOrCancelledEditLeavesTheFileAlone()
    {
        Open(true);
        const ClientRecord before = program().ClientTable[2];
        QVERIFY(QFile::remove(t->dataFile()));
        Press(Qt::Key_Return); // nothing changed: accepted, nothing written
        QVERIFY(program().InputAccepted);
        QVERIFY(!QFile::exists(t->dataFile()));

        ShowForm();
        CorrectAge("50");
        QCOMPARE(program().CurrentEditCount, qint16(1));
        form->cmdMenuChoice[1]->setFocus();
        Press(Qt::Key_Return);
        QVERIFY(!program().InputAccepted);
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QCOMPARE(program().ClientTable[2], before);
        QVERIFY(!QFile::exists(t->dataFile()));
    }

    void failedWriteKeepsTheFormOpen()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        WriteClients(disk.path(), {"Jane Doe", "John Roe"});
        program().DataFilePath = disk.path() + QStringLiteral("/DATA401.ZEP");
        QVERIFY(LoadClientTable());
        const QByteArray before = ReadFileBytes(program().DataFilePath);
        program().EditMode = true;
        program().CurrentClient = 2;
        ShowForm();
        CorrectAge("50");
        QVERIFY(disk.remountReadOnly());
        MsgBox::SetNextAnswer(MsgBox::Answer::Cancel);
        form->cmdMenuChoice[0]->setFocus();
        Press(Qt::Key_Return);
        QCOMPARE(LastMessage().title, QString("Data Disk Error"));
        QVERIFY(form->isVisible());
        QVERIFY(!program().InputAccepted);
        QCOMPARE(program().ClientTable[2].Age.trimmed(), QString("34"));
        QCOMPARE(program().ClientTable[2].EditCount.text(), QString("0"));
        QVERIFY(disk.remountWritable());
        QCOMPARE(ReadFileBytes(program().DataFilePath), before);
        // The disk is back: the same change goes through.
        Press(Qt::Key_Return);
        QVERIFY(program().InputAccepted);
        QCOMPARE(RecordFromBytes(ReadFileBytes(program().DataFilePath).constData() + RecordLength).Age.trimmed(),
                 QString("50"));
    }
};

QTEST_MAIN(tst_ClientInfo)
#include "tst_ClientInfo.moc"
