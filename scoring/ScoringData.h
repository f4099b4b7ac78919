#pragma once
// The data files beside the program that a scoring needs: the scoring data file (items,
// keys and norms), the label file (the report's texts) and the paragraph files. They are read
// anew at every scoring; the engine scores with them and the report writer quotes them.
#include <array>

#include <QString>
#include <QStringList>

constexpr int ScaleCount = 4;
enum ScaleNumber { Truthfulness = 1, Alcohol = 2, Drugs = 3, Risk = 4 };

// Limits of the scoring data file; anything beyond them is refused when the file is read.
constexpr int MaxTableRaw = 83;
constexpr int MaxScaleItems = 40;
constexpr int SignificantItemCount = 18;
constexpr int CriticalItemCount = 22;
constexpr int SignificantTextCount = 20;
constexpr int ChoiceTextCount = 16;

struct ScoringData {
    std::array<int, SignificantItemCount + 1> SignificantItems{};            // 1..18
    std::array<std::array<QString, 5>, 3> AnswerKey;                         // [section 1..2][answer value]
    std::array<std::array<std::array<int, ScaleCount + 1>, 4>, 3> MaxRaw{};  // [gender][race group][scale]
    // [scale][raw score][race group][gender]
    std::array<std::array<std::array<std::array<int, 3>, 4>, MaxTableRaw + 1>, ScaleCount + 1> PercentileTable{};
    std::array<std::array<int, MaxScaleItems + 1>, ScaleCount + 1> ScaleItems{};  // [scale][0] = count
    std::array<int, CriticalItemCount + 1> CriticalItems{};                       // 1..22
    std::array<std::array<int, 6>, ScaleCount + 1> TruthCorrection{};             // [scale 2..4][level 1..5]

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

// The outcome of a scoring or of one of its steps. A failed one names the file and what is
// wrong with it.
struct [[nodiscard]] ScoringResult {
    bool Ok = true;
    QString Message;
    explicit operator bool() const { return Ok; }
    static ScoringResult Failure(const QString& message) { return {false, message}; }
};

// Reads every data file from the program folder into `data`, over the code texts already there.
ScoringResult LoadScoringData(ScoringData& data);

// The scoring data file and the label file from text already read, `path` naming the
// file in messages: what LoadScoringData does with each file once it has read it.
ScoringResult ReadScoringText(ScoringData& data, const QString& text, const QString& path);
ScoringResult ReadLabelText(ScoringData& data, const QString& text, const QString& path);
