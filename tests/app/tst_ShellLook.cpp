// What the operator reads and where the keyboard goes in the shell's own windows.
#include <QComboBox>
#include <QListWidget>
#include <QScrollBar>

#include "app/frmAbout.h"
#include "app/frmDriveSelect.h"
#include "app/frmMainMenu.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "tests/support/TestSupport.h"
#include "widgets/FormHelpers.h"
#include "widgets/frmMyInputBox.h"

class tst_ShellLook : public QObject {
    Q_OBJECT

private slots:
    void aFullNameIsReadableBesideTheScrollBar()
    {
        TestProgram t;
        CHECKED(WriteClients(t.disk(), QStringList(MaxClients, QStringLiteral("Maximiliano Wojciechowski"))));
        QVERIFY(LoadClientTable());
        frmMainMenu menu;
        CHECKED(ShowActive(&menu));
        menu.Activate();
        QListWidget* list = Child<QListWidget>(&menu, "lbNameDisplay");
        QTRY_VERIFY(list->verticalScrollBar()->isVisible());
        const QListWidgetItem* last = list->item(MaxClients - 1);
        QCOMPARE(last->text(), QStringLiteral("51-Maximiliano Wojciechowski"));
        const int needed = list->fontMetrics().horizontalAdvance(last->text().trimmed());
        QVERIFY2(needed + 8 <= list->viewport()->width(),
                 qPrintable(QStringLiteral("%1 px of text in %2 px").arg(needed).arg(list->viewport()->width())));
        QCOMPARE(list->textElideMode(), Qt::ElideNone);
    }

    void theAboutBoxTextsFitTheirPanels()
    {
        frmAbout about(false);
        for (const char* name : {"SSPanel6", "SSPanel1", "SSPanel2", "SSPanel3", "SSPanel4", "SSPanel5"}) {
            const QLabel* panel = Child<QLabel>(&about, name);
            QVERIFY2(panel->fontMetrics().horizontalAdvance(panel->text()) <= panel->contentsRect().width(),
                     qPrintable(panel->text()));
        }
    }

    void theSecretCodeShowsAsterisks()
    {
        TestProgram t;
        frmMyInputBox box;
        box.PasswordInput = true;
        box.InputLength = 8;
        box.Activate();
        CHECKED(ShowActive(&box));
        Child<QLineEdit>(&box, "txtInput")->setFocus();
        TypeText("k1");
        QCOMPARE(Child<QLineEdit>(&box, "txtInput")->displayText(), QStringLiteral("**"));
    }

    void enterAnswersABoxWithItsDefaultButton_data()
    {
        QTest::addColumn<MsgBox::Buttons>("buttons");
        QTest::addColumn<std::optional<MsgBox::Answer>>("named");  // the default the box names
        QTest::addColumn<MsgBox::Answer>("answer");
        QTest::newRow("Yes/No") << MsgBox::Buttons::YesNo << std::optional<MsgBox::Answer>() << MsgBox::Answer::Yes;
        QTest::newRow("Yes/No, No named")
            << MsgBox::Buttons::YesNo << std::optional(MsgBox::Answer::No) << MsgBox::Answer::No;
        QTest::newRow("OK/Cancel, Cancel named")
            << MsgBox::Buttons::OkCancel << std::optional(MsgBox::Answer::Cancel) << MsgBox::Answer::Cancel;
    }
    // The real box, as the operator sees it, answered with Enter.
    void enterAnswersABoxWithItsDefaultButton()
    {
        QFETCH(MsgBox::Buttons, buttons);
        QFETCH(std::optional<MsgBox::Answer>, named);
        QFETCH(MsgBox::Answer, answer);
        TestProgram t;
        InstallUiServices();
        MsgBox::SetTestMode(false);
        WhenModalOpens("MsgBox", [](QWidget*) { Press(Qt::Key_Return); });
        const MsgBox::Answer given = MsgBox::Show("Sure?", buttons, MsgBox::Icon::Critical, "WARNING!", named);
        MsgBox::SetPresenter(nullptr);
        QCOMPARE(given, answer);
    }

    void theKeyboardIsBackInTheListAfterARefusedDisk()
    {
        TestProgram t;
        CHECKED(WriteClients(t.disk(), {"Jane Doe", "John Roe"}));
        QVERIFY(LoadClientTable());
        frmMainMenu menu;
        CHECKED(ShowActive(&menu));
        menu.Activate();
        menu.FocusStartControl();
        const QString wrong = t.disk() + "/wrong";
        QDir().mkpath(wrong);
        CHECKED(TestProgram::MakeDataDisk(wrong, "NOTZEP\r\n"));
        WhenModalOpens("frmDriveSelect", [&](QWidget* chooser) {
            QLineEdit* drive = Child<QComboBox>(chooser, "drDrive")->lineEdit();
            QTest::keyClicks(drive, wrong);
            QTest::keyClick(drive, Qt::Key_Tab);
            QTest::keyClick(Child<QPushButton>(chooser, "cmdDone"), Qt::Key_Return);
        });
        // On a desktop the window manager moves the focus around while the chooser and the
        // messages come and go; here it lands on another button of the menu.
        MsgBox::SetObserver([&](const MsgBox::Message&) { Child<QPushButton>(&menu, "cmdMenuChoice", 1)->setFocus(); });
        MsgBox::SetNextAnswers({MsgBox::Answer::Ok, MsgBox::Answer::No});
        Child<QAction>(&menu, "mnuDrive")->trigger();
        MsgBox::SetObserver(nullptr);
        QVERIFY(!program().Ended);  // the menu goes on with the disk it had
        QCOMPARE(Child<QListWidget>(&menu, "lbNameDisplay")->count(), 2);
        QCOMPARE(Focused(), Child<QListWidget>(&menu, "lbNameDisplay"));
        Press(Qt::Key_Down);
        QCOMPARE(program().CurrentClient, qint16(1));
    }

    void comingBackToTheMenuClosesTheAboutBox()
    {
        TestProgram t;
        CHECKED(WriteClients(t.disk(), {"Jane Doe"}));
        QVERIFY(LoadClientTable());
        frmMainMenu menu;
        CHECKED(ShowActive(&menu));
        Child<QAction>(&menu, "mnuHelpAbout")->trigger();
        QPointer<frmAbout> about = menu.findChild<frmAbout*>();
        QVERIFY(about);
        CHECKED(ShowActive(about));
        menu.activateWindow();
        QTRY_VERIFY(about.isNull() || !about->isVisible());
    }
};

QTEST_MAIN(tst_ShellLook)
#include "tst_ShellLook.moc"
