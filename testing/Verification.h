#pragma once
// Verification of typed answers: the operator types the answer sheet a second time, blind,
// and every item where the two entries disagree is asked for once more. This is the walk
// through the items, the digits each item takes and the comparison, without a window.
#include <array>

#include <QString>

#include "base/ClientRecord.h"

class Verification {
public:
    // `stored`: the client's Answers as the record holds them. Items 1 to lastTrueFalseItem
    // (SectionBounds(1)) are true/false items, the rest have four answers.
    Verification(const QString& stored, int lastTrueFalseItem);

    enum class Typed {
        Refused,    // not an answer of this item: beep, nothing changes
        Next,       // recorded; the next item of the pass is asked
        PassEnded,  // recorded; it was the last item of the pass
    };
    Typed TypeAnswer(QChar typed);
    // Backspace: false on the first position of a pass (beep), else the item before is asked again.
    bool StepBack();
    // At the end of the first pass: the items that differ from the stored answers become the
    // correction pass. Returns how many there are (none: nothing changes).
    int StartCorrectionPass();

    bool Accepts(int item, QChar typed) const;
    // The item asked now (0 once the pass has ended) and the one before it (0 on the first position).
    int CurrentItem() const;
    int PreviousItem() const;
    QChar EnteredFor(int item) const { return VerifyEntered.at(item - 1); }
    static QString ItemLabel(int item) { return QStringLiteral("Question #%1").arg(item); }

    // The items of the current pass from index 1, how many, and the position being entered.
    std::array<qint16, AnswerCount + 1> VerifyList{};
    int VerifyCount = AnswerCount;
    int VerifyPos = 1;
    // Character i belongs to item i + 1.
    QString VerifyEntered;
    // The stored answers without leading and trailing blanks: a blank answer shortens it, and
    // every position past its end counts as a difference.
    QString VerifyStored;
    bool CorrectionPass = false;

private:
    int lastTrueFalseItem_;
};
