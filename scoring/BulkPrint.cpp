#include "scoring/BulkPrint.h"

#include "base/Program.h"
#include "scoring/ReportOutput.h"

namespace {

BulkPrintResult Run(const QList<int>& chosen, const BulkPrintHooks& hooks, SummaryPage summary)
{
    using Stage = BulkPrintHooks::Stage;
    BulkPrintResult result;
    const int total = int(chosen.size());
    Program& p = program();
    for (int k = 1; k <= total; ++k) {
        if (hooks.Progress && !hooks.Progress(Stage::Scoring, k, total, chosen[k - 1]))
            return {BulkPrintEnd::Cancelled, 0, {}};
        p.CurrentClient = qint16(chosen[k - 1]);
        if (ScoringResult scored = ScoreAndReport(summary); !scored)
            return {BulkPrintEnd::Failed, 0, scored.Message};
        if (FileProblem problem = CopyReportToNumbered(k); !problem.isEmpty())
            return {BulkPrintEnd::Failed, 0, problem};
    }
    for (int k = 1; k <= total; ++k) {
        if (hooks.Progress && !hooks.Progress(Stage::Printing, k, total, chosen[k - 1]))
            return {BulkPrintEnd::Cancelled, result.Printed, {}};
        p.CurrentClient = qint16(chosen[k - 1]);
        if (FileProblem problem = CopyNumberedToReport(k); !problem.isEmpty())
            return {BulkPrintEnd::Failed, result.Printed, problem};
        if (!hooks.Print())
            return {BulkPrintEnd::Failed, result.Printed, {}};
        ++result.Printed;
    }
    return result;
}

}  // namespace

BulkPrintResult BulkPrint(const QList<int>& chosen, const BulkPrintHooks& hooks, SummaryPage summary)
{
    // Copies an earlier run left behind (it was killed, or the power failed) go first: this
    // run numbers its own from 1, and would leave the higher numbers lying there.
    RemoveReportCopies();
    const BulkPrintResult result = Run(chosen, hooks, summary);
    RemoveReportCopies();
    return result;
}
