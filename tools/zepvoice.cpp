// zepvoice BANK SNDPATH — speaks the question bank into the recordings the on-screen test
// plays: SNDPATH/ZEPSF/sound/<language>/<name>.wav for the instructions, every question and
// every answer, with espeak-ng (16-bit PCM WAV). Needs the program espeak-ng at run time only.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include "base/Program.h"
#include "testing/Presentation.h"
#include "testing/QuestionBank.h"
#include "tools/VoiceScript.h"

namespace {

bool Speak(const QString& espeak, const QString& voice, const QString& text, const QString& file)
{
    QProcess speaker;
    // The text goes in on standard input so that no text is ever read as an option.
    speaker.start(espeak, {QStringLiteral("-v"), voice, QStringLiteral("-b"), QStringLiteral("1"), QStringLiteral("-w"),
                           file, QStringLiteral("--stdin")});
    if (!speaker.waitForStarted(10000))
        return false;
    speaker.write(text.toUtf8());
    speaker.closeWriteChannel();
    if (!speaker.waitForFinished(60000) || speaker.exitStatus() != QProcess::NormalExit || speaker.exitCode() != 0) {
        std::fprintf(stderr, "zepvoice: espeak-ng failed for %s: %s\n", qPrintable(file),
                     speaker.readAllStandardError().constData());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: zepvoice BANK SNDPATH\n");
        return 2;
    }
    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (espeak.isEmpty()) {
        std::fprintf(stderr, "zepvoice: espeak-ng is not installed (Debian package espeak-ng)\n");
        return 1;
    }
    program().MainWorkspace = QStringLiteral("zepvoice");
    QuestionBank bank(args[0]);
    if (!bank.IsOpen()) {
        std::fprintf(stderr, "zepvoice: %s\n", qPrintable(bank.ErrorText()));
        return 1;
    }
    int written = 0;
    for (const QString& language : bank.LanguageTables()) {
        QList<QuestionItem> items;
        if (!bank.ReadLanguage(language, items)) {
            std::fprintf(stderr, "zepvoice: %s\n", qPrintable(bank.ErrorText()));
            return 1;
        }
        const QString folder = SoundFolder(QDir(args[1]).absolutePath(), language);
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "zepvoice: cannot create %s\n", qPrintable(folder));
            return 1;
        }
        for (const VoiceLine& line : VoiceScript(language, items)) {
            if (!Speak(espeak, VoiceOf(language), line.Text, folder + line.File))
                return 1;
            ++written;
        }
        std::printf("%s: %s\n", qPrintable(language), qPrintable(folder));
    }
    std::printf("%d recordings written\n", written);
    return 0;
}
