#include "scoring/frmSupervisorOptions.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/DelNames.h"
#include "scoring/BulkPrintRun.h"
#include "scoring/frmPrintSelected.h"
#include "scoring/frmViewReport.h"
#include "testing/frmVerify.h"
#include "widgets/FormHelpers.h"
#include "widgets/Password.h"

namespace {
constexpr int FormWidth = 9900;
constexpr int FormHeight = 5700;
constexpr int LastMenuChoice = 1;
const char* const TabTitles[] = {"Print Report", "Verify Data", "Delete Names"};

// A tab that only explains its operation, in the frame "Option Comments".
QLabel* AddCommentTab(QTabWidget* tabs, const char* name, const QString& title, const QString& text)
{
    auto* tab = new QWidget;
    tab->setObjectName(QString::fromLatin1(name));
    SetBackground(tab, Blue);
    auto* frame = new QGroupBox(QStringLiteral("Option Comments"), tab);
    frame->setObjectName(QStringLiteral("fraOptionComments"));
    frame->setGeometry(TwipsRect(120, 120, 6060, 2850));
    SetFrameFocusLook(frame, false);
    auto* label = new QLabel(text, frame);
    label->setWordWrap(true);
    label->setGeometry(TwipsRect(150, 300, 5760, 2430));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tabs->addTab(tab, title);
    return label;
}
}  // namespace

frmSupervisorOptions::frmSupervisorOptions(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSupervisorOptions"));
    setWindowTitle(QStringLiteral("Supervisor Options"));
    setFixedSize(Twips(FormWidth), Twips(FormHeight));
    SetBackground(this, Blue);

    sstSupervisorOperations = new QTabWidget(this);
    sstSupervisorOperations->setObjectName(QStringLiteral("sstSupervisorOperations"));
    sstSupervisorOperations->setGeometry(TwipsRect(240, 180, 6480, 3570));
    sstSupervisorOperations->tabBar()->installEventFilter(this);

    auto* reports = new QWidget;
    reports->setObjectName(QStringLiteral("tabReports"));
    fraReportOption = new QGroupBox(QStringLiteral("Choose Report Option"), reports);
    fraReportOption->setObjectName(QStringLiteral("fraReportOption"));
    fraReportOption->setGeometry(TwipsRect(120, 120, 6060, 2850));
    SetFrameFocusLook(fraReportOption, false);
    const QString options[] = {QStringLiteral("Print above current client's report"),
                               QStringLiteral("Select and print multiple clients' reports"),
                               QStringLiteral("Print all clients' reports"),
                               QStringLiteral("Export scores to a file\u2026")};
    for (int i = 0; i < int(optPrintOption.size()); ++i) {
        optPrintOption[i] = new QRadioButton(options[i], fraReportOption);
        optPrintOption[i]->setObjectName(QStringLiteral("optPrintOption_%1").arg(i));
        optPrintOption[i]->setGeometry(TwipsRect(240, 330 + i * 390, 5600, 330));
        optPrintOption[i]->installEventFilter(this);
        connect(optPrintOption[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                PrintOption = i;
        });
    }
    optPrintOption[0]->setChecked(true);
    chkSumPage = new QCheckBox(QStringLiteral("One-page summary report"), fraReportOption);
    chkSumPage->setObjectName(QStringLiteral("chkSumPage"));
    chkSumPage->setGeometry(TwipsRect(240, 1950, 5600, 330));
    chkPdfFile = new QCheckBox(QStringLiteral("Multiple or all reports into a PDF file"), fraReportOption);
    chkPdfFile->setObjectName(QStringLiteral("chkPdfFile"));
    chkPdfFile->setGeometry(TwipsRect(240, 2340, 5600, 330));
    sstSupervisorOperations->addTab(reports, QStringLiteral("&Reports"));

    SetBackground(reports, Blue);
    lblOptionComments[0] = AddCommentTab(
        sstSupervisorOperations, "tabVerify", QStringLiteral("&Verify Data"),
        QStringLiteral("This option gives you the opportunity to re-enter the client's responses from the answer "
                       "sheet.  After you enter the responses, any differences from what was just entered and "
                       "what was previously stored will be reported.  This gives you the opportunity to correct "
                       "any errors."));
    lblOptionComments[1] = AddCommentTab(
        sstSupervisorOperations, "tabDeleteNames", QStringLiteral("&Delete Names"),
        QStringLiteral("This option will delete the client's name from the client database.  USE WITH CAUTION!  "
                       "Once the name has been deleted on this data disk, it CANNOT be retrieved.  All other "
                       "associated client data, demographics, court history and responses will NOT be deleted.  "
                       "Use this option to protect client confidentiality when you are done with the disk."));

    fraCurrentClient = new QGroupBox(QStringLiteral("Current Client"), this);
    fraCurrentClient->setObjectName(QStringLiteral("fraCurrentClient"));
    fraCurrentClient->setGeometry(TwipsRect(240, 3870, 6480, 690));
    SetFrameFocusLook(fraCurrentClient, false);
    lblNameDisplay = new QLabel(fraCurrentClient);
    lblNameDisplay->setObjectName(QStringLiteral("lblNameDisplay"));
    lblNameDisplay->setGeometry(TwipsRect(240, 300, 6000, 300));

    const char* captions[] = {"Execute Selection", "Go to Main Menu"};
    for (int i = 0; i <= LastMenuChoice; ++i)
        cmdMenuChoice[i] = MakeMenuChoice(this, i, QString::fromLatin1(captions[i]), 7080, 600 + i * 660, 2460, 435);

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, FormHeight - 375, FormWidth, 375));
    MenuChoicePattern::Options menu;
    menu.statusPanel = MsgPanel;
    menu.statusTexts = {QStringLiteral("Perform the selected operation."),
                        QStringLiteral("Close the Utilities window returning to the Main Menu.")};
    new MenuChoicePattern(this, LastMenuChoice, menu, [this](int i) { ChooseMenu(i); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { ChooseMenu(1); });
    connect(sstSupervisorOperations, &QTabWidget::currentChanged, this, &frmSupervisorOptions::ChangeTab);

    // Load: the form state starts afresh.
    if (program().ClientCount >= 1)
        lblNameDisplay->setText(CurrentName());
    else
        EmptyDisk = true;
    SetTabColour(false);
}

frmSupervisorOptions::~frmSupervisorOptions() = default;

QString frmSupervisorOptions::CurrentName() const
{
    const Program& p = program();
    return p.CurrentClient >= 1 && p.CurrentClient <= p.ClientCount ? p.ClientTable[p.CurrentClient].Name.trimmed()
                                                                    : QString();
}

int frmSupervisorOptions::exec()
{
    if (!isMaximized())
        CenterForm(this);
    SetTabColour(false);
    if (EmptyDisk) {
        MsgBox::Show(QStringLiteral("There are no clients on this data disk.\rReturning to main menu."),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::Information, QStringLiteral("Empty Data Disk"));
        return QDialog::Rejected;
    }
    sstSupervisorOperations->tabBar()->setFocus(Qt::OtherFocusReason);
    return QDialog::exec();
}

void frmSupervisorOptions::SetTabColour(bool focused)
{
    const QString back = focused ? QStringLiteral("cyan") : QStringLiteral("blue");
    const QString fore = focused ? QStringLiteral("black") : QStringLiteral("white");
    sstSupervisorOperations->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { background: %1; color: %2; padding: 4px 12px; border: 1px solid white; }"
                       "QTabBar::tab:selected { font-weight: bold; }")
            .arg(back, fore));
    sstSupervisorOperations->setProperty("focusedLook", focused);
}

void frmSupervisorOptions::ChangeTab(int tab)
{
    if (tab == 0) {
        MsgPanel->clear();
        lblNameDisplay->setText(CurrentName());
        optPrintOption[PrintOption]->setChecked(true);
    } else if (tab == 1) {
        MsgPanel->setText(QStringLiteral("Click Execute to perform data verification."));
        lblNameDisplay->setText(CurrentName());
    } else {
        MsgPanel->setText(QStringLiteral("Click Execute to perform delete names operation."));
        lblNameDisplay->setText(QStringLiteral("All Clients"));
    }
}

bool frmSupervisorOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sstSupervisorOperations->tabBar()) {
        if (event->type() == QEvent::FocusIn)
            SetTabColour(true);
        else if (event->type() == QEvent::FocusOut)
            SetTabColour(false);
    } else if (event->type() == QEvent::FocusIn) {
        for (QRadioButton* option : optPrintOption) {
            if (watched == option)
                MsgPanel->setText(QStringLiteral("Use the arrow keys or mouse to choose print operation."));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSupervisorOptions::ChooseMenu(int index)
{
    if (index == 0)
        ExecuteSelection();
    done(index == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void frmSupervisorOptions::ExecuteSelection()
{
    const int tab = sstSupervisorOperations->currentIndex();
    if (program().ClientCount == 0) {
        MsgBox::Show(QStringLiteral("Database empty.\rCannot perform this function."), MsgBox::Buttons::OkOnly,
                     MsgBox::Icon::Information, QString::fromLatin1(TabTitles[tab]));
        return;
    }
    if (tab == 0) {
        PrintReports();
    } else if (tab == 1) {
        frmVerify verify(this);
        verify.exec();
    } else {
        DeleteClientNames();
    }
}

void frmSupervisorOptions::PrintReports()
{
    if (!CheckSecretCode())
        return;
    Program& p = program();
    int option = 0;
    for (int i = 0; i < int(optPrintOption.size()); ++i)
        if (optPrintOption[i]->isChecked())
            option = i;
    const SummaryPage summary = chkSumPage->isChecked() ? SummaryPage::With : SummaryPage::Without;
    if (option == 0) {
        ShowViewReport(this, summary);
        return;
    }
    if (option == 3) {
        RunScoresExport(this);
        return;
    }
    if (option == 1) {
        frmPrintSelected selected(this, chkPdfFile->isChecked(), summary);
        selected.exec();
        return;
    }
    QString pdfPath;
    if (chkPdfFile->isChecked() && (pdfPath = AskBulkPdfFile()).isEmpty())
        return;
    QList<int> all;
    for (int slot = 1; slot <= p.ClientCount; ++slot)
        all.append(slot);
    RunBulkPrint(this, all, pdfPath, summary);
    p.CurrentClient = 1;
}

void ShowSupervisorOptions(QWidget* parent)
{
    frmSupervisorOptions form(parent);
    form.exec();
}
