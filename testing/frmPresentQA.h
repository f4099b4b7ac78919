#pragma once
// The on-screen test: the client reads the instructions, moves the highlight over the
// answers of one item at a time and confirms with Enter; after the last item the answers
// are stored and the client is counted. Only the staff key leaves it early.
#include <array>
#include <memory>

#include <QDialog>

#include "testing/Presentation.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QuestionBank;
class TestSound;

class frmPresentQA : public QDialog {
    Q_OBJECT

public:
    explicit frmPresentQA(QWidget* parent = nullptr);
    ~frmPresentQA() override;

    // The language table to present; set before Load.
    QString Language;

    // Opens the question bank for as long as the form lives, reads the language's items and
    // shows item 1 under the instructions. False, with the reason in LoadError(), when the
    // items cannot be given as the test.
    bool Load();
    QString LoadError() const { return loadError_; }
    // Shows the test modally, starting with the general instructions.
    int exec() override;
    void Activate();

    void TestInstructions(int section);
    void GetNextQuestion();
    void InitSound();
    void PlaySound(const QString& name);
    void StopSound();
    // Reads the recordings of the item on screen before the client can ask for them.
    void PrepareItemSounds();

    // The window manager's close and Escape do nothing: the client cannot leave the test.
    void reject() override;

    static constexpr int LastMenuChoice = 4;

    std::unique_ptr<ItemSequence> Items;
    bool ShowingGeneralInstructions = false;
    QString QuestionSound;
    std::array<QString, 5> ChoiceSounds;
    std::array<QString, 5> InstructionSounds;
    TestSound* Sound = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool InstructionsOnScreen() const;
    void LeaveInstructions();
    void ShowRecord();
    void ChooseAnswer(int index);
    void AnswerGotFocus(int index);
    void MoveBetweenAnswers(int index, int step);
    void GoBack();
    void BreakOff();
    void FinishTest();
    int AnswerIndexOf(QObject* watched) const;

    std::unique_ptr<QuestionBank> bank_;
    QString loadError_;

    QGroupBox* fraInstructions = nullptr;
    QPlainTextEdit* txtInstructions = nullptr;
    QFrame* frQandA = nullptr;
    QGroupBox* fraQuestions = nullptr;
    QPlainTextEdit* txtQuestion = nullptr;
    QGroupBox* fraAnswer = nullptr;
    std::array<QFrame*, 5> sspMenuChoice{};
    std::array<QPushButton*, 5> cmdMenuChoice{};
    std::array<QLineEdit*, 5> txtButtonText{};
    QLabel* MsgPanel = nullptr;
};
