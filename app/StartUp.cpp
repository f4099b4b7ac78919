#include "app/StartUp.h"

#include <QCoreApplication>
#include <QSqlDatabase>

#include "app/DriveSelect.h"
#include "app/Settings.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "scoring/ReportOutput.h"
#include "widgets/FormHelpers.h"

namespace {

// The start-up handler for errors from connecting the disk onwards: true to retry the step.
bool RetryAfterStartUpError(const DiskError& error)
{
    switch (error.row()) {
    case DiskErrorRow::NotFound:
        return MsgBox::Show(QStringLiteral("Data disk not found!\r\rInsert data disk in drive A to continue."),
                            MsgBox::Buttons::OkCancel, MsgBox::Icon::Critical,
                            QStringLiteral("Data Disk Error")) == MsgBox::Answer::Ok;
    case DiskErrorRow::WriteProtected:
        return MsgBox::Show(QString::fromLatin1(WriteProtectedText), MsgBox::Buttons::OkCancel, MsgBox::Icon::Critical,
                            QStringLiteral("Data Disk Error")) == MsgBox::Answer::Ok;
    case DiskErrorRow::Other: break;
    }
    MsgBox::Show(error.errorText(), MsgBox::Buttons::OkOnly, MsgBox::Icon::None, QString::fromLatin1(AppTitle));
    return false;
}

}  // namespace

bool RunStartUp(frmMainMenu& menu)
{
    Program& p = program();
    p.EditMode = false;
    // A bulk print that was killed, or a power cut, leaves confidential reports in the program
    // folder; nothing else would ever remove them.
    RemoveReportCopies();
    // The NumLock timer ticks whenever events are processed (message boxes, the splash),
    // so the saved choice must be known before anything below can wait.
    p.NumLockOn = GetNumLockSetting();
    // The question bank is SQLite through Qt; without its driver no test can be given.
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        MsgBox::Show(QStringLiteral("The SQLite database driver of Qt (package libqt6sql6-sqlite) is not installed."),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QString::fromLatin1(AppTitle));
        return false;
    }
    p.SndPath = GetINISndPath();

    DriveSelectHooks hooks;
    hooks.chooseDrive = [&menu] { return menu.AskForDrive(); };
    if (SelectDataDrive(true, hooks) == DriveSelectResult::EndProgram)
        return false;

    menu.ShowLogo();

    frmAbout splash(true, &menu);
    splash.Load();
    while (!splash.FadeDone())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    for (;;) {
        try {
            if (!LoadClientTable()) {
                splash.close();
                return false;
            }
            break;
        } catch (const DiskError& error) {
            if (!RetryAfterStartUpError(error)) {
                splash.close();
                return false;
            }
        }
    }

    splash.Unload();
    CenterForm(&menu);
    menu.Activate();
    p.PrintDOS = GetPrintDOSSetting();
    menu.ShowOptions(p.NumLockOn, p.PrintDOS);
    p.UnloadOthersOnActivate = true;
    return true;
}
