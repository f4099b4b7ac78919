#pragma once
// The scoring engine: from one client record to four raw scores and percentiles. Everything
// the last scoring produced stays in scoring() until the next call, for the report writer
// and the forms that show the results.
#include <array>

#include <QString>

#include "scoring/ScoringData.h"

// The scored client's values, trimmed.
struct ClientValues {
    QString Name, SSN, Age, Gender, Race, Education, Marital, TestDate, DateOfBirth;
    QString AgeAtFirstConviction, MisdemeanorConvictions, FelonyConvictions, TimesOnProbation, ProbationRevocations,
        AlcoholConvictions, TimesOnParole, ParoleRevocations, TimesJail, TimesPrison, YearsJailAndPrison,
        DrugConvictions;

    // The twelve court-history values in record order, 1-based like the point rules.
    QString& Court(int n);
};

struct ScaleScore {
    qint16 RawScore = 0;
    qint16 Percentile = 0;
    qint16 OmittedCount = 0;
    qint16 ScoredItemCount = 0;
};

struct Scoring {
    ScoringData Data;
    ClientValues ClientWork;
    std::array<ScaleScore, ScaleCount + 1> ScaleScores{};  // 1..4
    std::array<int, 65> Answers{};                         // items 1..64
    std::array<int, 65> ItemPoints{};                      // items 1..64
    bool AlcoholFloorApplied = false;
    bool DrugFloorApplied = false;
    qint16 ScoredClient = 0;
    int GenderIndex = 1;
    int RaceGroup = 1;
    std::array<int, 3> HighestAnswer{0, 2, 4};  // per section
    int ScaleCountInUse = ScaleCount;
};

Scoring& scoring();
void ResetScoring();

// The steps of a scoring, in calling order; between the first two, LoadScoringData reads
// the data files into scoring().Data.
void InitReportTables();
void PrepareClientWork();
void ComputeRawScores();
void ComputePercentiles();

// Helpers with the system's own numeric rules, shared with the report writer.
double LeadingNumber(const QString& text);  // the leading number of a text, 0 if none
int RoundHalfEven(double value);

// The risk range 1..4 of a percentile, and the label that picks its paragraph.
int RiskRange(int percentile);
QString RangeLabel(int percentile);
