// Real sound: the audio layer plays into a PulseAudio null sink started by this test, and
// the sink's monitor is recorded with parec.

#include "testing/Presentation.h"
#include "testing/Sound.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int Rate = 22050;

// A sine tone of `seconds` as a 16-bit PCM mono WAV file.
void WriteTone(const QString& path, double seconds, double hertz)
{
    const qint32 samples = qint32(seconds * Rate);
    QByteArray pcm(samples * 2, '\0');
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(12000 * qSin(2 * M_PI * hertz * i / Rate)), pcm.data() + 2 * i);
    QByteArray wav("RIFF....WAVEfmt ");
    auto add32 = [&wav](quint32 v) { char b[4]; qToLittleEndian(v, b); wav.append(b, 4); };
    auto add16 = [&wav](quint16 v) { char b[2]; qToLittleEndian(v, b); wav.append(b, 2); };
    add32(16), add16(1), add16(1), add32(Rate), add32(Rate * 2), add16(2), add16(16);
    wav += "data";
    add32(quint32(pcm.size()));
    wav += pcm;
    qToLittleEndian<quint32>(quint32(wav.size() - 8), wav.data() + 4);
    WriteFileBytes(path, wav);
}

} // namespace

class tst_Sound : public QObject {
    Q_OBJECT

    TestProgram program;  // a "Sound Error" box nobody expects fails the test
    QTemporaryDir runtime;
    QTemporaryDir sounds;
    QProcess daemon;
    QString folder;

    // Seconds of sound in the recording: 10 ms windows that are clearly not silent.
    static double SecondsHeard(const QByteArray& raw)
    {
        const int window = Rate / 100;
        int loud = 0;
        for (qsizetype start = 0; start + 2 * window <= raw.size(); start += 2 * window) {
            double sum = 0;
            for (int i = 0; i < window; ++i) {
                const double v = qFromLittleEndian<qint16>(raw.constData() + start + 2 * i);
                sum += v * v;
            }
            loud += qSqrt(sum / window) > 1000 ? 1 : 0;
        }
        return loud / 100.0;
    }

    // Records the null sink while `play` runs and the event loop turns for `milliseconds`.
    QByteArray Record(const std::function<void()>& play, int milliseconds)
    {
        QProcess parec;
        parec.start("parec",
                    {"--device=zeptest.monitor", "--rate=22050", "--channels=1", "--format=s16le", "--latency-msec=20"});
        QByteArray raw;
        QObject::connect(&parec, &QProcess::readyReadStandardOutput, [&] { raw += parec.readAllStandardOutput(); });
        // Recording begins a while after the recorder starts; the sound must not begin before.
        if (!parec.waitForStarted() || !QTest::qWaitFor([&] { return raw.size() > Rate; }, 10000))
            return {};
        play();
        QTest::qWait(milliseconds);
        parec.terminate();
        parec.waitForFinished();
        return raw + parec.readAllStandardOutput();
    }

private slots:
    void initTestCase()
    {
        for (const char* tool : {"pulseaudio", "parec"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP("pulseaudio and parec are needed (packages pulseaudio, pulseaudio-utils)");
        // A daemon of our own, root or not, beside nothing else: its own runtime folder.
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        qputenv("PULSE_SERVER", ("unix:" + runtime.path() + "/pulse/native").toLocal8Bit());
        daemon.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                                    "-L", "module-native-protocol-unix", "-L", "module-null-sink sink_name=zeptest"});
        QVERIFY(daemon.waitForStarted());
        const QString socket = runtime.path() + "/pulse/native";
        (void)QTest::qWaitFor([&] { return QFile::exists(socket) || daemon.state() != QProcess::Running; }, 10000);
        if (daemon.state() != QProcess::Running)
            QSKIP(qPrintable("PulseAudio does not run here: " + daemon.readAllStandardError().right(300)));
        QVERIFY(QFile::exists(socket));
        folder = SoundFolder(sounds.path(), "English");
        QVERIFY(QDir().mkpath(folder));
        WriteTone(folder + "Q01.wav", 1.0, 440);
        WriteTone(folder + "Q01A1.wav", 2.0, 660);
        WriteTone(folder + "Q01A2.wav", 0.5, 880);
    }
    void cleanupTestCase()
    {
        daemon.terminate();
        daemon.waitForFinished();
    }

    void aQuestionIsHeardForItsLength()
    {
        TestSound sound(folder);
        sound.InitSound();
        QVERIFY(sound.AudioOn);
        const double heard = SecondsHeard(Record([&] { sound.PlaySound("Q01.wav"); }, 2500));
        QVERIFY2(heard > 0.8 && heard < 1.2, qPrintable(QString::number(heard)));
        QVERIFY(MsgBox::Shown().isEmpty());
    }

    void theNextAnswerStopsThePreviousSound()
    {
        TestSound sound(folder);
        sound.InitSound();
        // Half a second of the two-second answer, then the half-second one.
        const double heard = SecondsHeard(Record([&] {
            sound.PlaySound("Q01A1.wav");
            QTest::qWait(500);
            sound.PlaySound("Q01A2.wav");
        }, 3000));
        QVERIFY2(heard > 0.7 && heard < 1.4, qPrintable(QString::number(heard)));
    }
};

QTEST_MAIN(tst_Sound)
#include "tst_Sound.moc"
