// Reading the scoring data file, the label file and the paragraph files. Each file is read
// whole and checked as it is read: a file that would make the scoring index outside its
// tables, or silently score with missing data, stops the scoring with a message instead.
#include <QDir>
#include <QRegularExpression>

#include "app/Program.h"
#include "clients/Ansi.h"
#include "clients/RegularFile.h"
#include "scoring/DataFileReader.h"
#include "scoring/ScoreAndPrint.h"

namespace {

struct DataFileError {
    QString Message;
};

QString ShownPath(const QString& path)
{
    return EscapeControls(QDir::toNativeSeparators(path));
}

// The largest of these files is a few kilobytes.
constexpr qint64 MaxDataFileBytes = 16 << 20;

QString ReadWholeFile(const QString& path)
{
    QByteArray bytes;
    if (const int err = ReadRegularFile(path, MaxDataFileBytes, bytes); err != 0)
        throw DataFileError{QStringLiteral("Cannot read %1: %2").arg(ShownPath(path), FileErrorText(err))};
    return FromAnsi(bytes);
}

// Reads the fields of one data file and says which file and line is wrong.
class FieldSource {
public:
    explicit FieldSource(const QString& path) : path_(path), reader_(ReadWholeFile(path)) {}

    void Heading(const QString& what)
    {
        QString line;
        if (!reader_.ReadLine(line))
            Fail(QStringLiteral("too few fields: the file ends before the heading of %1").arg(what));
    }

    QString Text(const QString& what)
    {
        QString field;
        if (!reader_.ReadField(field))
            Fail(QStringLiteral("too few fields: the file ends before %1").arg(what));
        return field;
    }

    int Number(const QString& what, int low, int high)
    {
        static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]{1,6}$"));
        const QString field = Text(what);
        const int line = reader_.FieldLine();
        if (!wholeNumber.match(field).hasMatch())
            Fail(QStringLiteral("\"%1\" is not a whole number (%2)").arg(EscapeControls(field), what), line);
        const int value = field.toInt();
        if (value < low || value > high)
            Fail(QStringLiteral("%1 is %2, outside %3..%4").arg(what).arg(value).arg(low).arg(high), line);
        return value;
    }

    [[noreturn]] void Fail(const QString& problem, int line = 0) const
    {
        const QString where = line > 0 ? QStringLiteral("%1, line %2").arg(ShownPath(path_)).arg(line)
                                       : ShownPath(path_);
        throw DataFileError{where + QStringLiteral(": ") + problem};
    }

private:
    QString path_;
    DataFileReader reader_;
};

const char* const ScaleNames[ScaleCount + 1] = {"", "Truthfulness", "Alcohol", "Drugs", "Risk"};

void ReadScoringFile(ScoringData& d)
{
    FieldSource in(ProgramFile(QStringLiteral("zepsfb.TXT")));

    in.Heading(QStringLiteral("the significant items"));
    for (int k = 1; k <= SignificantItemCount; ++k)
        d.SignificantItems[k] = in.Number(QStringLiteral("significant item %1").arg(k), 1, 64);

    in.Heading(QStringLiteral("the answer keys"));
    for (int value = 0; value <= 2; ++value)
        d.AnswerKey[1][value] = in.Text(QStringLiteral("the section 1 key for answer %1").arg(value));
    for (int value = 0; value <= 4; ++value)
        d.AnswerKey[2][value] = in.Text(QStringLiteral("the section 2 key for answer %1").arg(value));

    for (int g = 1; g <= 2; ++g) {
        for (int r = 1; r <= 3; ++r) {
            in.Heading(QStringLiteral("the norms of gender %1, race group %2").arg(g).arg(r));
            for (int s = 1; s <= ScaleCount; ++s) {
                const QString table = QStringLiteral("gender %1, race group %2, scale %3").arg(g).arg(r).arg(s);
                in.Heading(QStringLiteral("the norms of ") + table);
                const int maxRaw = in.Number(QStringLiteral("MaxRaw of ") + table, 0, MaxTableRaw);
                d.MaxRaw[g][r][s] = maxRaw;
                for (int raw = 1; raw <= maxRaw; ++raw)
                    d.PercentileTable[s][raw][r][g] = in.Number(
                        QStringLiteral("percentile for raw score %1 of %2").arg(raw).arg(table), 0, 100);
            }
        }
    }

    in.Heading(QStringLiteral("the scale items"));
    for (int s = 1; s <= ScaleCount; ++s) {
        const int count = in.Number(QStringLiteral("item count of scale %1 (%2)").arg(s).arg(ScaleNames[s]),
                                    0, MaxScaleItems);
        d.ScaleItems[s][0] = count;
        for (int k = 1; k <= count; ++k)
            d.ScaleItems[s][k] = in.Number(QStringLiteral("item %1 of scale %2 (%3)").arg(k).arg(s).arg(ScaleNames[s]),
                                           1, 64);
    }

    in.Heading(QStringLiteral("the critical items"));
    for (int k = 1; k <= CriticalItemCount; ++k)
        d.CriticalItems[k] = in.Number(QStringLiteral("critical item %1").arg(k), 1, 64);

    in.Heading(QStringLiteral("the truthfulness corrections"));
    for (int s = 2; s <= ScaleCount; ++s)
        for (int level = 1; level <= 5; ++level)
            d.TruthCorrection[s][level] = in.Number(
                QStringLiteral("truthfulness correction of scale %1, level %2").arg(s).arg(level), -999, 999);
}

void ReadLabelFile(ScoringData& d)
{
    FieldSource in(ProgramFile(QStringLiteral("zepsfRPT.TXT")));
    for (int code = 1; code <= 2; ++code)
        d.GenderText[code] = in.Text(QStringLiteral("gender text %1").arg(code));
    for (int code = 1; code <= 6; ++code)
        d.RaceText[code] = in.Text(QStringLiteral("race text %1").arg(code));
    for (int code = 1; code <= 8; ++code)
        d.EducationText[code] = in.Text(QStringLiteral("education text %1").arg(code));
    for (int code = 1; code <= 5; ++code)
        d.MaritalText[code] = in.Text(QStringLiteral("marital text %1").arg(code));
    for (int s = 1; s <= ScaleCount; ++s)
        d.ScaleTitles[s] = in.Text(QStringLiteral("scale title %1").arg(s));
    for (int range = 1; range <= 4; ++range)
        d.RiskRangeNames[range] = in.Text(QStringLiteral("risk range name %1").arg(range));
    for (int k = 1; k <= SignificantTextCount; ++k)
        d.SignificantItemTexts[k] = in.Text(QStringLiteral("significant item text %1").arg(k));
    for (int k = 1; k <= ChoiceTextCount; ++k)
        d.ChoiceTexts[k] = in.Text(QStringLiteral("choice text %1").arg(k));
}

} // namespace

ScoringResult LoadScoringData()
{
    ScoringData& d = scoring().Data;
    try {
        ReadScoringFile(d);
        ReadLabelFile(d);
        const char* const explanationNames[ScaleCount + 1] = {
            "", "ZEPSFVA.TXT", "ZEPSFAL.TXT", "ZEPSFDG.TXT", "ZEPSFRK.TXT"};
        // The paragraph files are read here rather than while writing, so that a missing
        // one is found before anything is written, whichever paragraphs this client needs.
        for (int s = 1; s <= ScaleCount; ++s) {
            d.ExplanationFiles[s] = ProgramFile(QString::fromLatin1(explanationNames[s]));
            d.ExplanationLines[s] = SplitLines(ReadWholeFile(d.ExplanationFiles[s]));
        }
        d.InvalidTextLines = SplitLines(ReadWholeFile(ProgramFile(QStringLiteral("ZEPINVAL.TXT"))));
    } catch (const DataFileError& e) {
        return ScoringResult::Failure(e.Message);
    }
    return {};
}
