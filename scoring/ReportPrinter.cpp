#include "scoring/ReportPrinter.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <cups/cups.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include "base/Ansi.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "scoring/ReportWriter.h"
#include "widgets/FormHelpers.h"

namespace {

constexpr double FontPoints = 11.5;
// Room left around the text. The report's own pages are 58 lines; in this font they fill a
// Letter page to within these margins, so lines are set closer when a page would overflow.
const QMarginsF PageMargins(36, 18, 18, 18);

// How long one request may wait for the print system. A print system that works answers in
// milliseconds; one that hangs would otherwise hold the report, and the window, for minutes.
constexpr int PatienceMs = 2000;
// While a request waits, the window's events run this often.
constexpr double EventTurnSeconds = 0.05;

QString PrinterState(cups_dest_t* dest, const char* option)
{
    return QString::fromUtf8(cupsGetOption(option, dest->num_options, dest->options));
}

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestDeleter>;

// Why nobody answers at a local socket. libcups calls every failure there "Host is down"; the
// system's own reason (no such file, connection refused) tells a stopped daemon from a crashed one.
QString LocalSocketError(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return QString::fromLocal8Bit(strerror(ENAMETOOLONG));
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return QString::fromLocal8Bit(strerror(errno));
    const int result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const int error = errno;
    ::close(fd);
    return QString::fromLocal8Bit(strerror(result == 0 ? EHOSTDOWN : error));
}

// One connection to the print system for one piece of work. No request on it waits longer
// than PatienceMs, and while it waits the window keeps turning (repaints, timers; the
// operator's keys wait), so a print system that is down or hung is told about at once and
// never freezes the window.
class PrintServer {
public:
    PrintServer() : server_(QString::fromUtf8(cupsServer()))
    {
        clock_.start();
        http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, PatienceMs, nullptr);
        if (!http_) {
            reason_ = server_.startsWith(QLatin1Char('/')) ? LocalSocketError(server_)
                                                           : QString::fromUtf8(cupsLastErrorString());
            timedOut_ = clock_.elapsed() >= PatienceMs;
            return;
        }
        httpSetTimeout(http_, EventTurnSeconds, &PrintServer::KeepWaiting, this);
    }
    ~PrintServer()
    {
        if (http_)
            httpClose(http_);
    }
    PrintServer(const PrintServer&) = delete;
    PrintServer& operator=(const PrintServer&) = delete;

    http_t* Http() const { return http_; }
    bool Connected() const { return http_ != nullptr; }
    bool TimedOut() const { return timedOut_; }
    // Starts the clock for the next request.
    void Request() { clock_.restart(); }

    // The default destination; null when there is none or the print system failed (TimedOut).
    DestPtr DefaultDest()
    {
        Request();
        return DestPtr(cupsGetNamedDest(http_, nullptr, nullptr));
    }

    // Why the print system could not be used, for the operator.
    QString Why() const
    {
        if (timedOut_)
            return QStringLiteral("the print system does not answer (%1 gave no answer within %2 seconds).")
                .arg(EscapeControls(server_))
                .arg(PatienceMs / 1000);
        if (!http_)
            return QStringLiteral("the print system is not running (%1: %2).").arg(EscapeControls(server_), reason_);
        return QString::fromUtf8(cupsLastErrorString());
    }

private:
    static int KeepWaiting(http_t*, void* data)
    {
        auto* self = static_cast<PrintServer*>(data);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (self->clock_.elapsed() < PatienceMs)
            return 1;
        self->timedOut_ = true;
        return 0;
    }

    QString server_;
    QString reason_;
    http_t* http_ = nullptr;
    QElapsedTimer clock_;
    bool timedOut_ = false;
};

QPageSize LocalePageSize()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

// The printer's default media ("na_letter_8.5x11in", or a legacy name like "A4").
QPageSize PageSizeOf(cups_dest_t* dest)
{
    const QByteArray media = cupsGetOption("media", dest->num_options, dest->options);
    pwg_media_t* pwg = media.isEmpty() ? nullptr : pwgMediaForPWG(media.constData());
    if (!pwg && !media.isEmpty())
        pwg = pwgMediaForLegacy(media.constData());
    if (!pwg || pwg->width <= 0 || pwg->length <= 0)
        return LocalePageSize();
    return QPageSize(QSizeF(pwg->width / 100.0, pwg->length / 100.0), QPageSize::Millimeter);
}

QString NotPrinted(const QString& printer, const QString& why)
{
    return QStringLiteral("The report was not printed on the printer \"%1\":\r%2").arg(printer, why);
}

// The print system is down or hung: there is no printer to name.
QString PrintSystemFailed(const QString& why)
{
    return QStringLiteral("The report was not printed: %1\r\rCheck that the print system (CUPS; see the user "
                          "guide) is running, or ask whoever looks after this computer, then print the report again.")
        .arg(why);
}

}  // namespace

QPageSize DefaultPageSize()
{
    PrintServer server;
    if (server.Connected())
        if (const DestPtr dest = server.DefaultDest())
            return PageSizeOf(dest.get());
    return LocalePageSize();
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
    const QRectF area = writer_->pageLayout()
                            .paintRectPixels(writer_->resolution())
                            .translated(-writer_->pageLayout().paintRectPixels(writer_->resolution()).topLeft());
    const double pitch =
        page.isEmpty() ? metrics.lineSpacing() : std::min(metrics.lineSpacing(), area.height() / page.size());
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

QString SendToPrinter(bool raw, const QString& title, const PrintContent& content)
{
    PrintServer server;
    if (!server.Connected())
        return PrintSystemFailed(server.Why());
    const DestPtr dest = server.DefaultDest();
    if (!dest && (server.TimedOut() || cupsLastError() >= IPP_STATUS_ERROR_INTERNAL))
        return PrintSystemFailed(server.Why());
    if (!dest)
        return QStringLiteral("No printer is set up on this computer.\r\rSet up a printer (see the user guide) "
                              "and print the report again.");
    const QString name = QString::fromUtf8(dest->name);
    // A stopped queue would keep the job until someone starts it again; nobody would know.
    const QString message = PrinterState(dest.get(), "printer-state-message");
    if (PrinterState(dest.get(), "printer-state") == QLatin1String("5"))
        return NotPrinted(name, QStringLiteral("the printer is stopped%1.")
                                    .arg(message.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(message)));
    if (PrinterState(dest.get(), "printer-is-accepting-jobs") == QLatin1String("false"))
        return NotPrinted(name, QStringLiteral("the printer does not accept jobs."));

    QByteArray data;
    if (QString problem = content(PageSizeOf(dest.get()), data); !problem.isEmpty())
        return problem;
    http_t* http = server.Http();
    const QByteArray titleText = title.toUtf8();
    server.Request();
    const int job = cupsCreateJob(http, dest->name, titleText.constData(), 0, nullptr);
    if (job == 0)
        return NotPrinted(name, server.Why());
    const char* format = raw ? CUPS_FORMAT_RAW : CUPS_FORMAT_PDF;
    server.Request();
    bool sent = cupsStartDocument(http, dest->name, job, titleText.constData(), format, 1) == HTTP_STATUS_CONTINUE;
    server.Request();
    if (sent)
        sent = cupsWriteRequestData(http, data.constData(), size_t(data.size())) == HTTP_STATUS_CONTINUE;
    server.Request();
    const ipp_status_t finished =
        sent && !server.TimedOut() ? cupsFinishDocument(http, dest->name) : IPP_STATUS_ERROR_INTERNAL;
    if (!sent || finished > IPP_STATUS_OK_CONFLICTING) {
        const QString why = server.Why();
        // A print system that stopped answering would not answer the cancel either.
        if (!server.TimedOut()) {
            server.Request();
            cupsCancelJob2(http, dest->name, job, 0);
        }
        return NotPrinted(name, why);
    }
    return {};
}

QString SavePdfFile(const QString& path, const QByteArray& pdf)
{
    if (const int err = ReplaceFile(path, pdf, FileAccess::OwnerOnly); err != 0)
        return QStringLiteral("The PDF file was not saved.\r\rCannot write %1: %2")
            .arg(EscapeControls(path), FileErrorText(err));
    return {};
}

QString RenderReportPdf(QByteArray& pdf, const QPageSize& pageSize)
{
    ReportDocument document(pageSize);
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
            problem = SendToPrinter(true, QString::fromLatin1(ReportFileName), [&](const QPageSize&, QByteArray& data) {
                data = bytes;
                return QString();
            });
        // The file keeps the form-feed line once a printer has taken it, and only then: a
        // refused job leaves the report as it was, so that printing it again adds no empty
        // page. Should the line not reach the file, the report has printed all the same, and
        // the next print adds the line again.
        if (problem.isEmpty() && !marked)
            (void)AppendFormFeedLine();
    } else {
        problem =
            SendToPrinter(false, QString::fromLatin1(ReportFileName),
                          [](const QPageSize& pageSize, QByteArray& pdf) { return RenderReportPdf(pdf, pageSize); });
    }
    ShowNormalPointer();
    if (problem.isEmpty())
        return true;
    MsgBox::Show(problem, MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QStringLiteral("Printer Error"));
    return false;
}
