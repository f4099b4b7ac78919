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
    const QString& Court(int n) const { return const_cast<ClientValues*>(this)->Court(n); }
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
    bool TooManyTrue = false;  // nearly every True/False item answered True: the test is void
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

// From this Truthfulness percentile on, the client is not believed at all: the other scales
// are shown at 99, no other rule applies, and the report says the test is invalid.
constexpr int UnbelievableTruthfulness = 95;
// A scale with more omitted items than this is not scored: the report says so instead of
// giving its percentile.
constexpr int MostOmittedItems = 4;

// The text of a code (sex, race, marital status) in one of the report's code tables; a code
// outside the table is "N/A", like code 0.
template <size_t N>
QString CodeText(const std::array<QString, N>& table, const QString& code)
{
    const int index = RoundHalfEven(LeadingNumber(code));
    return index >= 0 && index < int(N) ? table[size_t(index)] : table[0];
}

// The risk range 1..4 of a percentile, and the label that picks its paragraph.
int RiskRange(int percentile);
QString RangeLabel(int percentile);
