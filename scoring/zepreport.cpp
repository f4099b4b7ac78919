// zepreport: writes REPORT.PRN for one client of a client data file, exactly as the
// program would, for offices that batch their reports and for checking the report layout;
// or, with --scores, every client's scores as CSV or JSON for a case-management system.
//
//   zepreport [--summary] [--folder DIR] DATAFILE SLOT
//   zepreport --scores [--format csv|json] [--output FILE] [--folder DIR] DATAFILE [SLOT...]
//
// Exit status: 0 done; 1 nothing written (a file could not be read or written); 2 a wrong
// command line; 3 (--scores) written, but at least one client could not be scored.
#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include "base/ClientRecord.h"
#include "base/Program.h"
#include "base/ProgramFolders.h"
#include "base/RegularFile.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScoresExport.h"

namespace {

// Far more than the 51 records the program holds; a larger file is not a data file.
constexpr qint64 MaxDataFileBytes = 16 << 20;
constexpr int SomeNotScored = 3;

void PrintLine(FILE* stream, const QString& text) { std::fprintf(stream, "%s\n", text.toLocal8Bit().constData()); }

int Fail(const QString& message)
{
    PrintLine(stderr, QStringLiteral("zepreport: ") + message);
    return 1;
}

// No report may stay behind for a call that did not produce one.
int FailReport(const QString& message)
{
    ::unlink(QFile::encodeName(StateFile(QString::fromLatin1(ReportFileName))).constData());
    return Fail(message);
}

int Usage(const QString& problem)
{
    // One line, like every message of the tool.
    PrintLine(stderr, QStringLiteral("zepreport: %1; usage: zepreport [--summary] [--folder DIR] DATAFILE SLOT, or "
                                     "zepreport --scores [--format csv|json] [--output FILE] [--folder DIR] "
                                     "DATAFILE [SLOT...]")
                          .arg(problem));
    return 2;
}

struct Options {
    bool Summary = false;
    bool Scores = false;
    QString Format;
    QString Output;
    QString Folder;
    QStringList Positional;
};

// The data file's clients into the client table; false, with the reason, when it cannot be read.
bool LoadClients(const QString& dataFile, int& records, QString& problem)
{
    // A pipe or device given as the data file is refused rather than waited on.
    QByteArray bytes;
    if (const int err = ReadRegularFile(dataFile, MaxDataFileBytes, bytes); err != 0) {
        problem = QStringLiteral("Cannot read %1: %2").arg(EscapeControls(dataFile), FileErrorText(err));
        return false;
    }
    Program& p = program();
    records = int(bytes.size() / RecordLength);
    const int loaded = std::min(records, MaxClients);
    for (int n = 1; n <= loaded; ++n)
        p.ClientTable[n] = RecordFromBytes(bytes.constData() + qsizetype(n - 1) * RecordLength);
    p.ClientCount = qint16(loaded);
    return true;
}

// A slot argument within the clients loaded, or 0.
int SlotOf(const QString& arg)
{
    bool isNumber = false;
    const int slot = arg.toInt(&isNumber);
    return isNumber && slot >= 1 && slot <= program().ClientCount ? slot : 0;
}

QString SlotProblem(const QString& dataFile, const QString& arg, int records)
{
    return QStringLiteral("%1: slot %2 is outside 1..%3 (the file holds %4 records)")
        .arg(EscapeControls(dataFile), EscapeControls(arg))
        .arg(program().ClientCount)
        .arg(records);
}

int Report(const Options& o)
{
    if (o.Positional.size() != 2)
        return Usage(QStringLiteral("expected DATAFILE and SLOT"));
    const QString& dataFile = o.Positional.at(0);
    int records = 0;
    QString problem;
    if (!LoadClients(dataFile, records, problem))
        return FailReport(problem);
    const int slot = SlotOf(o.Positional.at(1));
    if (slot == 0)
        return FailReport(SlotProblem(dataFile, o.Positional.at(1), records));
    program().CurrentClient = qint16(slot);
    const ScoringResult result = ScoreAndReport(o.Summary ? SummaryPage::With : SummaryPage::Without);
    if (!result)
        return FailReport(result.Message);
    return 0;
}

int Scores(const Options& o)
{
    if (o.Positional.isEmpty())
        return Usage(QStringLiteral("expected DATAFILE"));
    ScoresFormat format = ScoresFormat::Csv;
    if (o.Format == QLatin1String("json"))
        format = ScoresFormat::Json;
    else if (!o.Format.isEmpty() && o.Format != QLatin1String("csv"))
        return Usage(QStringLiteral("--format must be csv or json, not %1").arg(EscapeControls(o.Format)));

    const QString& dataFile = o.Positional.at(0);
    int records = 0;
    QString problem;
    if (!LoadClients(dataFile, records, problem))
        return Fail(problem);
    QList<int> chosen;
    for (qsizetype i = 1; i < o.Positional.size(); ++i) {
        const int slot = SlotOf(o.Positional.at(i));
        if (slot == 0)
            return Fail(SlotProblem(dataFile, o.Positional.at(i), records));
        chosen.append(slot);
    }
    if (chosen.isEmpty())
        for (int slot = 1; slot <= program().ClientCount; ++slot)
            chosen.append(slot);

    ScoresExport result;
    if (const ScoringResult scored = ExportScores(chosen, format, result); !scored)
        return Fail(scored.Message);

    // A file is staged beside its place and renamed, so it is whole or absent; it names
    // clients, so nobody but its owner may read it.
    if (!o.Output.isEmpty()) {
        if (const int err = ReplaceFile(o.Output, result.Bytes, FileAccess::OwnerOnly); err != 0)
            return Fail(QStringLiteral("Cannot write %1: %2").arg(EscapeControls(o.Output), FileErrorText(err)));
    } else if (std::fwrite(result.Bytes.constData(), 1, size_t(result.Bytes.size()), stdout) !=
                   size_t(result.Bytes.size()) ||
               std::fflush(stdout) != 0) {
        return Fail(QStringLiteral("Cannot write the scores to standard output: %1").arg(FileErrorText(errno)));
    }
    if (result.NotScored > 0) {
        PrintLine(stderr, QStringLiteral("zepreport: %1 of %2 clients could not be scored; their rows say why")
                              .arg(result.NotScored)
                              .arg(result.Exported));
        return SomeNotScored;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    Options o;
    o.Folder = QCoreApplication::applicationDirPath();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const struct {
            const char* Option;
            const char* Needs;
            QString* Value;
        } valued[] = {{"--folder", "a folder", &o.Folder},
                      {"--format", "csv or json", &o.Format},
                      {"--output", "a file", &o.Output}};
        const auto* option = std::find_if(std::begin(valued), std::end(valued),
                                          [&](const auto& v) { return a == QLatin1String(v.Option); });
        if (option != std::end(valued)) {
            if (i + 1 >= args.size())
                return Usage(QStringLiteral("%1 needs %2").arg(a, QLatin1String(option->Needs)));
            *option->Value = args.at(++i);
        } else if (a == QLatin1String("--summary")) {
            o.Summary = true;
        } else if (a == QLatin1String("--scores")) {
            o.Scores = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return Usage(QStringLiteral("unknown option %1").arg(EscapeControls(a)));
        } else {
            o.Positional.append(a);
        }
    }
    if (o.Scores && o.Summary)
        return Usage(QStringLiteral("--summary belongs to a report, not to --scores"));
    if (!o.Scores && !(o.Format.isEmpty() && o.Output.isEmpty()))
        return Usage(QStringLiteral("--format and --output belong to --scores"));

    ResetProgram();
    SetStartUpDefaults(o.Folder);
    // Installed, it reads its files where they were installed and writes REPORT.PRN for the user.
    if (const QString problem = UseFoldersOfProgram(); !problem.isEmpty())
        return Fail(problem);
    return o.Scores ? Scores(o) : Report(o);
}
