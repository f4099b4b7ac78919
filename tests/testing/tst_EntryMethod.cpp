// "Add New Client" from the main menu through the entry method form, with real keys: both
// workflows, cancelling at each step, and a client at the keyboard who must not get out.
#include <QApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "app/frmMainMenu.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "testing/Sound.h"
#include "testing/frmPresentQA.h"
#include "tests/support/TestSupport.h"
#include "widgets/frmMyInputBox.h"

namespace {

void WindowManagerClose(QWidget* window)
{
    QCloseEvent close;
    QCoreApplication::sendEvent(window->windowHandle(), &close);
}

// Answers every secret-code prompt that comes up: prompt n by script[n] ("close",
// "cancel", "wrong"), and every prompt after the script with the code in lower case.
struct PromptWatch {
    QStringList script;
    int prompts = 0;
    QTimer timer;
    explicit PromptWatch(QStringList actions) : script(std::move(actions))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<frmMyInputBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box->property("answered").toBool())
                return;
            box->setProperty("answered", true);
            QApplication::setActiveWindow(box);
            const QString action = prompts < script.size() ? script[prompts] : QString();
            auto* input = Child<QLineEdit>(box, "txtInput");
            ++prompts;
            if (action == "close")
                return WindowManagerClose(box);
            if (action == "cancel")
                return QTest::keyClick(input, Qt::Key_Escape);
            if (action == "wrong")
                MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            AnswerInputBox(box, action == "wrong" ? QString("zz") : SecretCodeText().toLower());
        });
        timer.start(5);
    }
};

// Types a client's information and, when `courtHistory`, accepts a court history of "n"s.
void TypeNewClient(bool courtHistory = true)
{
    WhenModalOpens("frmClientInfo", [](QWidget*) {
        for (const char* field : {"Al Smith", "123-45-6789", "34", "1", "3", "12", "2", "n"})
            TypeAndEnter(field);
        Press(Qt::Key_Return);
    });
    if (courtHistory)
        WhenModalOpens("frmCourtHistory", [](QWidget*) {
            for (int box = 0; box < 12; ++box)
                TypeAndEnter("n");
            Press(Qt::Key_Return);
        });
}

}  // namespace

class tst_EntryMethod : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmMainMenu> menu;
    QByteArray before;

    void Open(int languages = 2)
    {
        Program& p = program();
        p.SndPath = t->programFolder();
        CHECKED(WriteClients(t->disk(), {"Ann One", "Bob Two"}));
        before = ReadFileBytes(t->dataFile());
        QVERIFY(LoadClientTable());
        const QList<QPair<QString, QList<QuestionItem>>> tables{{"English", StandardTestItems()},
                                                                {"Spanish", StandardTestItems()}};
        CHECKED(WriteBank(tables.mid(0, languages)));
        menu = std::make_unique<frmMainMenu>();
        menu->Activate();
        CHECKED(ShowActive(menu.get()));
    }

    // "Add New Client", then the choice `tabs` Tab presses down on the entry method form.
    void AddNewClient(int tabs)
    {
        WhenModalOpens("frmSelectEntryMethod", [tabs](QWidget*) {
            Press(Qt::Key_Tab, tabs);
            Press(Qt::Key_Return);
        });
        QTest::keyClick(Child<QPushButton>(menu.get(), "cmdMenuChoice", 1), Qt::Key_Return);
        QVERIFY(Child<QFrame>(menu.get(), "frMainMenu")->isVisible());
    }

private slots:
    void init()
    {
        t = std::make_unique<TestProgram>();
        ResetSoundHistory();
    }
    void cleanup()
    {
        menu.reset();
        t.reset();
    }

    // Only the client who took the test on screen leaves it through the staff's code.
    void everyOtherWayEndsWithoutAPrompt_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("cancel the entry method") << 0;
        QTest::newRow("cancel client information") << 1;
        QTest::newRow("cancel court history") << 2;
        QTest::newRow("cancel the language") << 3;
        QTest::newRow("no question bank") << 4;
        QTest::newRow("answer sheet saved") << 5;
    }
    void everyOtherWayEndsWithoutAPrompt()
    {
        QFETCH(int, step);
        CHECKED(Open());
        PromptWatch watch({});
        if (step == 1)
            WhenModalOpens("frmClientInfo", [](QWidget*) { Press(Qt::Key_Escape); });
        if (step >= 2)
            TypeNewClient(step > 2);
        if (step == 2)
            WhenModalOpens("frmCourtHistory", [](QWidget*) { Press(Qt::Key_Escape); });
        if (step == 3)
            WhenModalOpens("frmSelectLanguage", [](QWidget*) {
                Press(Qt::Key_Tab, 2);  // "Cancel Presentation"
                Press(Qt::Key_Return);
            });
        if (step == 4) {
            QVERIFY(QFile::remove(program().DatabasePath));
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        }
        if (step == 5)
            WhenModalOpens("frmNewEntry", [](QWidget* dialog) {
                QTest::keyClicks(Child<QTableWidget>(dialog, "grdResponses", 0), "21");
                Child<QPushButton>(dialog, "cmdMenuChoice", 0)->setFocus();
                Press(Qt::Key_Return);
            });
        CHECKED(AddNewClient(step == 0 ? 2 : step == 5 ? 1 : 0));
        QCOMPARE(watch.prompts, 0);
        // Only a question bank that cannot be used is worth a word, and to the staff.
        QCOMPARE(LastMessage().title, step == 4 ? QString("Question Bank Error") : QString());
        QCOMPARE(program().ClientCount, step == 5 ? 3 : 2);
        QCOMPARE(Child<QListWidget>(menu.get(), "lbNameDisplay")->count(), program().ClientCount);
        const QByteArray file = ReadFileBytes(t->dataFile());
        QCOMPARE(file.left(2 * RecordLength), before);
        QCOMPARE(file.size(), before.size() + (step == 5 ? RecordLength : 0));
        if (step == 5)
            QCOMPARE(StoredRecord(3).Answers.text().left(3), QString("210"));
    }

    // The client has the keyboard from the start of the test until staff type the code.
    void onScreenPathKeepsTheClientInUntilTheCode_data()
    {
        QTest::addColumn<bool>("finish");
        QTest::addColumn<int>("languages");
        QTest::newRow("completed") << true << 2;
        QTest::newRow("broken off") << false << 2;
        QTest::newRow("one language, no language screen") << false << 1;
    }
    void onScreenPathKeepsTheClientInUntilTheCode()
    {
        QFETCH(bool, finish);
        QFETCH(int, languages);
        CHECKED(Open(languages));
        PromptWatch watch({"close", "cancel", "wrong"});
        TypeNewClient();
        if (languages == 2)
            WhenModalOpens("frmSelectLanguage", [](QWidget*) {
                Press(Qt::Key_Tab);
                Press(Qt::Key_Return);
            });
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);  // "Press the Enter key to begin the test."
        WhenModalOpens("frmPresentQA", [finish, languages](QWidget* dialog) {
            auto* form = static_cast<frmPresentQA*>(dialog);
            QCOMPARE(form->windowTitle(),
                     QString(languages == 2 ? "Presentación de preguntas" : "Question Presentation"));
            Press(Qt::Key_Return, 2);
            for (int key : {Qt::Key_Escape, Qt::Key_F4, Qt::Key_X, Qt::Key_O, Qt::Key_A, Qt::Key_D}) {
                QTest::keyClick(Focused(), Qt::Key(key), key == Qt::Key_Escape ? Qt::NoModifier : Qt::AltModifier);
                WindowManagerClose(form);
            }
            QVERIFY(form->isVisible() && !QApplication::activePopupWidget() && !program().Ended);
            QCOMPARE(QApplication::activeModalWidget(), form);
            for (int item = 1; finish && item <= 64; ++item) {
                if (Focused() == Child<QPlainTextEdit>(form, "txtInstructions"))
                    Press(Qt::Key_Return);
                Press(Qt::Key_Down, item == 64 ? 4 : 1);
                Press(Qt::Key_Return);
            }
            if (!finish)
                QTest::keyClick(Focused(), Qt::Key_F10, Qt::ShiftModifier | Qt::AltModifier);
        });
        CHECKED(AddNewClient(0));

        QCOMPARE(watch.prompts, 4);
        QCOMPARE(LastMessage().text, QString("Incorrect Secret Code.  Please try again."));
        QCOMPARE(program().ClientCount, finish ? 3 : 2);
        QCOMPARE(Child<QListWidget>(menu.get(), "lbNameDisplay")->count(), finish ? 3 : 2);
        const QByteArray file = ReadFileBytes(t->dataFile());
        QCOMPARE(file.left(2 * RecordLength), before);
        if (finish) {
            QCOMPARE(StoredRecord(3).Answers.text(), QString(63, '1') + "4");
        } else {
            QCOMPARE(file, before);
            // The staff key throws the new client away.
            QVERIFY(program().ClientTable[3] == ClientRecord{});
            QCOMPARE(program().CurrentClient, 1);
        }
    }
};

QTEST_MAIN(tst_EntryMethod)
#include "tst_EntryMethod.moc"
