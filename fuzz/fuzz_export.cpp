// One client record from the fuzz input, bytes as an old or hostile disk may hold them,
// scored with a valid set of supplied files and exported both ways: the CSV must read back,
// by the strict rules of RFC 4180, into the header's fields with no cell a spreadsheet would
// run as a formula, and give the values the JSON gives.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "base/Program.h"
#include "fuzz/FuzzSupport.h"
#include "scoring/ScoresExport.h"

namespace {

// The rows of a CSV text; false when it breaks a rule of RFC 4180.
bool ParseCsv(const QString& t, QList<QStringList>& rows)
{
    QStringList row;
    qsizetype i = 0;
    while (i < t.size()) {
        QString field;
        if (t.at(i) == QLatin1Char('"')) {
            for (++i;; ++i) {
                if (i >= t.size())
                    return false;
                if (t.at(i) == QLatin1Char('"')) {
                    if (i + 1 < t.size() && t.at(i + 1) == QLatin1Char('"')) {
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                }
                field += t.at(i);
            }
        } else {
            while (i < t.size() && !QStringLiteral(",\"\r\n").contains(t.at(i)))
                field += t.at(i++);
        }
        row.append(field);
        if (i < t.size() && t.at(i) == QLatin1Char(',')) {
            ++i;
        } else if (t.mid(i, 2) == QLatin1String("\r\n")) {
            rows.append(row);
            row.clear();
            i += 2;
        } else {
            return false;
        }
    }
    return row.isEmpty();
}

bool SameValue(QString cell, const QJsonValue& v)
{
    cell = UnguardFormula(cell);
    if (v.isNull())
        return cell.isEmpty();
    if (v.isBool())
        return cell == (v.toBool() ? QLatin1String("true") : QLatin1String("false"));
    if (v.isDouble())
        return cell.toInt() == v.toInt();  // "+3" in the record is the number 3
    return cell == v.toString();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareRun();
    CopyFilesToProgramFolder(QStringLiteral(ZEP_FUZZ_VALID_FILES));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrepareRun();
    Program& p = program();
    p.ClientTable[1] = RecordFromBytes(RecordInput(data, size).constData());
    p.ClientCount = 1;

    ScoresExport csv, json;
    REQUIRE(ExportScores({1}, ScoresFormat::Csv, csv) && ExportScores({1}, ScoresFormat::Json, json));
    QList<QStringList> rows;
    const QStringList header = ScoreFieldNames();
    REQUIRE(ParseCsv(QString::fromUtf8(csv.Bytes), rows));
    REQUIRE(rows.size() == 2 && rows[0] == header && rows[1].size() == header.size());
    QJsonParseError error;
    const QJsonArray clients = QJsonDocument::fromJson(json.Bytes, &error).array();
    REQUIRE(error.error == QJsonParseError::NoError && clients.size() == 1);
    const QJsonObject client = clients.at(0).toObject();
    REQUIRE(client.size() == header.size());
    for (qsizetype c = 0; c < header.size(); ++c) {
        REQUIRE(!LooksLikeFormula(rows[1][c]));
        REQUIRE(SameValue(rows[1][c], client.value(header[c])));
    }
    return 0;
}
