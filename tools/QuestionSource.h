#pragma once
// The question bank sources under data/questions: one text file per language, turned into
// the tables of ZEPSF.db at build time. The format is described in data/README.md.
#include <QList>
#include <QString>

#include "testing/QuestionBank.h"

// Reads one source file (Windows-1252). On a fault returns false with
// "<path>:<line>: <reason>" in *error; the items are then incomplete.
bool ReadQuestionSource(const QString& path, QList<QuestionItem>& items, QString* error);

// Every language must offer the same items with the same number of answers, so that an
// answer digit means the same thing whichever language the client chose.
bool CheckLanguagesAgree(const QString& firstPath, const QList<QuestionItem>& first, const QString& otherPath,
                         const QList<QuestionItem>& other, QString* error);
