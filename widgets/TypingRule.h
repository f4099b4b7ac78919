#pragma once
// One rule for every way text can reach a field: typing, pasting (Ctrl+V, Shift+Insert,
// the middle button), dropping and input methods all insert through the line edit, and
// the rule judges what each of them inserts. What breaks it is refused with a beep.
#include <functional>

#include <QStringList>

class QChar;
class QLineEdit;
class QRegularExpression;

// Every inserted character must satisfy `accepts`. Texts in `wholeTexts` (a list box's
// entries, which the box puts into its own line edit) are always let in.
void SetTypingRule(QLineEdit* edit, std::function<bool(QChar)> accepts, const QStringList& wholeTexts = {});

// The whole text must match `shape` (a masked field whose text is always complete).
void SetTextShapeRule(QLineEdit* edit, const QRegularExpression& shape);

// What an edit inserted into `before` to make `after`: the part between the longest common
// start and the longest common end.
QString InsertedText(const QString& before, const QString& after);

// Printable and storable in the data file.
bool IsStorableChar(QChar c);
