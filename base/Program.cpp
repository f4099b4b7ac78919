#include "base/Program.h"

#include <QCoreApplication>
#include <QThread>

Program& program()
{
    static Program instance;
    return instance;
}

void ResetProgram()
{
    program() = Program{};
}

void EndProgram()
{
    program().Ended = true;
    // Outside any event loop (start-up) the caller sees Ended and returns; telling Qt to
    // quit then would make every later event loop return at once.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

QString ProgramFile(const QString& name)
{
    return program().ProgramFolder + QLatin1Char('/') + name;
}
