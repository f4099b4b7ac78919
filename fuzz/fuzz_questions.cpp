// A question bank source (data/questions) from the fuzz input. A refused source names a line
// of it; an accepted one has the item shape the forms rely on, and the bank built from it
// reads back item for item.
#include <QRegularExpression>

#include "base/InRange.h"
#include "base/Program.h"
#include "fuzz/FuzzSupport.h"
#include "tools/QuestionSource.h"

namespace {

int AnswersOf(const QuestionItem& item)
{
    int n = 0;
    while (n < 5 && !item.Answer[n].isEmpty())
        ++n;
    return n;
}

bool SameItem(const QuestionItem& a, const QuestionItem& b)
{
    bool same = a.ID == b.ID && a.TestQuestion == b.TestQuestion && a.QuestionAudio == b.QuestionAudio;
    for (int k = 0; k < 5; ++k)
        same = same && a.Answer[k] == b.Answer[k] && a.ChoiceAudio[k] == b.ChoiceAudio[k];
    return same;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrepareRun();
    const QByteArray input = InputBytes(data, size);
    const QString source = program().ProgramFolder + QStringLiteral("/English.txt");
    WriteInput(source, input);

    QList<QuestionItem> items;
    QString error;
    if (!ReadQuestionSource(source, items, &error)) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^%1:(\\d+): ").arg(QRegularExpression::escape(source))).match(error);
        REQUIRE(m.hasMatch() && InRange(m.captured(1).toInt(), 1, int(input.count('\n')) + 1));
        return 0;
    }
    // The shape the forms rely on: items 1, 2, 3 ..., each with two to five answers and an
    // audio name for each answer and for nothing else.
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QuestionItem& item = items[i];
        const int answers = AnswersOf(item);
        REQUIRE(item.ID == i + 1 && InRange(answers, 2, 5));
        for (int k = answers; k < 5; ++k)
            REQUIRE(item.Answer[k].isEmpty() && item.ChoiceAudio[k].isEmpty());
        for (int k = 0; k < answers; ++k)
            REQUIRE(!item.ChoiceAudio[k].isEmpty());
    }

    QList<QuestionItem> back;
    REQUIRE(CreateQuestionBank(program().DatabasePath, {{QStringLiteral("English"), items}}, &error));
    {
        QuestionBank bank(program().DatabasePath);
        REQUIRE(bank.ReadLanguage(QStringLiteral("English"), back));
    }
    REQUIRE(back.size() == items.size());
    for (qsizetype i = 0; i < items.size(); ++i)
        REQUIRE(SameItem(back[i], items[i]));
    return 0;
}
