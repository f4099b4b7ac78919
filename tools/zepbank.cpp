// zepbank OUTPUT SOURCE... — builds the question bank OUTPUT (ZEPSF.db) from the text sources
// of data/questions, one table per source named after the file ("English.txt" -> "English").
// Run by the build whenever a source changes; a faulty source stops the build with its line.
#include <cstdio>

#include <QCoreApplication>
#include <QFileInfo>

#include "tools/QuestionSource.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zepbank OUTPUT SOURCE...\n");
        return 2;
    }
    QList<QPair<QString, QList<QuestionItem>>> tables;
    QString error;
    for (const QString& source : args.mid(1)) {
        const QString table = QFileInfo(source).completeBaseName();
        for (const auto& done : tables) {
            // SQLite table names ignore case, so "english" would collide with "English".
            if (done.first.compare(table, Qt::CaseInsensitive) == 0) {
                std::fprintf(stderr, "zepbank: %s: a second source for the table %s\n", qPrintable(source),
                             qPrintable(table));
                return 1;
            }
        }
        QList<QuestionItem> items;
        if (!ReadQuestionSource(source, items, &error)) {
            std::fprintf(stderr, "zepbank: %s\n", qPrintable(error));
            return 1;
        }
        if (!tables.isEmpty() && !CheckLanguagesAgree(args[1], tables.first().second, source, items, &error)) {
            std::fprintf(stderr, "zepbank: %s\n", qPrintable(error));
            return 1;
        }
        tables.append({table, items});
    }
    if (!CreateQuestionBank(args[0], tables, &error)) {
        std::fprintf(stderr, "zepbank: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
