#pragma once
// Answer-sheet entry: staff type a client's answers from the paper answer sheet, or correct
// the stored answers of an existing client. One grid per kind of answer set, one row per
// item; a typed digit records the answer and the cursor moves on by itself.
#include <array>
#include <memory>

#include <QDialog>
#include <QList>

#include "testing/AnswerEntry.h"

class QFrame;
class QLabel;
class QPushButton;
class QTableWidget;
class QuestionBank;

enum class NewEntryOutcome {
    Saved,      // the answers are on the data disk; a new client is counted
    Cancelled,  // nothing written; a new client's slot has been blanked
    NotOpened,  // the operator was told why; nothing changed, a new client's slot included
};

// Shows frmNewEntry modally for the client in slot CurrentClient (a new client when EditMode
// is off). Sets InputAccepted (true only after Save) and returns what happened.
NewEntryOutcome ShowNewEntry(QWidget* parent = nullptr);

class frmNewEntry : public QDialog {
    Q_OBJECT

public:
    explicit frmNewEntry(QWidget* parent = nullptr);
    ~frmNewEntry() override;

    // Opens the question bank for as long as the form lives and reads the table "English".
    // False, with the reason in LoadError(), when the bank cannot be used for entry.
    bool Load();
    QString LoadError() const { return loadError_; }
    // Builds the grids from the bank and shows the client's answers in them (busy pointer).
    void Activate();
    int exec() override;
    // Escape and closing the window count as "Cancel", once the operator has agreed to
    // lose answers typed and not saved.
    void reject() override;

    // The most grids there can be: one per answer type.
    static constexpr int MaxGrids = AnswerTypeCount;

    // The answers being entered, item i at index i-1, as stored in Answers.
    QString EntryAnswers;
    int LastGrid = 0;
    // Per grid: the data row that carries, or last carried, the highlight.
    std::array<int, MaxGrids> GridRow{};
    // The grid the cursor was last moved into by the program.
    int ActiveGrid = 0;
    NewEntryOutcome Outcome = NewEntryOutcome::Cancelled;

    // The items of each grid, in row order.
    const QList<EntryGrid>& Grids() const { return grids_; }
    // The grid's current data row (1 = first item).
    int CurrentRow(int grid) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableWidget* MakeGrid(int index);
    void SetUpGrid(int index, int type);
    void FillGrids();
    void ShowNormalRow(int grid, int row);
    void HighlightRow(int grid);
    void ScrollIntoView(int grid, int row);
    void TypeAnswer(int grid, QChar typed);
    void MoveDown(int grid);
    void MoveUp(int grid);
    void MoveToGrid(int from, int to, int row);
    void ChooseMenu(int index);
    int GridIndexOf(QObject* watched) const;

    std::unique_ptr<QuestionBank> bank_;
    QList<EntryGrid> grids_;
    QString loadError_;
    bool loading_ = true;

    QFrame* frEntry = nullptr;
    std::array<QTableWidget*, MaxGrids> grdResponses{};  // 0..LastGrid are in use
    std::array<QLabel*, MaxGrids> lblSection{};
    QLabel* lblClientName = nullptr;
    std::array<QPushButton*, 3> cmdMenuChoice{};
    std::array<QFrame*, 3> sspMenuChoice{};
    QLabel* MsgPanel = nullptr;
};
