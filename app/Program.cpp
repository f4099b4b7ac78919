#include "app/Program.h"

#include <QCoreApplication>

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
    QCoreApplication::exit(0);
}

QString ProgramFile(const QString& name)
{
    return program().ProgramFolder + QLatin1Char('/') + name;
}
