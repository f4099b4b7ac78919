#pragma once
// Scoring of one client and the composition of REPORT.PRN. Everything the last scoring
// produced stays in scoring() until the next call, for the forms that show the results.
#include <array>

#include <QString>
#include <QStringList>

#include "base/InRange.h"

constexpr int ScaleCount = 4;
enum ScaleNumber { Truthfulness = 1, Alcohol = 2, Drugs = 3, Risk = 4 };

// Limits of the scoring data file; anything beyond them is refused when the file is read.
constexpr int MaxTableRaw = 83;
constexpr int MaxScaleItems = 40;
constexpr int SignificantItemCount = 18;
constexpr int CriticalItemCount = 22;
constexpr int SignificantTextCount = 20;
constexpr int ChoiceTextCount = 16;

// Everything read from the data files beside the program, anew at every scoring.
struct ScoringData {
    std::array<int, SignificantItemCount + 1> SignificantItems{};    // 1..18
    std::array<std::array<QString, 5>, 3> AnswerKey;                   // [section 1..2][answer value]
    std::array<std::array<std::array<int, ScaleCount + 1>, 4>, 3> MaxRaw{};   // [gender][race group][scale]
    // [scale][raw score][race group][gender]
    std::array<std::array<std::array<std::array<int, 3>, 4>, MaxTableRaw + 1>, ScaleCount + 1> PercentileTable{};
    std::array<std::array<int, MaxScaleItems + 1>, ScaleCount + 1> ScaleItems{};   // [scale][0] = count
    std::array<int, CriticalItemCount + 1> CriticalItems{};          // 1..22
    std::array<std::array<int, 6>, ScaleCount + 1> TruthCorrection{}; // [scale 2..4][level 1..5]

    // Report texts. Entry 0 of each code table is always "N/A".
    std::array<QString, 3> GenderText;
    std::array<QString, 7> RaceText;
    std::array<QString, 9> EducationText;
    std::array<QString, 6> MaritalText;
    std::array<QString, ScaleCount + 1> ScaleTitles;
    std::array<QString, 5> RiskRangeNames;
    std::array<QString, SignificantTextCount + 1> SignificantItemTexts;
    std::array<QString, ChoiceTextCount + 1> ChoiceTexts;

    std::array<QString, ScaleCount + 1> ExplanationFiles;
    // The paragraph files and the invalid-test text, line by line as read.
    std::array<QStringList, ScaleCount + 1> ExplanationLines;
    QStringList InvalidTextLines;
};

// The scored client's values, trimmed.
struct ClientValues {
    QString Name, SSN, Age, Gender, Race, Education, Marital, TestDate, DateOfBirth;
    QString AgeAtFirstConviction, MisdemeanorConvictions, FelonyConvictions, TimesOnProbation,
        ProbationRevocations, AlcoholConvictions, TimesOnParole, ParoleRevocations, TimesJail,
        TimesPrison, YearsJailAndPrison, DrugConvictions;

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
    std::array<ScaleScore, ScaleCount + 1> ScaleScores{};    // 1..4
    std::array<int, 65> Answers{};                           // items 1..64
    std::array<int, 65> ItemPoints{};                        // items 1..64
    bool AlcoholFloorApplied = false;
    bool DrugFloorApplied = false;
    qint16 ScoredClient = 0;
    int GenderIndex = 1;
    int RaceGroup = 1;
    std::array<int, 3> HighestAnswer{0, 2, 4};              // per section
    int ScaleCountInUse = ScaleCount;
};

Scoring& scoring();
void ResetScoring();

// The outcome of a scoring. A failed one names the file and what is wrong with it,
// and no REPORT.PRN is left in the program folder.
struct [[nodiscard]] ScoringResult {
    bool Ok = true;
    QString Message;
    explicit operator bool() const { return Ok; }
    static ScoringResult Failure(const QString& message) { return {false, message}; }
};

// Scores program().CurrentClient and writes REPORT.PRN for it.
ScoringResult ScoreAndReport();

// The steps of ScoreAndReport, in calling order.
void InitReportTables();
ScoringResult LoadScoringData();
void PrepareClientWork();
void ComputeRawScores();
void ComputePercentiles();
ScoringResult WriteReport();

// The scoring data file and the label file from text already read, `path` naming the
// file in messages: what LoadScoringData does with each file once it has read it.
ScoringResult ReadScoringText(ScoringData& data, const QString& text, const QString& path);
ScoringResult ReadLabelText(ScoringData& data, const QString& text, const QString& path);

// The report as it would be written, without touching the disk.
QString ComposeReport();

// Helpers with the system's own numeric rules, shared with the report writer.
double LeadingNumber(const QString& text);      // the leading number of a text, 0 if none
int RoundHalfEven(double value);

// The risk range 1..4 of a percentile, and the label that picks its paragraph.
int RiskRange(int percentile);
QString RangeLabel(int percentile);

constexpr const char* ReportFileName = "REPORT.PRN";
