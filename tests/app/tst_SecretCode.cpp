// The input box and the secret-code gate, typed into as staff would.
#include "app/Password.h"
#include "app/frmMyInputBox.h"
#include "tests/support/TestSupport.h"

namespace {

const QString Letter = QString(QLatin1Char(SecretCode));

// Types `text` into the next input box and confirms it with Enter, Enter; "cancel" tabs
// to "Cancel Input" and presses Enter there.
void TypeCode(const QString& text)
{
    WhenModalOpens("frmMyInputBox", [text](QWidget* w) {
        auto* box = static_cast<frmMyInputBox*>(w);
        if (text == QLatin1String("cancel")) {
            QTest::keyClick(box->txtInput, Qt::Key_Tab);
            QTest::keyClick(box->cmdMenuChoice[0], Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            return;
        }
        QTest::keyClicks(box->txtInput, text);
        QTest::keyClick(box->txtInput, Qt::Key_Return);
        QTest::keyClick(box->cmdMenuChoice[0], Qt::Key_Return);
    });
}

} // namespace

class tst_SecretCode : public QObject {
    Q_OBJECT

private slots:
    void theLetterInEitherCaseOpensAndAnythingElseIsAskedAgain_data()
    {
        QTest::addColumn<QStringList>("tries");
        QTest::addColumn<bool>("opened");
        QTest::newRow("lower case") << QStringList{Letter.toLower()} << true;
        QTest::newRow("upper case") << QStringList{Letter} << true;
        QTest::newRow("blank, doubled, then right") << QStringList{Letter + " ", Letter + Letter, Letter} << true;
        QTest::newRow("wrong twice, then cancel") << QStringList{"X", "WRONG", "cancel"} << false;
    }
    void theLetterInEitherCaseOpensAndAnythingElseIsAskedAgain()
    {
        QFETCH(QStringList, tries);
        QFETCH(bool, opened);
        TestProgram t;
        TypeCode(tries.takeFirst());
        // Each refusal is followed by the next try; a refusal too many gives up.
        MsgBox::SetObserver([&](const MsgBox::Message&) { TypeCode(tries.isEmpty() ? "cancel" : tries.takeFirst()); });
        for (int i = 0; i < tries.size(); ++i)
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        const int refusals = int(tries.size());
        QCOMPARE(CheckSecretCode(), opened);
        QVERIFY(tries.isEmpty());
        QCOMPARE(MsgBox::Shown().size(), refusals);
    }

    // An empty code is asked for again in the same box; a ninth character cannot be typed.
    void emptyOrOverlongInputStaysInTheBox()
    {
        TestProgram t;
        bool enterGoesToOk = false, backInTheField = false;
        QString typed;
        WhenModalOpens("frmMyInputBox", [&](QWidget* w) {
            auto* box = static_cast<frmMyInputBox*>(w);
            QTest::keyClick(box->txtInput, Qt::Key_Return);
            enterGoesToOk = QApplication::focusWidget() == box->cmdMenuChoice[0];
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            QTest::keyClick(box->cmdMenuChoice[0], Qt::Key_Return);
            backInTheField = box->isVisible() && QApplication::focusWidget() == box->txtInput;
            QTest::keyClicks(box->txtInput, QStringLiteral("ABCDEFGHI"));
            typed = box->txtInput->text();
            box->txtInput->setText(Letter);
            QTest::keyClick(box->cmdMenuChoice[0], Qt::Key_Space);
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
            QTest::keyClick(box.cmdMenuChoice[0], Qt::Key_Return);
            QCOMPARE(LastMessage().text, QStringLiteral("Please enter the required data."));
            QTest::keyClicks(box.txtInput, QStringLiteral("abcd"));
            QTest::keyClick(box.cmdMenuChoice[0], Qt::Key_Return);
        });
        box.exec();
        QVERIFY(!box.Cancelled);
        QCOMPARE(box.InputValue, QStringLiteral("abc"));
    }
};

QTEST_MAIN(tst_SecretCode)
#include "tst_SecretCode.moc"
