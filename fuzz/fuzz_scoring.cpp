// Scoring three clients with some of the files beside the program taken from the fuzz input
// and the rest from a valid set (fuzz/files). Which files the input replaces is given by the
// build (ZEP_FUZZ_FILES), so this one source makes the harnesses for the scoring data file,
// the label file and the paragraph files.
#include <QDir>
#include <QFile>

#include "base/Ansi.h"
#include "base/InRange.h"
#include "base/Program.h"
#include "fuzz/FuzzSupport.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScoringEngine.h"

namespace {

const QStringList Targets = QStringLiteral(ZEP_FUZZ_FILES).split(QLatin1Char(','));
// Paragraph files are printed as they are; only the data and label files can be refused.
const bool MayBeRefused =
    Targets.first() == QStringLiteral("zepsfb.TXT") || Targets.first() == QStringLiteral("zepsfRPT.TXT");

QByteArray Report() { return ReadBytes(ProgramFile(QString::fromLatin1(ReportFileName))); }

// The third client's report ends with the one-page summary.
SummaryPage Summary(int slot) { return slot == 3 ? SummaryPage::With : SummaryPage::Without; }

// Scores a slot with an earlier client's report in the way, as the program finds it.
ScoringResult Score(int slot)
{
    WriteInput(ProgramFile(QString::fromLatin1(ReportFileName)), "an earlier client's report\r\n");
    program().CurrentClient = qint16(slot);
    return ScoreAndReport(Summary(slot));
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
    for (const QString& name : Targets)
        WriteInput(ProgramFile(name), InputBytes(data, size));

    Program& p = program();
    for (int slot = 1; slot <= 3; ++slot)
        p.ClientTable[slot] = ScoringClient(slot);
    for (int slot = 1; slot <= 3; ++slot) {
        if (const ScoringResult result = Score(slot); !result) {
            REQUIRE(!QFile::exists(ProgramFile(QString::fromLatin1(ReportFileName))));
            REQUIRE(MayBeRefused && result.Message.contains(Targets.first()));
            return 0;
        }
        REQUIRE(Report() == ToAnsi(ComposeReport(Summary(slot))));
        // Whatever the norms say, a percentile stays one the risk ranges and the profile know.
        for (int s = 1; s <= ScaleCount; ++s)
            REQUIRE(InRange(scoring().ScaleScores[s].Percentile, 0, 100));
        // Everything is read anew at each scoring: what the previous input left in scoring()
        // must not show in this report.
        if (slot == 1) {
            const QByteArray report = Report();
            ResetScoring();
            REQUIRE(Score(1) && Report() == report);
        }
    }
    return 0;
}
