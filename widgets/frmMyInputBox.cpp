#include "widgets/frmMyInputBox.h"

#include <chrono>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "base/MsgBox.h"
#include "widgets/FormHelpers.h"

namespace {
constexpr int LastMenuChoice = 1;
}

frmMyInputBox::frmMyInputBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMyInputBox"));
    setFixedSize(Twips(6690), Twips(1365));
    SetBackground(this, Blue);

    lblHelpMsg = new QLabel(this);
    lblHelpMsg->setObjectName(QStringLiteral("lblHelpMsg"));
    lblHelpMsg->setGeometry(TwipsRect(120, 120, 3915, 675));
    lblHelpMsg->setWordWrap(true);
    lblHelpMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetBackground(lblHelpMsg, Blue, White);

    txtInput = new QLineEdit(this);
    txtInput->setObjectName(QStringLiteral("txtInput"));
    txtInput->setGeometry(TwipsRect(120, 900, 3915, 315));
    txtInput->installEventFilter(this);
    // The help text promises asterisks; styles draw a bullet unless told otherwise.
    txtInput->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    cmdMenuChoice[0] =
        MakeMenuChoice(this, 0, QStringLiteral("Information OK"), 4260, 180, 2235, 375, &sspMenuChoice[0]);
    cmdMenuChoice[1] = MakeMenuChoice(this, 1, QStringLiteral("Cancel Input"), 4260, 840, 2235, 375, &sspMenuChoice[1]);
    QWidget::setTabOrder(txtInput, cmdMenuChoice[0]);
    QWidget::setTabOrder(cmdMenuChoice[0], cmdMenuChoice[1]);

    MenuChoicePattern::Options options;
    options.clearOnFocusOut = false;
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });

    // "Cancel Input" is the form's cancel button: Escape chooses it from anywhere.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { ChooseMenu(1); });

    Cancelled = false;
}

InputBoxTimer& InputBoxWait()
{
    static InputBoxTimer wait = [](int seconds, QObject* box, std::function<void()> over) {
        QTimer::singleShot(std::chrono::seconds(seconds), box, std::move(over));
    };
    return wait;
}

int frmMyInputBox::exec()
{
    Activate();
    CenterForm(this);
    if (WaitSeconds > 0) {
        SetWaiting(true);
        InputBoxWait()(WaitSeconds, this, [this] { SetWaiting(false); });
    }
    if (txtInput->isEnabled())
        txtInput->setFocus(Qt::OtherFocusReason);
    return QDialog::exec();
}

void frmMyInputBox::SetWaiting(bool waiting)
{
    lblHelpMsg->setText(waiting ? WaitMessage : HelpMessage);
    txtInput->setEnabled(!waiting);
    cmdMenuChoice[0]->setEnabled(!waiting);
    // While the field is shut, the focus waits on "Cancel Input", the one thing left to do.
    (waiting ? cmdMenuChoice[1] : static_cast<QWidget*>(txtInput))->setFocus(Qt::OtherFocusReason);
}

void frmMyInputBox::Activate()
{
    txtInput->setMaxLength(InputLength > 0 ? InputLength : 32767);
    lblHelpMsg->setText(HelpMessage);
    txtInput->setEchoMode(PasswordInput ? QLineEdit::Password : QLineEdit::Normal);
    ClearMenuChoices(this, LastMenuChoice);
}

bool frmMyInputBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtInput && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdMenuChoice[0]->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    if (watched == txtInput && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(
            this, [] { SelectAllText(); }, Qt::QueuedConnection);
    return QDialog::eventFilter(watched, event);
}

void frmMyInputBox::ChooseMenu(int index)
{
    if (index == 0) {
        if (!txtInput->text().isEmpty()) {
            InputValue = txtInput->text();
            accept();
            return;
        }
        MsgBox::Show(PasswordInput ? QStringLiteral("Please enter the required password.")
                                   : QStringLiteral("Please enter the required data."),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::Question, QStringLiteral("Input required"));
        txtInput->setFocus(Qt::OtherFocusReason);
        return;
    }
    reject();
}

void frmMyInputBox::reject()
{
    Cancelled = true;
    QDialog::reject();
}
