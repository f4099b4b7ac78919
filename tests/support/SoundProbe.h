#pragma once
// Sound as the client hears it: a PulseAudio daemon of the test's own with a null sink, whose
// monitor is recorded by parec while the program plays into it. Known tones stand in for the
// recordings, so that each one can be found in the recording by its pitch, with the moment
// it began and how much of it was heard. Used by the sound test and the sound benchmark.
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include "tests/support/TestSupport.h"

// The rate at which the tones are written and the sink is recorded.
constexpr int ProbeRate = 22050;

// A sine tone of `seconds` as a 16-bit PCM mono WAV file at ProbeRate.
QByteArray ToneWave(double seconds, int hertz);

// A PulseAudio daemon with the null sink "zeptest"; this process's PULSE_SERVER and
// XDG_RUNTIME_DIR point at it while it runs.
class PrivateSoundServer {
public:
    ~PrivateSoundServer();
    // False with the reason when PulseAudio cannot run here.
    bool Start(QString& why);

private:
    QTemporaryDir runtime_;
    QProcess daemon_;
};

// Records the null sink's monitor from Start until destruction, on a thread of its own so
// that the moment each piece arrives is known however busy the program under test is.
class SinkRecorder {
public:
    explicit SinkRecorder(QList<int> tones) : tones_(std::move(tones)) {}
    ~SinkRecorder();
    bool Start(QString& why);

    // The index of the sample the speaker plays at this moment.
    qint64 SampleNow() const;
    // When the recording received sample `index` (after it, if it has not come yet).
    std::chrono::steady_clock::time_point ArrivalOf(qint64 index) const;
    // Waits until the recording holds `index`.
    bool WaitFor(qint64 index, int timeoutMs = 10000) const;

    // One tone in the recording from sample `from` on: where its first sample lies, and how
    // many of its samples were heard (silent gaps not counted). first is -1 when the tone
    // was not heard before `to` (or the end of what is recorded).
    struct Tone {
        qint64 first = -1;
        qint64 samples = 0;
    };
    Tone Find(int hertz, qint64 from, qint64 to = -1) const;
    // Waits until `hertz` has begun after `from` and has then been over, or no longer the
    // loudest, for 100 ms; false when that has not happened within the time-out.
    bool WaitUntilOver(int hertz, qint64 from, int timeoutMs = 10000) const;

private:
    // The tone of each 5 ms window from `from` on (0: silence or none of the tones).
    std::vector<int> Windows(qint64 from, qint64 to, qint64& firstWindow) const;
    void Read();

    QList<int> tones_;
    int pid_ = -1;
    int fd_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::vector<qint16> samples_;
    // For each piece read: how many samples the recording held then, and when.
    std::vector<std::pair<qint64, std::chrono::steady_clock::time_point>> arrivals_;
    // The earliest moment the first sample can have been played, from the arrival times.
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::time_point::max();
};

// Two processes that keep both cores busy for as long as the object lives.
class CpuLoad {
public:
    explicit CpuLoad(int processes = 2);

private:
    std::vector<std::unique_ptr<RunningTool>> burners_;
};
