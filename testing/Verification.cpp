#include "testing/Verification.h"

Verification::Verification(const QString& stored, int lastTrueFalseItem)
    : VerifyEntered(AnswerCount, QLatin1Char('0')), VerifyStored(TrimBlanks(stored)),
      lastTrueFalseItem_(lastTrueFalseItem)
{
    for (int i = 1; i <= AnswerCount; ++i)
        VerifyList[i] = qint16(i);
}

bool Verification::Accepts(int item, QChar typed) const
{
    const QChar last = item >= 1 && item <= lastTrueFalseItem_ ? QLatin1Char('2') : QLatin1Char('4');
    return typed >= QLatin1Char('0') && typed <= last;
}

int Verification::CurrentItem() const { return VerifyPos >= 1 && VerifyPos <= VerifyCount ? VerifyList[VerifyPos] : 0; }

int Verification::PreviousItem() const
{
    return VerifyPos >= 2 && VerifyPos <= VerifyCount + 1 ? VerifyList[VerifyPos - 1] : 0;
}

Verification::Typed Verification::TypeAnswer(QChar typed)
{
    const int item = CurrentItem();
    if (item == 0 || !Accepts(item, typed))
        return Typed::Refused;
    VerifyEntered[item - 1] = typed;
    ++VerifyPos;
    return VerifyPos > VerifyCount ? Typed::PassEnded : Typed::Next;
}

bool Verification::StepBack()
{
    if (VerifyPos < 2)
        return false;
    --VerifyPos;
    return true;
}

int Verification::StartCorrectionPass()
{
    int count = 0;
    for (int i = 1; i <= AnswerCount; ++i) {
        const QChar stored = i <= VerifyStored.size() ? VerifyStored.at(i - 1) : QChar();
        if (stored != VerifyEntered.at(i - 1))
            VerifyList[++count] = qint16(i);
    }
    if (count > 0) {
        CorrectionPass = true;
        VerifyCount = count;
        VerifyPos = 1;
    }
    return count;
}
