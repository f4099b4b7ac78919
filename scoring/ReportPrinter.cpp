#include "scoring/ReportPrinter.h"

#include <cups/cups.h>

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>

#include "app/FormHelpers.h"
#include "app/MsgBox.h"
#include "app/Program.h"
#include "clients/Ansi.h"
#include "clients/RegularFile.h"
#include "scoring/ScoreAndPrint.h"

namespace {

constexpr double FontPoints = 11.5;
// Room left around the text. The report's own pages are 58 lines; in this font they fill a
// Letter page to within these margins, so lines are set closer when a page would overflow.
const QMarginsF PageMargins(36, 18, 18, 18);

QString PrinterState(cups_dest_t* dest, const char* option)
{
    return QString::fromUtf8(cupsGetOption(option, dest->num_options, dest->options));
}

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestDeleter>;

DestPtr DefaultDest()
{
    return DestPtr(cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
}

QString NotPrinted(const QString& printer, const QString& why)
{
    return QStringLiteral("The report was not printed on the printer \"%1\":\r%2").arg(printer, why);
}

} // namespace

QString DefaultPrinterName()
{
    const DestPtr dest = DefaultDest();
    return dest ? QString::fromUtf8(dest->name) : QString();
}

QPageSize DefaultPageSize()
{
    const QString name = DefaultPrinterName();
    if (!name.isEmpty()) {
        const QPageSize size = QPrinterInfo::printerInfo(name).defaultPageSize();
        if (size.isValid())
            return size;
    }
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                               : QPageSize::A4);
}

ReportDocument::ReportDocument(const QPageSize& pageSize)
{
    buffer_.open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(&buffer_);
    writer_->setTitle(QStringLiteral("ZEP report"));
    writer_->setCreator(QString::fromLatin1(AppTitle));
    writer_->setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, PageMargins, QPageLayout::Point));
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::AddReport(const QList<ReportPage>& pages)
{
    for (const ReportPage& page : pages)
        DrawPage(page);
}

FileProblem ReportDocument::AddReportFile()
{
    QString text;
    FileProblem problem = ReadReportText(text);
    if (problem.isEmpty())
        AddReport(ReportPages(text));
    return problem;
}

void ReportDocument::DrawPage(const ReportPage& page)
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(writer_.get());
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        font.setPointSizeF(FontPoints);
        painter_->setFont(font);
    } else {
        writer_->newPage();
    }
    ++pageCount_;
    const QFontMetricsF metrics(painter_->font(), writer_.get());
    const QRectF area = writer_->pageLayout().paintRectPixels(writer_->resolution()).translated(
        -writer_->pageLayout().paintRectPixels(writer_->resolution()).topLeft());
    const double pitch = page.isEmpty() ? metrics.lineSpacing()
                                        : std::min(metrics.lineSpacing(), area.height() / page.size());
    double baseline = metrics.ascent();
    for (const QString& line : page) {
        // A control character would act on nothing here, but keeps the columns as "?".
        painter_->drawText(QPointF(0, baseline), ReplaceControls(line));
        baseline += pitch;
    }
}

void ReportDocument::Finish()
{
    if (!painter_)
        DrawPage(ReportPage());
    painter_->end();
    painter_.reset();
    writer_.reset();
    buffer_.close();
}

QString SendToPrinter(const QByteArray& data, bool raw, const QString& title)
{
    const DestPtr dest = DefaultDest();
    if (!dest)
        return QStringLiteral("No printer is set up on this computer.\r\rSet up a printer (see the user guide) "
                              "and print the report again.");
    const QString name = QString::fromUtf8(dest->name);
    // A stopped queue would keep the job until someone starts it again; nobody would know.
    const QString message = PrinterState(dest.get(), "printer-state-message");
    if (PrinterState(dest.get(), "printer-state") == QLatin1String("5"))
        return NotPrinted(name, QStringLiteral("the printer is stopped%1.").arg(message.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(message)));
    if (PrinterState(dest.get(), "printer-is-accepting-jobs") == QLatin1String("false"))
        return NotPrinted(name, QStringLiteral("the printer does not accept jobs."));

    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, dest->name, title.toUtf8().constData(), 0, nullptr);
    if (job == 0)
        return NotPrinted(name, QString::fromUtf8(cupsLastErrorString()));
    const char* format = raw ? CUPS_FORMAT_RAW : CUPS_FORMAT_PDF;
    bool sent = cupsStartDocument(CUPS_HTTP_DEFAULT, dest->name, job, title.toUtf8().constData(), format, 1) ==
                HTTP_STATUS_CONTINUE;
    if (sent)
        sent = cupsWriteRequestData(CUPS_HTTP_DEFAULT, data.constData(), size_t(data.size())) == HTTP_STATUS_CONTINUE;
    const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, dest->name);
    if (!sent || finished > IPP_STATUS_OK_CONFLICTING) {
        const QString why = QString::fromUtf8(cupsLastErrorString());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, dest->name, job, 0);
        return NotPrinted(name, why);
    }
    return {};
}

QString SavePdfFile(const QString& path, const QByteArray& pdf)
{
    if (const int err = ReplaceFile(path, pdf, FileAccess::OwnerOnly); err != 0)
        return QStringLiteral("The PDF file was not saved.\r\rCannot write %1: %2").arg(EscapeControls(path), FileErrorText(err));
    return {};
}

QString RenderReportPdf(QByteArray& pdf)
{
    ReportDocument document;
    if (FileProblem problem = document.AddReportFile(); !problem.isEmpty())
        return problem;
    document.Finish();
    pdf = document.Pdf();
    return {};
}

bool ReportPrinter()
{
    ShowBusyPointer();
    QString problem;
    if (program().PrintDOS) {
        QByteArray bytes;
        bool marked = false;
        problem = ReadRawPrintBytes(bytes, marked);
        if (problem.isEmpty())
            problem = SendToPrinter(bytes, true, QString::fromLatin1(ReportFileName));
        // The file keeps the form-feed line once a printer has taken it, and only then: a
        // refused job leaves the report as it was, so that printing it again adds no empty
        // page. Should the line not reach the file, the report has printed all the same, and
        // the next print adds the line again.
        if (problem.isEmpty() && !marked)
            (void)AppendFormFeedLine();
    } else {
        QByteArray pdf;
        problem = RenderReportPdf(pdf);
        if (problem.isEmpty())
            problem = SendToPrinter(pdf, false, QString::fromLatin1(ReportFileName));
    }
    ShowNormalPointer();
    if (problem.isEmpty())
        return true;
    MsgBox::Show(problem, MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QStringLiteral("Printer Error"));
    return false;
}
