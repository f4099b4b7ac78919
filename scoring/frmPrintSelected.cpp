#include "scoring/frmPrintSelected.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

#include "base/Ansi.h"
#include "base/Program.h"
#include "scoring/BulkPrintRun.h"
#include "widgets/FormHelpers.h"

namespace {
constexpr int FormWidth = 9600;
constexpr int FormHeight = 6600;
constexpr int LastMenuChoice = 2;
}  // namespace

frmPrintSelected::frmPrintSelected(QWidget* parent, bool toPdf, SummaryPage summary)
    : QDialog(parent), toPdf_(toPdf), summary_(summary)
{
    setObjectName(QStringLiteral("frmPrintSelected"));
    setWindowTitle(QStringLiteral("Print Selected Reports"));
    setFixedSize(Twips(FormWidth), Twips(FormHeight));
    SetBackground(this, Blue);

    fraAll = new QGroupBox(this);
    fraAll->setObjectName(QStringLiteral("fraAll"));
    fraAll->setGeometry(TwipsRect(240, 150, FormWidth - 480, FormHeight - 1100));
    SetFrameFocusLook(fraAll, false);

    fraClientList = new QGroupBox(QStringLiteral("Client List"), fraAll);
    fraClientList->setObjectName(QStringLiteral("fraClientList"));
    fraClientList->setGeometry(TwipsRect(120, 120, 4200, 4200));
    SetFrameFocusLook(fraClientList, false);
    lbNameDisplay = new QListWidget(fraClientList);
    lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    lbNameDisplay->setGeometry(TwipsRect(120, 300, 3960, 3780));
    lbNameDisplay->setSelectionMode(QAbstractItemView::MultiSelection);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    lbNameDisplay->setFont(font);
    lbNameDisplay->installEventFilter(this);

    txtInstructions = new QPlainTextEdit(fraAll);
    txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    txtInstructions->setGeometry(TwipsRect(4500, 120, FormWidth - 480 - 4620, 2700));
    txtInstructions->setReadOnly(true);
    txtInstructions->setFocusPolicy(Qt::NoFocus);
    txtInstructions->setPlainText(
        QStringLiteral("- Select the names of the reports to print by clicking on them (or the space bar).\n"
                       "- Use the scroll bar to see more names.\n"
                       "- Names scrolled out of view stay selected and will print.\n"
                       "- Click a selected name again to deselect it.\n"
                       "- \"Select All\" selects every name.\n"
                       "- \"Print Selected\" prints all selected reports.\n"
                       "- \"Return to Main Menu\" cancels the selections and returns to the main menu."));

    const char* captions[] = {"Print Selected", "Select All", "Return to Main Menu"};
    for (int i = 0; i <= LastMenuChoice; ++i)
        cmdMenuChoice[i] = MakeMenuChoice(fraAll, i, QString::fromLatin1(captions[i]), 5400, 3000 + i * 540, 2700, 435);

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, FormHeight - 375, FormWidth, 375));
    MenuChoicePattern::Options options;
    options.statusPanel = MsgPanel;
    options.statusTexts = {QStringLiteral("Print the reports of the selected clients."),
                           QStringLiteral("Select every client in the list."),
                           QStringLiteral("Cancel the selections and return to the Main Menu.")};
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { ChooseMenu(2); });
    connect(lbNameDisplay, &QListWidget::currentRowChanged, this, &frmPrintSelected::UpdatePrintButton);
    connect(lbNameDisplay, &QListWidget::itemSelectionChanged, this, &frmPrintSelected::UpdatePrintButton);
}

int frmPrintSelected::exec()
{
    if (!isMaximized())
        CenterForm(this);
    Activate();
    lbNameDisplay->setFocus(Qt::OtherFocusReason);
    return QDialog::exec();
}

void frmPrintSelected::Activate()
{
    CenterFrame(fraAll);
    const Program& p = program();
    lbNameDisplay->clear();
    for (int slot = 1; slot <= p.ClientCount; ++slot)
        lbNameDisplay->addItem(QString::number(slot) + QLatin1Char('-') + p.ClientTable[slot].Name.text());
    UpdatePrintButton();
}

void frmPrintSelected::UpdatePrintButton()
{
    const QListWidgetItem* current = lbNameDisplay->currentItem();
    cmdMenuChoice[0]->setEnabled(current && !current->text().isEmpty());
}

bool frmPrintSelected::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbNameDisplay) {
        if (event->type() == QEvent::FocusIn) {
            MsgPanel->setText(QStringLiteral("Use up or down arrow keys or mouse to select client."));
            SetFrameFocusLook(fraClientList, true);
        } else if (event->type() == QEvent::FocusOut) {
            SetFrameFocusLook(fraClientList, false);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrintSelected::ChooseMenu(int index)
{
    if (index == 0)
        PrintSelected();
    else if (index == 1)
        lbNameDisplay->selectAll();
    else
        done(QDialog::Rejected);
}

void frmPrintSelected::PrintSelected()
{
    QList<int> chosen;
    for (int i = 0; i < lbNameDisplay->count(); ++i) {
        if (lbNameDisplay->item(i)->isSelected()) {
            lbNameDisplay->setCurrentRow(i, QItemSelectionModel::NoUpdate);
            chosen.append(i + 1);
        }
    }
    if (!chosen.isEmpty()) {
        QString pdfPath;
        // A cancelled file question keeps the list as chosen: the operator may print again.
        if (toPdf_ && (pdfPath = AskBulkPdfFile()).isEmpty())
            return;
        RunBulkPrint(this, chosen, pdfPath, summary_);
    }
    done(QDialog::Accepted);
}
