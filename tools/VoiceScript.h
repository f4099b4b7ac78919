#pragma once
// What the voices of one language table say: one entry per recording the table names.
#include <QList>
#include <QString>

#include "testing/QuestionBank.h"

struct VoiceLine {
    QString File;  // the recording's file name, with ".wav"
    QString Text;  // what is spoken
};

// The espeak-ng voice of a language table ("en-us", "es-419"); empty for an unknown one.
QString VoiceOf(const QString& language);

// The instructions Inst0 to Inst2, every question and every answer of `items`, one line
// per distinct recording name (the first text wins when a name is used twice).
QList<VoiceLine> VoiceScript(const QString& language, const QList<QuestionItem>& items);
