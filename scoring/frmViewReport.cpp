#include "scoring/frmViewReport.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/Ansi.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "scoring/ReportOutput.h"
#include "scoring/ReportPrinter.h"
#include "scoring/ReportWriter.h"
#include "widgets/FormHelpers.h"

namespace {
// The text box holds the report's 79 columns beside its scroll bar; the buttons stand to its right.
constexpr int TextWidth = 10500;
constexpr int FormWidth = 300 + 120 + TextWidth + 240 + 2280 + 120 + 300;
constexpr int FormHeight = 8400;
constexpr int LastMenuChoice = 2;

bool IsScrollKey(int key)
{
    return key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown || key == Qt::Key_PageUp;
}
}  // namespace

frmViewReport::frmViewReport(QWidget* parent, SummaryPage summary) : QDialog(parent), summary_(summary)
{
    setObjectName(QStringLiteral("frmViewReport"));
    setWindowTitle(QStringLiteral("Client Report"));
    resize(Twips(FormWidth), Twips(FormHeight));
    SetBackground(this, Blue);

    fraAll = new QGroupBox(this);
    fraAll->setObjectName(QStringLiteral("fraAll"));
    fraAll->setGeometry(TwipsRect(300, 150, FormWidth - 600, FormHeight - 1400));
    SetFrameFocusLook(fraAll, false);

    Text1 = new QPlainTextEdit(fraAll);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(TwipsRect(120, 120, TextWidth, FormHeight - 1640));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(10);
    Text1->setFont(font);
    Text1->setStyleSheet(QStringLiteral("QPlainTextEdit { background: white; color: black; }"));

    const char* captions[] = {"&Print Report", "Save as P&DF...", "&Close"};
    const int left = 120 + TextWidth + 240;
    for (int i = 0; i <= LastMenuChoice; ++i)
        cmdMenuChoice[i] = MakeMenuChoice(fraAll, i, QString::fromLatin1(captions[i]), left, 240 + i * 600, 2040, 435);

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, FormHeight - 375, FormWidth, 375));
    MenuChoicePattern::Options options;
    options.statusPanel = MsgPanel;
    options.statusTexts = {QStringLiteral("Print the report on the printer."),
                           QStringLiteral("Save the report as a PDF file."), QStringLiteral("Close the report.")};
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });
    qApp->installEventFilter(this);
}

frmViewReport::~frmViewReport() = default;

QString frmViewReport::DisplayText(const QString& report)
{
    const QList<ReportPage> pages = ReportPages(report);
    QStringList lines;
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            const QString label = QStringLiteral(" page %1 ").arg(i + 1);
            lines.append(QString(30, QChar(0x2500)) + label + QString(30, QChar(0x2500)));
        }
        lines += pages[i];
    }
    return lines.join(QLatin1Char('\n'));
}

bool frmViewReport::Activate()
{
    ShowBusyPointer();
    QString text;
    QString problem;
    if (ScoringResult scored = ScoreAndReport(summary_); !scored)
        problem = scored.Message;
    else
        problem = ReadReportText(text);
    ShowNormalPointer();
    Text1->setPlainText(problem.isEmpty() ? DisplayText(text) : QString());
    if (!problem.isEmpty()) {
        MsgBox::Show(QStringLiteral("The report cannot be shown.\r\r") + problem, MsgBox::Buttons::OkOnly,
                     MsgBox::Icon::Critical, QStringLiteral("Report Error"));
        return false;
    }
    return true;
}

int frmViewReport::exec()
{
    if (!isMaximized())
        CenterForm(this);
    CenterFrame(fraAll);
    if (!Activate())
        return QDialog::Rejected;
    cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
    return QDialog::exec();
}

void frmViewReport::ChooseMenu(int index)
{
    // The busy pointer lets waiting events run: a second Enter must not print a second copy.
    if (busy_)
        return;
    busy_ = true;
    if (index == 0)
        ReportPrinter();
    else if (index == 1)
        SaveAsPdf();
    else
        done(QDialog::Accepted);
    busy_ = false;
}

void frmViewReport::SaveAsPdf()
{
    // Nothing of the client in the name: a file dialog, or the desktop behind it, may remember
    // the name long after the file is gone. The test number and the day tell reports apart.
    const QString suggested = QDir::home().filePath(QStringLiteral("ZEP report %1 %2.pdf")
                                                        .arg(program().CurrentClient)
                                                        .arg(QDate::currentDate().toString(Qt::ISODate)));
    const QString path =
        MsgBox::AskSaveFile(QStringLiteral("Save Report as PDF"), suggested, QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    QByteArray pdf;
    QString problem = RenderReportPdf(pdf);
    if (problem.isEmpty())
        problem = SavePdfFile(path, pdf);
    if (!problem.isEmpty()) {
        MsgBox::Show(problem, MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QStringLiteral("Save as PDF"));
        return;
    }
    MsgPanel->setText(QStringLiteral("Saved as ") + path);
}

bool frmViewReport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::FocusIn)
        MsgPanel->setText(QStringLiteral("Use the arrow keys, Page Up and Page Down to read the report."));
    // The scrolling keys scroll the report from anywhere in the viewer.
    if (event->type() == QEvent::KeyPress && isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (widget && IsScrollKey(key) && widget != Text1 && widget->window() == this && !Text1->isAncestorOf(widget)) {
            Text1->setFocus(Qt::OtherFocusReason);
            QKeyEvent copy(QEvent::KeyPress, key, static_cast<QKeyEvent*>(event)->modifiers());
            QCoreApplication::sendEvent(Text1, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ShowViewReport(QWidget* parent, SummaryPage summary)
{
    frmViewReport viewer(parent, summary);
    viewer.exec();
}
