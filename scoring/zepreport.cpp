// zepreport: writes REPORT.PRN for one client of a client data file, exactly as the
// program would, for offices that batch their reports and for checking the report layout.
//
//   zepreport [--summary] [--folder DIR] DATAFILE SLOT
#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include "base/ClientRecord.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "scoring/ReportWriter.h"

namespace {

// Far more than the 51 records the program holds; a larger file is not a data file.
constexpr qint64 MaxDataFileBytes = 16 << 20;

void PrintLine(FILE* stream, const QString& text) { std::fprintf(stream, "%s\n", text.toLocal8Bit().constData()); }

int Fail(const QString& message)
{
    // No report may stay behind for a call that did not produce one.
    ::unlink(QFile::encodeName(ProgramFile(QString::fromLatin1(ReportFileName))).constData());
    PrintLine(stderr, QStringLiteral("zepreport: ") + message);
    return 1;
}

int Usage(const QString& problem)
{
    PrintLine(stderr,
              QStringLiteral("zepreport: %1; usage: zepreport [--summary] [--folder DIR] DATAFILE SLOT").arg(problem));
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    bool summary = false;
    QString folder = QCoreApplication::applicationDirPath();
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--summary")) {
            summary = true;
        } else if (a == QLatin1String("--folder")) {
            if (i + 1 >= args.size())
                return Usage(QStringLiteral("--folder needs a folder"));
            folder = args.at(++i);
        } else if (a.startsWith(QLatin1String("--"))) {
            return Usage(QStringLiteral("unknown option %1").arg(EscapeControls(a)));
        } else {
            positional.append(a);
        }
    }
    if (positional.size() != 2)
        return Usage(QStringLiteral("expected DATAFILE and SLOT"));

    ResetProgram();
    SetStartUpDefaults(folder);
    Program& p = program();

    const QString dataFile = positional.at(0);
    bool slotIsNumber = false;
    const int slot = positional.at(1).toInt(&slotIsNumber);

    // A pipe or device given as the data file is refused rather than waited on.
    QByteArray bytes;
    if (const int err = ReadRegularFile(dataFile, MaxDataFileBytes, bytes); err != 0)
        return Fail(QStringLiteral("Cannot read %1: %2").arg(EscapeControls(dataFile), FileErrorText(err)));

    const int records = int(bytes.size() / RecordLength);
    const int loaded = std::min(records, MaxClients);
    if (!slotIsNumber || slot < 1 || slot > loaded)
        return Fail(QStringLiteral("%1: slot %2 is outside 1..%3 (the file holds %4 records)")
                        .arg(EscapeControls(dataFile), EscapeControls(positional.at(1)))
                        .arg(loaded)
                        .arg(records));

    for (int n = 1; n <= loaded; ++n)
        p.ClientTable[n] = RecordFromBytes(bytes.constData() + qsizetype(n - 1) * RecordLength);
    p.ClientCount = qint16(loaded);
    p.CurrentClient = qint16(slot);

    const ScoringResult result = ScoreAndReport(summary ? SummaryPage::With : SummaryPage::Without);
    if (!result)
        return Fail(result.Message);
    return 0;
}
