#include "tests/scoring/ScoringTestCase.h"

#include "base/Ansi.h"
#include "clients/ClientValidation.h"
#include "tests/support/TestSupport.h"

namespace {

QString Quoted(const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

QString NumberLine(const std::vector<int>& values)
{
    QStringList parts;
    for (int v : values)
        parts.append(QString::number(v));
    return parts.join(QLatin1Char(','));
}

QByteArray CrLfText(const QStringList& lines)
{
    return ToAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

}  // namespace

FixtureData::FixtureData()
{
    SignificantItems = {11, 12, 13, 14, 15, 16, 21, 22, 23, 24, 25, 26, 31, 32, 33, 34, 35, 36};
    CriticalItems = {11, 12, 13, 14, 15, 16, 17, 18, 21, 22, 23, 24, 25, 26, 27, 28, 31, 32, 33, 34, 35, 36};
    Keys[1][0] = QString(60, QLatin1Char('0'));
    Keys[1][1] = QString(60, QLatin1Char('1'));
    Keys[1][2] = QString(60, QLatin1Char('0'));
    Keys[2][0] = QStringLiteral("0000");
    Keys[2][1] = QStringLiteral("0000");
    Keys[2][2] = QStringLiteral("1111");
    Keys[2][3] = QStringLiteral("2222");
    Keys[2][4] = QStringLiteral("3333");
    for (int item = 1; item <= 10; ++item) {
        ScaleItems[1].push_back(item);
        ScaleItems[2].push_back(item + 10);
        ScaleItems[3].push_back(item + 20);
        ScaleItems[4].push_back(item + 30);
    }
    ScaleItems[2].push_back(61);
    ScaleItems[3].push_back(62);
    ScaleItems[4].push_back(63);
    ScaleItems[4].push_back(64);
    for (int g = 1; g <= 2; ++g)
        for (int r = 1; r <= 3; ++r)
            for (int s = 1; s <= 4; ++s) {
                MaxRaw[g][r][s] = s == 4 ? 80 : 30;
                for (int raw = 1; raw <= MaxRaw[g][r][s]; ++raw)
                    Pct[s][raw][r][g] = std::min(99, 3 * raw + r + 10 * (g - 1));
            }
    for (int level = 1; level <= 5; ++level) {
        TruthCorrection[2][level] = level;
        TruthCorrection[3][level] = level + 1;
        TruthCorrection[4][level] = level + 2;
    }

    auto numbered = [this](const char* name, int count) {
        for (int i = 1; i <= count; ++i)
            Labels << QString::fromLatin1(name) + QString::number(i);
    };
    Labels << QStringLiteral("Man") << QStringLiteral("Woman");
    numbered("Race", 6);
    numbered("Edu", 8);
    numbered("Marital", 5);
    Labels << QStringLiteral("TRUTH") << QStringLiteral("ALC") << QStringLiteral("DRG") << QStringLiteral("RSK");
    Labels << QStringLiteral("LOWEST") << QStringLiteral("MIDDLE") << QStringLiteral("HIGHER") << QStringLiteral("TOP");
    numbered("Sig text ", 20);
    numbered("Choice text ", 16);

    const char* const scaleNames[5] = {"", "TRUTH", "ALC", "DRG", "RSK"};
    for (int s = 1; s <= 4; ++s) {
        for (const char* label : {"LOWEST", "MEDIUM-LOW", "MEDIUM-HIGH", "HIGHER", "MAXIMUM-LOW", "MAXIMUM-HIGH"}) {
            Explanation[s]
                << QString::fromLatin1(label)
                << QStringLiteral("%1 %2 first line").arg(QLatin1String(scaleNames[s]), QLatin1String(label))
                << QStringLiteral("%1 %2 second line").arg(QLatin1String(scaleNames[s]), QLatin1String(label))
                << QStringLiteral("END");
        }
    }
    Invalid << QStringLiteral("Invalid line 1") << QStringLiteral("Invalid line 2") << QStringLiteral("END")
            << QStringLiteral("Never printed");
}

QByteArray FixtureData::ScoringFileText() const
{
    QStringList lines;
    lines << QStringLiteral("\"Significant items, alcohol, drugs, risk\"");
    lines << NumberLine({SignificantItems.begin(), SignificantItems.end()});
    lines << QStringLiteral("Answer keys");
    for (int value = 0; value <= 2; ++value)
        lines << Quoted(Keys[1][value]);
    for (int value = 0; value <= 4; ++value)
        lines << Quoted(Keys[2][value]);
    for (int g = 1; g <= 2; ++g)
        for (int r = 1; r <= 3; ++r) {
            lines << QStringLiteral("Norms, gender %1, race %2").arg(g).arg(r);
            for (int s = 1; s <= 4; ++s) {
                lines << QStringLiteral("Scale %1").arg(s);
                lines << QString::number(MaxRaw[g][r][s]);
                std::vector<int> row;
                // A test may set MaxRaw past the table to see it refused; those rows read 0.
                for (int raw = 1; raw <= MaxRaw[g][r][s]; ++raw)
                    row.push_back(raw < int(std::size(Pct[s])) ? Pct[s][raw][r][g] : 0);
                if (!row.empty())
                    lines << NumberLine(row);
            }
        }
    lines << QStringLiteral("Scale items");
    for (int s = 1; s <= 4; ++s) {
        lines << QString::number(ScaleItems[s].size());
        if (!ScaleItems[s].empty())
            lines << NumberLine(ScaleItems[s]);
    }
    lines << QStringLiteral("Critical items");
    lines << NumberLine({CriticalItems.begin(), CriticalItems.end()});
    lines << QStringLiteral("Truthfulness corrections");
    for (int s = 2; s <= 4; ++s)
        lines << NumberLine({TruthCorrection[s][1], TruthCorrection[s][2], TruthCorrection[s][3], TruthCorrection[s][4],
                             TruthCorrection[s][5]});
    return CrLfText(lines);
}

QByteArray FixtureData::LabelFileText() const
{
    QStringList quoted;
    for (const QString& label : Labels)
        quoted << Quoted(label);
    return CrLfText(quoted);
}

void FixtureData::SetKeyPoints(int item, int answer, int points)
{
    const int section = item <= 60 ? 1 : 2;
    const int position = section == 1 ? item : item - 60;
    Keys[section][answer][position - 1] = QChar(QLatin1Char(char('0' + points)));
}

void FixtureData::SetPercentile(int scale, int raw, int percentile)
{
    for (int g = 1; g <= 2; ++g)
        for (int r = 1; r <= 3; ++r)
            Pct[scale][raw][r][g] = percentile;
}

void FixtureData::WriteTo(const QString& folder) const
{
    CHECKED(WriteFileBytes(folder + QStringLiteral("/zepsfb.TXT"), ScoringFileText()));
    CHECKED(WriteFileBytes(folder + QStringLiteral("/zepsfRPT.TXT"), LabelFileText()));
    const char* const names[5] = {"", "ZEPSFVA.TXT", "ZEPSFAL.TXT", "ZEPSFDG.TXT", "ZEPSFRK.TXT"};
    for (int s = 1; s <= 4; ++s)
        CHECKED(WriteFileBytes(folder + QLatin1Char('/') + QLatin1String(names[s]), CrLfText(Explanation[s])));
    CHECKED(WriteFileBytes(folder + QStringLiteral("/ZEPINVAL.TXT"), CrLfText(Invalid)));
}

ClientRecord QuietClient(const QString& name)
{
    ClientRecord r = SampleRecord(name);
    r.Gender = "1";
    r.Race = "1";
    r.Answers = QString(60, QLatin1Char('2')) + QStringLiteral("1111");
    for (int n = 1; n <= 12; ++n)
        SetCourt(r, n, QStringLiteral("0"));
    return r;
}

void SetAnswers(ClientRecord& r, std::initializer_list<int> items, char digit)
{
    QString answers = r.Answers.text();
    for (int item : items)
        answers[item - 1] = QLatin1Char(digit);
    r.Answers = answers;
}

void SetAnswerRange(ClientRecord& r, int first, int last, char digit)
{
    for (int item = first; item <= last; ++item)
        SetAnswers(r, {item}, digit);
}

void SetCourt(ClientRecord& r, int n, const QString& value)
{
    r.*CourtFields[n - 1].Field = value;  // the court fields in record order
}

QStringList ReportLines(const QString& programFolder)
{
    const QString text = FromAnsi(ReadFileBytes(programFolder + QStringLiteral("/REPORT.PRN")));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
