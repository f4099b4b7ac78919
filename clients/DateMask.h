#pragma once
// The date-of-birth field's mask: "mm/dd/yyyy" with fixed slashes, "_" where nothing is
// typed yet, "N" (not available) allowed only in the first position, digits elsewhere.
// The form compares the displayed text ("__/__/____", "N_/__/____") as it stands.
#include <QString>

class DateMask {
public:
    static constexpr int Length = 10;
    static constexpr QChar Prompt = QLatin1Char('_');

    DateMask() { Clear(); }

    const QString& Text() const { return text_; }
    int Cursor() const { return cursor_; }
    void SetCursor(int position) { cursor_ = qBound(0, position, Length); }

    void Clear();
    // Puts a value into the mask: "N" shows as "N_/__/____", a stored date as itself.
    // Characters the mask does not admit where they would land are left out.
    void SetText(const QString& value);

    // One typed character at the cursor (a selection is emptied first and the character
    // lands at its start). Returns false, changing nothing, when the mask refuses it.
    bool Type(QChar c, int selectionStart = 0, int selectionLength = 0);
    void Backspace(int selectionStart = 0, int selectionLength = 0);
    void Delete(int selectionStart = 0, int selectionLength = 0);

    static bool IsLiteral(int position) { return position == 2 || position == 5; }
    // Keys the field lets through at all; anything else is refused with a beep.
    static bool IsAcceptedKey(QChar c);

private:
    bool Admits(int position, QChar c) const;
    void ClearRange(int start, int length);
    QString text_;
    int cursor_ = 0;
};
