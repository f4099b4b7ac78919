#include "tests/support/SoundProbe.h"

#include <algorithm>
#include <cmath>

#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int Window = ProbeRate / 200;  // 5 ms
constexpr double Loud = 1000;            // a sample or a window's RMS above this is sound
constexpr int QuietWindows = 20;         // 100 ms without the tone: it is over

double Goertzel(const qint16* v, int n, int hertz)
{
    const double w = 2 * M_PI * hertz / ProbeRate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (int i = 0; i < n; ++i) {
        const double s = v[i] + c * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

}  // namespace

QByteArray ToneWave(double seconds, int hertz)
{
    const qint32 count = qint32(seconds * ProbeRate);
    QByteArray wav("RIFF....WAVEfmt ");
    auto add32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto add16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    add32(16), add16(1), add16(1), add32(ProbeRate), add32(ProbeRate * 2), add16(2), add16(16);
    wav += "data";
    add32(quint32(count * 2));
    for (int i = 0; i < count; ++i)
        add16(quint16(qint16(16000 * std::sin(2 * M_PI * hertz * i / ProbeRate))));
    qToLittleEndian<quint32>(quint32(wav.size() - 8), wav.data() + 4);
    return wav;
}

PrivateSoundServer::~PrivateSoundServer()
{
    daemon_.terminate();
    if (!daemon_.waitForFinished(5000))
        daemon_.kill();
    daemon_.waitForFinished();
}

bool PrivateSoundServer::Start(QString& why)
{
    for (const char* tool : {"pulseaudio", "parec"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            why = "pulseaudio and parec are needed (packages pulseaudio, pulseaudio-utils)";
            return false;
        }
    // A daemon of our own, root or not, beside nothing else: its own runtime folder.
    const QString socket = runtime_.path() + "/pulse/native";
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
    daemon_.start("pulseaudio",
                  {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-L",
                   "module-native-protocol-unix", "-L", "module-null-sink sink_name=zeptest rate=22050 channels=1"});
    if (!daemon_.waitForStarted()) {
        why = "pulseaudio did not start: " + daemon_.errorString();
        return false;
    }
    (void)QTest::qWaitFor([&] { return QFile::exists(socket) || daemon_.state() != QProcess::Running; }, 10000);
    if (daemon_.state() != QProcess::Running || !QFile::exists(socket)) {
        why = "PulseAudio does not run here: " + QString::fromLocal8Bit(daemon_.readAllStandardError().right(300));
        return false;
    }
    return true;
}

SinkRecorder::~SinkRecorder()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    if (reader_.joinable())
        reader_.join();
    if (fd_ >= 0)
        close(fd_);
}

bool SinkRecorder::Start(QString& why)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        why = "no pipe";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const QByteArray rate = "--rate=" + QByteArray::number(ProbeRate);
    const char* argv[] = {"parec",          "--device=zeptest.monitor", rate.constData(), "--channels=1",
                          "--format=s16le", "--latency-msec=5",         nullptr};
    const int failed = posix_spawnp(&pid_, "parec", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    fd_ = pipeFds[0];
    if (failed) {
        pid_ = -1;
        why = "parec did not start";
        return false;
    }
    reader_ = std::thread([this] { Read(); });
    // The recording must be flowing before anything is played.
    if (!WaitFor(ProbeRate / 2)) {
        why = "parec records nothing from the null sink";
        return false;
    }
    return true;
}

void SinkRecorder::Read()
{
    qint16 chunk[Window];
    char* bytes = reinterpret_cast<char*>(chunk);
    size_t held = 0;
    for (;;) {
        const ssize_t n = read(fd_, bytes + held, sizeof chunk - held);
        if (n <= 0)
            return;
        held += size_t(n);
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard lock(mutex_);
        samples_.insert(samples_.end(), chunk, chunk + held / 2);
        std::memmove(bytes, bytes + held / 2 * 2, held % 2);
        held %= 2;
        // A sample cannot have been played later than it arrived here; the earliest arrival,
        // less what came before it, is the best bound on when the first one played.
        arrivals_.emplace_back(qint64(samples_.size()), now);
        const auto played = now - std::chrono::microseconds(qint64(samples_.size()) * 1000000 / ProbeRate);
        start_ = std::min(start_, played);
    }
}

qint64 SinkRecorder::SampleNow() const
{
    std::lock_guard lock(mutex_);
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * ProbeRate / 1000000;
}

std::chrono::steady_clock::time_point SinkRecorder::ArrivalOf(qint64 index) const
{
    std::lock_guard lock(mutex_);
    const auto after = std::upper_bound(arrivals_.begin(), arrivals_.end(), index,
                                        [](qint64 i, const auto& arrival) { return i < arrival.first; });
    return after == arrivals_.end() ? std::chrono::steady_clock::now() : after->second;
}

bool SinkRecorder::WaitFor(qint64 index, int timeoutMs) const
{
    return QTest::qWaitFor(
        [&] {
            std::lock_guard lock(mutex_);
            return qint64(samples_.size()) > index;
        },
        timeoutMs);
}

std::vector<int> SinkRecorder::Windows(qint64 from, qint64 to, qint64& firstWindow) const
{
    std::lock_guard lock(mutex_);
    const qint64 end = to < 0 ? qint64(samples_.size()) : std::min<qint64>(to, qint64(samples_.size()));
    firstWindow = std::max<qint64>(0, from) / Window;
    std::vector<int> kinds;
    for (qint64 w = firstWindow; (w + 1) * Window <= end; ++w) {
        const qint16* v = samples_.data() + w * Window;
        double energy = 0;
        for (int i = 0; i < Window; ++i)
            energy += double(v[i]) * v[i];
        int kind = 0;
        if (std::sqrt(energy / Window) > Loud) {
            double best = 0;
            for (int hertz : tones_) {
                // A pure tone puts about all of the window's energy at its pitch.
                const double share = Goertzel(v, Window, hertz) * 2 / Window / energy;
                if (share > 0.5 && share > best)
                    best = share, kind = hertz;
            }
            kind = kind ? kind : -1;  // loud, but none of the tones alone
        }
        kinds.push_back(kind);
    }
    return kinds;
}

SinkRecorder::Tone SinkRecorder::Find(int hertz, qint64 from, qint64 to) const
{
    // One window more than asked for, so that what came just before the tone is known.
    qint64 w0 = 0;
    const std::vector<int> kinds = Windows(from - Window, to, w0);
    const qint64 start = std::max<qint64>(0, from) / Window - w0;
    Tone tone;
    qint64 firstW = -1, lastW = -1, silent = 0, pendingSilent = 0;
    for (qint64 i = start; i < qint64(kinds.size()); ++i) {
        if (kinds[i] == hertz) {
            if (firstW < 0)
                firstW = i;
            lastW = i;
            silent += pendingSilent;
            pendingSilent = 0;
        } else if (firstW >= 0) {
            if (kinds[i] != 0 || ++pendingSilent > QuietWindows)
                break;  // another sound, or over
        }
    }
    if (firstW < 0)
        return tone;
    std::lock_guard lock(mutex_);
    auto loud = [&](qint64 s) { return s >= 0 && s < qint64(samples_.size()) && std::abs(samples_[s]) > Loud; };
    // The tone's edges to the sample: into the window before and after, unless another
    // sound is there (then the tone was cut over at the window's edge).
    const qint64 a = (w0 + firstW) * Window, b = (w0 + lastW + 1) * Window;
    tone.first = a;
    if (firstW == 0 || kinds[firstW - 1] == 0)
        for (qint64 s = a - Window; s < a + Window; ++s)
            if (loud(s)) {
                tone.first = s;
                break;
            }
    qint64 last = b - 1;
    if (lastW + 1 >= qint64(kinds.size()) || kinds[lastW + 1] == 0)
        for (qint64 s = b + Window - 1; s >= b - Window; --s)
            if (loud(s)) {
                last = s;
                break;
            }
    tone.samples = last - tone.first + 1 - silent * Window;
    return tone;
}

bool SinkRecorder::WaitUntilOver(int hertz, qint64 from, int timeoutMs) const
{
    return QTest::qWaitFor(
        [&] {
            qint64 w0 = 0;
            const std::vector<int> kinds = Windows(from, -1, w0);
            qint64 lastW = -1;
            for (qint64 i = 0; i < qint64(kinds.size()); ++i)
                if (kinds[i] == hertz)
                    lastW = i;
            return lastW >= 0 && qint64(kinds.size()) - lastW > QuietWindows;
        },
        timeoutMs);
}

CpuLoad::CpuLoad(int processes)
{
    for (int i = 0; i < processes; ++i)
        burners_.push_back(std::make_unique<RunningTool>("sh", QStringList{"-c", "while :; do :; done"}));
}
