#include "testing/AnswerEntry.h"

#include <algorithm>
#include <array>

#include "base/ClientRecord.h"
#include "testing/QuestionBank.h"

int AnswerTypeOf(const QString& answer2)
{
    // Compared exactly, case included: the answer texts of the bank are fixed wordings.
    const QString lead = answer2.left(5);
    if (lead == QLatin1String("False"))
        return TrueFalseAnswers;
    if (lead == QLatin1String("No"))
        return YesNoAnswers;
    if (lead == QLatin1String("Somet"))
        return FrequencyAnswers;
    if (lead == QLatin1String("Mostl"))
        return MostlyAnswers;
    if (lead == QLatin1String("Often"))
        return OftenAnswers;
    return NumberedAnswers;
}

int AnswerColumns(int type)
{
    switch (type) {
    case TrueFalseAnswers:
    case YesNoAnswers: return 2;
    case MostlyAnswers:
    case OftenAnswers: return 5;
    default: return 4;
    }
}

int GridWidth(int type)
{
    switch (AnswerColumns(type)) {
    case 2: return 1120;
    case 5: return 1750;
    default: return 1550;
    }
}

QString GridStatusText(int type)
{
    switch (type) {
    case TrueFalseAnswers: return QStringLiteral("0=No answer, 1=True, 2=False, Tab=Next grid");
    case YesNoAnswers: return QStringLiteral("0=No answer, 1=Yes, 2=No, Tab=Next grid");
    case FrequencyAnswers:
        return QStringLiteral("0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, 4=Very Often/Always, Tab=Next grid");
    case MostlyAnswers:
        return QStringLiteral(
            "0=No answer, 1=True, 2=Mostly True, 3=Can't Decide, 4=Mostly False, 5=False, Tab=Next grid");
    case OftenAnswers:
        return QStringLiteral(
            "0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very Often, Tab=Next grid");
    default: return QStringLiteral("0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid");
    }
}

bool AcceptsAnswer(int type, QChar typed)
{
    return typed >= QLatin1Char('0') && typed.unicode() <= u'0' + AnswerColumns(type);
}

int MarkedColumn(QChar answer, int columns)
{
    const int column = answer.unicode() - u'0';
    return (column >= 1 && column <= columns) ? column : 0;
}

QList<EntryGrid> LayoutEntryGrids(const QList<QuestionItem>& items)
{
    QList<EntryGrid> grids;
    std::array<bool, AnswerCount + 1> seen{};
    for (const QuestionItem& item : items) {
        if (item.ID < 1 || item.ID > AnswerCount || seen[item.ID])
            continue;
        seen[item.ID] = true;
        const int type = AnswerTypeOf(item.Answer[1]);
        auto grid = std::find_if(grids.begin(), grids.end(), [type](const EntryGrid& g) { return g.Type == type; });
        if (grid == grids.end()) {
            grids.append(EntryGrid{type, {}});
            grid = grids.end() - 1;
        }
        grid->Items.append(item.ID);
    }
    return grids;
}

EntryStep StepDown(const QList<EntryGrid>& grids, EntryPosition from)
{
    const int rows = int(grids[from.Grid].Items.size());
    if (from.Row < rows)
        return {{from.Grid, from.Row + 1}, false};
    if (from.Grid + 1 < grids.size())
        return {{from.Grid + 1, 1}, false};
    return {from, true};
}

EntryStep StepUp(const QList<EntryGrid>& grids, EntryPosition from)
{
    if (from.Row > 1)
        return {{from.Grid, from.Row - 1}, false};
    if (from.Grid > 0)
        return {{from.Grid - 1, int(grids[from.Grid - 1].Items.size())}, false};
    return {from, true};
}

int FirstVisibleRow(int row, int rowCount)
{
    if (row + 16 > rowCount)
        return std::max(1, rowCount - 17);
    return row == 1 ? 1 : row - 1;
}
