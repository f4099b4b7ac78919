#include "clients/frmCourtHistory.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "widgets/FormHelpers.h"
#include "widgets/TypingRule.h"

namespace {
constexpr int LastMenuChoice = 2;
constexpr int BoxesPerColumn = 6;
}  // namespace

frmCourtHistory::frmCourtHistory(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCourtHistory"));
    setWindowTitle(QStringLiteral("Court History"));
    setFixedSize(Twips(10185), Twips(6090));
    SetBackground(this, Blue);

    frCourt = new QGroupBox(this);
    frCourt->setObjectName(QStringLiteral("frCourt"));
    frCourt->setGeometry(TwipsRect(120, 120, 9945, 4200));
    SetBackground(frCourt, Blue);

    lblClientName = new QLabel(frCourt);
    lblClientName->setObjectName(QStringLiteral("lblClientName"));
    lblClientName->setGeometry(TwipsRect(480, 180, 9345, 345));
    lblClientName->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetBackground(lblClientName, Blue, White);
    SetBold(lblClientName, true);

    for (int i = 0; i < CourtFieldCount; ++i) {
        const int column = i / BoxesPerColumn;
        const int top = 720 + (i % BoxesPerColumn) * 450;
        const int left = 120 + column * 4920;
        lblInfo[i] = new QLabel(QString::fromLatin1(CourtFields[i].Caption), frCourt);
        lblInfo[i]->setObjectName(QStringLiteral("lblInfo_%1").arg(i));
        lblInfo[i]->setGeometry(TwipsRect(left, top, 4080, 345));
        lblInfo[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        SetBackground(lblInfo[i], Blue, White);
        txtCourt[i] = new QLineEdit(frCourt);
        txtCourt[i]->setObjectName(QString::fromLatin1(CourtFields[i].Control));
        txtCourt[i]->setMaxLength(2);
        txtCourt[i]->setGeometry(TwipsRect(left + 4200, top, 480, 345));
        txtCourt[i]->installEventFilter(this);
        SetTypingRule(txtCourt[i], IsStorableChar);
    }

    cmdMenuChoice[0] =
        MakeMenuChoice(frCourt, 0, QStringLiteral("Information OK"), 2400, 3540, 2235, 375, &sspMenuChoice[0]);
    cmdMenuChoice[1] =
        MakeMenuChoice(frCourt, 1, QStringLiteral("Cancel Input"), 5280, 3540, 2235, 375, &sspMenuChoice[1]);
    for (int i = 0; i + 1 < CourtFieldCount; ++i)
        QWidget::setTabOrder(txtCourt[i], txtCourt[i + 1]);
    QWidget::setTabOrder(txtCourt[CourtFieldCount - 1], cmdMenuChoice[0]);
    QWidget::setTabOrder(cmdMenuChoice[0], cmdMenuChoice[1]);

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, 5715, 10185, 375));

    MenuChoicePattern::Options options;
    options.statusPanel = MsgPanel;
    options.statusTexts = {QStringLiteral("If information is correct press Enter or press Tab to change an entry."),
                           QStringLiteral("Cancel information input and return to Main Menu.")};
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });
    // Escape is "Cancel Input" wherever the focus is, on the buttons too.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmCourtHistory::reject);

    if (program().EditMode)
        GetCourtData();
}

int frmCourtHistory::exec()
{
    CenterForm(this);
    QMetaObject::invokeMethod(this, &frmCourtHistory::Activate, Qt::QueuedConnection);
    return QDialog::exec();
}

void frmCourtHistory::Activate()
{
    const Program& p = program();
    if (p.EditMode)
        GetCourtData();
    CenterFrame(frCourt);
    ClearMenuChoices(this, LastMenuChoice);
    lblClientName->setText(p.ClientTable[p.CurrentClient].Name.text());
    lblClientName->show();
    if (p.EditMode)
        cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
    else
        txtCourt[0]->setFocus(Qt::OtherFocusReason);
}

void frmCourtHistory::GetCourtData()
{
    const Program& p = program();
    const ClientRecord& r = p.ClientTable[p.CurrentClient];
    for (int i = 0; i < CourtFieldCount; ++i)
        txtCourt[i]->setText((r.*CourtFields[i].Field).trimmed());
}

void frmCourtHistory::SaveCourtData()
{
    Program& p = program();
    ClientRecord& r = p.ClientTable[p.CurrentClient];
    for (int i = 0; i < CourtFieldCount; ++i)
        r.*CourtFields[i].Field = txtCourt[i]->text();
}

int frmCourtHistory::BoxOf(QObject* watched) const
{
    for (int i = 0; i < CourtFieldCount; ++i) {
        if (watched == txtCourt[i])
            return i;
    }
    return -1;
}

bool frmCourtHistory::eventFilter(QObject* watched, QEvent* event)
{
    const int box = BoxOf(watched);
    if (box < 0)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        QMetaObject::invokeMethod(
            this, [] { SelectAllText(); }, Qt::QueuedConnection);
        SetBold(lblInfo[box], true);
        MsgPanel->setText(box == 0 ? QStringLiteral("Type a value 5 to 99 or N for Not Available, then press Enter.")
                                   : QStringLiteral("Type a value 0 to 99 or N for Not Available, then press Enter."));
        break;
    case QEvent::FocusOut: SetBold(lblInfo[box], false); break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EnterInBox(box);
            return true;
        }
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmCourtHistory::EnterInBox(int index)
{
    QLineEdit* box = txtCourt[index];
    QString text = box->text().trimmed().toUpper();
    box->setText(text);
    const bool accepted = index == 0 ? ValidateFirstConviction(text) : ValidateCourtValue(text, 0, 99);
    if (accepted) {
        if (index + 1 < CourtFieldCount)
            txtCourt[index + 1]->setFocus(Qt::TabFocusReason);
        else
            cmdMenuChoice[0]->setFocus(Qt::TabFocusReason);
        return true;
    }
    Beep();
    MsgBox::Show(index == 0
                     ? QStringLiteral("Enter a number from 5 to 99 or N for Not Available. Press Enter to continue.")
                     : QStringLiteral("Enter a number from 0 to 99 or N for Not Available. Press Enter to continue."),
                 MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QStringLiteral("Data Entry Error"));
    box->setFocus(Qt::OtherFocusReason);
    // The next try replaces what was refused.
    box->selectAll();
    return false;
}

void frmCourtHistory::ChooseMenu(int index)
{
    if (index == 0)
        InformationOk();
    else
        reject();
}

void frmCourtHistory::InformationOk()
{
    Program& p = program();
    for (int index : CourtCheckOrder) {
        QString text = txtCourt[index]->text();
        if (!ValidateCourtValue(text, 0, 99)) {
            EnterInBox(index);
            txtCourt[index]->setFocus(Qt::OtherFocusReason);
            return;
        }
        txtCourt[index]->setText(text);
    }

    ClientRecord& record = p.ClientTable[p.CurrentClient];
    const ClientRecord before = record;
    SaveCourtData();
    // An existing client's corrected court history is written at once: the answer sheet
    // that follows may be cancelled, and the change must not live in memory only.
    if (p.EditMode && !(record == before) && !WriteClientRecord(p.CurrentClient)) {
        record = before;
        cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
        return;
    }
    p.InputAccepted = true;
    accept();
}

void frmCourtHistory::reject()
{
    Program& p = program();
    if (!p.EditMode)
        ClearCurrentRecord();
    p.InputAccepted = false;
    QDialog::reject();
}
