#include <QApplication>

#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/frmMainMenu.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "base/ProgramFolders.h"
#include "widgets/FormHelpers.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zeptest"));
    // No display name: Qt would append it to every window title, and the titles the
    // window manager shows must be the forms' own captions.
    SetStartUpDefaults(QCoreApplication::applicationDirPath());

    InstallUiServices();
    // An installed program writes into the user's own folders; a build folder beside itself.
    QString problem;
    if (IsInstalledProgramFolder(program().ProgramFolder)) {
        problem = UseUserFolders();
        if (problem.isEmpty())
            problem = CreateUserSettings();
    }
    if (!problem.isEmpty()) {
        MsgBox::Show(problem, MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QString::fromLatin1(AppTitle));
        return 1;
    }
    SingleInstance instance(program().ProgramFolder);
    if (instance.HandOverToRunningCopy())
        return 0;

    frmMainMenu menu;
    instance.Listen(&menu);
    if (!RunStartUp(menu))
        return 0;
    menu.show();
    instance.StartUpFinished();
    menu.FocusStartControl();
    if (program().Ended)
        return 0;
    return app.exec();
}
