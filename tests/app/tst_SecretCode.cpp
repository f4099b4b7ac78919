// The input box and the secret-code gate, typed into as staff would.
#include "tests/support/TestSupport.h"
#include "widgets/Password.h"
#include "widgets/frmMyInputBox.h"

namespace {

const QString Letter = SecretCodeText();

// Types `text` into the next input box and confirms it with Enter, Enter; "cancel" tabs
// to "Cancel Input" and presses Enter there.
void TypeCode(const QString& text)
{
    if (text != QLatin1String("cancel"))
        return AnswerNextInputBox(text);
    WhenModalOpens("frmMyInputBox", [](QWidget* box) {
        QTest::keyClick(Child<QLineEdit>(box, "txtInput"), Qt::Key_Tab);
        QTest::keyClick(Child<QPushButton>(box, "cmdMenuChoice", 0), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
}

// What the box showed each time it made a try wait.
struct Wait {
    int seconds;
    QString text;
    bool fieldOpen;
};

}  // namespace

class tst_SecretCode : public QObject {
    Q_OBJECT

    QList<Wait> waits;

    // Tries `tries` (ending with the right code or "cancel") in one gate.
    bool Gate(QStringList tries)
    {
        TypeCode(tries.takeFirst());
        MsgBox::SetObserver([&](const MsgBox::Message&) { TypeCode(tries.isEmpty() ? "cancel" : tries.takeFirst()); });
        for (int i = 0; i < tries.size(); ++i)
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        const bool opened = CheckSecretCode();
        MsgBox::SetObserver({});
        return opened && tries.isEmpty();
    }

private slots:
    // The waits are recorded, not waited: the box is told at once that the time has passed.
    void init()
    {
        waits.clear();
        InputBoxWait() = [this](int seconds, QObject* box, std::function<void()> over) {
            auto* form = static_cast<frmMyInputBox*>(box);
            waits.append(
                {seconds, Child<QLabel>(form, "lblHelpMsg")->text(), Child<QLineEdit>(form, "txtInput")->isEnabled()});
            over();
        };
    }

    void theLetterInEitherCaseOpensAndAnythingElseIsAskedAgain_data()
    {
        QTest::addColumn<QStringList>("tries");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QList<int>>("delays");
        const QStringList wrong{"A", "B", "C", "D", "E", "F", "G", "H"};
        QTest::newRow("lower case") << QStringList{Letter.toLower()} << true << QList<int>{};
        QTest::newRow("upper case") << QStringList{Letter} << true << QList<int>{};
        QTest::newRow("blank, doubled, then right")
            << QStringList{Letter + " ", Letter + Letter, Letter} << true << QList<int>{};
        QTest::newRow("wrong twice, then cancel") << QStringList{"X", "WRONG", "cancel"} << false << QList<int>{};
        QTest::newRow("wrong three times, then right")
            << wrong.mid(0, 3) + QStringList{Letter} << true << QList<int>{2};
        QTest::newRow("wrong eight times, then right")
            << wrong + QStringList{Letter} << true << QList<int>{2, 4, 8, 16, 30, 30};
    }
    // Past the third wrong code in a row each try waits longer, and the box says why.
    void theLetterInEitherCaseOpensAndAnythingElseIsAskedAgain()
    {
        QFETCH(QStringList, tries);
        QFETCH(bool, opened);
        QFETCH(QList<int>, delays);
        TestProgram t;
        const int refusals = int(tries.size()) - 1;
        QCOMPARE(Gate(tries), opened);
        QCOMPARE(MsgBox::Shown().size(), refusals);
        QList<int> seconds;
        for (int i = 0; i < waits.size(); ++i) {
            seconds << waits[i].seconds;
            QVERIFY(!waits[i].fieldOpen);
            QCOMPARE(waits[i].text,
                     QStringLiteral("The Secret Code was wrong %1 times in a row.  Please wait %2 seconds "
                                    "before the next try.")
                         .arg(i + 3)
                         .arg(waits[i].seconds));
        }
        QCOMPARE(seconds, delays);
    }

    // Cancelling keeps the count of wrong codes; the right code ends it.
    void theWaitOutlivesCancelUntilTheRightCode()
    {
        TestProgram t;
        QVERIFY(!Gate({"A", "B", "C", "cancel"}));
        QVERIFY(!Gate({"cancel"}));
        QVERIFY(Gate({Letter}));
        QVERIFY(Gate({Letter}));
        QList<int> seconds;
        for (const Wait& wait : waits)
            seconds << wait.seconds;
        QCOMPARE(seconds, (QList<int>{2, 2, 2}));
    }

    // An empty code is asked for again in the same box; a ninth character cannot be typed.
    void emptyOrOverlongInputStaysInTheBox()
    {
        TestProgram t;
        bool enterGoesToOk = false, backInTheField = false;
        QString typed;
        WhenModalOpens("frmMyInputBox", [&](QWidget* box) {
            auto* input = Child<QLineEdit>(box, "txtInput");
            auto* ok = Child<QPushButton>(box, "cmdMenuChoice", 0);
            QTest::keyClick(input, Qt::Key_Return);
            enterGoesToOk = QApplication::focusWidget() == ok;
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            QTest::keyClick(ok, Qt::Key_Return);
            backInTheField = box->isVisible() && QApplication::focusWidget() == input;
            QTest::keyClicks(input, QStringLiteral("ABCDEFGHI"));
            typed = input->text();
            input->setText(Letter);
            QTest::keyClick(ok, Qt::Key_Space);
        });
        QVERIFY(CheckSecretCode());
        QCOMPARE(MsgBox::Shown().size(), 1);
        QVERIFY(enterGoesToOk && backInTheField);
        QCOMPARE(typed, QStringLiteral("ABCDEFGH"));
    }

    void plainInputAsksForDataAndGivesItBackAsTyped()
    {
        TestProgram t;
        frmMyInputBox box;
        box.InputLength = 3;
        box.PasswordInput = false;
        WhenModalOpens("frmMyInputBox", [&](QWidget*) {
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            QTest::keyClick(Child<QPushButton>(&box, "cmdMenuChoice", 0), Qt::Key_Return);
            QCOMPARE(LastMessage().text, QStringLiteral("Please enter the required data."));
            QTest::keyClicks(Child<QLineEdit>(&box, "txtInput"), QStringLiteral("abcd"));
            QTest::keyClick(Child<QPushButton>(&box, "cmdMenuChoice", 0), Qt::Key_Return);
        });
        box.exec();
        QVERIFY(!box.Cancelled);
        QCOMPARE(box.InputValue, QStringLiteral("abc"));
    }
};

QTEST_MAIN(tst_SecretCode)
#include "tst_SecretCode.moc"
