#include <QApplication>

#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/frmMainMenu.h"
#include "base/Program.h"
#include "widgets/FormHelpers.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zeptest"));
    // No display name: Qt would append it to every window title, and the titles the
    // window manager shows must be the forms' own captions.
    SetStartUpDefaults(QCoreApplication::applicationDirPath());

    InstallUiServices();
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
