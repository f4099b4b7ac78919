// Reports on a real print system: a private CUPS daemon whose two queues ("zepraw", the
// default, and "zeppdf") deliver each job over AppSocket to a listener in this test.
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cups/cups.h>

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>

#include "base/ClientRecord.h"
#include "scoring/BulkPrint.h"
#include "scoring/ReportPrinter.h"
#include "scoring/frmSupervisorOptions.h"
#include "scoring/frmViewReport.h"
#include "tests/scoring/ScoringTestCase.h"
#include "tools/PrintCatcher.h"
#include "widgets/FormHelpers.h"

namespace {

// A poppler tool's output (the test's ::RunTool, not the report tool's).
QByteArray Run(const QString& program, const QStringList& args) { return RunTool(program, args).out; }

int PdfPages(const QString& pdf)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf})));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The words of each line, blank lines left out: how a PDF's text compares with the report's.
QStringList Words(const QStringList& lines)
{
    QStringList out;
    for (const QString& line : lines)
        if (const QString s = line.simplified(); !s.isEmpty())
            out.append(s);
    return out;
}

// The private print system, with what the tests ask of it.
class PrintSystem : public PrintCatcher {
public:
    QString error;

    PrintSystem()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            error = QStringLiteral("pdftotext is not installed (package poppler-utils)");
        else if (!Start())
            error = Error();
        else
            qputenv("CUPS_SERVER", Server().toUtf8());
    }
    ~PrintSystem() { qunsetenv("CUPS_SERVER"); }

    // Waits until `count` jobs have arrived (a minute at most); for none, a moment.
    bool WaitForJobs(int count)
    {
        for (int i = 0; i < 1200 && Jobs.size() < count; ++i)
            QTest::qWait(50);
        if (count == 0)
            QTest::qWait(500);
        return Jobs.size() == count;
    }

    // Jobs the daemon still holds (pending, held, stopped or printing).
    static int UnfinishedJobs()
    {
        cups_job_t* list = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
        cupsFreeJobs(n, list);
        return n;
    }
};

// A print server that takes every connection and never answers: a hung cupsd.
class HungServer {
public:
    HungServer()
    {
        path = dir.path() + QStringLiteral("/hung.sock");
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        listening =
            fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 16) == 0;
    }
    ~HungServer()
    {
        if (fd >= 0)
            ::close(fd);
    }
    // True while a connection waits, unanswered, in the queue.
    bool Waiting() const
    {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }
    // Connections made since the last call (they are taken off the queue).
    int Connections()
    {
        int n = 0;
        for (int c; (c = ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0; ++n)
            ::close(c);
        return n;
    }
    QTemporaryDir dir;
    QString path;
    int fd = -1;
    bool listening = false;
};

// A report of three pages; the middle one as long as the report writer's pages.
QByteArray ThreePageReport()
{
    QByteArray r = "ZEP  Seite eins  \xe9t\xe9\r\n\r\n  first page, last line\r\n\f\r\n";
    for (int i = 1; i <= 58; ++i)
        r += "line " + QByteArray::number(i) + " of the second page          x\r\n";
    r += "\f\r\nthird page\r\n   the end\r\n";
    return r;
}

}  // namespace

class tst_Printing : public ScoringTestCase {
    Q_OBJECT

    std::unique_ptr<PrintSystem> cups;
    QTemporaryDir desktopFiles;  // what the file dialog remembers goes here, not to the tester's home

    // Clients 1..n on the disk, client `invalid` (if any) with a Truthfulness score that voids the test.
    void Clients(int n, int invalid = 0)
    {
        for (int slot = 1; slot <= n; ++slot) {
            ClientRecord r = QuietClient(QStringLiteral("Client Number %1").arg(slot));
            if (slot == invalid)
                SetAnswerRange(r, 1, 10, '1');
            program().ClientTable[slot] = r;
        }
        data.SetPercentile(1, 10, 99);
        CHECKED(data.WriteTo(folder()));
        program().ClientCount = qint16(n);
        program().CurrentClient = 1;
    }

    // Opens the utilities and runs `keys` on them; Execute Selection is chosen by the keys.
    void InUtilities(const std::function<void(frmSupervisorOptions*)>& keys)
    {
        WhenModalOpens("frmSupervisorOptions", [&](QWidget* w) { keys(static_cast<frmSupervisorOptions*>(w)); });
        ShowSupervisorOptions(nullptr);
    }

    static void ChooseOption(int option, bool summary = false)
    {
        Press(Qt::Key_Tab);  // from the tabs to the chosen print option
        Press(Qt::Key_Down, option);
        if (summary) {
            Press(Qt::Key_Tab);
            Press(Qt::Key_Space);
        }
        AnswerNextInputBox();
        Child<QPushButton>(QApplication::activeModalWidget(), "cmdMenuChoice", 0)->setFocus();
        Press(Qt::Key_Return);
    }

    QStringList NumberedFiles() const { return QDir(folder()).entryList({QStringLiteral("temp*")}, QDir::Files); }

private slots:
    void initTestCase()
    {
        ::umask(022);  // the usual one, under which new files are readable by all
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(desktopFiles.path()));
        cups = std::make_unique<PrintSystem>();
        if (!cups->error.isEmpty())
            QSKIP(qPrintable(cups->error));
    }
    void cleanupTestCase() { cups.reset(); }

    void init()
    {
        Fresh();
        cups->Jobs.clear();
        qunsetenv("PRINTER");
    }

    // Print Report in the viewer, raw: a stopped printer gets nothing and the report stays as
    // it was; the retry and a second copy each get the report's bytes with one form-feed line,
    // which the file then keeps, once.
    void rawPrintAddsTheFormFeedLineOnceAndOnlyWhenPrinted()
    {
        CHECKED(Clients(1));
        program().ClientTable[1].Name = QStringLiteral("Ren\u00e9e Dubois");  // a Windows-1252 byte in the job
        program().PrintDOS = true;
        QByteArray report, afterRefusal;
        bool stopped = false, started = false;
        WhenModalOpens("frmViewReport", [&](QWidget* w) {
            auto* viewer = static_cast<frmViewReport*>(w);
            report = ReadFileBytes(ReportPath());
            stopped = cups->Admin("cupsdisable", {"zepraw"});
            Child<QPushButton>(viewer, "cmdMenuChoice", 0)->setFocus();
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            Press(Qt::Key_Return);
            afterRefusal = ReadFileBytes(ReportPath());
            started = cups->Admin("cupsenable", {"zepraw"});
            Press(Qt::Key_Return, 2);
            viewer->done(0);
        });
        ShowViewReport(nullptr);
        QVERIFY(stopped && started &&
                report.contains("Ren\xe9"
                                "e Dubois"));
        QVERIFY(cups->WaitForJobs(2));
        QCOMPARE(MsgBox::Shown().size(), 1);
        QCOMPARE(LastMessage().title, QStringLiteral("Printer Error"));
        QCOMPARE(afterRefusal, report);
        QCOMPARE(cups->Jobs[0], report + "\f\r\n");
        QCOMPARE(cups->Jobs[1], cups->Jobs[0]);
        QCOMPARE(ReadFileBytes(ReportPath()), report + "\f\r\n");
    }

    void printerGetsOnePagePerReportPage()
    {
        program().PrintDOS = false;
        qputenv("PRINTER", "zeppdf");
        CHECKED(WriteFileBytes(ReportPath(), ThreePageReport()));
        QVERIFY(ReportPrinter());
        QVERIFY(cups->WaitForJobs(1));
        QTemporaryDir scratch;
        const QString pdf = scratch.path() + QStringLiteral("/job.pdf");
        CHECKED(WriteFileBytes(pdf, cups->Jobs[0]));
        QCOMPARE(PdfPages(pdf), 3);
        const QList<ReportPage> pages = ReportPages(FromAnsi(ThreePageReport().chopped(1)));
        QCOMPARE(pages.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QString text =
                QString::fromUtf8(Run(QStringLiteral("pdftotext"), {"-layout", "-f", QString::number(i + 1), "-l",
                                                                    QString::number(i + 1), pdf, "-"}));
            QCOMPARE(Words(text.split(QLatin1Char('\n'))), Words(pages[i]));
        }
    }

    void printerFaultsAreToldAndNothingPrints_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("told");
        QTest::newRow("stopped queue") << "cupsdisable"
                                       << "zepraw"
                                       << "\"zepraw\":\rthe printer is stopped";
        QTest::newRow("refusing queue") << "cupsreject"
                                        << "zepraw"
                                        << "\"zepraw\":\rthe printer does not accept jobs";
        QTest::newRow("no such printer") << ""
                                         << "gone"
                                         << "No printer is set up";
    }

    void printerFaultsAreToldAndNothingPrints()
    {
        QFETCH(QString, command);
        QFETCH(QString, printer);
        QFETCH(QString, told);
        qputenv("PRINTER", printer.toUtf8());
        if (!command.isEmpty())
            QVERIFY2(cups->Admin(command, {printer}), qPrintable(cups->Error()));
        for (bool dos : {true, false}) {
            program().PrintDOS = dos;
            CHECKED(WriteFileBytes(ReportPath(), "a report\r\n"));
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            QVERIFY(!ReportPrinter());
            QCOMPARE(LastMessage().title, QStringLiteral("Printer Error"));
            QVERIFY2(LastMessage().text.contains(told), qPrintable(LastMessage().text));
        }
        QCOMPARE(cups->UnfinishedJobs(), 0);
        if (!command.isEmpty())
            QVERIFY(cups->Admin(command == "cupsdisable" ? "cupsenable" : "cupsaccept", {printer}));
    }

    // A print system that is down, or takes the connection and never answers, is named as the
    // reason in both printing modes, at once or after a bounded wait while the window's events
    // keep running; the viewer opens without asking it anything.
    void printSystemDownOrHungIsToldWhileTheWindowTurns_data()
    {
        QTest::addColumn<bool>("hung");
        QTest::addColumn<QString>("told");
        QTest::newRow("cupsd killed") << false
                                      << "The report was not printed: the print system is not running (" +
                                             cups->Server() + ": Connection refused)";
        QTest::newRow("server never answers") << true << "The report was not printed: the print system does not answer";
    }
    void printSystemDownOrHungIsToldWhileTheWindowTurns()
    {
        QFETCH(bool, hung);
        QFETCH(QString, told);
        CHECKED(Clients(1));
        HungServer server;
        QVERIFY(server.listening);
        if (hung)
            cupsSetServer(QFile::encodeName(server.path).constData());
        else
            cups->Kill();
        // Ticks of a timer while the busy pointer shows and the hung server holds a connection.
        int ticks = 0;
        QTimer ticker;
        ticker.callOnTimeout([&] { ticks += QApplication::overrideCursor() && server.Waiting(); });
        ticker.start(10);
        int connectionsAtOpen = -1;
        QStringList shown;
        QList<int> ticked, connections;
        WhenModalOpens("frmViewReport", [&](QWidget* w) {
            auto* viewer = static_cast<frmViewReport*>(w);
            connectionsAtOpen = server.Connections();
            for (bool dos : {true, false}) {
                program().PrintDOS = dos;
                MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
                const int before = ticks;
                Child<QPushButton>(viewer, "cmdMenuChoice", 0)->setFocus();
                Press(Qt::Key_Return);
                ticked << ticks - before;
                connections << server.Connections();
                shown << LastMessage().title + QLatin1Char('|') + LastMessage().text;
            }
            viewer->done(0);
        });
        ShowViewReport(nullptr);
        cupsSetServer(nullptr);
        const bool restarted = hung || cups->Start();
        QVERIFY2(restarted, qPrintable(cups->Error()));
        QCOMPARE(connectionsAtOpen, 0);
        QCOMPARE(shown.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(shown[i].startsWith(QStringLiteral("Printer Error|") + told), qPrintable(shown[i]));
            QCOMPARE(connections[i], hung ? 1 : 0);
            if (hung)
                QVERIFY2(ticked[i] > 0, "the window stood still while the print system was waited for");
        }
        QVERIFY(QFile::exists(ReportPath()));
        QVERIFY(cups->Jobs.isEmpty());
    }

    void printAllPrintsEveryClientInSlotOrder_data()
    {
        QTest::addColumn<bool>("summary");
        QTest::newRow("no summary") << false;
        QTest::newRow("summary page") << true;
    }

    // Client 2's test is invalid: its report never gets the summary page.
    void printAllPrintsEveryClientInSlotOrder()
    {
        QFETCH(bool, summary);
        CHECKED(Clients(3, 2));
        program().PrintDOS = true;
        program().CurrentClient = 3;
        InUtilities([&](frmSupervisorOptions*) { ChooseOption(2, summary); });
        QVERIFY(cups->WaitForJobs(3));
        for (int slot = 1; slot <= 3; ++slot) {
            const QByteArray& job = cups->Jobs[slot - 1];
            QVERIFY(job.contains("Client Number " + QByteArray::number(slot)));
            QVERIFY(job.endsWith("\f\r\n"));
            QCOMPARE(job.contains("ONE-PAGE SUMMARY"), summary && slot != 2);
        }
        QCOMPARE(program().CurrentClient, qint16(1));
        QCOMPARE(NumberedFiles(), QStringList());
    }

    void printSelectedPrintsTheChosenEntries_data()
    {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<bool>("pdf");  // into one PDF file, asked for once the clients are chosen
        QTest::newRow("second and fifth") << QList<int>{2, 5} << false;
        QTest::newRow("nothing") << QList<int>{} << false;
        QTest::newRow("second and fifth into a PDF file") << QList<int>{2, 5} << true;
        QTest::newRow("nothing, no PDF file asked for") << QList<int>{} << true;
    }

    void printSelectedPrintsTheChosenEntries()
    {
        QFETCH(QList<int>, chosen);
        QFETCH(bool, pdf);
        CHECKED(Clients(5));
        QString entry;
        const QString pdfFile = folder() + QStringLiteral("/chosen.pdf");
        program().PrintDOS = true;
        WhenModalOpens("frmPrintSelected", [&](QWidget* w) {
            auto* form = static_cast<QDialog*>(w);
            auto* list = Child<QListWidget>(form, "lbNameDisplay");
            entry = list->item(2)->text();
            for (int row = 0; row < 5; ++row) {
                Press(row == 0 ? Qt::Key_Home : Qt::Key_Down);
                if (chosen.contains(row + 1))
                    Press(Qt::Key_Space);
            }
            Child<QPushButton>(form, "cmdMenuChoice", 0)->setFocus();
            if (pdf && !chosen.isEmpty()) {          // a question nobody answers stops the test
                MsgBox::SetNextFileName(QString());  // cancelled: the list stays as chosen
                Press(Qt::Key_Return);
                MsgBox::SetNextFileName(pdfFile);
            }
            Press(Qt::Key_Return);
        });
        InUtilities([&](frmSupervisorOptions* form) {
            Child<QCheckBox>(form, "chkPdfFile")->setChecked(pdf);
            ChooseOption(1);
        });
        QCOMPARE(entry, QStringLiteral("3-Client Number 3").leftJustified(27));
        if (pdf) {
            QCOMPARE(QFile::exists(pdfFile), !chosen.isEmpty());
            QVERIFY(cups->Jobs.isEmpty());
        } else {
            QVERIFY(cups->WaitForJobs(int(chosen.size())));
        }
        const QByteArray text =
            pdf && !chosen.isEmpty() ? Run(QStringLiteral("pdftotext"), {pdfFile, "-"}) : QByteArray();
        for (int i = 0; i < chosen.size(); ++i)
            QVERIFY((pdf ? text : cups->Jobs[i]).contains("Client Number " + QByteArray::number(chosen[i])));
        QCOMPARE(program().CurrentClient, qint16(chosen.isEmpty() ? 1 : chosen.last()));
        QCOMPARE(NumberedFiles(), QStringList());
    }

    // Into one PDF file, one report after another; a cancelled run writes no file and keeps no copies.
    void bulkPrintToPdfAndCancel()
    {
        CHECKED(Clients(3));
        const QString pdf = folder() + QStringLiteral("/all.pdf");
        MsgBox::SetNextFileName(pdf);
        InUtilities([&](frmSupervisorOptions* form) {
            Child<QCheckBox>(form, "chkPdfFile")->setChecked(true);
            ChooseOption(2);
        });
        QCOMPARE(FileMode(pdf), 0600);
        const QByteArray text = Run(QStringLiteral("pdftotext"), {pdf, "-"});
        QVERIFY(text.indexOf("Client Number 1") < text.indexOf("Client Number 2"));
        QVERIFY(text.indexOf("Client Number 2") < text.indexOf("Client Number 3"));
        QVERIFY(cups->Jobs.isEmpty());

        int printed = 0;
        BulkPrintHooks hooks;
        hooks.Progress = [](BulkPrintHooks::Stage stage, int n, int, int) {
            return !(stage == BulkPrintHooks::Stage::Printing && n == 2);
        };
        hooks.Print = [&] { return ++printed > 0; };
        const BulkPrintResult result = BulkPrint({1, 2, 3}, hooks);
        QCOMPARE(int(result.End), int(BulkPrintEnd::Cancelled));
        QCOMPARE(printed, 1);
        QCOMPARE(NumberedFiles(), QStringList());
    }

    // The viewer scores afresh every time; its keys scroll the report from any control.
    void viewerShowsFreshScoresAndScrolls()
    {
        CHECKED(Clients(1));
        QStringList shown;
        QString caption;
        bool scrolled = false;
        for (int round = 0; round < 2; ++round) {
            WhenModalOpens("frmViewReport", [&](QWidget* w) {
                auto* viewer = static_cast<frmViewReport*>(w);
                caption = viewer->windowTitle();
                shown << Child<QPlainTextEdit>(viewer, "Text1")->toPlainText();
                Press(Qt::Key_PageDown);
                auto* report = Child<QPlainTextEdit>(viewer, "Text1");
                scrolled = Focused() == report && report->verticalScrollBar()->value() > 0;
                Child<QPushButton>(viewer, "cmdMenuChoice", 2)->setFocus();
                Press(Qt::Key_Return);
            });
            ShowViewReport(nullptr);
            QCOMPARE(shown.last(), frmViewReport::DisplayText(FromAnsi(ReadFileBytes(ReportPath()).chopped(1))));
            QVERIFY(shown.last().contains(QStringLiteral("─ page 2 ─")));
            QVERIFY(scrolled);
            SetAnswerRange(program().ClientTable[1], 11, 20, '1');
        }
        QVERIFY(shown[0] != shown[1]);
        QCOMPARE(caption, QStringLiteral("Client Report"));
        // A scoring that fails shows why and no report, not the last one.
        QFile::remove(folder() + QStringLiteral("/zepsfb.TXT"));
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        frmViewReport viewer;
        QCOMPARE(viewer.exec(), int(QDialog::Rejected));
        QCOMPARE(LastMessage().title, QStringLiteral("Report Error"));
        QVERIFY(!QFile::exists(ReportPath()));
    }

    // The name suggested tells nothing of the client, in the program's own file dialog (the
    // desktop's would add it to the desktop's recent files); the PDF is its owner's alone.
    void viewerSavesThePrintedPagesAsPdf()
    {
        CHECKED(Clients(1));
        const QString pdf = folder() + QStringLiteral("/one.pdf");
        const QString neutral = QDir::home().filePath(
            QStringLiteral("ZEP report 1 %1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)));
        // A pipe chosen as the file is refused at once, never opened and waited on.
        const QString pipe = folder() + QStringLiteral("/pipe.pdf");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        for (const QString& target : {folder() + QStringLiteral("/no/such/folder/x.pdf"), pipe}) {
            WhenModalOpens("frmViewReport", [&](QWidget* w) {
                auto* viewer = static_cast<frmViewReport*>(w);
                MsgBox::SetNextFileName(target);
                MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
                Child<QPushButton>(viewer, "cmdMenuChoice", 1)->setFocus();
                Press(Qt::Key_Return);
                viewer->done(0);
            });
            ShowViewReport(nullptr);
        }
        QCOMPARE(LastMessage().title, QStringLiteral("Save as PDF"));
        QVERIFY(LastMessage().text.contains(QStringLiteral("was not saved")));
        QCOMPARE(MsgBox::SuggestedFiles(), QStringList(2, neutral));

        // The dialog the operator gets.
        bool ownDialog = false;
        QString shown;
        MsgBox::SetTestMode(false);
        MsgBox::SetFilePresenter(AskSaveFileInDialog);
        WhenModalOpens("frmViewReport", [&](QWidget* w) {
            WhenModalOpens("QFileDialog", [&](QWidget* d) {
                auto* dialog = static_cast<QFileDialog*>(d);
                ownDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                shown = dialog->directory().filePath(name->text());
                name->setText(pdf);
                QTest::keyClick(name, Qt::Key_Return);
            });
            Child<QPushButton>(w, "cmdMenuChoice", 1)->setFocus();
            Press(Qt::Key_Return);
            static_cast<frmViewReport*>(w)->done(0);
        });
        ShowViewReport(nullptr);
        MsgBox::SetTestMode(true);
        QVERIFY(ownDialog);
        QCOMPARE(shown, neutral);
        const int pages = int(ReportPages(FromAnsi(ReadFileBytes(ReportPath()).chopped(1))).size());
        QCOMPARE(PdfPages(pdf), pages);
        QCOMPARE(FileMode(pdf), 0600);
    }

    void exportScoresFromTheReportsTab_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("message");  // empty: none
        QTest::addColumn<int>("icon");
        QTest::newRow("every client scored")
            << ""
            << "The scores of 3 clients were exported to FILE." << int(MsgBox::Icon::Information);
        QTest::newRow("a client without answers")
            << "unanswered"
            << "were exported to FILE.\r\r1 of them could not be scored; their rows say why."
            << int(MsgBox::Icon::Exclamation);
        QTest::newRow("full disk") << "full"
                                   << "The scores were not exported.\r\rCannot write FILE: No space left on device"
                                   << int(MsgBox::Icon::Critical);
        QTest::newRow("file question cancelled") << "cancel"
                                                 << "" << 0;
    }
    // The secret code, the file question with the disk's folder name and today's date, and a
    // closing word on what was written; a file that cannot be written whole is not written.
    void exportScoresFromTheReportsTab()
    {
        QFETCH(QString, how);
        QFETCH(QString, message);
        QFETCH(int, icon);
        CHECKED(Clients(3, 2));
        if (how == QLatin1String("unanswered"))
            program().ClientTable[3].Answers = QString(64, QLatin1Char('0'));
        program().DataDrive = QStringLiteral("/media/usb stick");
        TmpfsMount disk(QStringLiteral("size=64k"));
        REQUIRE_TMPFS(disk);
        if (how == QLatin1String("full"))
            disk.fill();
        const QString file = disk.path() + QStringLiteral("/scores.csv");
        MsgBox::SetNextFileName(how == QLatin1String("cancel") ? QString() : file);
        const qsizetype shown = MsgBox::Shown().size();
        if (!message.isEmpty())
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        InUtilities([&](frmSupervisorOptions*) { ChooseOption(3); });

        QCOMPARE(MsgBox::SuggestedFiles().last(),
                 QDir::home().filePath(
                     QStringLiteral("usb_stick-scores-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate))));
        QCOMPARE(MsgBox::Shown().size(), shown + (message.isEmpty() ? 0 : 1));
        if (!message.isEmpty()) {
            QVERIFY2(LastMessage().text.contains(message.replace(QStringLiteral("FILE"), file)),
                     qPrintable(LastMessage().text));
            QCOMPARE(int(LastMessage().icon), icon);
        }
        const bool written = how.isEmpty() || how == QLatin1String("unanswered");
        QCOMPARE(QFile::exists(file), written);
        if (written) {
            QCOMPARE(FileMode(file), 0600);
            QCOMPARE(ReadFileBytes(file).count("\r\n"), 4);
        }
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), int(written) + int(how == "full"));
    }

    void anEmptyDiskIsToldAndTheUtilitiesStayClosed()
    {
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        ShowSupervisorOptions(nullptr);
        QCOMPARE(LastMessage().title, QStringLiteral("Empty Data Disk"));
    }
};

QTEST_MAIN(tst_Printing)
#include "tst_Printing.moc"
