// How long opening the answer-sheet entry takes with the shipped question bank: the bank
// opened and read, both grids built and filled with a client's answers, the form shown and
// drawn once (offscreen), then closed again with the bank.
#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "base/Program.h"
#include "testing/frmNewEntry.h"

namespace {

void OpenNewEntry(benchmark::State& state)
{
    ResetProgram();
    SetStartUpDefaults(QStringLiteral(ZEP_PROGRAM_DIR));
    Program& p = program();
    p.ClientCount = 1;
    p.CurrentClient = 1;
    p.EditMode = true;
    p.ClientTable[1].Name = "Bench Client";
    p.ClientTable[1].Answers = QString(60, QLatin1Char('2')) + QStringLiteral("1234");
    for (auto _ : state) {
        frmNewEntry form;
        if (!form.Load()) {
            state.SkipWithError(qPrintable(form.LoadError()));
            break;
        }
        form.Activate();
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.Grids());
    }
}
BENCHMARK(OpenNewEntry)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
