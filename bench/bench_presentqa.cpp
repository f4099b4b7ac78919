// From the client's Enter on an answer to the next item on screen with its question's
// recording started: the shipped question bank, the recordings zepvoice made from it
// (SNDPATH, default the program folder) and a real audio output (PulseAudio).
//   bench_presentqa [SNDPATH] [benchmark options]
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include "app/Program.h"
#include "testing/Sound.h"
#include "testing/frmPresentQA.h"

namespace {

QString SoundPath = QStringLiteral(ZEP_PROGRAM_DIR);

void NextItem(benchmark::State& state)
{
    ResetProgram();
    Program& p = program();
    p.MainWorkspace = QStringLiteral("MainWorkspace");
    p.DatabasePath = QStringLiteral(ZEP_PROGRAM_DIR "/ZEPSF.db");
    p.SndPath = SoundPath;
    p.SectionBounds = {0, 60, 64, 0};
    std::unique_ptr<frmPresentQA> form;
    int item = 60;
    for (auto _ : state) {
        if (item >= 59) {  // a fresh test before section 2 begins
            state.PauseTiming();
            form = std::make_unique<frmPresentQA>();
            form->Language = QStringLiteral("English");
            if (!form->Load()) {
                state.SkipWithError(qPrintable(form->LoadError()));
                break;
            }
            form->show();
            QApplication::setActiveWindow(form.get());
            form->Activate();
            if (!form->Sound->AudioOn) {
                state.SkipWithError("no audio output: start PulseAudio first");
                break;
            }
            for (int i = 0; i < 2; ++i) {
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QCoreApplication::sendEvent(form->txtInstructions, &enter);
            }
            form->cmdMenuChoice[0]->setFocus();
            QCoreApplication::processEvents();
            item = 1;
            state.ResumeTiming();
        }
        const qsizetype played = SoundsPlayed().size();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(form->cmdMenuChoice[0], &enter);
        QCoreApplication::processEvents();  // drawn
        ++item;
        if (SoundsPlayed().size() == played) {
            state.SkipWithError("the question's recording did not start: run zepvoice for SNDPATH");
            break;
        }
        state.PauseTiming();
        form->cmdMenuChoice[0]->setFocus();  // ready for the next Enter
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(NextItem)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (argc > 1 && argv[1][0] != '-')
        SoundPath = QString::fromLocal8Bit(argv[1]);
    else if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
