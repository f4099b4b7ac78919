// From the client's key to the recording it asks for coming out of the sound server, as the
// client would hear it: the on-screen test with tones as its recordings, a PulseAudio daemon
// of its own with a null sink, and parec recording the sink (see tests/support/SoundProbe).
// Each iteration is one key: Enter on an answer (the next item's question), Down to each
// answer, Up back to the first answer and Up again to the question, which is spoken again.
// The time of an iteration is the moment the recording received the tone's first sample,
// less the moment of the key; the counters give the median and the longest of those, and
// "heard", the smallest share of a recording that was heard. busy/1: two processes keep
// both cores busy meanwhile.
//   bench_presentqa [benchmark options]        (e.g. --benchmark_repetitions=5)
#include <algorithm>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "base/Program.h"
#include "testing/Presentation.h"
#include "testing/frmPresentQA.h"
#include "tests/support/SoundProbe.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int QuestionHertz = 600, FirstHertz = 1000, SecondHertz = 1400;
constexpr double Seconds = 0.4;

void KeyToSound(benchmark::State& state)
{
    std::unique_ptr<CpuLoad> load(state.range(0) ? new CpuLoad : nullptr);
    TestProgram t;
    Program& p = program();
    p.SndPath = t.programFolder();
    p.CurrentClient = 1;
    QList<QuestionItem> items = StandardTestItems();
    const QString folder = SoundFolder(p.SndPath, "English");
    QDir().mkpath(folder);
    for (QuestionItem& item : items) {
        item.QuestionAudio = "Q";
        item.ChoiceAudio[0] = "A1";
        item.ChoiceAudio[1] = "A2";
    }
    WriteBank({{"English", items}});
    WriteFileBytes(folder + "Q.wav", ToneWave(Seconds, QuestionHertz));
    WriteFileBytes(folder + "A1.wav", ToneWave(Seconds, FirstHertz));
    WriteFileBytes(folder + "A2.wav", ToneWave(Seconds, SecondHertz));

    SinkRecorder sink({QuestionHertz, FirstHertz, SecondHertz});
    QString why;
    if (!sink.Start(why)) {
        state.SkipWithError(qPrintable(why));
        return;
    }
    std::unique_ptr<frmPresentQA> form;
    struct Step {
        int key, hertz;
    };
    const Step steps[] = {{Qt::Key_Return, QuestionHertz}, {Qt::Key_Down, FirstHertz},  {Qt::Key_Down, SecondHertz},
                          {Qt::Key_Up, FirstHertz},        {Qt::Key_Up, QuestionHertz}, {Qt::Key_Down, FirstHertz}};
    size_t step = 0;
    int item = 60;
    double heard = 1;
    std::vector<double> delays;
    for (auto _ : state) {
        if (item >= 59) {  // a fresh test before section 2 begins
            form = std::make_unique<frmPresentQA>();
            form->Language = QStringLiteral("English");
            if (!form->Load()) {
                state.SkipWithError(qPrintable(form->LoadError()));
                break;
            }
            ShowActive(form.get());
            form->Activate();
            Press(Qt::Key_Return, 2);  // through both instructions: the first question plays
            sink.WaitUntilOver(QuestionHertz, sink.SampleNow() - ProbeRate);
            Press(Qt::Key_Down);
            sink.WaitUntilOver(FirstHertz, sink.SampleNow() - ProbeRate);
            item = 1;
            step = 0;
        }
        const Step& s = steps[step];
        const auto keyTime = std::chrono::steady_clock::now();
        const qint64 key = sink.SampleNow();
        Press(s.key);
        if (!sink.WaitUntilOver(s.hertz, key)) {
            state.SkipWithError("the recording was not heard");
            break;
        }
        const SinkRecorder::Tone tone = sink.Find(s.hertz, key);
        delays.push_back(std::chrono::duration<double>(sink.ArrivalOf(tone.first) - keyTime).count());
        state.SetIterationTime(delays.back());
        heard = std::min(heard, tone.samples / (Seconds * ProbeRate));
        if (s.key == Qt::Key_Return)
            ++item;
        step = (step + 1) % std::size(steps);
    }
    if (delays.empty())
        return;
    std::sort(delays.begin(), delays.end());
    state.counters["median_ms"] = delays[delays.size() / 2] * 1000;
    state.counters["max_ms"] = delays.back() * 1000;
    state.counters["heard"] = heard;
}
BENCHMARK(KeyToSound)->ArgName("busy")->Arg(0)->Arg(1)->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PrivateSoundServer server;
    QString why;
    if (!server.Start(why)) {
        std::fprintf(stderr, "bench_presentqa: %s\n", qPrintable(why));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
