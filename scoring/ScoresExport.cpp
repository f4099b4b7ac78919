#include "scoring/ScoresExport.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "base/Program.h"
#include "clients/ClientValidation.h"
#include "scoring/ScoringEngine.h"

namespace {

// A number is written as a number in JSON and needs no guard in CSV; a flag is true or false.
// A field without a value is empty in CSV and null in JSON.
enum class Kind { Text, Number, Flag };

// One client as the columns read it: the values PrepareClientWork trimmed (with control bytes
// shown as "?", as the report shows them), and the scores when the client could be scored.
struct RowSource {
    int Slot;
    const ClientRecord& Record;
    const Scoring& Sc;
    bool Scored;
    QString Validity;
};

struct Column {
    QString Name;
    Kind Type;
    std::function<QString(const RowSource&)> Value;
};

const char* const ScaleKeys[ScaleCount + 1] = {"", "truthfulness", "alcohol", "drugs", "risk"};
const char* const ScaleNames[ScaleCount + 1] = {"", "Truthfulness", "Alcohol", "Drugs", "Risk"};

QString FlagText(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

// Dates go out as ISO 8601, which every spreadsheet and database reads the same way whatever
// its locale; a stored text that is not a date goes out as it is.
QString IsoDate(const QString& stored)
{
    const QDate date = QDate::fromString(stored, QStringLiteral("MM/dd/yyyy"));
    return date.isValid() ? date.toString(Qt::ISODate) : stored;
}

// "txtAgeAtFirstConviction" -> "age_at_first_conviction".
QString FieldKey(const char* control)
{
    const QString name = QString::fromLatin1(control).mid(3);
    QString key;
    for (QChar c : name) {
        if (c.isUpper() && !key.isEmpty())
            key += QLatin1Char('_');
        key += c.toLower();
    }
    return key;
}

bool NameDeleted(const RowSource& r) { return r.Record.NameDeleted.trimmed() == QLatin1String("1"); }

// A scale the report gives a percentile: the client was scored and the scale not left out for
// its omitted items.
bool ScaleShown(const RowSource& r, int s) { return r.Scored && r.Sc.ScaleScores[s].OmittedCount <= MostOmittedItems; }

QList<Column> MakeColumns()
{
    QList<Column> c;
    auto add = [&](const QString& name, Kind type, std::function<QString(const RowSource&)> value) {
        c.append({name, type, std::move(value)});
    };
    auto text = [](QString ClientValues::*field) {
        return [field](const RowSource& r) { return r.Sc.ClientWork.*field; };
    };
    auto coded = [&](const char* name, QString ClientValues::*field, auto table) {
        add(QStringLiteral("%1_code").arg(QLatin1String(name)), Kind::Number, text(field));
        add(QString::fromLatin1(name), Kind::Text,
            [field, table](const RowSource& r) { return CodeText(r.Sc.Data.*table, r.Sc.ClientWork.*field); });
    };

    add(QStringLiteral("slot"), Kind::Number, [](const RowSource& r) { return QString::number(r.Slot); });
    add(QStringLiteral("id"), Kind::Text, text(&ClientValues::SSN));
    // A scrambled name is not data.
    add(QStringLiteral("name"), Kind::Text,
        [](const RowSource& r) { return NameDeleted(r) ? QString() : r.Sc.ClientWork.Name; });
    add(QStringLiteral("name_deleted"), Kind::Flag, [](const RowSource& r) { return FlagText(NameDeleted(r)); });
    // Age and education are numbers of years, not codes: there is no text to give for them.
    add(QStringLiteral("age"), Kind::Number, text(&ClientValues::Age));
    coded("sex", &ClientValues::Gender, &ScoringData::GenderText);
    coded("race", &ClientValues::Race, &ScoringData::RaceText);
    add(QStringLiteral("education"), Kind::Number, text(&ClientValues::Education));
    coded("marital", &ClientValues::Marital, &ScoringData::MaritalText);
    add(QStringLiteral("date_of_birth"), Kind::Text,
        [](const RowSource& r) { return IsoDate(r.Sc.ClientWork.DateOfBirth); });
    add(QStringLiteral("test_date"), Kind::Text, [](const RowSource& r) { return IsoDate(r.Sc.ClientWork.TestDate); });
    for (int n = 1; n <= CourtFieldCount; ++n)
        add(FieldKey(CourtFields[size_t(n - 1)].Control), Kind::Number,
            [n](const RowSource& r) { return r.Sc.ClientWork.Court(n); });

    for (int s = 1; s <= ScaleCount; ++s) {
        const QString key = QString::fromLatin1(ScaleKeys[s]) + QLatin1Char('_');
        auto score = [s](qint16 ScaleScore::*value) {
            return [s, value](const RowSource& r) {
                return r.Scored ? QString::number(r.Sc.ScaleScores[s].*value) : QString();
            };
        };
        auto shown = [s](std::function<QString(const RowSource& r, int percentile)> of) {
            return [s, of](const RowSource& r) {
                return ScaleShown(r, s) ? of(r, r.Sc.ScaleScores[s].Percentile) : QString();
            };
        };
        add(key + QStringLiteral("raw"), Kind::Number, score(&ScaleScore::RawScore));
        add(key + QStringLiteral("percentile"), Kind::Number,
            shown([](const RowSource&, int p) { return QString::number(p); }));
        add(key + QStringLiteral("range"), Kind::Number,
            shown([](const RowSource&, int p) { return QString::number(RiskRange(p)); }));
        add(key + QStringLiteral("range_name"), Kind::Text,
            shown([](const RowSource& r, int p) { return r.Sc.Data.RiskRangeNames[RiskRange(p)]; }));
        add(key + QStringLiteral("omitted"), Kind::Number, score(&ScaleScore::OmittedCount));
        add(key + QStringLiteral("scored_items"), Kind::Number, score(&ScaleScore::ScoredItemCount));
    }

    add(QStringLiteral("alcohol_floor"), Kind::Flag,
        [](const RowSource& r) { return r.Scored ? FlagText(r.Sc.AlcoholFloorApplied) : QString(); });
    add(QStringLiteral("drug_floor"), Kind::Flag,
        [](const RowSource& r) { return r.Scored ? FlagText(r.Sc.DrugFloorApplied) : QString(); });
    add(QStringLiteral("validity"), Kind::Text, [](const RowSource& r) { return r.Validity; });
    return c;
}

const QList<Column>& Columns()
{
    static const QList<Column> columns = MakeColumns();
    return columns;
}

// Why a test does not count, in the order a reader should hear it; the report tells the same
// by its invalid-test text or its "Scale not scored" lines.
QString Validity(const Scoring& sc, bool answered)
{
    if (!answered)
        return QStringLiteral("answers missing");
    if (sc.TooManyTrue)
        return QStringLiteral("too many True answers");
    QStringList notScored;
    for (int s = 1; s <= ScaleCount; ++s)
        if (sc.ScaleScores[s].OmittedCount > MostOmittedItems)
            notScored.append(QString::fromLatin1(ScaleNames[s]));
    if (!notScored.isEmpty())
        return QStringLiteral("scale not scored: ") + notScored.join(QStringLiteral(", "));
    if (sc.ScaleScores[Truthfulness].Percentile >= UnbelievableTruthfulness)
        return QStringLiteral("Truthfulness percentile 95 or above");
    return QStringLiteral("valid");
}

// A plain number, as a spreadsheet reads one: a sign, ASCII digits, perhaps a decimal part.
bool IsNumber(const QString& v)
{
    static const QRegularExpression number(
        QRegularExpression::anchoredPattern(QStringLiteral("[+-]?[0-9]+(\\.[0-9]+)?")));
    return number.match(v).hasMatch();
}

// Whether a value, after its own leading apostrophes, looks like a formula.
bool GuardedLooksLikeFormula(const QString& v)
{
    qsizetype i = 0;
    while (i < v.size() && v.at(i) == QLatin1Char('\''))
        ++i;
    return LooksLikeFormula(v.mid(i));
}

// RFC 4180: quoted only when the field holds a comma, a quote or a line end, with its quotes
// doubled. A field a spreadsheet would run as a formula gets an apostrophe in front.
QString CsvField(QString v)
{
    v = GuardFormula(v);
    if (v.contains(QLatin1Char(',')) || v.contains(QLatin1Char('"')) || v.contains(QLatin1Char('\r')) ||
        v.contains(QLatin1Char('\n')))
        v = QLatin1Char('"') + v.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return v;
}

QByteArray ComposeCsv(const QList<QStringList>& rows)
{
    QString out = ScoreFieldNames().join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& v : row)
            fields.append(CsvField(v));
        out += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

QJsonValue JsonValue(const QString& v, Kind type)
{
    if (v.isEmpty())
        return QJsonValue::Null;
    bool isInt = false;
    const int n = v.toInt(&isInt);
    if (type == Kind::Number && isInt)
        return n;
    if (type == Kind::Flag)
        return v == QLatin1String("true");
    return v;  // a court value "N", or a number field an old disk filled with something else
}

QByteArray ComposeJson(const QList<QStringList>& rows)
{
    const QList<Column>& columns = Columns();
    QJsonArray clients;
    for (const QStringList& row : rows) {
        QJsonObject client;
        for (qsizetype i = 0; i < columns.size(); ++i)
            client.insert(columns.at(i).Name, JsonValue(row.at(i), columns.at(i).Type));
        clients.append(client);
    }
    return QJsonDocument(clients).toJson(QJsonDocument::Indented);
}

}  // namespace

QString SuggestedScoresFileName(const QString& dataDrive, QDate today)
{
    QString disk = QFileInfo(QDir::cleanPath(dataDrive)).fileName();
    for (QChar& c : disk)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    if (disk.isEmpty())
        disk = QStringLiteral("zep");
    return QStringLiteral("%1-scores-%2.csv").arg(disk, today.toString(Qt::ISODate));
}

QStringList ScoreFieldNames()
{
    QStringList names;
    for (const Column& column : Columns())
        names.append(column.Name);
    return names;
}

bool LooksLikeFormula(const QString& value)
{
    return !value.isEmpty() && QStringLiteral("=+-@\t\r").contains(value.front()) && !IsNumber(value);
}

QString GuardFormula(const QString& value)
{
    return GuardedLooksLikeFormula(value) ? QLatin1Char('\'') + value : value;
}

QString UnguardFormula(const QString& cell)
{
    return cell.startsWith(QLatin1Char('\'')) && GuardedLooksLikeFormula(cell) ? cell.mid(1) : cell;
}

ScoresFormat FormatOfFile(const QString& path)
{
    return path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) ? ScoresFormat::Json : ScoresFormat::Csv;
}

ScoringResult ExportScores(const QList<int>& chosen, ScoresFormat format, ScoresExport& result,
                           const ExportProgress& progress)
{
    result = ScoresExport{};
    Program& p = program();
    for (int slot : chosen)
        if (slot < 1 || slot > p.ClientCount)
            return ScoringResult::Failure(
                QStringLiteral("No client in slot %1: the disk holds clients 1..%2").arg(slot).arg(p.ClientCount));

    // The data files are read once for the whole export, not once a client as a report does.
    InitReportTables();
    if (ScoringResult loaded = LoadScoringData(scoring().Data); !loaded)
        return loaded;

    const qint16 current = p.CurrentClient;
    const int total = int(chosen.size());
    QList<QStringList> rows;
    for (int k = 1; k <= total; ++k) {
        const int slot = chosen.at(k - 1);
        if (progress && !progress(k, total, slot)) {
            p.CurrentClient = current;
            result = ScoresExport{};
            result.Cancelled = true;
            return {};
        }
        p.CurrentClient = qint16(slot);
        PrepareClientWork();
        Scoring& sc = scoring();
        const bool answered = std::any_of(sc.Answers.begin() + 1, sc.Answers.end(), [](int a) { return a != 0; });
        if (answered) {
            ComputeRawScores();
            ComputePercentiles();
        }
        const RowSource source{slot, p.ClientTable[slot], sc, answered, Validity(sc, answered)};
        QStringList row;
        for (const Column& column : Columns())
            row.append(column.Value(source));
        rows.append(row);
        if (!answered)
            ++result.NotScored;
    }
    p.CurrentClient = current;
    result.Exported = total;
    result.Bytes = format == ScoresFormat::Json ? ComposeJson(rows) : ComposeCsv(rows);
    return {};
}
