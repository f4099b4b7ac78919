#include "tools/QuestionSource.h"

#include <QFile>

#include "base/Ansi.h"

namespace {

// Splits off the first blank-separated word; the rest is trimmed. A blank is whatever
// trimming takes off (a tab, a no-break space too), so that no word ends in one: the question
// bank trims the audio names it reads.
QString TakeWord(QString& rest)
{
    rest = rest.trimmed();
    qsizetype blank = 0;
    while (blank < rest.size() && !rest.at(blank).isSpace())
        ++blank;
    const QString word = rest.left(blank);
    rest = rest.mid(blank).trimmed();
    return word;
}

int CountAnswers(const QuestionItem& item)
{
    int n = 0;
    while (n < 5 && !item.Answer[n].isEmpty())
        ++n;
    return n;
}

}  // namespace

bool ReadQuestionSource(const QString& path, QList<QuestionItem>& items, QString* error)
{
    items.clear();
    int lineNumber = 0;
    int itemLine = 0;
    auto fail = [&](const QString& reason, int line) {
        if (error)
            *error = line > 0 ? QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(reason)
                              : QStringLiteral("%1: %2").arg(path, reason);
        return false;
    };
    // An item is complete once the next one starts or the file ends.
    auto checkLastItem = [&]() {
        if (!items.isEmpty() && CountAnswers(items.last()) < 2)
            return fail(QStringLiteral("item %1 has fewer than two answers").arg(items.last().ID), itemLine);
        return true;
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString(), 0);
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray bytes : lines) {
        ++lineNumber;
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        QString rest = FromAnsi(bytes);
        if (rest.trimmed().isEmpty() || rest.trimmed().startsWith(QLatin1Char(';')))
            continue;
        if (bytes.contains('\0'))  // the question bank would give the text back only up to it
            return fail(QStringLiteral("a NUL byte in the line"), lineNumber);
        const QString kind = TakeWord(rest);
        if (kind == QLatin1String("Q")) {
            if (!checkLastItem())
                return false;
            const QString number = TakeWord(rest);
            const QString audio = TakeWord(rest);
            bool isNumber = false;
            const int id = number.toInt(&isNumber);
            const int expected = items.size() + 1;
            if (!isNumber)
                return fail(QStringLiteral("item number expected, found \"%1\"").arg(EscapeControls(number)),
                            lineNumber);
            if (id != expected)
                return fail(QStringLiteral("item %1 where item %2 belongs; items run 1, 2, 3 ... in order")
                                .arg(id)
                                .arg(expected),
                            lineNumber);
            if (audio.isEmpty() || rest.isEmpty())
                return fail(QStringLiteral("item %1 needs an audio name and a statement").arg(id), lineNumber);
            QuestionItem item;
            item.ID = id;
            item.QuestionAudio = audio;
            item.TestQuestion = rest;
            items.append(item);
            itemLine = lineNumber;
        } else if (kind == QLatin1String("A")) {
            if (items.isEmpty())
                return fail(QStringLiteral("answer before the first item"), lineNumber);
            QuestionItem& item = items.last();
            const int n = CountAnswers(item);
            if (n == 5)
                return fail(QStringLiteral("item %1 has more than five answers").arg(item.ID), lineNumber);
            const QString audio = TakeWord(rest);
            if (audio.isEmpty() || rest.isEmpty())
                return fail(
                    QStringLiteral("answer %1 of item %2 needs an audio name and a text").arg(n + 1).arg(item.ID),
                    lineNumber);
            item.ChoiceAudio[n] = audio;
            item.Answer[n] = rest;
        } else {
            return fail(QStringLiteral("a line starts with Q (item), A (answer) or ; (comment), not \"%1\"")
                            .arg(EscapeControls(kind)),
                        lineNumber);
        }
    }
    if (!checkLastItem())
        return false;
    if (items.isEmpty())
        return fail(QStringLiteral("no items"), lineNumber);
    return true;
}

bool CheckLanguagesAgree(const QString& firstPath, const QList<QuestionItem>& first, const QString& otherPath,
                         const QList<QuestionItem>& other, QString* error)
{
    const QString& a = firstPath;
    const QString& b = otherPath;
    QString reason;
    if (first.size() != other.size()) {
        reason = QStringLiteral("%1 has %2 items, %3 has %4").arg(a).arg(first.size()).arg(b).arg(other.size());
    } else {
        for (qsizetype i = 0; i < first.size() && reason.isEmpty(); ++i)
            if (CountAnswers(first[i]) != CountAnswers(other[i]))
                reason = QStringLiteral("item %1 has %2 answers in %3 and %4 in %5")
                             .arg(first[i].ID)
                             .arg(CountAnswers(first[i]))
                             .arg(a)
                             .arg(CountAnswers(other[i]))
                             .arg(b);
    }
    if (reason.isEmpty())
        return true;
    if (error)
        *error = reason;
    return false;
}
