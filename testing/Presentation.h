#pragma once
// The rules of the on-screen test that need no window: the texts the client reads, the
// order of the items with F10 stepping back, and the answer string that is stored.
#include <array>

#include <QList>
#include <QString>

#include "testing/QuestionBank.h"

// The Spanish texts are used exactly when the language's upper-case form is "SPANISH".
bool IsSpanishLanguage(const QString& language);

// The window caption of the test in this language.
QString PresentationCaption(const QString& language);
// The captions of the frames around the question and around its answers.
QString QuestionFrameCaption(const QString& language);
QString AnswerFrameCaption(const QString& language);
// The instructions of section 0 (general), 1 or 2; any other section gives an empty text.
// Lines are separated by a carriage return and a line feed.
QString InstructionText(const QString& language, int section);
// What MsgPanel says while the instructions, the question or an answer has the focus.
QString InstructionsStatusText(const QString& language);
QString QuestionStatusText(const QString& language);
QString AnswerStatusText(const QString& language, bool audioOn);

// The file of one recording: the base name from the question bank, trimmed, with ".wav".
QString AudioFileName(const QString& baseName);
// The sound folder of a language: SndPath + "/ZEPSF/sound/" + language + "/".
QString SoundFolder(const QString& sndPath, const QString& language);
// The instruction recordings, section 0 first.
QString InstructionSound(int section);

// The item that is on screen and how the items follow each other. Works like a cursor
// over the language table's rows in table order.
class ItemSequence {
public:
    // `sectionEnd` is the last item of section 1, `lastItem` the last item of the test.
    ItemSequence(QList<QuestionItem> items, int sectionEnd, int lastItem);

    enum class Next {
        ShowItem,                   // Record() is the next item
        ShowItemAfterInstructions,  // the same, with the next section's instructions first
        FinishTest,                 // every item is answered
    };
    // Moves on one item, or back to the item before when GoingBack is set.
    Next GetNextQuestion();

    enum class Back { Beep, ShowItem };
    // F10: the item before the one on screen, never before item 1 and without section
    // instructions; answering it again replaces its earlier answer.
    Back GoBack();

    // After a test-end that could not be saved the test stays on its last item.
    void StayOnLastItem();

    // Records answer `index` (0 = first answer) for the item on screen.
    void ChooseAnswer(int index);

    const QuestionItem& Record() const;
    int CurrentItem = 0;
    bool FirstItem = true;
    bool GoingBack = false;
    // The answer given to each item 1..lastItem, 0 = none; element 0 is not used.
    std::array<qint16, 65> ItemAnswers{};

private:
    QList<QuestionItem> items_;
    int sectionEnd_;
    int lastItem_;
    int position_ = 0;  // row index; -1 is before the first row
};

// The stored answers: for each item 1..lastItem the last digit of its answer ("0" to "5").
QString AnswerString(const std::array<qint16, 65>& itemAnswers, int lastItem);

// Why these rows cannot be given as the test (empty when they can): the rows must be items
// 1 to lastItem in order, each with at least two answers.
QString CheckTestItems(const QList<QuestionItem>& items, int lastItem);
