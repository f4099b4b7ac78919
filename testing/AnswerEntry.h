#pragma once
// The rules of answer-sheet entry that need no window: what kind of answer set an item has,
// how the items fall into grids, which digits a grid takes, and where the cursor goes next.
#include <QList>
#include <QString>

struct QuestionItem;

// Answer types, decided by the first five characters of an item's second answer text.
enum AnswerType : int {
    TrueFalseAnswers = 0,  // "False..."
    YesNoAnswers = 1,      // exactly "No"
    NumberedAnswers = 2,   // anything else, an empty text included
    FrequencyAnswers = 3,  // "Somet..."
    MostlyAnswers = 4,     // "Mostl..."
    OftenAnswers = 5,      // "Often..."
};
constexpr int AnswerTypeCount = 6;

int AnswerTypeOf(const QString& answer2);
int AnswerColumns(int type);
// Width of a grid of this type, in twips.
int GridWidth(int type);
// What MsgPanel says while a grid of this type has the focus.
QString GridStatusText(int type);
// Whether a grid of this type takes this typed character as an answer ("0" clears).
bool AcceptsAnswer(int type, QChar typed);
// The answer column a stored answer character marks in a grid of `columns` answers, or 0
// for none: "0", and anything that is not one of that grid's answers, shows no mark.
int MarkedColumn(QChar answer, int columns);

// Fixed sizes of the grids, in twips.
constexpr int ItemColumnWidth = 450;
constexpr int AnswerColumnWidth = 200;
constexpr int GridGap = 200;

// One grid: its answer type and the item number of each data row (Items[0] is row 1).
struct EntryGrid {
    int Type = 0;
    QList<int> Items;
};

// The items of a language table in table order, one grid per answer type in the order the
// types are first met. A row whose ID is outside 1..64 has no place in Answers and a row
// repeating an earlier ID would give one answer two rows, so both are left out.
QList<EntryGrid> LayoutEntryGrids(const QList<QuestionItem>& items);

// A cursor place: grid index and data row (1 = first item of the grid).
struct EntryPosition {
    int Grid = 0;
    int Row = 1;
    bool operator==(const EntryPosition&) const = default;
};

struct EntryStep {
    EntryPosition To;
    bool Beep = false;  // the cursor could not go on
};

// After an accepted answer or the Down arrow: the next row, row 1 of the next grid after a
// grid's last row, and on the very last item the cursor stays and the operator hears a beep.
EntryStep StepDown(const QList<EntryGrid>& grids, EntryPosition from);
// The Up arrow: the row above, the last row of the previous grid from row 1, and a beep on
// the first item.
EntryStep StepUp(const QList<EntryGrid>& grids, EntryPosition from);

// The grid row to show first so that `row` comes into view, with rows counted the grid's
// way (header row 0, data from 1, rowCount including the header). The grids show about 16
// data rows: near the end the last rows fill the view, elsewhere the row above stays in
// sight so the operator sees the answer just typed.
int FirstVisibleRow(int row, int rowCount);
