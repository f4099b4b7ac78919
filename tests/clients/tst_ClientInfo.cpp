// The client information form driven with the keyboard, as staff use it.
#include <QComboBox>

#include "base/Program.h"
#include "clients/DataAccess.h"
#include "clients/MaskedDateEdit.h"
#include "clients/frmClientInfo.h"
#include "tests/support/TestSupport.h"

// Good entries for the eight fields, in tab order.
const QStringList Good = {"Al Smith", "123-45-6789", "34", "1", "3", "12", "2", "04171990"};

class tst_ClientInfo : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmClientInfo> form;

    // Two clients on the data disk; the form opened for a new client or for client 2.
    void Open(bool editMode, const ClientRecord* second = nullptr)
    {
        CHECKED(WriteClients(QFileInfo(program().DataFilePath).path(), {"Jane Doe", "John Roe"}));
        if (second)
            CHECKED(ReplaceRecord(2, *second));
        QVERIFY(LoadClientTable());
        program().EditMode = editMode;
        program().CurrentClient = editMode ? 2 : 1;
        form = std::make_unique<frmClientInfo>();
        CHECKED(ShowActive(form.get()));
        form->Activate();
        QCoreApplication::processEvents();
    }

    QWidget* Field(int i) const
    {
        const char* names[] = {"txtName", "txtSSN",       "txtAge",     "cmbGender",
                               "cmbRace", "txtEducation", "cmbMarital", "mebDateOfBirth"};
        return Child<QWidget>(form, names[i]);
    }
    MaskedDateEdit* Date() const { return Child<MaskedDateEdit>(form, "mebDateOfBirth"); }
    QString FieldText(int i) const
    {
        auto* combo = qobject_cast<QComboBox*>(Field(i));
        return combo ? combo->currentText() : static_cast<QLineEdit*>(Field(i))->text();
    }

    QPushButton* Ok() const { return Child<QPushButton>(form, "cmdMenuChoice", 0); }
    void ChooseInformationOk()
    {
        Ok()->setFocus();
        Press(Qt::Key_Return);
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
        CHECKED(Open(false));
        const QByteArray before = ReadFileBytes(t->dataFile());
        QCOMPARE(Focused(), Field(FieldName));
        TypeAndEnter("n");
        QCOMPARE(FieldText(FieldName), QString("N"));
        TypeAndEnter("n");
        QCOMPARE(Focused(), Field(FieldAge));
        QVERIFY(Child<QLabel>(form, "lblInfo", 2)->font().bold() && !Child<QLabel>(form, "lblInfo", 1)->font().bold());
        TypeAndEnter("n");
        TypeText("n");  // "n" in the sex box selects "N/A"
        QCOMPARE(FieldText(FieldGender), QString("N/A"));
        Press(Qt::Key_Return);
        TypeAndEnter("0");
        TypeAndEnter("n");
        TypeAndEnter("0");
        TypeText("n");
        QCOMPARE(Date()->text(), QString("N_/__/____"));
        Press(Qt::Key_Return);
        QCOMPARE(Focused(), Ok());
        Press(Qt::Key_Return);

        QCOMPARE(form->result(), int(QDialog::Accepted));
        QCOMPARE(program().CurrentClient, qint16(3));
        const ClientRecord& r = program().ClientTable[3];
        QCOMPARE((QStringList{r.Name.trimmed(), r.SSN.trimmed(), r.Age.trimmed(), r.Education.trimmed()}),
                 QStringList(4, "N"));
        QCOMPARE(r.DateOfBirth.trimmed() + r.Gender.text() + r.Race.text() + r.Marital.text(), QString("N000"));
        QCOMPARE(r.Answers.text(), QString(64, '0'));
        // A new client reaches the disk only with its answers.
        QCOMPARE(ReadFileBytes(t->dataFile()), before);
        QCOMPARE(program().ClientCount, qint16(2));
        QCOMPARE(BeepCount(), 0);
    }

    void enterRefusesWithTheFieldsRule_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left");  // what the field holds after the refusal
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("rule");
        // Letters other than N never reach the ID field: one beep for "x", one for the refusal.
        QTest::newRow("name") << 0 << ""
                              << "" << 1 << "Enter client's name. Press Enter to continue.";
        QTest::newRow("ID of 10") << 1 << "123-45-x678"
                                  << "" << 2
                                  << "Enter ID number of the client or N for Not Available. Press Enter to continue.";
        QTest::newRow("age 10") << 2 << "10"
                                << "" << 1 << "Enter age of client in number of years. Press Enter to continue.";
        QTest::newRow("sex unselected")
            << 3 << "x"
            << "" << 2 << "Press down arrow to select sex or N/A for Not Available. Press Enter to continue.";
        QTest::newRow("education") << 5 << "ab"
                                   << "" << 1
                                   << "Enter education level of client in number of years. Press Enter to continue.";
        QTest::newRow("no such date") << 7 << "02301990"
                                      << "__/__/____" << 1
                                      << "Enter date of birth month, day, year as MM/DD/YYYY or N for Not Available. "
                                         "Press Enter to continue.";
    }
    void enterRefusesWithTheFieldsRule()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, left);
        QFETCH(int, beeps);
        QFETCH(QString, rule);
        CHECKED(Open(false));
        for (int i = 0; i < field; ++i)
            TypeAndEnter(Good[i]);
        QCOMPARE(Focused(), Field(field));
        QCOMPARE(BeepCount(), 0);
        TypeText(typed);
        ExpectRefusal();
        Press(Qt::Key_Return);
        QCOMPARE(LastMessage().text, rule);
        QCOMPARE(BeepCount(), beeps);
        QCOMPARE(FieldText(field), left);
        QCOMPARE(Focused(), Field(field));
        // The next try replaces what was refused, and moves on.
        TypeAndEnter(Good[field]);
        QCOMPARE(Focused(), field < 7 ? Field(field + 1) : Ok());
        QVERIFY(!program().InputAccepted);
    }

    void informationOkRefusesAnEmptyFieldAndALateBirthButNotATabbedValue()
    {
        CHECKED(Open(false));
        TypeAndEnter("Al");
        Press(Qt::Key_Tab);  // ID number left empty
        TypeText("5");       // an age left with Tab is not checked
        Press(Qt::Key_Tab);
        for (int i = 3; i < 7; ++i)
            TypeAndEnter(Good[i]);
        TypeAndEnter("01152001");  // a real date passes Enter; only "Information OK" knows it is too late
        QCOMPARE(Focused(), Ok());
        ExpectRefusal();
        Press(Qt::Key_Return);
        QCOMPARE(LastMessage().text,
                 QString("Enter ID number of the client or N for Not Available. Press Enter to continue."));
        QCOMPARE(Focused(), Field(FieldSSN));
        TypeText("N");
        ExpectRefusal();
        ChooseInformationOk();
        QCOMPARE(MsgBox::Shown().size(), 2);
        QVERIFY(LastMessage().text.startsWith("Enter date of birth"));
        QCOMPARE(Date()->text(), QString("__/__/____"));
        QCOMPARE(Focused(), Date());
        QVERIFY(form->isVisible());

        TypeAndEnter("12312000");
        Press(Qt::Key_Return);
        QVERIFY(program().InputAccepted);
        const ClientRecord& r = program().ClientTable[3];
        QCOMPARE(r.DateOfBirth.text() + r.Age.text() + r.Race.text(), QString("12/31/20005  3"));
    }

    // The scoring picks its norms by the stored code: each entry, found by its text with the
    // arrow keys, must store its own code.
    void aListEntryChosenByItsTextStoresItsCode_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("offset");  // of the code in the record
        QTest::addColumn<QByteArray>("code");
        const struct {
            int field;
            const char* name;
            const char* entries;
            int offset;
        } lists[] = {{FieldGender, "sex", "N/A|Male|Female", 39},
                     {FieldRace, "race", "N/A|Caucasian|Black|Hispanic|Asian|Native American|Other", 40},
                     {FieldMarital, "marital", "N/A|Single|Married|Divorced|Separated|Widowed", 43}};
        for (const auto& list : lists) {
            const QStringList entries = QString(list.entries).split('|');
            for (int code = 0; code < entries.size(); ++code)
                QTest::addRow("%s %s", list.name, qPrintable(entries[code]))
                    << list.field << entries[code] << list.offset << QByteArray::number(code);
        }
    }
    void aListEntryChosenByItsTextStoresItsCode()
    {
        QFETCH(int, field);
        QFETCH(QString, entry);
        QFETCH(int, offset);
        QFETCH(QByteArray, code);
        CHECKED(Open(true));
        Press(Qt::Key_Tab, 2 + field);
        auto* list = qobject_cast<QComboBox*>(Focused());
        QVERIFY(list && list == Field(field));
        for (int key : {Qt::Key_Up, Qt::Key_Down})
            for (int i = 0; i < list->count() && list->currentText() != entry; ++i)
                Press(key);
        QCOMPARE(list->currentText(), entry);
        Press(Qt::Key_Return);
        ChooseInformationOk();
        QVERIFY(program().InputAccepted);
        QCOMPARE(ReadFileBytes(t->dataFile()).mid(RecordLength + offset, 1), code);
    }

    // Backspace right after a slash takes the digit before the slash; the slash stays, and
    // the next digit goes where the taken one was.
    void backspaceAfterASlashTakesTheDigitBeforeIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("afterBackspace");
        QTest::addColumn<QString>("retyped");
        QTest::newRow("month") << "01"
                               << "0_/__/____"
                               << "02/__/____";
        QTest::newRow("day") << "0115"
                             << "01/1_/____"
                             << "01/12/____";
    }
    void backspaceAfterASlashTakesTheDigitBeforeIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, afterBackspace);
        QFETCH(QString, retyped);
        CHECKED(Open(false));
        Press(Qt::Key_Tab, FieldDateOfBirth);
        QCOMPARE(Focused(), Date());
        TypeText(typed);
        Press(Qt::Key_Backspace);
        QCOMPARE(Date()->text(), afterBackspace);
        TypeText("2");
        QCOMPARE(Date()->text(), retyped);
        QCOMPARE(BeepCount(), 0);
    }

    void thirdChangeLocksTheRecord()
    {
        CHECKED(Open(true));
        const QByteArray before = ReadFileBytes(t->dataFile());
        QCOMPARE(Focused(), Ok());
        Press(Qt::Key_Tab, 2);
        QCOMPARE(Focused(), Field(FieldName));
        Press(Qt::Key_Tab, 2);
        TypeText("40");
        Press(Qt::Key_Tab);
        QCOMPARE(program().CurrentEditCount, qint16(1));
        Press(Qt::Key_Backtab, 3);
        QCOMPARE(Focused(), Field(FieldName));
        TypeText("Jim Roe");
        Press(Qt::Key_Tab);
        QCOMPARE(program().CurrentEditCount, qint16(2));
        Press(Qt::Key_Backtab);
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        TypeText("John Roe");  // back as it was: the third change
        Press(Qt::Key_Tab);
        QCOMPARE(program().CurrentEditCount, qint16(3));
        QCOMPARE(LastMessage().title, QString("Edit Limit Reached"));
        QVERIFY(!Field(FieldName)->isEnabled() && !Date()->isEnabled());
        QCOMPARE(Focused(), Ok());
        Press(Qt::Key_Return);

        QVERIFY(program().InputAccepted);
        QCOMPARE(ReadFileBytes(t->dataFile()).left(RecordLength), before.left(RecordLength));
        const ClientRecord stored = StoredRecord(2);
        QCOMPARE(stored.EditCount.text() + stored.Age.trimmed() + stored.Name.trimmed(), QString("340John Roe"));
        QCOMPARE(stored, program().ClientTable[2]);
    }

    void unchangedOrLockedClientIsNotWritten_data()
    {
        QTest::addColumn<QString>("editCount");
        QTest::addColumn<QString>("nameDeleted");
        QTest::addColumn<QString>("age");
        QTest::addColumn<bool>("locked");
        QTest::newRow("unchanged") << "2"
                                   << "0"
                                   << "34" << false;
        // An age of 100, stored by some other way, shows as "10": the form differs from the record.
        QTest::newRow("edit limit") << "3"
                                    << "0"
                                    << "100" << true;
        QTest::newRow("name deleted") << "0"
                                      << "1"
                                      << "100" << true;
    }
    // A locked client opens told why and with its fields disabled; whatever reached the
    // disk would recreate the removed file.
    void unchangedOrLockedClientIsNotWritten()
    {
        QFETCH(QString, editCount);
        QFETCH(QString, nameDeleted);
        QFETCH(QString, age);
        QFETCH(bool, locked);
        ClientRecord second = SampleRecord("John Roe");
        second.EditCount = editCount;
        second.NameDeleted = nameDeleted;
        second.Age = age;
        if (locked)
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        CHECKED(Open(true, &second));
        QCOMPARE(MsgBox::Shown().size(), locked ? 1 : 0);
        QCOMPARE(Field(FieldAge)->isEnabled() || Field(FieldRace)->isEnabled(), !locked);
        QVERIFY(QFile::remove(t->dataFile()));
        Press(Qt::Key_Return);
        QVERIFY(program().InputAccepted);
        QVERIFY(!QFile::exists(t->dataFile()));
    }

    void failedWriteKeepsTheFormOpen()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        program().DataFilePath = disk.path() + QStringLiteral("/DATA401.ZEP");
        CHECKED(Open(true));
        const QByteArray before = ReadFileBytes(program().DataFilePath);
        Field(FieldAge)->setFocus();
        TypeText("50");
        Press(Qt::Key_Tab);  // one change
        QVERIFY(disk.remountReadOnly());
        MsgBox::SetNextAnswer(MsgBox::Answer::Cancel);
        ChooseInformationOk();
        QVERIFY(form->isVisible() && !program().InputAccepted);
        QCOMPARE(program().ClientTable[2].Age.trimmed() + program().ClientTable[2].EditCount.text(), QString("340"));
        QVERIFY(disk.remountWritable());
        QCOMPARE(ReadFileBytes(program().DataFilePath), before);
        // The disk is back: the same change goes through.
        Press(Qt::Key_Return);
        QVERIFY(program().InputAccepted);
        QCOMPARE(StoredRecord(2).Age.trimmed(), QString("50"));
    }
};

QTEST_MAIN(tst_ClientInfo)
#include "tst_ClientInfo.moc"
