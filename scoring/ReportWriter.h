#pragma once
// REPORT.PRN: the report of the last scoring, composed line by line, and the single entry
// that scores the current client and writes the report for it.
#include <QString>

#include "scoring/ScoringData.h"

constexpr const char* ReportFileName = "REPORT.PRN";

// Whether a valid test's report ends with the one-page summary: the "One-page summary report"
// box of the supervisor utilities, or zepreport --summary.
enum class SummaryPage { Without, With };

// Scores program().CurrentClient and writes REPORT.PRN for it. A failed scoring leaves no
// REPORT.PRN in the program folder.
ScoringResult ScoreAndReport(SummaryPage summary = SummaryPage::Without);

// The report of the last scoring as it would be written, without touching the disk.
QString ComposeReport(SummaryPage summary = SummaryPage::Without);

// Writes ComposeReport(summary) as REPORT.PRN; ScoreAndReport's last step.
ScoringResult WriteReport(SummaryPage summary = SummaryPage::Without);
