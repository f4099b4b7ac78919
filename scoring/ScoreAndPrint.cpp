// The scoring engine: from one client record to four raw scores and percentiles.
#include "scoring/ScoreAndPrint.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

#include <QFile>

#include "base/Program.h"
#include "clients/CodeTables.h"
#include "base/RegularFile.h"

Scoring& scoring()
{
    static Scoring instance;
    return instance;
}

void ResetScoring()
{
    scoring() = Scoring{};
}

QString& ClientValues::Court(int n)
{
    QString* const fields[12] = {&AgeAtFirstConviction, &MisdemeanorConvictions, &FelonyConvictions,
                                 &TimesOnProbation, &ProbationRevocations, &AlcoholConvictions,
                                 &TimesOnParole, &ParoleRevocations, &TimesJail,
                                 &TimesPrison, &YearsJailAndPrison, &DrugConvictions};
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

    // Control bytes from an old or hostile disk would drive the printer (an escape, a form
    // feed); the report shows each as "?", so the columns keep their widths.
    auto take = [](auto& field, QString& value) {
        value = field.trimmed();
        field = value;
        value = ReplaceControls(value);
    };
    take(rec.Name, w.Name);
    take(rec.SSN, w.SSN);
    take(rec.Age, w.Age);
    take(rec.Gender, w.Gender);
    take(rec.Race, w.Race);
    take(rec.Education, w.Education);
    take(rec.Marital, w.Marital);
    take(rec.TestDate, w.TestDate);
    take(rec.DateOfBirth, w.DateOfBirth);
    take(rec.AgeAtFirstConviction, w.AgeAtFirstConviction);
    take(rec.MisdemeanorConvictions, w.MisdemeanorConvictions);
    take(rec.FelonyConvictions, w.FelonyConvictions);
    take(rec.TimesOnProbation, w.TimesOnProbation);
    take(rec.ProbationRevocations, w.ProbationRevocations);
    take(rec.AlcoholConvictions, w.AlcoholConvictions);
    take(rec.TimesOnParole, w.TimesOnParole);
    take(rec.ParoleRevocations, w.ParoleRevocations);
    take(rec.TimesJail, w.TimesJail);
    take(rec.TimesPrison, w.TimesPrison);
    take(rec.YearsJailAndPrison, w.YearsJailAndPrison);
    take(rec.DrugConvictions, w.DrugConvictions);

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

} // namespace

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
    if (trueCount > section1Items * 95 / 100) {
        sc.ScaleScores[Truthfulness].RawScore = 99;
        return;
    }

    AddCourtPoints();
}

void ComputePercentiles()
{
    Scoring& sc = scoring();
    const ScoringData& d = sc.Data;
    ClientValues& w = sc.ClientWork;

    // Only genders 1 and 2 and race groups 1..3 have norms; everyone else is scored on group 1.
    sc.GenderIndex = RoundHalfEven(LeadingNumber(w.Gender));
    if (sc.GenderIndex < 1 || sc.GenderIndex > 2)
        sc.GenderIndex = 1;
    sc.RaceGroup = RoundHalfEven(LeadingNumber(w.Race));
    if (sc.RaceGroup < 1 || sc.RaceGroup > 3)
        sc.RaceGroup = 1;
    const int g = sc.GenderIndex;
    const int r = sc.RaceGroup;

    sc.AlcoholFloorApplied = false;
    sc.DrugFloorApplied = false;

    for (int s = 1; s <= sc.ScaleCountInUse; ++s) {
        ScaleScore& score = sc.ScaleScores[s];
        int p = 99;
        bool fromTable = false;
        if (score.OmittedCount < 4 && score.RawScore <= d.MaxRaw[g][r][s]) {
            if (score.RawScore <= 0) {
                p = 0;
            } else {
                p = d.PercentileTable[s][score.RawScore][r][g];
                fromTable = true;
            }
        }

        if (s >= Alcohol && fromTable) {
            if (score.ScoredItemCount == 1 && p > 28)
                p = 28;
            else if (score.ScoredItemCount == 2 && p > 38)
                p = 38;
        }

        if (s == Truthfulness) {
            score.Percentile = qint16(p);
            int level = 0;
            if (InRange(p, 40, 55))
                level = 1;
            else if (InRange(p, 56, 69))
                level = 2;
            else if (InRange(p, 70, 89))
                level = 3;
            else if (InRange(p, 90, 94))
                level = 4;
            if (level > 0) {
                for (int j = Alcohol; j <= Risk; ++j)
                    if (sc.ScaleScores[j].ScoredItemCount >= 2)
                        sc.ScaleScores[j].RawScore += d.TruthCorrection[j][level];
            }
            if (p > 94) {
                for (int j = Alcohol; j <= Risk; ++j) {
                    sc.ScaleScores[j].Percentile = 99;
                    if (sc.ScaleScores[j].ScoredItemCount >= 2)
                        sc.ScaleScores[j].RawScore += d.TruthCorrection[j][5];
                }
                return;
            }
            continue;
        }

        // Critical-item floors.
        int c = 0;
        auto criticals = [&](int first, int last) {
            for (int k = first; k <= last; ++k)
                if (sc.ItemPoints[d.CriticalItems[k]] > 1)
                    ++c;
        };
        auto atLeast = [&](const QString& value, double n) { return LeadingNumber(value) >= n ? 1 : 0; };
        if (s == Alcohol) {
            criticals(1, 8);
            c += atLeast(w.AlcoholConvictions, 2);
        } else if (s == Drugs) {
            criticals(9, 16);
            c += atLeast(w.DrugConvictions, 2);
        } else {
            criticals(17, 22);
            c += atLeast(w.MisdemeanorConvictions, 3) + atLeast(w.FelonyConvictions, 3)
                + atLeast(w.TimesOnProbation, 2) + atLeast(w.ProbationRevocations, 2)
                + atLeast(w.TimesOnParole, 2) + atLeast(w.ParoleRevocations, 2)
                + atLeast(w.TimesJail, 2) + atLeast(w.TimesPrison, 1);
        }
        if (c == 2 && p < 40)
            p = 40;
        if (c == 3 && p < 69)
            p = 69;
        if (c == 4 && p < 88)
            p = 88;
        if (c >= 5 && p < 92)
            p = 92;

        // Conviction floors.
        if (s == Alcohol || s == Drugs) {
            const double v = LeadingNumber(s == Alcohol ? w.AlcoholConvictions : w.DrugConvictions);
            int floor = 0;
            if (v == 1)
                floor = 40;
            else if (v == 2)
                floor = 61;
            else if (v == 3)
                floor = 72;
            else if (v == 4)
                floor = 80;
            else if (v >= 5)
                floor = 89;
            if (p < floor) {
                p = floor;
                (s == Alcohol ? sc.AlcoholFloorApplied : sc.DrugFloorApplied) = true;
            }
        }
        score.Percentile = qint16(p);
    }
}

ScoringResult WriteReport()
{
    // ScoreAndReport has removed any earlier report, so the file is created anew (O_EXCL):
    // a link or pipe put in its place meanwhile is refused, never written through. A write
    // that fails half-way takes its own partial file away again. The report is confidential:
    // nobody but its owner may read it.
    const QString path = ProgramFile(QString::fromLatin1(ReportFileName));
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = OpenRegularFile(path, O_WRONLY | O_CREAT | O_EXCL, OwnerOnlyMode);
    if (fd < 0)
        return ScoringResult::Failure(QStringLiteral("Cannot write %1: %2").arg(EscapeControls(path), FileErrorText(errno)));
    int err = WriteAllAt(fd, ToAnsi(ComposeReport()), 0);
    if (err == 0 && SyncFile(fd) != 0)
        err = errno;
    if (CloseFile(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlink(encoded.constData());
        return ScoringResult::Failure(QStringLiteral("Cannot write %1: %2").arg(EscapeControls(path), FileErrorText(err)));
    }
    return {};
}

ScoringResult ScoreAndReport()
{
    // Whatever happens below, the report of an earlier client must not be taken for this one.
    // Removing the name removes a link, not the file it points to.
    const QString reportPath = ProgramFile(QString::fromLatin1(ReportFileName));
    if (::unlink(QFile::encodeName(reportPath).constData()) != 0 && errno != ENOENT)
        return ScoringResult::Failure(
            QStringLiteral("Cannot remove the old %1: %2").arg(EscapeControls(reportPath), FileErrorText(errno)));

    const int slot = program().CurrentClient;
    if (slot < 1 || slot > MaxClients)
        return ScoringResult::Failure(QStringLiteral("No client to score: client slot %1 is outside 1..%2")
                                          .arg(slot).arg(MaxClients));

    InitReportTables();
    if (ScoringResult loaded = LoadScoringData(); !loaded)
        return loaded;
    PrepareClientWork();
    ComputeRawScores();
    ComputePercentiles();
    return WriteReport();
}
