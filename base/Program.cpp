#include "base/Program.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

Program& program()
{
    static Program instance;
    return instance;
}

void ResetProgram() { program() = Program{}; }

void SetStartUpDefaults(const QString& programFolder)
{
    Program& p = program();
    p.ProgramFolder = programFolder;
    p.StateFolder = programFolder;
    p.SiteFolder.clear();
    p.IniPath = ProgramFile(QLatin1String(SettingsFileName));
    p.DatabasePath = ProgramFile(QLatin1String(QuestionBankFileName));
    p.MainWorkspace = QStringLiteral("MainWorkspace");
    p.SectionBounds = TestSectionBounds;
}

void EndProgram()
{
    program().Ended = true;
    // Outside any event loop (start-up) the caller sees Ended and returns; telling Qt to
    // quit then would make every later event loop return at once.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

QString ProgramFile(const QString& name) { return program().ProgramFolder + QLatin1Char('/') + name; }

QString StateFile(const QString& name) { return program().StateFolder + QLatin1Char('/') + name; }

QString SuppliedFile(const QString& name)
{
    const Program& p = program();
    if (!p.SiteFolder.isEmpty()) {
        const QString office = p.SiteFolder + QLatin1Char('/') + name;
        if (QFileInfo::exists(office))
            return office;
    }
    return ProgramFile(name);
}
