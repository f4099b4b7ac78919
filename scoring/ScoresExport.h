#pragma once
// The scores of many clients as data, for a case-management system or a spreadsheet: one row
// per client, as CSV or JSON, from the same engine and data files as the printed report, so
// that nobody types a percentile off a printed page again.
#include <functional>

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include "scoring/ScoringData.h"

enum class ScoresFormat { Csv, Json };

// What an export produced: the whole file, and how many of its rows hold scores.
struct ScoresExport {
    QByteArray Bytes;
    int Exported = 0;   // rows, one per client asked for
    int NotScored = 0;  // rows that say why the client could not be scored
    bool Cancelled = false;
};

// Called before each client; false cancels the export there, and nothing is exported.
using ExportProgress = std::function<bool(int n, int total, int slot)>;

// Scores the clients of program().ClientTable at `chosen`, in the order given, and composes the
// export. Fails, with nothing composed, only when the scoring data cannot be read: a client
// that cannot be scored gets a row that says why, and the rest go on.
ScoringResult ExportScores(const QList<int>& chosen, ScoresFormat format, ScoresExport& result,
                           const ExportProgress& progress = {});

// The format a file name asks for: JSON for ".json", CSV for anything else.
ScoresFormat FormatOfFile(const QString& path);

// "<disk folder>-scores-<yyyy-mm-dd>.csv": the name an export suggests, so that the files of
// several disks and days can lie side by side.
QString SuggestedScoresFileName(const QString& dataDrive, QDate today);

// The names of the export's fields in their order: the CSV's header, the JSON's keys.
QStringList ScoreFieldNames();

// Whether a spreadsheet would take the cell for a formula: it begins with =, +, -, @, a tab or
// a CR, and is not a plain number (so a court value -1 stays a number).
bool LooksLikeFormula(const QString& value);
// The CSV's guard: an apostrophe in front of a value that, after its own leading apostrophes,
// looks like a formula, so a spreadsheet shows it as text. UnguardFormula takes it off again,
// and gives back every value exactly, an apostrophe of its own included.
QString GuardFormula(const QString& value);
QString UnguardFormula(const QString& cell);
