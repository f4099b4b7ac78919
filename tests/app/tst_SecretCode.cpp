// The input box and the secret-code gate, typed into as staff would.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/Password.h"
#include "app/frmMyInputBox.h"
#include "tests/support/TestSupport.h"

namespace {

const QString Incorrect = QStringLiteral("Incorrect Secret Code.  Please try again.");
const QString SecretLetter = QString(QLatin1Char(SecretCode));

// Types `text` into the next secret-code box and confirms it with Enter, Enter.
void TypeCode(const QString& text)
{
    WhenModalOpens("frmMyInputBox", [text](QWidget* w) {
        auto* box = static_cast<frmMyInputBox*>(w);
        QTest::keyClicks(box->txtInput, text);
        QTest::keyClick(box->txtInput, Qt::Key_Return);
        QTest::keyClick(box->cmdMenuChoice[0], Qt::Key_Return);
    });
}

void CancelBox()
{
    WhenModalOpens("frmMyInputBox", [](QWidget* w) {
        auto* box = static_cast<frmMyInputBox*>(w);
        QTest::keyClick(box->txtInput, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box->cmdMenuChoice[1]);
        QTest::keyClick(box->cmdMenuChoice[1], Qt::Key_Return);
    });
}

} // namespace

class tst_SecretCode : public QObject {
    Q_OBJECT

private slots:
    void theLetterIsAcceptedInEitherCase()
    {
        TestProgram t;
        TypeCode(SecretLetter.toLower());
        QVERIFY(CheckSecretCode());
        TypeCode(SecretLetter);
        QVERIFY(CheckSecretCode());
        QVERIFY(MsgBox::Shown().isEmpty());
    }

    void anythingElseIsRefusedAndAskedAgain()
    {
        TestProgram t;
        TypeCode(SecretLetter + QLatin1Char(' '));
        MsgBox::SetNextAnswers({MsgBox::Answer::Ok, MsgBox::Answer::Ok});
        // Each refusal is followed by the next try: two letters, then the letter alone.
        int refusals = 0;
        MsgBox::SetObserver([&](const MsgBox::Message&) {
            ++refusals;
            TypeCode(refusals == 1 ? SecretLetter + SecretLetter : SecretLetter);
        });
        QVERIFY(CheckSecretCode());
        QCOMPARE(refusals, 2);
        QCOMPARE(LastMessage().text, Incorrect);
        QCOMPARE(LastMessage().title, QStringLiteral("Secret Code"));
        QCOMPARE(LastMessage().icon, MsgBox::Icon::Critical);
        QCOMPARE(LastMessage().buttons, MsgBox::Buttons::OkOnly);
    }

    void cancelAfterWrongCodesReturnsFalse()
    {
        TestProgram t;
        TypeCode(QStringLiteral("X"));
        int refusals = 0;
        MsgBox::SetNextAnswers({MsgBox::Answer::Ok, MsgBox::Answer::Ok});
        MsgBox::SetObserver([&](const MsgBox::Message&) {
            if (++refusals == 1)
                TypeCode(QStringLiteral("WRONG"));
            else
                CancelBox();
        });
        QVERIFY(!CheckSecretCode());
        QCOMPARE(refusals, 2);
    }

    void emptyInputIsRefusedAndTheBoxStays()
    {
        TestProgram t;
        bool checked = false;
        WhenModalOpens("frmMyInputBox", [&](QWidget* w) {
            auto* box = static_cast<frmMyInputBox*>(w);
            QCOMPARE(box->windowTitle(), QStringLiteral("Secret Code"));
            QCOMPARE(box->lblHelpMsg->text(), QStringLiteral("Enter the Secret Code to continue.  For security, "
                                                              "asterisks (*) will show as you type."));
            QCOMPARE(box->txtInput->echoMode(), QLineEdit::Password);
            QTest::keyClick(box->txtInput, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), box->cmdMenuChoice[0]);
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            QTest::keyClick(box->cmdMenuChoice[0], Qt::Key_Return);
            QCOMPARE(LastMessage().text, QStringLiteral("Please enter the required password."));
            QCOMPARE(LastMessage().title, QStringLiteral("Input required"));
            QCOMPARE(LastMessage().icon, MsgBox::Icon::Question);
            QVERIFY(box->isVisible());
            QCOMPARE(QApplication::focusWidget(), box->txtInput);
            checked = true;
            QTest::keyClicks(box->txtInput, SecretLetter);
            QTest::keyClick(box->txtInput, Qt::Key_Return);
            QTest::keyClick(box->cmdMenuChoice[0], Qt::Key_Space);
        });
        QVERIFY(CheckSecretCode());
        QVERIFY(checked);
    }

    void aNinthCharacterCannotBeTyped()
    {
        TestProgram t;
        QString typed;
        WhenModalOpens("frmMyInputBox", [&](QWidget* w) {
            auto* box = static_cast<frmMyInputBox*>(w);
            QTest::keyClicks(box->txtInput, QStringLiteral("ABCDEFGHI"));
            typed = box->txtInput->text();
            QTest::keyClick(box->txtInput, Qt::Key_Escape);
        });
        QVERIFY(!CheckSecretCode());
        QCOMPARE(typed, QStringLiteral("ABCDEFGH"));
    }

    void plainInputAsksForData()
    {
        TestProgram t;
        frmMyInputBox box;
        box.InputLength = 3;
        box.HelpMessage = QStringLiteral("Type something.");
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
        QCOMPARE(box.txtInput->echoMode(), QLineEdit::Normal);
    }

    void lettersOnTheButtonsDoNothing()
    {
        TestProgram t;
        frmMyInputBox box;
        box.InputLength = 8;
        WhenModalOpens("frmMyInputBox", [&](QWidget*) {
            QTest::keyClicks(box.txtInput, QStringLiteral("abc"));
            QTest::keyClick(box.txtInput, Qt::Key_Tab);
            QVERIFY(box.sspMenuChoice[0]->palette().color(QPalette::Window) == QColor(0, 255, 255));
            QVERIFY(box.cmdMenuChoice[0]->font().bold());
            QTest::keyClicks(box.cmdMenuChoice[0], QStringLiteral("xyz"));
            QTest::keyClick(box.cmdMenuChoice[0], Qt::Key_Down);
            QVERIFY(box.isVisible());
            QTest::keyClick(box.cmdMenuChoice[0], Qt::Key_Tab);
            QVERIFY(box.sspMenuChoice[1]->palette().color(QPalette::Window) == QColor(0, 255, 255));
            QVERIFY(box.sspMenuChoice[0]->palette().color(QPalette::Window) == QColor(0, 0, 255));
            QTest::keyClick(box.cmdMenuChoice[1], Qt::Key_Space);
        });
        box.exec();
        QVERIFY(box.Cancelled);
    }
};

QTEST_MAIN(tst_SecretCode)
#include "tst_SecretCode.moc"
