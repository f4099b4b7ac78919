#pragma once
// A bulk print as the operator sees it: a progress window naming each client, with Cancel
// between two clients, and the reports going to the printer or into one PDF file.
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
