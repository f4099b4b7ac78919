#pragma once
// The report on paper or in a PDF file. The system printer is the default CUPS destination:
// a report goes to it as PDF pages in Courier New 11.5 pt, one page per page of the report,
// or, with "Print to DOS port" ticked, as the report file's own bytes in a raw job.
#include <QBuffer>
#include <QByteArray>
#include <QList>
#include <QPageSize>
#include <QString>
#include <functional>
#include <memory>

#include "scoring/ReportOutput.h"

class QPainter;
class QPdfWriter;

// The page size the default printer uses, or the usual one for this locale when the print
// system cannot say (within a moment: a print system that is down or hung is not waited for).
QPageSize DefaultPageSize();

// The pages of one or more reports, drawn as a PDF document.
class ReportDocument {
public:
    explicit ReportDocument(const QPageSize& pageSize = DefaultPageSize());
    ~ReportDocument();
    void AddReport(const QList<ReportPage>& pages);
    // Adds the pages of REPORT.PRN as it is now; an error names the file.
    FileProblem AddReportFile();
    // Ends the document; its bytes are then in Pdf().
    void Finish();
    const QByteArray& Pdf() const { return buffer_.data(); }
    int PageCount() const { return pageCount_; }

private:
    void DrawPage(const ReportPage& page);
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    int pageCount_ = 0;
};

// Makes a job's bytes for the printer's page size; returns what went wrong, or an empty text.
using PrintContent = std::function<QString(const QPageSize& pageSize, QByteArray& data)>;

// Sends one job to the default printer. Returns what went wrong, naming the printer (or the
// print system, when that is down or does not answer), or an empty text once the printer has
// taken the job. No request waits for the print system longer than two seconds, and the
// window's events keep running meanwhile.
QString SendToPrinter(bool raw, const QString& title, const PrintContent& content);

// Writes a PDF document to a file of the user's choice, whole or not at all.
QString SavePdfFile(const QString& path, const QByteArray& pdf);

// The report of the current client as a PDF document.
QString RenderReportPdf(QByteArray& pdf, const QPageSize& pageSize = DefaultPageSize());

// Prints REPORT.PRN as the "Print to DOS port" option says, with the busy pointer up. A
// failure is told to the operator ("Printer Error") and returns false: nothing then claims
// the report printed.
bool ReportPrinter();
