#include "scoring/BulkPrintRun.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include "base/Ansi.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "scoring/ReportPrinter.h"
#include "scoring/ScoresExport.h"

namespace {

// The one progress window of every run over many clients: shown at once, closed only by the
// run, Cancel taking effect between two clients.
void SetUpProgress(QProgressDialog& progress, const QString& title, int steps)
{
    progress.setObjectName(QStringLiteral("dlgPrintProgress"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setRange(0, steps);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumWidth(480);
}

// Shows what the run is doing now and lets the window answer Cancel; false once it was pressed.
bool ShowStep(QProgressDialog& progress, const QString& what, int n, int total, int slot, int value)
{
    const QString name = program().ClientTable[slot].Name.trimmed();
    progress.setLabelText(QStringLiteral("%1: report %2 of %3\r\n%4").arg(what).arg(n).arg(total).arg(name));
    progress.setValue(value);
    QCoreApplication::processEvents();
    return !progress.wasCanceled();
}

}  // namespace

BulkPrintResult RunBulkPrint(QWidget* parent, const QList<int>& chosen, const QString& pdfPath, SummaryPage summary)
{
    const bool toPdf = !pdfPath.isEmpty();
    const int total = int(chosen.size());
    QProgressDialog progress(parent);
    SetUpProgress(progress, QStringLiteral("Printing Reports"), 2 * total);

    ReportDocument document;
    BulkPrintHooks hooks;
    hooks.Progress = [&](BulkPrintHooks::Stage stage, int n, int count, int slot) {
        const bool scoring = stage == BulkPrintHooks::Stage::Scoring;
        const QString what = scoring ? QStringLiteral("Scoring")
                                     : (toPdf ? QStringLiteral("Adding to the PDF file") : QStringLiteral("Printing"));
        return ShowStep(progress, what, n, count, slot, scoring ? n - 1 : count + n - 1);
    };
    hooks.Print = [&] {
        if (!toPdf)
            return ReportPrinter();
        if (FileProblem problem = document.AddReportFile(); !problem.isEmpty()) {
            MsgBox::Show(problem, MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QStringLiteral("Print Report"));
            return false;
        }
        return true;
    };

    BulkPrintResult result = BulkPrint(chosen, hooks, summary);
    progress.setValue(2 * total);
    progress.close();
    if (result.End == BulkPrintEnd::Done && toPdf) {
        document.Finish();
        if (QString problem = SavePdfFile(pdfPath, document.Pdf()); !problem.isEmpty()) {
            result.End = BulkPrintEnd::Failed;
            result.Problem = problem;
        }
    }
    if (result.End == BulkPrintEnd::Failed && !result.Problem.isEmpty()) {
        const QString done =
            toPdf ? QStringLiteral("The PDF file was not written.")
                  : QStringLiteral("Printing stopped after %1 of %2 reports.").arg(result.Printed).arg(total);
        MsgBox::Show(done + QStringLiteral("\r\r") + result.Problem, MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical,
                     QStringLiteral("Print Report"));
    }
    return result;
}

QString AskBulkPdfFile()
{
    return MsgBox::AskSaveFile(QStringLiteral("Save Reports as PDF"),
                               QDir::home().filePath(QStringLiteral("reports.pdf")),
                               QStringLiteral("PDF files (*.pdf)"));
}

void RunScoresExport(QWidget* parent)
{
    const QString title = QStringLiteral("Export Scores");
    const Program& p = program();
    const QString path =
        MsgBox::AskSaveFile(title, QDir::home().filePath(SuggestedScoresFileName(p.DataDrive, QDate::currentDate())),
                            QStringLiteral("CSV files (*.csv);;JSON files (*.json)"));
    if (path.isEmpty())
        return;

    QList<int> all;
    for (int slot = 1; slot <= p.ClientCount; ++slot)
        all.append(slot);
    QProgressDialog progress(parent);
    SetUpProgress(progress, QStringLiteral("Exporting Scores"), int(all.size()));
    ScoresExport result;
    const ScoringResult scored = ExportScores(all, FormatOfFile(path), result, [&](int n, int total, int slot) {
        return ShowStep(progress, QStringLiteral("Scoring"), n, total, slot, n - 1);
    });
    progress.setValue(int(all.size()));
    progress.close();
    if (result.Cancelled)
        return;

    QString problem = scored.Message;
    if (scored) {
        if (const int err = ReplaceFile(path, result.Bytes, FileAccess::OwnerOnly); err != 0)
            problem = QStringLiteral("Cannot write %1: %2").arg(EscapeControls(path), FileErrorText(err));
    }
    if (!problem.isEmpty()) {
        MsgBox::Show(QStringLiteral("The scores were not exported.\r\r") + problem, MsgBox::Buttons::OkOnly,
                     MsgBox::Icon::Critical, title);
        return;
    }
    QString text = QStringLiteral("The scores of %1 clients were exported to %2.").arg(result.Exported).arg(path);
    if (result.NotScored > 0)
        text += QStringLiteral("\r\r%1 of them could not be scored; their rows say why.").arg(result.NotScored);
    MsgBox::Show(text, MsgBox::Buttons::OkOnly,
                 result.NotScored > 0 ? MsgBox::Icon::Exclamation : MsgBox::Icon::Information, title);
}
