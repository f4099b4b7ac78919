#include "clients/MaskedDateEdit.h"

#include <QKeyEvent>

#include "app/MsgBox.h"

MaskedDateEdit::MaskedDateEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(DateMask::Length);
    // Only typed keys go through the mask; pasting or dropping text would bypass it.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setDragEnabled(false);
    Show();
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
    case Qt::Key_Insert:
        QLineEdit::keyPressEvent(event);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        event->ignore();
        return;
    default:
        break;
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
