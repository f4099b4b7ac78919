// How long ScoreAndReport takes with the supplied data files: one client (every data file
// read, scored, report written) and a full data disk of 51 clients, as "print all" does.
#include <benchmark/benchmark.h>

#include "bench/BenchFolder.h"

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

}  // namespace

BENCHMARK_MAIN();
