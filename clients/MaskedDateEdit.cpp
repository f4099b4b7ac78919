#include "clients/MaskedDateEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>

#include "base/MsgBox.h"
#include "widgets/TypingRule.h"

MaskedDateEdit::MaskedDateEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(DateMask::Length);
    // Only typed keys go through the mask; pasting or dropping text would bypass it.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setDragEnabled(false);
    // Whatever way text might still get in, the field only ever holds a mask.
    SetTextShapeRule(this, QRegularExpression(QStringLiteral("^[0-9N_][0-9_]/[0-9_]{2}/[0-9_]{4}$")));
    Show();
}

bool MaskedDateEdit::InsertThroughMask(const QString& text)
{
    DateMask trial = mask_;
    trial.SetCursor(cursorPosition());
    int selStart = hasSelectedText() ? selectionStart() : 0;
    int selLength = hasSelectedText() ? int(selectedText().size()) : 0;
    for (QChar c : text) {
        if (!DateMask::IsAcceptedKey(c) || !trial.Type(c, selStart, selLength)) {
            Beep();
            return false;
        }
        selStart = selLength = 0;
    }
    mask_ = trial;
    Show();
    return true;
}

void MaskedDateEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void MaskedDateEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the X selection.
    if (event->button() == Qt::MiddleButton) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection())
            InsertThroughMask(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void MaskedDateEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty())
        InsertThroughMask(event->commitString());
    event->accept();
}

void MaskedDateEdit::SetValue(const QString& value)
{
    mask_.SetText(value);
    Show();
}

void MaskedDateEdit::Show()
{
    setText(mask_.Text());
    setCursorPosition(mask_.Cursor());
}

void MaskedDateEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const int selStart = hasSelectedText() ? selectionStart() : 0;
    const int selLength = hasSelectedText() ? int(selectedText().size()) : 0;
    mask_.SetCursor(cursorPosition());

    if (event->matches(QKeySequence::Paste)) {
        InsertThroughMask(QGuiApplication::clipboard()->text());
        return;
    }
    switch (key) {
    case Qt::Key_Backspace:
        mask_.Backspace(selStart, selLength);
        Show();
        return;
    case Qt::Key_Delete:
        mask_.Delete(selStart, selLength);
        Show();
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Insert: QLineEdit::keyPressEvent(event); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: event->ignore(); return;
    default: break;
    }

    const QString typed = event->text();
    if (typed.size() != 1 || !typed[0].isPrint() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Shortcuts such as paste would bypass the mask.
        event->ignore();
        return;
    }
    if (!DateMask::IsAcceptedKey(typed[0]) || !mask_.Type(typed[0], selStart, selLength)) {
        Beep();
        return;
    }
    Show();
}
