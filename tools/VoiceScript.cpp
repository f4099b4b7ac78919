#include "tools/VoiceScript.h"

#include <QSet>

#include "testing/Presentation.h"

QString VoiceOf(const QString& language)
{
    if (language == QLatin1String("English"))
        return QStringLiteral("en-us");
    if (language == QLatin1String("Spanish"))
        return QStringLiteral("es-419");
    return QString();
}

QList<VoiceLine> VoiceScript(const QString& language, const QList<QuestionItem>& items)
{
    QList<VoiceLine> lines;
    QSet<QString> named;
    auto add = [&](const QString& file, const QString& text) {
        if (file == QLatin1String(".wav") || text.trimmed().isEmpty() || named.contains(file))
            return;
        named.insert(file);
        lines.append({file, text});
    };
    for (int section = 0; section <= 2; ++section)
        add(InstructionSound(section), InstructionText(language, section));
    for (const QuestionItem& item : items) {
        add(AudioFileName(item.QuestionAudio), item.TestQuestion);
        for (int a = 0; a < 5; ++a)
            add(AudioFileName(item.ChoiceAudio[a]), item.Answer[a]);
    }
    return lines;
}
