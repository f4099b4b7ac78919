#pragma once
// A run over many clients as the operator sees it: a progress window naming each client, with
// Cancel between two clients. A bulk print sends the reports to the printer or into one PDF
// file; an export of scores writes one CSV or JSON file.
#include <QList>
#include <QString>

#include "scoring/BulkPrint.h"

class QWidget;

// Prints the reports of `chosen`; into the PDF file `pdfPath` when it is not empty. Failures
// are told to the operator.
BulkPrintResult RunBulkPrint(QWidget* parent, const QList<int>& chosen, const QString& pdfPath = QString(),
                             SummaryPage summary = SummaryPage::Without);

// Asks where the PDF file of a bulk print goes; empty when the operator cancelled.
QString AskBulkPdfFile();

// Exports every client's scores into a file the operator chooses, and says how many clients
// were exported and how many could not be scored. Nothing is written when the operator
// cancels, and no part of a file when it cannot be written whole.
void RunScoresExport(QWidget* parent);
