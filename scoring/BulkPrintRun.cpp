#include "scoring/BulkPrintRun.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>

#include "base/Ansi.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "scoring/ReportPrinter.h"

BulkPrintResult RunBulkPrint(QWidget* parent, const QList<int>& chosen, const QString& pdfPath, SummaryPage summary)
{
    const bool toPdf = !pdfPath.isEmpty();
    const int total = int(chosen.size());
    QProgressDialog progress(parent);
    progress.setObjectName(QStringLiteral("dlgPrintProgress"));
    progress.setWindowTitle(QStringLiteral("Printing Reports"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setRange(0, 2 * total);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumWidth(480);

    ReportDocument document;
    BulkPrintHooks hooks;
    hooks.Progress = [&](BulkPrintHooks::Stage stage, int n, int count, int slot) {
        const QString name = program().ClientTable[slot].Name.trimmed();
        const bool scoring = stage == BulkPrintHooks::Stage::Scoring;
        const QString what = scoring ? QStringLiteral("Scoring")
                                     : (toPdf ? QStringLiteral("Adding to the PDF file") : QStringLiteral("Printing"));
        progress.setLabelText(QStringLiteral("%1: report %2 of %3\r\n%4").arg(what).arg(n).arg(count).arg(name));
        progress.setValue(scoring ? n - 1 : count + n - 1);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
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
