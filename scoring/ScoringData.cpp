// Reading the scoring data file, the label file and the paragraph files. Each file is read
// whole and checked as it is read: a file that would make the scoring index outside its
// tables, or silently score with missing data, stops the scoring with a message instead.
#include <QDir>

#include "base/Ansi.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "scoring/DataFileReader.h"
#include "scoring/ScoringData.h"

namespace {

struct DataFileError {
    QString Message;
};

QString ShownPath(const QString& path) { return EscapeControls(QDir::toNativeSeparators(path)); }

// The largest of these files is a few kilobytes.
constexpr qint64 MaxDataFileBytes = 16 << 20;

QString ReadWholeFile(const QString& path)
{
    QByteArray bytes;
    if (const int err = ReadRegularFile(path, MaxDataFileBytes, bytes); err != 0)
        throw DataFileError{QStringLiteral("Cannot read %1: %2").arg(ShownPath(path), FileErrorText(err))};
    return FromAnsi(bytes);
}

// Reads the fields of one data file and says which file and line is wrong. What a field is
// ("percentile for raw score 3 of ...") is put into words only when it is wrong: a scoring
// reads several hundred fields, and a message is needed for one at most.
class FieldSource {
public:
    FieldSource(const QString& text, const QString& path) : path_(path), reader_(text) {}

    template <typename What>
    void Heading(What what)
    {
        QString line;
        if (!reader_.ReadLine(line))
            Fail(QStringLiteral("too few fields: the file ends before the heading of %1").arg(what()));
    }

    template <typename What>
    QString Text(What what)
    {
        QString field;
        if (!reader_.ReadField(field))
            Fail(QStringLiteral("too few fields: the file ends before %1").arg(what()));
        return field;
    }

    template <typename What>
    int Number(int low, int high, What what)
    {
        const QString field = Text(what);
        const int line = reader_.FieldLine();
        bool whole = false;
        const int value = WholeNumber(field, whole);
        if (!whole)
            Fail(QStringLiteral("\"%1\" is not a whole number (%2)").arg(EscapeControls(field), what()), line);
        if (value < low || value > high)
            Fail(QStringLiteral("%1 is %2, outside %3..%4").arg(what()).arg(value).arg(low).arg(high), line);
        return value;
    }

    [[noreturn]] void Fail(const QString& problem, int line = 0) const
    {
        const QString where =
            line > 0 ? QStringLiteral("%1, line %2").arg(ShownPath(path_)).arg(line) : ShownPath(path_);
        throw DataFileError{where + QStringLiteral(": ") + problem};
    }

private:
    // An optional sign and one to six digits, nothing else.
    static int WholeNumber(const QString& field, bool& whole)
    {
        qsizetype i = !field.isEmpty() && (field[0] == QLatin1Char('+') || field[0] == QLatin1Char('-')) ? 1 : 0;
        const qsizetype digits = field.size() - i;
        whole = digits >= 1 && digits <= 6;
        int value = 0;
        for (; whole && i < field.size(); ++i) {
            const char16_t c = field[i].unicode();
            whole = c >= u'0' && c <= u'9';
            value = value * 10 + (c - u'0');
        }
        return field.startsWith(QLatin1Char('-')) ? -value : value;
    }

    QString path_;
    DataFileReader reader_;
};

const char* const ScaleNames[ScaleCount + 1] = {"", "Truthfulness", "Alcohol", "Drugs", "Risk"};

void ReadScoringFile(ScoringData& d, const QString& text, const QString& path)
{
    FieldSource in(text, path);

    in.Heading([] { return QStringLiteral("the significant items"); });
    for (int k = 1; k <= SignificantItemCount; ++k)
        d.SignificantItems[k] = in.Number(1, 64, [k] { return QStringLiteral("significant item %1").arg(k); });

    in.Heading([] { return QStringLiteral("the answer keys"); });
    for (int value = 0; value <= 2; ++value)
        d.AnswerKey[1][value] =
            in.Text([value] { return QStringLiteral("the section 1 key for answer %1").arg(value); });
    for (int value = 0; value <= 4; ++value)
        d.AnswerKey[2][value] =
            in.Text([value] { return QStringLiteral("the section 2 key for answer %1").arg(value); });

    for (int g = 1; g <= 2; ++g) {
        for (int r = 1; r <= 3; ++r) {
            in.Heading([g, r] { return QStringLiteral("the norms of gender %1, race group %2").arg(g).arg(r); });
            for (int s = 1; s <= ScaleCount; ++s) {
                const auto table = [g, r, s] {
                    return QStringLiteral("gender %1, race group %2, scale %3").arg(g).arg(r).arg(s);
                };
                in.Heading([&] { return QStringLiteral("the norms of ") + table(); });
                const int maxRaw = in.Number(0, MaxTableRaw, [&] { return QStringLiteral("MaxRaw of ") + table(); });
                d.MaxRaw[g][r][s] = maxRaw;
                for (int raw = 1; raw <= maxRaw; ++raw)
                    d.PercentileTable[s][raw][r][g] = in.Number(0, 100, [&] {
                        return QStringLiteral("percentile for raw score %1 of %2").arg(raw).arg(table());
                    });
            }
        }
    }

    in.Heading([] { return QStringLiteral("the scale items"); });
    for (int s = 1; s <= ScaleCount; ++s) {
        const int count = in.Number(
            0, MaxScaleItems, [s] { return QStringLiteral("item count of scale %1 (%2)").arg(s).arg(ScaleNames[s]); });
        d.ScaleItems[s][0] = count;
        for (int k = 1; k <= count; ++k)
            d.ScaleItems[s][k] = in.Number(
                1, 64, [k, s] { return QStringLiteral("item %1 of scale %2 (%3)").arg(k).arg(s).arg(ScaleNames[s]); });
    }

    in.Heading([] { return QStringLiteral("the critical items"); });
    for (int k = 1; k <= CriticalItemCount; ++k)
        d.CriticalItems[k] = in.Number(1, 64, [k] { return QStringLiteral("critical item %1").arg(k); });

    in.Heading([] { return QStringLiteral("the truthfulness corrections"); });
    for (int s = 2; s <= ScaleCount; ++s)
        for (int level = 1; level <= 5; ++level)
            d.TruthCorrection[s][level] = in.Number(-999, 999, [s, level] {
                return QStringLiteral("truthfulness correction of scale %1, level %2").arg(s).arg(level);
            });
}

void ReadLabelFile(ScoringData& d, const QString& text, const QString& path)
{
    FieldSource in(text, path);
    // Each table of texts in the file's order: its words, its first code and its last.
    const auto read = [&in](const char* what, auto& table, int last) {
        for (int code = 1; code <= last; ++code)
            table[code] = in.Text([what, code] { return QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(code); });
    };
    read("gender text", d.GenderText, 2);
    read("race text", d.RaceText, 6);
    read("education text", d.EducationText, 8);
    read("marital text", d.MaritalText, 5);
    read("scale title", d.ScaleTitles, ScaleCount);
    read("risk range name", d.RiskRangeNames, 4);
    read("significant item text", d.SignificantItemTexts, SignificantTextCount);
    read("choice text", d.ChoiceTexts, ChoiceTextCount);
}

template <typename Read>
ScoringResult Catching(Read read)
{
    try {
        read();
    } catch (const DataFileError& e) {
        return ScoringResult::Failure(e.Message);
    }
    return {};
}

}  // namespace

ScoringResult ReadScoringText(ScoringData& data, const QString& text, const QString& path)
{
    return Catching([&] { ReadScoringFile(data, text, path); });
}

ScoringResult ReadLabelText(ScoringData& data, const QString& text, const QString& path)
{
    return Catching([&] { ReadLabelFile(data, text, path); });
}

ScoringResult LoadScoringData(ScoringData& d)
{
    try {
        const QString scoringFile = SuppliedFile(QStringLiteral("zepsfb.TXT"));
        ReadScoringFile(d, ReadWholeFile(scoringFile), scoringFile);
        const QString labelFile = SuppliedFile(QStringLiteral("zepsfRPT.TXT"));
        ReadLabelFile(d, ReadWholeFile(labelFile), labelFile);
        const char* const explanationNames[ScaleCount + 1] = {"", "ZEPSFVA.TXT", "ZEPSFAL.TXT", "ZEPSFDG.TXT",
                                                              "ZEPSFRK.TXT"};
        // The paragraph files are read here rather than while writing, so that a missing
        // one is found before anything is written, whichever paragraphs this client needs.
        for (int s = 1; s <= ScaleCount; ++s) {
            d.ExplanationFiles[s] = SuppliedFile(QString::fromLatin1(explanationNames[s]));
            d.ExplanationLines[s] = SplitLines(ReadWholeFile(d.ExplanationFiles[s]));
        }
        d.InvalidTextLines = SplitLines(ReadWholeFile(SuppliedFile(QStringLiteral("ZEPINVAL.TXT"))));
    } catch (const DataFileError& e) {
        return ScoringResult::Failure(e.Message);
    }
    return {};
}
