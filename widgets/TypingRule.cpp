#include "widgets/TypingRule.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QValidator>

#include "base/Ansi.h"
#include "base/MsgBox.h"

namespace {

// A refused edit is undone by the line edit itself. Only the operator's own edits beep:
// the form putting a stored value into a field it does not have the focus of is no refusal.
void RefuseNoisily(const QLineEdit* edit)
{
    if (edit->hasFocus())
        Beep();
}

class InsertionRule : public QValidator {
public:
    InsertionRule(QLineEdit* edit, std::function<bool(QChar)> accepts, QStringList wholeTexts)
        : QValidator(edit), edit_(edit), accepts_(std::move(accepts)), wholeTexts_(std::move(wholeTexts)),
          committed_(edit->text())
    {
        // The validator sees only the text after an edit; what it was before is kept here.
        QObject::connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { committed_ = text; });
    }

    State validate(QString& input, int&) const override
    {
        if (wholeTexts_.contains(input))
            return Acceptable;
        for (QChar c : InsertedText(committed_, input)) {
            if (!accepts_(c)) {
                RefuseNoisily(edit_);
                return Invalid;
            }
        }
        return Acceptable;
    }

private:
    QLineEdit* edit_;
    std::function<bool(QChar)> accepts_;
    QStringList wholeTexts_;
    QString committed_;
};

class ShapeRule : public QValidator {
public:
    ShapeRule(QLineEdit* edit, const QRegularExpression& shape) : QValidator(edit), edit_(edit), shape_(shape) {}

    State validate(QString& input, int&) const override
    {
        if (shape_.match(input).hasMatch())
            return Acceptable;
        RefuseNoisily(edit_);
        return Invalid;
    }

private:
    QLineEdit* edit_;
    QRegularExpression shape_;
};

}  // namespace

QString InsertedText(const QString& before, const QString& after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype start = 0;
    while (start < shorter && before[start] == after[start])
        ++start;
    qsizetype end = 0;
    while (end < shorter - start && before[before.size() - 1 - end] == after[after.size() - 1 - end])
        ++end;
    return after.mid(start, after.size() - start - end);
}

bool IsStorableChar(QChar c) { return c.isPrint() && FitsAnsi(QString(c)); }

void SetTypingRule(QLineEdit* edit, std::function<bool(QChar)> accepts, const QStringList& wholeTexts)
{
    edit->setValidator(new InsertionRule(edit, std::move(accepts), wholeTexts));
}

void SetTextShapeRule(QLineEdit* edit, const QRegularExpression& shape)
{
    edit->setValidator(new ShapeRule(edit, shape));
}
