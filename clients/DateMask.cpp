#include "clients/DateMask.h"

void DateMask::Clear()
{
    text_ = QStringLiteral("__/__/____");
    cursor_ = 0;
}

bool DateMask::IsAcceptedKey(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('N') || c == QLatin1Char('n') ||
           c == QLatin1Char('/');
}

bool DateMask::Admits(int position, QChar c) const
{
    if (position < 0 || position >= Length || IsLiteral(position))
        return false;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    return position == 0 && c == QLatin1Char('N');
}

void DateMask::SetText(const QString& value)
{
    Clear();
    int position = 0;
    for (QChar c : value.toUpper()) {
        if (position >= Length)
            break;
        if (c == QLatin1Char('/')) {
            // A slash in the value lines up with the mask's own.
            while (position < Length && !IsLiteral(position))
                ++position;
            ++position;
            continue;
        }
        if (IsLiteral(position))
            ++position;
        if (Admits(position, c))
            text_[position] = c;
        ++position;
    }
    cursor_ = 0;
}

void DateMask::ClearRange(int start, int length)
{
    for (int i = qMax(0, start); i < qMin(Length, start + length); ++i) {
        if (!IsLiteral(i))
            text_[i] = Prompt;
    }
}

bool DateMask::Type(QChar typed, int selectionStart, int selectionLength)
{
    const QChar c = typed.toUpper();
    int position = selectionLength > 0 ? selectionStart : cursor_;
    if (c == QLatin1Char('/')) {
        // Right after a full part the cursor has already stepped over its slash: a typed
        // (or pasted) "04/17/1990" keeps the day.
        if (selectionLength == 0 && position > 0 && IsLiteral(position - 1))
            return true;
        // Jumps past the next slash, so "1/" moves on to the day.
        while (position < Length && !IsLiteral(position))
            ++position;
        if (position >= Length)
            return false;
        if (selectionLength > 0)
            ClearRange(selectionStart, selectionLength);
        cursor_ = position + 1;
        return true;
    }
    if (position < Length && IsLiteral(position))
        ++position;
    if (!Admits(position, c))
        return false;
    if (selectionLength > 0)
        ClearRange(selectionStart, selectionLength);
    text_[position] = c;
    cursor_ = position + 1;
    if (cursor_ < Length && IsLiteral(cursor_))
        ++cursor_;
    return true;
}

void DateMask::Backspace(int selectionStart, int selectionLength)
{
    if (selectionLength > 0) {
        ClearRange(selectionStart, selectionLength);
        cursor_ = selectionStart;
        return;
    }
    int position = cursor_ - 1;
    if (position >= 0 && IsLiteral(position))
        --position;
    if (position < 0)
        return;
    text_[position] = Prompt;
    cursor_ = position;
}

void DateMask::Delete(int selectionStart, int selectionLength)
{
    if (selectionLength > 0) {
        ClearRange(selectionStart, selectionLength);
        cursor_ = selectionStart;
        return;
    }
    ClearRange(cursor_, 1);
}
