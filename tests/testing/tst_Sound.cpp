// Real sound: the on-screen test, driven with the client's keys, plays known tones as its
// recordings into a PulseAudio null sink of the test's own; the sink is recorded with parec
// and each tone is found in the recording by its pitch. Quiet, and with both cores busy.

#include "base/Program.h"
#include "clients/DataAccess.h"
#include "testing/Presentation.h"
#include "testing/frmPresentQA.h"
#include "tests/support/SoundProbe.h"
#include "tests/support/TestSupport.h"

namespace {

// Each recording of item 1 and the two first instructions: its pitch and its length.
struct Recording {
    const char* name;
    int hertz;
    double seconds;
};
const Recording Recordings[] = {
    {"Inst0.wav", 600, 0.5},  {"Inst1.wav", 1000, 0.5}, {"Q01.wav", 1400, 0.6},
    {"Q01A1.wav", 1800, 1.0}, {"Q01A2.wav", 2200, 0.6},
};

}  // namespace

class tst_Sound : public QObject {
    Q_OBJECT

    PrivateSoundServer server;
    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmPresentQA> form;
    std::unique_ptr<SinkRecorder> sink;

    void Open()
    {
        Program& p = program();
        p.SndPath = t->programFolder();
        p.CurrentClient = 1;
        p.ClientTable[1].Answers = QString(64, QLatin1Char('0'));
        QList<QuestionItem> items = StandardTestItems();
        items[0].QuestionAudio = "Q01";
        items[0].ChoiceAudio[0] = "Q01A1";
        items[0].ChoiceAudio[1] = "Q01A2";
        CHECKED(WriteBank({{"English", items}}));
        const QString folder = SoundFolder(p.SndPath, "English");
        QVERIFY(QDir().mkpath(folder));
        for (const Recording& r : Recordings)
            CHECKED(WriteFileBytes(folder + r.name, ToneWave(r.seconds, r.hertz)));
        form = std::make_unique<frmPresentQA>();
        form->Language = "English";
        QVERIFY(form->Load());
        CHECKED(ShowActive(form.get()));
    }

    // What the client heard after `act`: the recording's tone from the moment of the key on.
    SinkRecorder::Tone Heard(const std::function<void()>& act, const Recording& r)
    {
        const auto keyTime = std::chrono::steady_clock::now();
        const qint64 key = sink->SampleNow();
        act();
        if (!sink->WaitUntilOver(r.hertz, key))
            return {};
        const SinkRecorder::Tone tone = sink->Find(r.hertz, key);
        if (tone.first >= 0)
            qInfo("%s: out of the sink %lld ms after the key, %.1f%% of it heard", r.name,
                  qint64(std::chrono::duration_cast<std::chrono::milliseconds>(sink->ArrivalOf(tone.first) - keyTime)
                             .count()),
                  100.0 * tone.samples / (r.seconds * ProbeRate));
        return tone;
    }

private slots:
    void initTestCase()
    {
        QString why;
        if (!server.Start(why))
            QSKIP(qPrintable(why));
    }

    void init()
    {
        t = std::make_unique<TestProgram>();
        QList<int> tones;
        for (const Recording& r : Recordings)
            tones << r.hertz;
        sink = std::make_unique<SinkRecorder>(tones);
        QString why;
        QVERIFY2(sink->Start(why), qPrintable(why));
    }
    void cleanup()
    {
        form.reset();
        sink.reset();
        t.reset();
    }

    // Every recording an item needs is heard whole, and the next one stops it, also while
    // two other programs keep the computer busy.
    void everyRecordingIsHeardWhole_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("quiet computer") << false;
        QTest::newRow("both cores busy") << true;
    }
    void everyRecordingIsHeardWhole()
    {
        QFETCH(bool, busy);
        std::unique_ptr<CpuLoad> load(busy ? new CpuLoad : nullptr);
        // The server reports each stream a client opens.
        RunningTool events("pactl", {"subscribe"});
        QVERIFY(events.waitForStarted());
        CHECKED(Open());
        const Recording &inst0 = Recordings[0], &inst1 = Recordings[1], &question = Recordings[2],
                        &first = Recordings[3], &second = Recordings[4];
        QList<QPair<const Recording*, SinkRecorder::Tone>> heard;
        heard << qMakePair(&inst0, Heard([&] { form->Activate(); }, inst0));
        heard << qMakePair(&inst1, Heard([] { Press(Qt::Key_Return); }, inst1));
        heard << qMakePair(&question, Heard([] { Press(Qt::Key_Return); }, question));
        heard << qMakePair(&first, Heard([] { Press(Qt::Key_Down); }, first));
        heard << qMakePair(&second, Heard([] { Press(Qt::Key_Down); }, second));
        heard << qMakePair(&first, Heard([] { Press(Qt::Key_Up); }, first));
        heard << qMakePair(&question, Heard([] { Press(Qt::Key_Up); }, question));  // asked again
        for (const auto& [r, tone] : heard) {
            QVERIFY2(tone.first >= 0, r->name);
            QVERIFY2(
                tone.samples >= 0.98 * r->seconds * ProbeRate,
                qPrintable(QString("%1: %2 of %3 samples").arg(r->name).arg(tone.samples).arg(r->seconds * ProbeRate)));
        }

        // Two quick presses: the first answer is heard until the second one stops it, and
        // none of its rest comes after.
        const qint64 before = sink->SampleNow();
        Press(Qt::Key_Down);
        QVERIFY(QTest::qWaitFor([&] { return sink->Find(first.hertz, before).first >= 0; }, 5000));
        const SinkRecorder::Tone next = Heard([] { Press(Qt::Key_Down); }, second);
        const SinkRecorder::Tone cut = sink->Find(first.hertz, before);
        QVERIFY2(cut.samples > 0 && cut.samples < 0.9 * first.seconds * ProbeRate,
                 qPrintable(QString::number(cut.samples)));
        QVERIFY2(next.first > cut.first, qPrintable(QString("%1 after %2").arg(next.first).arg(cut.first)));
        QVERIFY(next.samples >= 0.98 * second.seconds * ProbeRate);
        QCOMPARE(sink->Find(first.hertz, next.first + next.samples).first, -1);

        // The staff key breaks the test off in the middle of a sound, and it stops.
        const qint64 upAgain = sink->SampleNow();
        Press(Qt::Key_Up);
        QVERIFY(QTest::qWaitFor([&] { return sink->Find(first.hertz, upAgain).first >= 0; }, 5000));
        QTest::keyClick(form.get(), Qt::Key_F10, Qt::ShiftModifier | Qt::AltModifier);
        QVERIFY(!form->isVisible());
        QVERIFY(sink->WaitUntilOver(first.hertz, upAgain));
        QVERIFY(sink->Find(first.hertz, upAgain).samples < 0.5 * first.seconds * ProbeRate);

        // A sound is heard at once because it goes into a stream the test keeps open; a
        // stream set up for each sound is what made the client wait for it.
        form.reset();
        QByteArray said;
        QVERIFY(QTest::qWaitFor(
            [&] { return (said += events.readAllStandardOutput()).contains("'remove' on sink-input"); }));
        QCOMPARE(said.count("'new' on sink-input"), 1);
        QVERIFY(MsgBox::Shown().isEmpty());
    }
};

QTEST_MAIN(tst_Sound)
#include "tst_Sound.moc"
