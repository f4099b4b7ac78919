#pragma once
// Printing many clients' reports in two passes: every chosen client is scored and the report
// copied to a numbered file, then each numbered file is put back as the report and printed,
// so scoring never overlaps printing. The numbered files are removed before and at the end,
// whatever the end was: they hold confidential reports.
#include <functional>

#include <QList>
#include <QString>

#include "scoring/ReportWriter.h"

struct BulkPrintHooks {
    enum class Stage { Scoring, Printing };
    // Called before each client of each pass; false cancels the run there.
    std::function<bool(Stage stage, int n, int total, int slot)> Progress;
    // Prints (or collects) the report file now in place; false stops the run. Whoever
    // returns false has told the operator why.
    std::function<bool()> Print;
};

enum class BulkPrintEnd { Done, Cancelled, Failed };

struct BulkPrintResult {
    BulkPrintEnd End = BulkPrintEnd::Done;
    int Printed = 0;
    QString Problem;  // a scoring or file failure, for the operator
};

// Prints the reports of `chosen` in the order given; CurrentClient names each client while
// its report is made or printed.
BulkPrintResult BulkPrint(const QList<int>& chosen, const BulkPrintHooks& hooks,
                          SummaryPage summary = SummaryPage::Without);
