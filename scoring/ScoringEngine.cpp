// The scoring engine: from one client record to four raw scores and percentiles.
#include "scoring/ScoringEngine.h"

#include <algorithm>
#include <cmath>

#include "base/InRange.h"
#include "base/Program.h"
#include "clients/ClientValidation.h"
#include "clients/CodeTables.h"

Scoring& scoring()
{
    static Scoring instance;
    return instance;
}

void ResetScoring() { scoring() = Scoring{}; }

QString& ClientValues::Court(int n)
{
    QString* const fields[12] = {&AgeAtFirstConviction, &MisdemeanorConvictions, &FelonyConvictions,
                                 &TimesOnProbation,     &ProbationRevocations,   &AlcoholConvictions,
                                 &TimesOnParole,        &ParoleRevocations,      &TimesJail,
                                 &TimesPrison,          &YearsJailAndPrison,     &DrugConvictions};
    return *fields[n - 1];
}

double LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    QString number;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        number += text.at(i++);
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
        number += c;
    }
    return digits ? number.toDouble() : 0.0;
}

int RoundHalfEven(double value)
{
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction > 0.5)
        return int(down) + 1;
    if (fraction < 0.5)
        return int(down);
    return std::fmod(down, 2.0) == 0.0 ? int(down) : int(down) + 1;
}

int RiskRange(int percentile)
{
    if (percentile <= 39)
        return 1;
    if (percentile <= 69)
        return 2;
    if (percentile <= 89)
        return 3;
    return 4;
}

QString RangeLabel(int percentile)
{
    const ScoringData& d = scoring().Data;
    if (percentile <= 39)
        return d.RiskRangeNames[1];
    if (percentile <= 55)
        return QStringLiteral("MEDIUM-LOW");
    if (percentile <= 69)
        return QStringLiteral("MEDIUM-HIGH");
    if (percentile <= 89)
        return d.RiskRangeNames[3];
    if (percentile <= 94)
        return QStringLiteral("MAXIMUM-LOW");
    return QStringLiteral("MAXIMUM-HIGH");
}

void InitReportTables()
{
    Scoring& sc = scoring();
    program().SectionBounds = TestSectionBounds;
    sc.HighestAnswer = {0, 2, 4};
    sc.ScaleCountInUse = ScaleCount;

    ScoringData& d = sc.Data;
    for (size_t i = 0; i < d.GenderText.size(); ++i)
        d.GenderText[i] = QString::fromLatin1(GenderText[i]);
    for (size_t i = 0; i < d.RaceText.size(); ++i)
        d.RaceText[i] = QString::fromLatin1(RaceText[i]);
    for (size_t i = 0; i < d.MaritalText.size(); ++i)
        d.MaritalText[i] = QString::fromLatin1(MaritalText[i]);
    // Education is stored as years, so its table has no texts of its own until the label file gives them.
    d.EducationText.fill(QString());
    d.EducationText[0] = QStringLiteral("N/A");
}

void PrepareClientWork()
{
    Scoring& sc = scoring();
    ClientRecord& rec = program().ClientTable[program().CurrentClient];
    ClientValues& w = sc.ClientWork;

    // The trimmed values go back into the client table, not only into ClientWork: whatever
    // reads this client after the scoring (the print lists, a record written back to the
    // disk) sees each value as the report shows it, without the blanks it was typed with.
    ClientRecord::ForEachField(rec, [](const char* name, auto& field) {
        // The answers keep their places: a blank there is an omitted item, not padding.
        if (qstrcmp(name, "Answers") != 0)
            field = field.trimmed();
    });

    // Control bytes from an old or hostile disk would drive the printer (an escape, a form
    // feed); the report shows each as "?", so the columns keep their widths.
    auto value = [](const auto& field) { return ReplaceControls(field.trimmed()); };
    w.Name = value(rec.Name);
    w.SSN = value(rec.SSN);
    w.Age = value(rec.Age);
    w.Gender = value(rec.Gender);
    w.Race = value(rec.Race);
    w.Education = value(rec.Education);
    w.Marital = value(rec.Marital);
    w.TestDate = value(rec.TestDate);
    w.DateOfBirth = value(rec.DateOfBirth);
    for (int n = 1; n <= CourtFieldCount; ++n)
        w.Court(n) = value(rec.*CourtFields[size_t(n - 1)].Field);

    const QString answers = rec.Answers.text();
    for (int item = 1; item <= AnswerCount; ++item) {
        const QChar c = item <= answers.size() ? answers.at(item - 1) : QLatin1Char('0');
        sc.Answers[item] = c.isDigit() ? c.digitValue() : 0;
    }
    sc.ScoredClient = program().CurrentClient;
}

namespace {

int KeyPoints(int item, int answer)
{
    const Scoring& sc = scoring();
    const int section = item <= program().SectionBounds[1] ? 1 : 2;
    const int position = item - program().SectionBounds[section - 1];
    // Values without a key (3 and 4 on a True/False item, anything above 4) earn nothing.
    if (answer < 0 || answer > sc.HighestAnswer[section])
        return 0;
    const QString& key = sc.Data.AnswerKey[section][answer];
    if (position > key.size())
        return 0;
    const QChar digit = key.at(position - 1);
    return digit.isDigit() ? digit.digitValue() : 0;
}

// Points for the rows whose value counts in exact steps 1..n and then "n+1 or more".
int StepPoints(double value, std::initializer_list<int> exact, int orMore)
{
    int n = 1;
    for (int points : exact) {
        if (value == n)
            return points;
        ++n;
    }
    return value >= n ? orMore : 0;
}

struct RangePoints {
    int Low, High, Points;
};

int RangedPoints(double value, std::initializer_list<RangePoints> rows)
{
    const int rounded = RoundHalfEven(value);
    for (const RangePoints& row : rows)
        if (InRange(rounded, row.Low, row.High))
            return row.Points;
    return 0;
}

void AddCourtPoints()
{
    Scoring& sc = scoring();
    ClientValues& w = sc.ClientWork;
    auto v = [&](int n) { return LeadingNumber(w.Court(n)); };
    auto add = [&](int scale, int points) { sc.ScaleScores[scale].RawScore += points; };

    add(Risk, RangedPoints(v(1), {{1, 16, 5}, {17, 21, 4}, {22, 26, 3}, {27, 31, 2}, {32, 36, 1}}));
    add(Risk, RangedPoints(v(2), {{1, 2, 1}, {3, 4, 2}, {5, 6, 3}, {7, 8, 4}, {9, 99, 5}}));
    add(Risk, RangedPoints(v(3), {{1, 2, 2}, {3, 4, 3}, {5, 6, 5}, {7, 8, 6}, {9, 99, 7}}));
    add(Risk, StepPoints(v(4), {1, 2, 3, 4}, 6));
    add(Risk, StepPoints(v(5), {1, 3, 4, 5}, 7));
    add(Alcohol, StepPoints(v(6), {1, 2, 2}, 3));
    add(Risk, StepPoints(v(7), {1, 2, 3, 4}, 6));
    add(Risk, StepPoints(v(8), {1, 3, 4, 5}, 7));
    add(Risk, StepPoints(v(9), {1, 2, 3, 4}, 5));
    add(Risk, StepPoints(v(10), {2, 3, 4, 5}, 7));
    add(Risk, StepPoints(v(11), {1, 2, 3, 4, 5, 6, 7, 8}, 9));
    add(Drugs, StepPoints(v(12), {1, 2, 2}, 3));
}

}  // namespace

void ComputeRawScores()
{
    Scoring& sc = scoring();
    const ScoringData& d = sc.Data;
    for (ScaleScore& score : sc.ScaleScores)
        score = ScaleScore{};
    sc.ItemPoints.fill(0);

    for (int s = 1; s <= sc.ScaleCountInUse; ++s) {
        ScaleScore& score = sc.ScaleScores[s];
        for (int k = 1; k <= d.ScaleItems[s][0]; ++k) {
            const int item = d.ScaleItems[s][k];
            const int answer = sc.Answers[item];
            if (answer == 0)
                ++score.OmittedCount;
            const int points = KeyPoints(item, answer);
            sc.ItemPoints[item] = points;
            score.RawScore += points;
            if (points > 0)
                ++score.ScoredItemCount;
        }
    }

    // A client who marks nearly everything True has not read the items.
    const int section1Items = program().SectionBounds[1];
    int trueCount = 0;
    for (int item = 1; item <= section1Items; ++item)
        if (sc.Answers[item] == 1)
            ++trueCount;
    sc.TooManyTrue = trueCount > section1Items * 95 / 100;
    if (sc.TooManyTrue) {
        sc.ScaleScores[Truthfulness].RawScore = 99;
        return;
    }

    AddCourtPoints();
}

namespace {

// A Truthfulness percentile in one of these bands corrects the raw scores of the other
// scales by the data file's correction of that level.
struct TruthBand {
    int Low, High, Level;
};
constexpr TruthBand TruthCorrectionBands[] = {{40, 55, 1}, {56, 69, 2}, {70, 89, 3}, {90, 94, 4}};
// From UnbelievableTruthfulness on, the other scales are corrected by the last level.
constexpr int UnbelievableLevel = 5;
// The correction only touches a scale that has something to correct.
constexpr int CorrectedFromScoredItems = 2;

// A scale with only one or two scored items cannot be trusted with a high percentile.
struct FewItemsCap {
    int ScoredItems, HighestPercentile;
};
constexpr FewItemsCap FewItemsCaps[] = {{1, 28}, {2, 38}};

// The critical signs of each scale: its critical items (an answer earning more than one
// point) and the court values that count as one more sign each.
struct CourtSign {
    QString ClientValues::*Value;
    double AtLeast;
};
struct CriticalSigns {
    int FirstItem, LastItem;
    std::initializer_list<CourtSign> Court;
};
const CriticalSigns CriticalSignsOf[ScaleCount + 1] = {
    {},
    {},
    {1, 8, {{&ClientValues::AlcoholConvictions, 2}}},
    {9, 16, {{&ClientValues::DrugConvictions, 2}}},
    {17,
     22,
     {{&ClientValues::MisdemeanorConvictions, 3},
      {&ClientValues::FelonyConvictions, 3},
      {&ClientValues::TimesOnProbation, 2},
      {&ClientValues::ProbationRevocations, 2},
      {&ClientValues::TimesOnParole, 2},
      {&ClientValues::ParoleRevocations, 2},
      {&ClientValues::TimesJail, 2},
      {&ClientValues::TimesPrison, 1}}},
};
// So many critical signs raise the percentile to at least this; the last row is "or more".
struct SignFloor {
    int Signs, Floor;
};
constexpr SignFloor CriticalSignFloors[] = {{2, 40}, {3, 69}, {4, 88}, {5, 92}};

// The percentile a scale gets at least for exactly 1..4 alcohol or drug convictions, and for 5 or more.
constexpr std::initializer_list<int> ConvictionFloors = {40, 61, 72, 80};
constexpr int ConvictionFloorFiveOrMore = 89;

// Only genders 1 and 2 and race groups 1..3 have norms; everyone else is scored on group 1.
void ChooseNormGroup(Scoring& sc)
{
    sc.GenderIndex = RoundHalfEven(LeadingNumber(sc.ClientWork.Gender));
    if (sc.GenderIndex < 1 || sc.GenderIndex > 2)
        sc.GenderIndex = 1;
    sc.RaceGroup = RoundHalfEven(LeadingNumber(sc.ClientWork.Race));
    if (sc.RaceGroup < 1 || sc.RaceGroup > 3)
        sc.RaceGroup = 1;
}

struct NormLookup {
    int Percentile;
    bool FromTable;
};

// The percentile of a raw score in the norms. Too many omitted items, or a raw score past the
// norms, give 99; a raw score of nothing gives 0.
NormLookup NormPercentile(const Scoring& sc, int s)
{
    const ScoringData& d = sc.Data;
    const ScaleScore& score = sc.ScaleScores[s];
    const int g = sc.GenderIndex;
    const int r = sc.RaceGroup;
    if (score.OmittedCount < 4 && score.RawScore <= d.MaxRaw[g][r][s]) {
        if (score.RawScore <= 0)
            return {0, false};
        return {d.PercentileTable[s][score.RawScore][r][g], true};
    }
    return {99, false};
}

void CorrectForTruthfulness(Scoring& sc, int level)
{
    for (int j = Alcohol; j <= Risk; ++j)
        if (sc.ScaleScores[j].ScoredItemCount >= CorrectedFromScoredItems)
            sc.ScaleScores[j].RawScore += sc.Data.TruthCorrection[j][level];
}

int TruthCorrectionLevel(int truthPercentile)
{
    for (const TruthBand& band : TruthCorrectionBands)
        if (InRange(truthPercentile, band.Low, band.High))
            return band.Level;
    return 0;
}

int CapForFewItems(const ScaleScore& score, int p)
{
    for (const FewItemsCap& cap : FewItemsCaps)
        if (score.ScoredItemCount == cap.ScoredItems)
            return std::min(p, cap.HighestPercentile);
    return p;
}

int RaiseToCriticalFloor(const Scoring& sc, int s, int p)
{
    const ScoringData& d = sc.Data;
    const CriticalSigns& signs = CriticalSignsOf[s];
    int c = 0;
    for (int k = signs.FirstItem; k <= signs.LastItem; ++k)
        if (sc.ItemPoints[d.CriticalItems[k]] > 1)
            ++c;
    for (const CourtSign& sign : signs.Court)
        if (LeadingNumber(sc.ClientWork.*sign.Value) >= sign.AtLeast)
            ++c;
    int floor = 0;
    for (const SignFloor& row : CriticalSignFloors)
        if (c >= row.Signs)
            floor = row.Floor;
    return std::max(p, floor);
}

// Raises an Alcohol or Drugs percentile to the floor of the client's convictions, and says so
// on the report.
int RaiseToConvictionFloor(Scoring& sc, int s, int p)
{
    if (s != Alcohol && s != Drugs)
        return p;
    const double v = LeadingNumber(s == Alcohol ? sc.ClientWork.AlcoholConvictions : sc.ClientWork.DrugConvictions);
    const int floor = StepPoints(v, ConvictionFloors, ConvictionFloorFiveOrMore);
    if (p < floor) {
        p = floor;
        (s == Alcohol ? sc.AlcoholFloorApplied : sc.DrugFloorApplied) = true;
    }
    return p;
}

}  // namespace

// The order of the steps is the rule: Truthfulness goes first, because how far the client is
// believed changes the other scales' raw scores before their percentiles are looked up (or
// replaces them altogether); then each scale's norm percentile is capped for too few scored
// items, and only then raised to the floors of critical signs and of convictions.
void ComputePercentiles()
{
    Scoring& sc = scoring();
    ChooseNormGroup(sc);
    sc.AlcoholFloorApplied = false;
    sc.DrugFloorApplied = false;

    const int truth = NormPercentile(sc, Truthfulness).Percentile;
    sc.ScaleScores[Truthfulness].Percentile = qint16(truth);
    if (truth >= UnbelievableTruthfulness) {
        CorrectForTruthfulness(sc, UnbelievableLevel);
        for (int j = Alcohol; j <= Risk; ++j)
            sc.ScaleScores[j].Percentile = 99;
        return;
    }
    if (const int level = TruthCorrectionLevel(truth); level > 0)
        CorrectForTruthfulness(sc, level);

    for (int s = Alcohol; s <= sc.ScaleCountInUse; ++s) {
        const NormLookup norm = NormPercentile(sc, s);
        int p = norm.FromTable ? CapForFewItems(sc.ScaleScores[s], norm.Percentile) : norm.Percentile;
        p = RaiseToCriticalFloor(sc, s, p);
        p = RaiseToConvictionFloor(sc, s, p);
        sc.ScaleScores[s].Percentile = qint16(p);
    }
}
