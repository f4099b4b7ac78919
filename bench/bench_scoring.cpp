// How long ScoreAndReport takes with the supplied data files: one client (every data file
// read, scored, report written) and a full data disk of 51 clients, as "print all" does; and
// the export of a full disk's scores.
#include <benchmark/benchmark.h>

#include "bench/BenchFolder.h"
#include "scoring/ScoresExport.h"

namespace {

using bench::ProgramFolder;

void ScoreOneClient(benchmark::State& state)
{
    ProgramFolder folder;
    program().CurrentClient = 1;
    for (auto _ : state) {
        const ScoringResult result = ScoreAndReport();
        if (!result)
            state.SkipWithError(qPrintable(result.Message));
    }
}
BENCHMARK(ScoreOneClient)->Unit(benchmark::kMicrosecond);

void ScoreFullDisk(benchmark::State& state)
{
    ProgramFolder folder;
    for (auto _ : state) {
        for (int n = 1; n <= MaxClients; ++n) {
            program().CurrentClient = qint16(n);
            const ScoringResult result = ScoreAndReport();
            if (!result)
                state.SkipWithError(qPrintable(result.Message));
        }
    }
}
BENCHMARK(ScoreFullDisk)->Unit(benchmark::kMillisecond);

// Every client of a full disk scored and written as CSV or JSON, in memory; the data files
// are read once, as zepreport --scores and the Reports tab do.
void ExportFullDisk(benchmark::State& state)
{
    ProgramFolder folder;
    const ScoresFormat format = state.range(0) == 0 ? ScoresFormat::Csv : ScoresFormat::Json;
    QList<int> all;
    for (int n = 1; n <= MaxClients; ++n)
        all.append(n);
    for (auto _ : state) {
        ScoresExport result;
        if (const ScoringResult scored = ExportScores(all, format, result); !scored)
            state.SkipWithError(qPrintable(scored.Message));
        benchmark::DoNotOptimize(result.Bytes.data());
    }
    state.SetLabel(format == ScoresFormat::Csv ? "CSV" : "JSON");
}
BENCHMARK(ExportFullDisk)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
