// The main menu and its drive chooser driven with the keyboard, as staff use them.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QTableWidget>

#include "app/Settings.h"
#include "app/frmDriveSelect.h"
#include "app/frmMainMenu.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "tests/support/TestSupport.h"

namespace {

QStringList Names(int count) { return ::Names("Client", count); }

bool IsCyan(QWidget* w) { return w->palette().color(QPalette::Window) == QColor(0, 255, 255); }

}  // namespace

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

    void FocusOn(QWidget* w)
    {
        w->setFocus();
        QTRY_VERIFY(w->hasFocus());
    }

    QPushButton* Choice(int i) const { return Child<QPushButton>(menu.get(), "cmdMenuChoice", i); }
    QListWidget* List() const { return Child<QListWidget>(menu.get(), "lbNameDisplay"); }
    int CyanPanels() const
    {
        return int(std::ranges::count_if(menu->findChildren<QFrame*>(QRegularExpression("^sspMenuChoice_")), IsCyan));
    }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup()
    {
        menu.reset();
        t.reset();
    }

    void onlyEnterAndSpaceActOnAButton()
    {
        CHECKED(Open(Names(2)));
        QPushButton* exitButton = Choice(3);
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
        CHECKED(FocusOn(Choice(3)));
        Press(Qt::Key_Tab);
        QVERIFY(Choice(1)->hasFocus());
        QVERIFY(!Choice(0)->isEnabled());
    }

    // Only the place with the keyboard is lit; picking a client enables "Edit Current Client".
    void tabbingLightsOnePlaceAtATimeAndPickingAClientEnablesEdit()
    {
        CHECKED(Open(Names(3)));
        CHECKED(FocusOn(Choice(1)));
        Press(Qt::Key_Tab);
        QVERIFY(Choice(2)->hasFocus());
        QCOMPARE(CyanPanels(), 1);
        QVERIFY(IsCyan(Child<QFrame>(menu.get(), "sspMenuChoice", 2)) && Choice(2)->font().bold());
        QVERIFY(!Choice(1)->font().bold());
        Press(Qt::Key_Tab, 2);
        QVERIFY(List()->hasFocus());
        auto* clientList = Child<QGroupBox>(menu.get(), "fraClient");
        QVERIFY(IsCyan(clientList) && clientList->font().bold());
        QCOMPARE(CyanPanels(), 0);
        QVERIFY(!Choice(0)->isEnabled());
        Press(Qt::Key_Down);
        QCOMPARE(program().CurrentClient, 1);
        QVERIFY(Choice(0)->isEnabled());
        Press(Qt::Key_Down, 2);
        QCOMPARE(program().CurrentClient, 3);
        Press(Qt::Key_Backtab);
        QVERIFY(!IsCyan(clientList) && !clientList->font().bold());
        QCOMPARE(CyanPanels(), 1);
    }

    void listShowsNumberHyphenAndStoredNameAndSelectsByFirstHyphen()
    {
        QStringList names = Names(12);
        names[2] = QStringLiteral("Jane Doe");
        names[11] = QStringLiteral("Mary Smith-Jones");
        CHECKED(Open(names));
        QCOMPARE(List()->item(2)->text(), QStringLiteral("3-Jane Doe") + QString(17, QLatin1Char(' ')));
        CHECKED(FocusOn(List()));
        Press(Qt::Key_Down);
        Press(Qt::Key_End);
        QCOMPARE(program().CurrentClient, 12);
        QVERIFY(Choice(0)->isEnabled());
    }

    void aFullDiskOffersNoNewClient()
    {
        CHECKED(Open(Names(51)));
        QVERIFY(!Choice(1)->isEnabled());
        QCOMPARE(List()->count(), 51);
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
        CHECKED(FocusOn(List()));
        Press(Qt::Key_Down, slot);
        QCOMPARE(program().CurrentClient, slot);
        Press(Qt::Key_Backtab, 4);
        QCOMPARE(QApplication::focusWidget(), Choice(0));

        WhenModalOpens("frmClientInfo", [](QWidget* info) {
            QCoreApplication::processEvents();
            QVERIFY(!program().UnloadOthersOnActivate);
            auto* age = Child<QLineEdit>(info, "txtAge");
            age->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(age, "41");
            QTest::keyClick(age, Qt::Key_Return);
            auto* ok = Child<QPushButton>(info, "cmdMenuChoice", 0);
            ok->setFocus(Qt::TabFocusReason);
            QTest::keyClick(ok, Qt::Key_Return);
        });
        WhenModalOpens("frmCourtHistory", [](QWidget* court) {
            QCoreApplication::processEvents();
            auto* ok = Child<QPushButton>(court, "cmdMenuChoice", 0);
            auto* drugs = Child<QLineEdit>(court, "txtDrugConvictions");
            QTest::keyClick(ok, Qt::Key_Backtab);
            QTest::keyClicks(drugs, "4");
            QTest::keyClick(drugs, Qt::Key_Return);
            QTest::keyClick(ok, Qt::Key_Return);
        });
        WhenModalOpens("frmNewEntry", [](QWidget* entry) {
            QCoreApplication::processEvents();
            auto* trueFalse = Child<QTableWidget>(entry, "grdResponses", 0);
            QTest::keyClick(trueFalse, Qt::Key_1);  // item 1: False becomes True
            QTest::keyClick(trueFalse, Qt::Key_Tab);
            QTest::keyClick(Child<QTableWidget>(entry, "grdResponses", 1), Qt::Key_Tab);
            QTest::keyClick(Child<QPushButton>(entry, "cmdMenuChoice", 0), Qt::Key_Return);
        });
        Press(Qt::Key_Return);

        QCOMPARE(QFileInfo(t->dataFile()).size(), qint64(3 * RecordLength));
        const ClientRecord stored = StoredRecord(slot);
        QCOMPARE(stored.Age.trimmed() + stored.EditCount.text() + stored.DrugConvictions.text(),
                 QStringLiteral("4114 "));
        QCOMPARE(stored.Answers.text(), QStringLiteral("1") + QString(59, QLatin1Char('2')) + QStringLiteral("1234"));
        QCOMPARE(stored, program().ClientTable[slot]);
        QVERIFY(Child<QFrame>(menu.get(), "frMainMenu")->isVisible());
        QVERIFY(!Choice(0)->isEnabled());
        QVERIFY(program().UnloadOthersOnActivate);
        QCOMPARE(menu->focusWidget(), List());
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
        WhenModalOpens("frmDriveSelect", [&](QWidget* chooser) {
            auto* drive = Child<QComboBox>(chooser, "drDrive");
            QCOMPARE(drive->currentText(), QString());  // empty: the root folder
            QTest::keyClicks(drive->lineEdit(), other.path());
            if (done) {
                QTest::keyClick(drive->lineEdit(), Qt::Key_Tab);
                QTest::keyClick(Child<QPushButton>(chooser, "cmdDone"), Qt::Key_Return);
            } else {
                QTest::keyClick(drive->lineEdit(), Qt::Key_Escape);
            }
        });
        if (!done)  // Escape must not even look for it
            QVERIFY(QDir(t->disk()).removeRecursively());
        Child<QAction>(menu.get(), "mnuDrive")->trigger();  // no message box either way
        const QString disk = done ? other.path() : t->disk();
        QCOMPARE(program().DataDrive, disk);
        QCOMPARE(List()->count(), done ? 3 : 2);
        QVERIFY(List()->item(0)->text().startsWith(done ? "1-Other One" : "1-Client 1"));
        QCOMPARE(GetINIFilePath(), disk);
        QCOMPARE(Child<QComboBox>(menu->DriveSelectForm(), "drDrive")->currentText(), done ? other.path() : QString());
    }
};

QTEST_MAIN(tst_MainMenu)
#include "tst_MainMenu.moc"
