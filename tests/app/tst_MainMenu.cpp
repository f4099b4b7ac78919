// The main menu driven with the keyboard, as staff use it.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "app/DriveSelect.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "app/frmDriveSelect.h"
#include "app/frmMainMenu.h"
#include "clients/DataAccess.h"
#include "clients/frmClientInfo.h"
#include "clients/frmCourtHistory.h"
#include "testing/frmNewEntry.h"
#include "tests/support/TestSupport.h"

namespace {

QStringList Names(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QStringLiteral("Client %1").arg(i);
    return names;
}

bool IsCyan(QWidget* w)
{
    return w->palette().color(QPalette::Window) == QColor(0, 255, 255);
}

} // namespace

class tst_MainMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmMainMenu> menu;

    // A menu over a disk with these clients, activated and shown as after start-up.
    void Open(const QStringList& names)
    {
        WriteClients(t->disk(), names);
        QVERIFY(LoadClientTable());
        menu = std::make_unique<frmMainMenu>();
        menu->Activate();
        ShowActive(menu.get());
    }

    int CyanPanels() const
    {
        int n = 0;
        for (QFrame* panel : menu->sspMenuChoice)
            n += IsCyan(panel) ? 1 : 0;
        return n;
    }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup()
    {
        menu.reset();
        t.reset();
    }

    void tabbingLightsOnePanelAtATime()
    {
        Open(Names(3));
        menu->cmdMenuChoice[1]->setFocus();
        QTRY_VERIFY(menu->cmdMenuChoice[1]->hasFocus());
        QCOMPARE(CyanPanels(), 1);
        QVERIFY(IsCyan(menu->sspMenuChoice[1]));
        QCOMPARE(menu->MsgPanel->text(),
                 QStringLiteral("Enter a new client. Test client on computer or enter data from answer sheet."));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(menu->cmdMenuChoice[2]->hasFocus());
        QCOMPARE(CyanPanels(), 1);
        QVERIFY(IsCyan(menu->sspMenuChoice[2]));
        QVERIFY(menu->cmdMenuChoice[2]->font().bold());
        QVERIFY(!menu->cmdMenuChoice[1]->font().bold());
        QCOMPARE(menu->MsgPanel->text(), QStringLiteral("Print client report, verify data entry or delete client names."));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(menu->cmdMenuChoice[3]->hasFocus());
        QCOMPARE(menu->MsgPanel->text(), QStringLiteral("Quit the program."));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QVERIFY(menu->cmdMenuChoice[2]->hasFocus());
        QCOMPARE(CyanPanels(), 1);
    }

    void onlyEnterAndSpaceActOnAButton()
    {
        Open(Names(2));
        QPushButton* exitButton = menu->cmdMenuChoice[3];
        exitButton->setFocus();
        QTRY_VERIFY(exitButton->hasFocus());
        for (int key : {int(Qt::Key_X), int(Qt::Key_E), int(Qt::Key_Down), int(Qt::Key_Right), int(Qt::Key_Escape)})
            QTest::keyClick(exitButton, Qt::Key(key));
        QTest::keyClicks(exitButton, QStringLiteral("q1"));
        QVERIFY(!program().Ended);
        QVERIFY(exitButton->hasFocus());  // arrows do not move off a button either

        QTest::keyClick(exitButton, Qt::Key_Return);
        QVERIFY(program().Ended);
        program().Ended = false;
        QTest::keyClick(exitButton, Qt::Key_Space);
        QVERIFY(program().Ended);
    }

    void withNoClientsTheListPassesFocusToAddNewClient()
    {
        Open({});
        QCOMPARE(menu->lbNameDisplay->count(), 0);
        menu->cmdMenuChoice[3]->setFocus();
        QTRY_VERIFY(menu->cmdMenuChoice[3]->hasFocus());
        QTest::keyClick(menu->cmdMenuChoice[3], Qt::Key_Tab);
        QVERIFY(menu->cmdMenuChoice[1]->hasFocus());
        QVERIFY(!menu->cmdMenuChoice[0]->isEnabled());
        QCOMPARE(program().CurrentClient, 0);
    }

    void pickingAClientEnablesEditUntilTheNextActivation()
    {
        Open(Names(3));
        QVERIFY(!menu->cmdMenuChoice[0]->isEnabled());
        menu->cmdMenuChoice[3]->setFocus();
        QTRY_VERIFY(menu->cmdMenuChoice[3]->hasFocus());
        QTest::keyClick(menu->cmdMenuChoice[3], Qt::Key_Tab);
        QVERIFY(menu->lbNameDisplay->hasFocus());
        QVERIFY(IsCyan(menu->fraClient));
        QVERIFY(menu->fraClient->font().bold());
        QCOMPARE(menu->MsgPanel->text(), QStringLiteral("Use up or down arrow keys or mouse to select client."));
        QVERIFY(!menu->cmdMenuChoice[0]->isEnabled());

        QTest::keyClick(menu->lbNameDisplay, Qt::Key_Down);
        QCOMPARE(program().CurrentClient, 1);
        QVERIFY(menu->cmdMenuChoice[0]->isEnabled());
        QTest::keyClick(menu->lbNameDisplay, Qt::Key_Down);
        QTest::keyClick(menu->lbNameDisplay, Qt::Key_Down);
        QCOMPARE(program().CurrentClient, 3);

        QTest::keyClick(menu->lbNameDisplay, Qt::Key_Backtab);
        QVERIFY(!IsCyan(menu->fraClient));
        QVERIFY(!menu->fraClient->font().bold());
        QCOMPARE(menu->MsgPanel->text(), QStringLiteral("Quit the program."));

        menu->Activate();  // back from a workflow
        QVERIFY(!menu->cmdMenuChoice[0]->isEnabled());
        QVERIFY(menu->lbNameDisplay->selectedItems().isEmpty());
    }

    void editCurrentClientRunsInformationCourtHistoryAndAnswers()
    {
        Open(Names(3));
        QString error;
        QVERIFY2(CreateQuestionBank(program().DatabasePath, {{QStringLiteral("English"), StandardTestItems()}}, &error),
                 qPrintable(error));
        menu->lbNameDisplay->setFocus();
        QTest::keyClick(menu->lbNameDisplay, Qt::Key_Down);
        QTest::keyClick(menu->lbNameDisplay, Qt::Key_Down);
        QCOMPARE(program().CurrentClient, 2);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), menu->cmdMenuChoice[0]);

        bool courtSeen = false;
        WhenModalOpens("frmClientInfo", [](QWidget* dialog) {
            auto* info = static_cast<frmClientInfo*>(dialog);
            QCoreApplication::processEvents();
            QVERIFY(!program().UnloadOthersOnActivate);
            info->txtAge->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(info->txtAge, "41");
            QTest::keyClick(info->txtAge, Qt::Key_Return);
            info->cmdMenuChoice[0]->setFocus(Qt::TabFocusReason);
            QTest::keyClick(info->cmdMenuChoice[0], Qt::Key_Return);
        });
        WhenModalOpens("frmCourtHistory", [&courtSeen](QWidget* dialog) {
            auto* court = static_cast<frmCourtHistory*>(dialog);
            courtSeen = true;
            QCoreApplication::processEvents();
            QTest::keyClick(court->cmdMenuChoice[0], Qt::Key_Backtab);
            QTest::keyClicks(court->txtCourt[11], "4");
            QTest::keyClick(court->txtCourt[11], Qt::Key_Return);
            QTest::keyClick(court->cmdMenuChoice[0], Qt::Key_Return);
        });
        WhenModalOpens("frmNewEntry", [](QWidget* dialog) {
            auto* entry = static_cast<frmNewEntry*>(dialog);
            QCoreApplication::processEvents();
            QTest::keyClick(entry->grdResponses[0], Qt::Key_1); // item 1: False becomes True
            QTest::keyClick(entry->grdResponses[0], Qt::Key_Tab);
            QTest::keyClick(entry->grdResponses[1], Qt::Key_Tab);
            QTest::keyClick(entry->cmdMenuChoice[0], Qt::Key_Return);
        });
        QTest::keyClick(menu->cmdMenuChoice[0], Qt::Key_Return);

        QVERIFY(courtSeen);
        const QByteArray file = ReadFileBytes(t->dataFile());
        QCOMPARE(file.size(), 3 * RecordLength);
        const ClientRecord stored = RecordFromBytes(file.constData() + RecordLength);
        QCOMPARE(stored.Age.trimmed(), QStringLiteral("41"));
        QCOMPARE(stored.EditCount.text(), QStringLiteral("1"));
        QCOMPARE(stored.DrugConvictions.text(), QStringLiteral("4 "));
        QCOMPARE(stored.Answers.text(), QStringLiteral("1") + QString(59, QLatin1Char('2')) + QStringLiteral("1234"));
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(stored, program().ClientTable[2]);
        QVERIFY(menu->frMainMenu->isVisible());
        QVERIFY(!menu->cmdMenuChoice[0]->isEnabled());
        QVERIFY(program().UnloadOthersOnActivate);
        QCOMPARE(menu->focusWidget(), menu->lbNameDisplay);
    }

    void listShowsNumberHyphenAndStoredNameAndSelectsByFirstHyphen()
    {
        QStringList names = Names(12);
        names[2] = QStringLiteral("Jane Doe");
        names[11] = QStringLiteral("Mary Smith-Jones");
        Open(names);
        QCOMPARE(menu->lbNameDisplay->count(), 12);
        QCOMPARE(menu->lbNameDisplay->item(2)->text(), QStringLiteral("3-Jane Doe") + QString(17, QLatin1Char(' ')));

        menu->lbNameDisplay->setFocus();
        QTRY_VERIFY(menu->lbNameDisplay->hasFocus());
        QTest::keyClick(menu->lbNameDisplay, Qt::Key_Down);
        QTest::keyClick(menu->lbNameDisplay, Qt::Key_End);
        QCOMPARE(menu->lbNameDisplay->currentRow(), 11);
        QCOMPARE(program().CurrentClient, 12);
        QVERIFY(menu->cmdMenuChoice[0]->isEnabled());
    }

    void aFullDiskOffersNoNewClient()
    {
        Open(Names(51));
        QVERIFY(!menu->cmdMenuChoice[1]->isEnabled());
        QCOMPARE(menu->lbNameDisplay->count(), 51);

        WriteClients(t->disk(), Names(50));
        QVERIFY(LoadClientTable());
        menu->Activate();
        QVERIFY(menu->cmdMenuChoice[1]->isEnabled());
    }

    void menuBarHasTheItemsInOrder()
    {
        Open(Names(1));
        const QList<QAction*> top = menu->menuBar()->actions();
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0]->text(), QStringLiteral("E&xit!"));
        QCOMPARE(top[1]->text(), QStringLiteral("&Options"));
        QCOMPARE(top[2]->text(), QStringLiteral("&About..."));
        const QList<QAction*> options = top[1]->menu()->actions();
        QCOMPARE(options.size(), 3);
        QCOMPARE(options[0]->text(), QStringLiteral("Select &Drive"));
        QCOMPARE(options[1]->text(), QStringLiteral("&Num Lock Always On"));
        QCOMPARE(options[2]->text(), QStringLiteral("&Print to DOS port"));
        QCOMPARE(menu->timNumLock->interval(), 1000);
        QVERIFY(menu->timNumLock->isActive());

        top[0]->trigger();
        QVERIFY(program().Ended);
    }

    void optionTogglesAreSavedAndUndone()
    {
        Open(Names(1));
        const QByteArray before = "[Settings]\r\nNumLock=True\r\nPrintDOS=False\r\n";
        WriteFileBytes(program().IniPath, before);
        program().NumLockOn = GetNumLockSetting();
        program().PrintDOS = GetPrintDOSSetting();
        menu->mnuOptionsNumLock->setChecked(program().NumLockOn);
        menu->mnuOptionsPrintDOS->setChecked(program().PrintDOS);

        menu->mnuOptionsPrintDOS->trigger();
        QVERIFY(program().PrintDOS);
        QVERIFY(menu->mnuOptionsPrintDOS->isChecked());
        QVERIFY(GetPrintDOSSetting());
        menu->mnuOptionsPrintDOS->trigger();
        QVERIFY(!menu->mnuOptionsPrintDOS->isChecked());
        QCOMPARE(ReadFileBytes(program().IniPath), before);

        menu->mnuOptionsNumLock->trigger();
        QVERIFY(!program().NumLockOn);
        QVERIFY(!menu->mnuOptionsNumLock->isChecked());
        QVERIFY(!GetNumLockSetting());
    }

    void selectDriveSwitchesToTheDiskTypedInTheChooser()
    {
        Open(Names(2));
        program().DataDrive = t->disk();
        QTemporaryDir other;
        WriteClients(other.path(), {QStringLiteral("Other One"), QStringLiteral("Other Two"), QStringLiteral("Other Three")});

        WhenModalOpens("frmDriveSelect", [&](QWidget* dialog) {
            auto* chooser = static_cast<frmDriveSelect*>(dialog);
            QTest::keyClicks(chooser->drDrive->lineEdit(), other.path());
            QTest::keyClick(chooser->drDrive->lineEdit(), Qt::Key_Tab);
            QVERIFY(chooser->cmdDone->hasFocus());
            QTest::keyClick(chooser->cmdDone, Qt::Key_Return);
        });
        menu->mnuDrive->trigger();
        QCOMPARE(program().DataDrive, other.path());
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(menu->lbNameDisplay->count(), 3);
        QVERIFY(menu->lbNameDisplay->item(0)->text().startsWith(QStringLiteral("1-Other One")));
        QCOMPARE(GetINIFilePath(), other.path());
    }

    void refusingANewDriveReturnsToThePreviousList()
    {
        Open(Names(2));
        program().DataDrive = t->disk();
        SaveINIFilePath(t->disk());
        QTemporaryDir empty;

        WhenModalOpens("frmDriveSelect", [&](QWidget* dialog) {
            auto* chooser = static_cast<frmDriveSelect*>(dialog);
            QTest::keyClicks(chooser->drDrive->lineEdit(), empty.path());
            QTest::keyClick(chooser->drDrive->lineEdit(), Qt::Key_Tab);
            QTest::keyClick(chooser->cmdDone, Qt::Key_Return);
        });
        MsgBox::SetNextAnswer(MsgBox::Answer::No);
        menu->mnuDrive->trigger();
        QCOMPARE(LastMessage().text, QStringLiteral("No test information found on drive %1, would you like to try "
                                                    "another drive?")
                                         .arg(empty.path().toUpper()));
        QCOMPARE(program().DataDrive, t->disk());
        QCOMPARE(menu->lbNameDisplay->count(), 2);
        QCOMPARE(GetINIFilePath(), t->disk());
        QVERIFY(!program().Ended);
        QVERIFY(QDir(empty.path()).isEmpty());
    }
};

QTEST_MAIN(tst_MainMenu)
#include "tst_MainMenu.moc"
