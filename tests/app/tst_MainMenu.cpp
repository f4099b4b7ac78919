// The main menu and its drive chooser driven with the keyboard, as staff use them.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QTableWidget>

#include "base/Program.h"
#include "app/Settings.h"
#include "app/frmDriveSelect.h"
#include "app/frmMainMenu.h"
#include "clients/DataAccess.h"
#include "clients/frmClientInfo.h"
#include "clients/frmCourtHistory.h"
#include "testing/frmNewEntry.h"
#include "tests/support/TestSupport.h"

namespace {

QStringList Names(int count) { return ::Names("Client", count); }

bool IsCyan(QWidget* w) { return w->palette().color(QPalette::Window) == QColor(0, 255, 255); }

} // namespace

class tst_MainMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmMainMenu> menu;

    // A menu over a disk with these clients, activated and shown as after start-up.
    void Open(const QStringList& names)
    {
        CHECKED(WriteClients(t->disk(), names));
        QVERIFY(LoadClientTable());
        menu = std::make_unique<frmMainMenu>();
        menu->Activate();
        CHECKED(ShowActive(menu.get()));
    }

    void FocusOn(QWidget* w) { w->setFocus(); QTRY_VERIFY(w->hasFocus()); }

    int CyanPanels() const { return int(std::count_if(menu->sspMenuChoice.begin(), menu->sspMenuChoice.end(), IsCyan)); }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { menu.reset(); t.reset(); }

    void onlyEnterAndSpaceActOnAButton()
    {
        CHECKED(Open(Names(2)));
        QPushButton* exitButton = menu->cmdMenuChoice[3];
        CHECKED(FocusOn(exitButton));
        for (int key : {int(Qt::Key_X), int(Qt::Key_E), int(Qt::Key_Down), int(Qt::Key_Right), int(Qt::Key_Escape)})
            Press(key);
        QVERIFY(!program().Ended);
        QVERIFY(exitButton->hasFocus());  // arrows do not move off a button either
        Press(Qt::Key_Return);
        QVERIFY(program().Ended);
        program().Ended = false;
        Press(Qt::Key_Space);
        QVERIFY(program().Ended);
    }

    void withNoClientsTheListPassesFocusToAddNewClient()
    {
        CHECKED(Open({}));
        CHECKED(FocusOn(menu->cmdMenuChoice[3]));
        Press(Qt::Key_Tab);
        QVERIFY(menu->cmdMenuChoice[1]->hasFocus());
        QVERIFY(!menu->cmdMenuChoice[0]->isEnabled());
    }

    // Only the place with the keyboard is lit; picking a client enables "Edit Current Client".
    void tabbingLightsOnePlaceAtATimeAndPickingAClientEnablesEdit()
    {
        CHECKED(Open(Names(3)));
        CHECKED(FocusOn(menu->cmdMenuChoice[1]));
        Press(Qt::Key_Tab);
        QVERIFY(menu->cmdMenuChoice[2]->hasFocus());
        QCOMPARE(CyanPanels(), 1);
        QVERIFY(IsCyan(menu->sspMenuChoice[2]) && menu->cmdMenuChoice[2]->font().bold());
        QVERIFY(!menu->cmdMenuChoice[1]->font().bold());
        Press(Qt::Key_Tab, 2);
        QVERIFY(menu->lbNameDisplay->hasFocus());
        QVERIFY(IsCyan(menu->fraClient) && menu->fraClient->font().bold());
        QCOMPARE(CyanPanels(), 0);
        QVERIFY(!menu->cmdMenuChoice[0]->isEnabled());
        Press(Qt::Key_Down);
        QCOMPARE(program().CurrentClient, 1);
        QVERIFY(menu->cmdMenuChoice[0]->isEnabled());
        Press(Qt::Key_Down, 2);
        QCOMPARE(program().CurrentClient, 3);
        Press(Qt::Key_Backtab);
        QVERIFY(!IsCyan(menu->fraClient) && !menu->fraClient->font().bold());
        QCOMPARE(CyanPanels(), 1);
    }

    void listShowsNumberHyphenAndStoredNameAndSelectsByFirstHyphen()
    {
        QStringList names = Names(12);
        names[2] = QStringLiteral("Jane Doe");
        names[11] = QStringLiteral("Mary Smith-Jones");
        CHECKED(Open(names));
        QCOMPARE(menu->lbNameDisplay->item(2)->text(), QStringLiteral("3-Jane Doe") + QString(17, QLatin1Char(' ')));
        CHECKED(FocusOn(menu->lbNameDisplay));
        Press(Qt::Key_Down);
        Press(Qt::Key_End);
        QCOMPARE(program().CurrentClient, 12);
        QVERIFY(menu->cmdMenuChoice[0]->isEnabled());
    }

    void aFullDiskOffersNoNewClient()
    {
        CHECKED(Open(Names(51)));
        QVERIFY(!menu->cmdMenuChoice[1]->isEnabled());
        QCOMPARE(menu->lbNameDisplay->count(), 51);
    }

    void editCurrentClientRunsInformationCourtHistoryAndAnswers_data()
    {
        QTest::addColumn<int>("slot");
        QTest::newRow("a client in the middle") << 2;
        QTest::newRow("the last client") << 3;
    }
    void editCurrentClientRunsInformationCourtHistoryAndAnswers()
    {
        QFETCH(int, slot);
        CHECKED(Open(Names(3)));
        CHECKED(WriteBank({{QStringLiteral("English"), StandardTestItems()}}));
        CHECKED(FocusOn(menu->lbNameDisplay));
        Press(Qt::Key_Down, slot);
        QCOMPARE(program().CurrentClient, slot);
        Press(Qt::Key_Backtab, 4);
        QCOMPARE(QApplication::focusWidget(), menu->cmdMenuChoice[0]);

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
        WhenModalOpens("frmCourtHistory", [](QWidget* dialog) {
            auto* court = static_cast<frmCourtHistory*>(dialog);
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
        Press(Qt::Key_Return);

        QCOMPARE(QFileInfo(t->dataFile()).size(), qint64(3 * RecordLength));
        const ClientRecord stored = StoredRecord(slot);
        QCOMPARE(stored.Age.trimmed() + stored.EditCount.text() + stored.DrugConvictions.text(), QStringLiteral("4114 "));
        QCOMPARE(stored.Answers.text(), QStringLiteral("1") + QString(59, QLatin1Char('2')) + QStringLiteral("1234"));
        QCOMPARE(stored, program().ClientTable[slot]);
        QVERIFY(menu->frMainMenu->isVisible());
        QVERIFY(!menu->cmdMenuChoice[0]->isEnabled());
        QVERIFY(program().UnloadOthersOnActivate);
        QCOMPARE(menu->focusWidget(), menu->lbNameDisplay);
    }

    void selectDriveSwitchesToTheDiskTypedInTheChooser_data()
    {
        QTest::addColumn<bool>("done");
        QTest::newRow("Done") << true;
        QTest::newRow("Escape leaves everything as it was, the disk out meanwhile") << false;
    }
    void selectDriveSwitchesToTheDiskTypedInTheChooser()
    {
        QFETCH(bool, done);
        CHECKED(Open(Names(2)));
        SaveINIFilePath(t->disk());
        QTemporaryDir other;
        CHECKED(WriteClients(other.path(), {"Other One", "Other Two", "Other Three"}));
        WhenModalOpens("frmDriveSelect", [&](QWidget* dialog) {
            auto* chooser = static_cast<frmDriveSelect*>(dialog);
            QCOMPARE(chooser->drDrive->currentText(), QString());  // empty: the root folder
            QTest::keyClicks(chooser->drDrive->lineEdit(), other.path());
            if (done) {
                QTest::keyClick(chooser->drDrive->lineEdit(), Qt::Key_Tab);
                QTest::keyClick(chooser->cmdDone, Qt::Key_Return);
            } else {
                QTest::keyClick(chooser->drDrive->lineEdit(), Qt::Key_Escape);
            }
        });
        if (!done)  // Escape must not even look for it
            QVERIFY(QDir(t->disk()).removeRecursively());
        menu->mnuDrive->trigger();  // no message box either way
        const QString disk = done ? other.path() : t->disk();
        QCOMPARE(program().DataDrive, disk);
        QCOMPARE(menu->lbNameDisplay->count(), done ? 3 : 2);
        QVERIFY(menu->lbNameDisplay->item(0)->text().startsWith(done ? "1-Other One" : "1-Client 1"));
        QCOMPARE(GetINIFilePath(), disk);
        QCOMPARE(menu->DriveSelectForm()->drDrive->currentText(), done ? other.path() : QString());
    }
};

QTEST_MAIN(tst_MainMenu)
#include "tst_MainMenu.moc"
