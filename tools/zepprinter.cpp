// zepprinter FOLDER PROGRAM [ARGUMENTS...] — runs PROGRAM with a print system of its own: a
// private CUPS daemon whose default queue "zep" (and a second queue, "zeppdf") hands every job
// to this tool, which saves it in FOLDER as job-1.pdf, job-2.prn, ... For the demonstration:
// reports can be printed with no printer at hand. Needs root (cupsd); without it PROGRAM runs
// with the computer's own printers.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include "tools/PrintCatcher.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zepprinter FOLDER PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const QString folder = args[0];
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "zepprinter: cannot make %s\n", qPrintable(folder));
        return 1;
    }
    PrintCatcher printers({QStringLiteral("zep"), QStringLiteral("zeppdf")});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (printers.Start()) {
        env.insert(QStringLiteral("CUPS_SERVER"), printers.Server());
        std::printf("zepprinter: printed reports are saved in %s\n", qPrintable(folder));
    } else {
        std::fprintf(stderr, "zepprinter: no demonstration printer (%s); the computer's printers are used\n",
                     qPrintable(printers.Error()));
    }
    printers.OnJob = [&](const QByteArray& job) {
        const QString name = QStringLiteral("%1/job-%2.%3")
                                 .arg(folder)
                                 .arg(printers.Jobs.size())
                                 .arg(job.startsWith("%PDF") ? QStringLiteral("pdf") : QStringLiteral("prn"));
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(job) != job.size() || !file.flush())
            std::fprintf(stderr, "zepprinter: cannot save %s: %s\n", qPrintable(name), qPrintable(file.errorString()));
        else
            std::printf("zepprinter: %s\n", qPrintable(name));
        std::fflush(stdout);
    };

    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.setInputChannelMode(QProcess::ForwardedInputChannel);
    QObject::connect(&program, &QProcess::finished, &app, [&](int code, QProcess::ExitStatus status) {
        // Jobs still on their way arrive within moments of the last print.
        QCoreApplication::processEvents();
        app.exit(status == QProcess::NormalExit ? code : 1);
    });
    program.start(args[1], args.mid(2));
    if (!program.waitForStarted()) {
        std::fprintf(stderr, "zepprinter: cannot start %s\n", qPrintable(args[1]));
        return 1;
    }
    return app.exec();
}
