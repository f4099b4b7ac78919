#pragma once
// A program folder with the supplied scoring files and a full disk of 51 invented clients,
// shared by the scoring and printing benchmarks.
#include <random>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/Program.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScoringEngine.h"

namespace bench {

inline ClientRecord RandomClient(std::mt19937& rng, int n)
{
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    auto number = [&](int high) { return pick(0, 9) == 0 ? QStringLiteral("N") : QString::number(pick(0, high)); };
    ClientRecord r;
    r.Name = QStringLiteral("Bench Client %1").arg(n);
    r.SSN = QStringLiteral("000-00-%1").arg(n, 4, 10, QLatin1Char('0'));
    r.Age = QString::number(pick(18, 70));
    r.Gender = QString::number(pick(0, 2));
    r.Race = QString::number(pick(0, 6));
    r.Education = QString::number(pick(6, 16));
    r.Marital = QString::number(pick(0, 5));
    r.TestDate = QStringLiteral("03/14/2025");
    r.DateOfBirth = QStringLiteral("07/01/1980");
    r.AgeAtFirstConviction = number(40);
    for (auto* field : {&r.MisdemeanorConvictions, &r.FelonyConvictions, &r.TimesOnProbation, &r.ProbationRevocations,
                        &r.AlcoholConvictions, &r.TimesOnParole, &r.ParoleRevocations, &r.TimesJail, &r.TimesPrison,
                        &r.YearsJailAndPrison, &r.DrugConvictions})
        *field = number(6);
    QString answers;
    for (int item = 1; item <= 64; ++item)
        answers += QString::number(pick(0, 20) == 0 ? 0 : pick(1, item <= 60 ? 2 : 4));
    r.Answers = answers;
    r.EditCount = "0";
    r.NameDeleted = "0";
    return r;
}

class ProgramFolder {
public:
    ProgramFolder()
    {
        const QDir source(QStringLiteral(ZEP_DATA_DIR));
        for (const QString& name : source.entryList(QStringList{QStringLiteral("*.TXT")}, QDir::Files))
            QFile::copy(source.filePath(name), dir_.filePath(name));
        ResetProgram();
        ResetScoring();
        SetStartUpDefaults(dir_.path());
        Program& p = program();
        std::mt19937 rng(401);
        for (int n = 1; n <= MaxClients; ++n)
            p.ClientTable[n] = RandomClient(rng, n);
        p.ClientCount = MaxClients;
    }

private:
    QTemporaryDir dir_;
};

}  // namespace bench
