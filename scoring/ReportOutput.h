#pragma once
// REPORT.PRN on its way out of the program: read back for the viewer and the printer, cut
// into its pages, marked for a raw printer, and copied to and from the numbered files of a
// bulk print. Plain logic; the printing itself is in ReportPrinter.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One printed page: the report's lines between two form-feed lines.
using ReportPage = QStringList;

// What went wrong with a file, for the operator: the file named and the system's reason.
// Empty when all went well.
using FileProblem = QString;

QString ReportFilePath();
// The numbered copy n of a bulk print: "temp" + n in the program folder.
QString NumberedReportPath(int n);

// The report's bytes as they are on disk (for a raw queue); an error names the file.
FileProblem ReadReportBytes(QByteArray& bytes);
// The report as text: every character but the last (the final line feed).
FileProblem ReadReportText(QString& text);

// Cuts the report text at its form-feed lines. A page keeps its lines as written; the
// empty page a raw print leaves after its extra form feed is not a page.
QList<ReportPage> ReportPages(const QString& text);

// The line holding only a form feed that makes a raw printer eject the last page.
inline constexpr char FormFeedLine[] = "\f\r\n";
// The bytes a raw printer gets for the report: the file's own, ending in the form-feed line.
// `marked` tells whether the file ends in that line already (it was printed raw before): the
// line is then not added a second time, which would eject an empty page.
FileProblem ReadRawPrintBytes(QByteArray& bytes, bool& marked);
// Adds the form-feed line to the report file.
FileProblem AppendFormFeedLine();

// The two passes of a bulk print move the report through numbered files.
FileProblem CopyReportToNumbered(int n);
FileProblem CopyNumberedToReport(int n);
// Removes every numbered file of the program folder, and every half-written copy of a report
// (the staging files of REPORT.PRN and of the numbered files). They hold confidential reports
// nobody reads again; a run that was killed, or a power cut, leaves them behind.
void RemoveReportCopies();
