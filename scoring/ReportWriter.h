#pragma once
// REPORT.PRN: the report of the last scoring, composed line by line, and the single entry
// that scores the current client and writes the report for it.
#include <QString>

#include "scoring/ScoringData.h"

constexpr const char* ReportFileName = "REPORT.PRN";

// Scores program().CurrentClient and writes REPORT.PRN for it. A failed scoring leaves no
// REPORT.PRN in the program folder.
ScoringResult ScoreAndReport();

// The report of the last scoring as it would be written, without touching the disk.
QString ComposeReport();

// Writes ComposeReport() as REPORT.PRN; ScoreAndReport's last step.
ScoringResult WriteReport();
