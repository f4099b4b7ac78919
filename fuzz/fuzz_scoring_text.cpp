// One of the scoring's text files from the fuzz input, read in memory by the reader the
// scoring uses once it has read the file, then three clients scored and their reports
// composed, all without touching the disk (fuzz_scoring goes through the files, slowly).
// Which file the input is, is given by the build (ZEP_FUZZ_TARGET: scoringdata, labels or
// paragraphs).
#include <QDir>

#include "base/Ansi.h"
#include "base/InRange.h"
#include "base/Program.h"
#include "fuzz/FuzzSupport.h"
#include "scoring/DataFileReader.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScoringEngine.h"

namespace {

const QString Target = QStringLiteral(ZEP_FUZZ_TARGET);
ScoringData Valid;  // every file read from fuzz/files
// The same, but with the tables the input replaces as a fresh program has them before its
// first scoring.
ScoringData Fresh;
ClientRecord Clients[4];  // slots 1 to 3

// The input read over `d`; false when the reader refused it (and said which file).
bool Read(ScoringData& d, const QString& text)
{
    ScoringResult read;
    if (Target == QLatin1String("scoringdata")) {
        read = ReadScoringText(d, text, QStringLiteral("zepsfb.TXT"));
    } else if (Target == QLatin1String("labels")) {
        read = ReadLabelText(d, text, QStringLiteral("zepsfRPT.TXT"));
    } else {
        // One scale's paragraphs a run, by the text's length (and the invalid test's text,
        // which only the invalid client shows): the report then stays short enough to make
        // thousands a second.
        const QStringList lines = SplitLines(text);
        d.ExplanationLines[1 + text.size() % ScaleCount] = lines;
        d.InvalidTextLines = lines;
    }
    REQUIRE(read || read.Message.startsWith(Target == QLatin1String("labels") ? "zepsfRPT.TXT" : "zepsfb.TXT"));
    return bool(read);
}

// The steps of a scoring after the files are read, and the report it composes.
QString Score(const ScoringData& d, int slot)
{
    program().CurrentClient = qint16(slot);
    InitReportTables();
    scoring().Data = d;
    PrepareClientWork();
    ComputeRawScores();
    ComputePercentiles();
    // Whatever the norms say, a percentile stays one the risk ranges and the profile know.
    for (int s = 1; s <= ScaleCount; ++s)
        REQUIRE(InRange(scoring().ScaleScores[s].Percentile, 0, 100));
    // The third client's report ends with the one-page summary.
    return ComposeReport(slot == 3 ? SummaryPage::With : SummaryPage::Without);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareRun();
    const QDir valid(QStringLiteral(ZEP_FUZZ_VALID_FILES));
    CopyFilesToProgramFolder(valid.path());
    ResetScoring();
    InitReportTables();
    ScoringData blank = scoring().Data;
    REQUIRE(LoadScoringData(scoring().Data));
    Valid = scoring().Data;
    Fresh = Valid;
    const auto validText = [&valid](const char* name) { return FromAnsi(ReadBytes(valid.filePath(name))); };
    if (Target == QLatin1String("scoringdata")) {
        Fresh = blank;
        REQUIRE(ReadLabelText(Fresh, validText("zepsfRPT.TXT"), "zepsfRPT.TXT"));
    } else if (Target == QLatin1String("labels")) {
        Fresh = blank;
        REQUIRE(ReadScoringText(Fresh, validText("zepsfb.TXT"), "zepsfb.TXT"));
    }
    for (int slot = 1; slot <= 3; ++slot)
        Clients[slot] = ScoringClient(slot);
    Fresh.ExplanationFiles = Valid.ExplanationFiles;
    Fresh.ExplanationLines = Valid.ExplanationLines;
    Fresh.InvalidTextLines = Valid.InvalidTextLines;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = FromAnsi(InputBytes(data, size));
    ScoringData afterValid = Valid;
    if (!Read(afterValid, text))
        return 0;

    // One of the three clients a run, by the input's length.
    const int slot = 1 + int(size % 3);
    program().ClientTable[slot] = Clients[slot];
    const QString report = Score(afterValid, slot);
    // Whatever the texts hold, the report is made of whole CR LF lines.
    REQUIRE(report.endsWith(QLatin1String("\r\n")) &&
            report.count(QLatin1Char('\r')) == report.count(QLatin1Char('\n')) &&
            report.count(QLatin1Char('\r')) == report.count(QLatin1String("\r\n")));
    // Norms are read over what an earlier scoring left in the tables, which must not show:
    // the same text read over a fresh program's tables gives the same report.
    if (Target == QLatin1String("scoringdata")) {
        ScoringData afterFresh = Fresh;
        REQUIRE(Read(afterFresh, text));
        REQUIRE(Score(afterFresh, slot) == report);
    }
    return 0;
}
