// Print all for a full disk of 51 clients into one PDF file, through the utilities' own
// path: both passes, the numbered files, the progress window (offscreen) and the PDF pages.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "bench/BenchFolder.h"
#include "scoring/BulkPrintRun.h"

namespace {

void PrintAllToPdf(benchmark::State& state)
{
    bench::ProgramFolder folder;
    QList<int> all;
    for (int n = 1; n <= MaxClients; ++n)
        all.append(n);
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("all.pdf"));
    for (auto _ : state) {
        const BulkPrintResult result = RunBulkPrint(nullptr, all, pdf);
        if (result.End != BulkPrintEnd::Done)
            state.SkipWithError(qPrintable(result.Problem));
    }
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
}
BENCHMARK(PrintAllToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
