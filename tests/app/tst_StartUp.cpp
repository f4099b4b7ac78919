// Start-up from settings to main menu, the splash and about box, and the single running copy.
#include <QAction>
#include <QListWidget>

#include "app/Program.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "tests/support/TestSupport.h"

class tst_StartUp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        frmAbout::RevealTickMs = 1;
        frmAbout::HoldTickMs = 5;
    }

    void startUpConnectsTheRememberedDiskAndSetsTheOptions()
    {
        TestProgram t;
        WriteClients(t.disk(), {QStringLiteral("Ann Lee"), QStringLiteral("Bo Smith-Jones")});
        WriteFileBytes(program().IniPath, "[Settings]\r\nNumLock=true\r\nPrintDOS=Truly\r\n[Path]\r\nFilePath=" +
                                              t.disk().toLocal8Bit() + "\r\nSndPath= /opt/sounds \r\n");
        program().DataDrive.clear();
        program().EditMode = true;
        // What a killed bulk print leaves: confidential reports that must not outlive it.
        const QDir folder(t.programFolder());
        for (const char* name : {"temp1", "temp12", ".temp2.aB12cD", ".REPORT.PRN.Zz09Yy", "temp"})
            WriteFileBytes(folder.filePath(name), "CONFIDENTIAL REPORT\r\n");

        frmMainMenu menu;
        QVERIFY(RunStartUp(menu));
        QVERIFY(MsgBox::Shown().isEmpty());
        QCOMPARE(folder.entryList({"temp*", ".temp*", ".REPORT*"}, QDir::Files | QDir::Hidden), QStringList{"temp"});
        const Program& p = program();
        QVERIFY(!p.EditMode && p.UnloadOthersOnActivate);
        QCOMPARE(p.ClientCount, 2);
        QCOMPARE(menu.lbNameDisplay->count(), 2);
        QCOMPARE(p.SndPath, QStringLiteral("/opt/sounds"));
        QVERIFY(!p.NumLockOn && !menu.mnuOptionsNumLock->isChecked());
        QVERIFY(p.PrintDOS && menu.mnuOptionsPrintDOS->isChecked());
        QVERIFY(!menu.cmdMenuChoice[0]->isEnabled());
    }

    void startUpEndsWhenNoDiskIsFound()
    {
        TestProgram t;
        frmMainMenu menu;
        MsgBox::SetNextAnswer(MsgBox::Answer::No);
        QVERIFY(!RunStartUp(menu));
        QVERIFY(LastMessage().text.startsWith("No test information found on drive A:"));
        QVERIFY(!QFile::exists(program().IniPath));
    }

    void aboutBoxClosesOnItsButtonAndWhenTheMenuIsActivated()
    {
        TestProgram t;
        frmMainMenu menu;
        ShowActive(&menu);
        menu.mnuHelpAbout->trigger();
        QPointer<frmAbout> about = menu.findChild<frmAbout*>();
        QVERIFY(about && !about->isModal() && about->cmdOK->isVisible());
        QTRY_VERIFY(about->FadeDone());
        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        QTRY_VERIFY(about.isNull());
        menu.mnuHelpAbout->trigger();
        QPointer<frmAbout> second = menu.findChild<frmAbout*>();
        QVERIFY(second && second->isVisible());
        menu.Activate();  // coming back to the main menu closes an about box left open
        QTRY_VERIFY(second.isNull() || !second->isVisible());
    }

    void aSecondCopyRestoresTheFirstWindow()
    {
        TestProgram t;
        QWidget window;
        SingleInstance first(t.programFolder());
        QVERIFY(first.Listen(&window));

        // During start-up the main window is not ready: it must not appear.
        SingleInstance early(t.programFolder());
        QVERIFY(early.AskRunningCopyToShow());
        QTest::qWait(300);
        QVERIFY(!window.isVisible());

        first.StartUpFinished();
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        SingleInstance second(t.programFolder());
        QVERIFY(second.AskRunningCopyToShow());
        QTRY_VERIFY(!window.isMinimized());

        SingleInstance elsewhere(t.disk());  // another program folder is another program
        QVERIFY(!elsewhere.AskRunningCopyToShow());
    }

    void aSecondProgramEndsWithoutTouchingAnyFile()
    {
        TestProgram t;
        const QString exe = t.programFolder() + QStringLiteral("/zeptest");
        QVERIFY(QFile::copy(QStringLiteral(ZEP_PROGRAM_DIR "/zeptest"), exe));
        const QByteArray ini = "[Path]\r\nFilePath=/nowhere/at/all\r\n";
        WriteFileBytes(t.programFolder() + QStringLiteral("/zeptest.ini"), ini);

        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start(exe, {});
        QVERIFY(first.waitForStarted());
        // The first copy now waits at its "no test information" question.
        QTest::qWait(1500);
        QCOMPARE(first.state(), QProcess::Running);
        const QStringList before = QDir(t.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        QProcess second;
        second.start(exe, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(QDir(t.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(ReadFileBytes(t.programFolder() + QStringLiteral("/zeptest.ini")), ini);

        first.kill();
        first.waitForFinished();
    }
};

QTEST_MAIN(tst_StartUp)
#include "tst_StartUp.moc"
