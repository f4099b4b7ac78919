#include "testing/frmVerify.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "widgets/FormHelpers.h"

namespace {

QGroupBox* MakeFrame(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(geometry);
    SetBackground(frame, Blue, White);
    return frame;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetBackground(label, Blue, White);
    return label;
}

QLineEdit* MakeAnswerBox(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    box->setMaxLength(1);
    box->setAlignment(Qt::AlignCenter);
    box->setContextMenuPolicy(Qt::NoContextMenu);
    box->setAcceptDrops(false);
    return box;
}

}  // namespace

frmVerify::frmVerify(QWidget* parent)
    : QDialog(parent), Verify(program().ClientTable[program().CurrentClient].Answers, program().SectionBounds[1])
{
    setObjectName(QStringLiteral("frmVerify"));
    setWindowTitle(QStringLiteral("Test Data Input Verification"));
    setFixedSize(Twips(8400), Twips(4680));
    SetBackground(this, Blue);

    frAll = MakeFrame(this, "frAll", QStringLiteral("Data Verification"), TwipsRect(1200, 360, 6000, 3000));
    Frame2 = MakeFrame(frAll, "Frame2", QStringLiteral("Current Question"), TwipsRect(360, 360, 5280, 840));
    lblCurQuestion = MakeLabel(Frame2, "lblCurQuestion", TwipsRect(240, 360, 3000, 345));
    txtCurQuestion = MakeAnswerBox(Frame2, "txtCurQuestion", TwipsRect(3480, 360, 480, 345));
    Frame1 = MakeFrame(frAll, "Frame1", QStringLiteral("Previous Question"), TwipsRect(360, 1320, 5280, 840));
    lblPrevQuestion = MakeLabel(Frame1, "lblPrevQuestion", TwipsRect(240, 360, 3000, 345));
    txtPrevQuestion = MakeAnswerBox(Frame1, "txtPrevQuestion", TwipsRect(3480, 360, 480, 345));
    txtPrevQuestion->setReadOnly(true);
    txtPrevQuestion->setFocusPolicy(Qt::NoFocus);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), frAll);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(TwipsRect(2152, 2400, 1695, 375));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &frmVerify::reject);

    pnlMessage = MakeStatusPanel(this, TwipsRect(0, 4305, 8400, 375));
    pnlMessage->setObjectName(QStringLiteral("pnlMessage"));
    pnlMessage->setText(EntryStatusText());

    txtCurQuestion->installEventFilter(this);
    cmdCancel->installEventFilter(this);
    // Whatever reaches the box without a key (pasting with the mouse, an input method) is
    // thrown away: the box never keeps an answer, the digits live in VerifyEntered.
    connect(txtCurQuestion, &QLineEdit::textChanged, txtCurQuestion, [this](const QString& text) {
        if (!text.isEmpty())
            txtCurQuestion->clear();
    });
    QWidget::setTabOrder(txtCurQuestion, cmdCancel);

    ShowPosition();
}

int frmVerify::exec()
{
    Activate();
    return QDialog::exec();
}

void frmVerify::Activate()
{
    CenterForm(this);
    CenterFrame(frAll);
    Verify.CorrectionPass = false;
    ShowPosition();
    txtCurQuestion->setFocus(Qt::OtherFocusReason);
}

QString frmVerify::EntryStatusText() const
{
    if (SavePending)
        return QStringLiteral("The verified answers are not saved. Press Enter to try again, or Cancel.");
    return QStringLiteral("Enter response data from answer sheet. Press Backspace for previous question.");
}

void frmVerify::ShowPosition()
{
    if (Verify.VerifyPos < 2) {
        Frame1->hide();
    } else {
        lblPrevQuestion->setText(Verification::ItemLabel(Verify.PreviousItem()));
        Frame1->show();
    }
    lblCurQuestion->setText(Verification::ItemLabel(Verify.CurrentItem()));
}

bool frmVerify::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        pnlMessage->setText(watched == cmdCancel
                                ? QStringLiteral("Press Enter to Cancel Data Verification and return to Main Menu")
                                : EntryStatusText());
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == cmdCancel) {
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        cmdCancel->click();
        return true;
    }
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape: return false;  // focus moves on; Escape is Cancel
    default: break;
    }
    // Every key with a character is an answer or a beep and never reaches the box;
    // keys without one (arrows, function keys) do nothing.
    if (key->key() == Qt::Key_Backspace || !key->text().isEmpty())
        TypeKey(key->key(), key->text().isEmpty() ? QChar() : key->text().at(0));
    return true;
}

void frmVerify::TypeKey(int key, QChar typed)
{
    if (key == Qt::Key_Backspace) {
        if (!Verify.StepBack()) {
            Beep();
            return;
        }
        SavePending = false;
        pnlMessage->setText(EntryStatusText());
        const int previous = Verify.PreviousItem();
        lblPrevQuestion->setText(previous ? Verification::ItemLabel(previous) : QString());
        txtPrevQuestion->setText(previous ? QString(Verify.EnteredFor(previous)) : QString());
        ShowPosition();
        return;
    }
    if (SavePending) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            SaveVerification();
        else
            Beep();
        return;
    }
    switch (Verify.TypeAnswer(typed)) {
    case Verification::Typed::Refused: Beep(); return;
    case Verification::Typed::Next:
        txtPrevQuestion->setText(QString(typed));
        ShowPosition();
        return;
    case Verification::Typed::PassEnded:
        txtPrevQuestion->setText(QString(typed));
        EndPass();
        return;
    }
}

void frmVerify::EndPass()
{
    if (!Verify.CorrectionPass && Verify.StartCorrectionPass() > 0) {
        MsgBox::Show(QStringLiteral("Data Correction needed. Please correct the following questions."),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::None, QStringLiteral("Data Corrections"));
        ShowPosition();
        txtCurQuestion->clear();
        txtCurQuestion->setFocus(Qt::OtherFocusReason);
        return;
    }
    SaveVerification();
}

// The record is written before the operator is told the verification is complete, so that
// a disk that refuses the record never follows a message saying it was done.
void frmVerify::SaveVerification()
{
    Program& p = program();
    ClientRecord& record = p.ClientTable[p.CurrentClient];
    const FixedText<AnswerCount> stored = record.Answers;
    if (Verify.CorrectionPass)
        record.Answers = Verify.VerifyEntered;
    if (!WriteClientRecord(p.CurrentClient)) {
        // The operator gave up on the disk: memory keeps what the disk holds, and the form
        // stays with the answers typed, to be saved again with Enter or dropped with Cancel.
        record.Answers = stored;
        SavePending = true;
        pnlMessage->setText(EntryStatusText());
        txtCurQuestion->setFocus(Qt::OtherFocusReason);
        return;
    }
    SavePending = false;
    if (Verify.CorrectionPass)
        MsgBox::Show(QStringLiteral("Data Verification complete."), MsgBox::Buttons::OkOnly, MsgBox::Icon::None,
                     QStringLiteral("Data Verification"));
    else
        MsgBox::Show(QStringLiteral("Data Verification complete. No corrections needed."), MsgBox::Buttons::OkOnly,
                     MsgBox::Icon::None, QStringLiteral("Data Verification."));
    accept();
}
