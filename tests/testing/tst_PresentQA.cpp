// The on-screen test driven with the keys a client uses, in both languages.
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>

#include "base/Program.h"
#include "clients/DataAccess.h"
#include "testing/Presentation.h"
#include "testing/Sound.h"
#include "testing/frmPresentQA.h"
#include "tests/support/SoundProbe.h"
#include "tests/support/TestSupport.h"

namespace {

// A stand-in audio device: usable or not, and a log of what it was told.
struct FakeDevice : SoundDevice {
    bool usable = true;
    QStringList log;
    bool Usable() override { return usable; }
    void Play(const QString& path, std::shared_ptr<const Wave>) override { log << QFileInfo(path).fileName(); }
    void Close() override { log << QStringLiteral("close"); }
};
FakeDevice* Device = nullptr;

// Items 1-60 true/false, 61-64 four answers, each with its recordings named Qnn and QnnAk.
void WriteVoicedBank()
{
    QList<QPair<QString, QList<QuestionItem>>> tables;
    for (const char* language : {"English", "Spanish"}) {
        QList<QuestionItem> items = StandardTestItems();
        for (QuestionItem& item : items) {
            const QString base = QStringLiteral("Q%1").arg(item.ID, 2, 10, QLatin1Char('0'));
            item.QuestionAudio = QLatin1Char(' ') + base;
            for (int a = 0; a < 5; ++a)
                item.ChoiceAudio[a] = item.Answer[a].isEmpty() ? QString() : base + QStringLiteral("A%1").arg(a + 1);
        }
        tables.append({QString::fromLatin1(language), items});
    }
    CHECKED(WriteBank(tables));
}

// The panel shows all of its text: wrapped as the panel wraps it, every line inside the panel.
bool ShowsInFull(const QLabel* panel)
{
    const int m = panel->margin();
    const QRect room = panel->contentsRect().adjusted(m + panel->indent(), m, -m, -m);
    const int flags = int(panel->alignment()) | (panel->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
    const QRect needed =
        panel->fontMetrics().boundingRect(QRect(room.topLeft(), QSize(room.width(), 1000)), flags, panel->text());
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// The answer the tests give to an item (0 = first): item 5 gets its second answer, items
// 61-64 answers 1 to 4.
int ChoiceFor(int item) { return item > 60 ? item - 61 : item % 2; }

}  // namespace

class tst_PresentQA : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmPresentQA> form;

    // Client 3 being added on a disk with two clients; the test opened in `language`.
    void Open(const QString& language, const QString& disk = QString())
    {
        Program& p = program();
        p.SndPath = t->programFolder();
        if (!disk.isEmpty())
            UseDisk(disk);
        CHECKED(WriteClients(p.DataDrive, {QStringLiteral("Ann One"), QStringLiteral("Bob Two")}));
        QVERIFY(LoadClientTable());
        p.EditMode = false;
        p.CurrentClient = 3;
        p.ClientTable[3] = SampleRecord(QStringLiteral("Carl New"));
        p.ClientTable[3].Answers = QString(64, QLatin1Char('0'));
        p.InputAccepted = true;
        CHECKED(WriteVoicedBank());
        form = std::make_unique<frmPresentQA>();
        form->Language = language;
        QVERIFY(form->Load());
        CHECKED(ShowActive(form.get()));
        form->Activate();
    }

    // Sounds go to a stand-in device; returns the English sound folder, made.
    QString UseFakeDevice()
    {
        SetSoundDeviceMaker([] {
            auto device = std::make_unique<FakeDevice>();
            Device = device.get();
            return device;
        });
        const QString folder = SoundFolder(t->programFolder(), "English");
        QDir().mkpath(folder);
        return folder;
    }

    QPlainTextEdit* Question() const { return Child<QPlainTextEdit>(form, "txtQuestion"); }
    QPlainTextEdit* Instructions() const { return Child<QPlainTextEdit>(form, "txtInstructions"); }
    QPushButton* Choice(int i) const { return Child<QPushButton>(form, "cmdMenuChoice", i); }
    QLabel* Status() const { return Child<QLabel>(form, "MsgPanel"); }

    // Highlights answer `choice` of the item on screen with the arrows and chooses it.
    void Answer(int choice)
    {
        QCOMPARE(Focused(), Question());
        Press(Qt::Key_Down, choice + 1);
        Press(Qt::Key_Return);
    }

    void AnswerItems(int from, int to)
    {
        for (int item = from; item <= to; ++item) {
            if (Focused() == Instructions())
                Press(Qt::Key_Return);
            const QString shown = Question()->toPlainText();
            QVERIFY(QTest::currentTestFailed() || shown.startsWith(QString::number(item) + '.'));
            CHECKED(Answer(ChoiceFor(item)));
        }
    }

    QString Expected() const
    {
        QString answers;
        for (int item = 1; item <= 64; ++item)
            answers += QChar('1' + ChoiceFor(item));
        return answers;
    }

private slots:
    void init()
    {
        t = std::make_unique<TestProgram>();
        ResetSoundHistory();
        SetSoundDeviceMaker(nullptr);
    }
    void cleanup()
    {
        form.reset();
        SetSoundDeviceMaker(nullptr);
        t.reset();
    }

    void aWholeTestByKeys_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("answers");
        QTest::newRow("English") << "English"
                                 << "Question Presentation"
                                 << "Question"
                                 << "Choose Answer";
        QTest::newRow("Spanish") << "Spanish"
                                 << "Presentación de preguntas"
                                 << "Pregunta"
                                 << "Escoja su respuesta";
    }
    void aWholeTestByKeys()
    {
        QFETCH(QString, language);
        QFETCH(QString, caption);
        QFETCH(QString, question);
        QFETCH(QString, answers);
        // A recording is there, but no audio output: the test runs silently.
        QVERIFY(QDir().mkpath(SoundFolder(t->programFolder(), language)));
        CHECKED(WriteFileBytes(SoundFolder(t->programFolder(), language) + "Q01.wav", "RIFF"));
        CHECKED(Open(language));
        QCOMPARE(form->windowTitle(), caption);
        QCOMPARE(Child<QGroupBox>(form, "fraQuestions")->title() + '|' + Child<QGroupBox>(form, "fraAnswer")->title(),
                 question + '|' + answers);
        auto readable = [&] { QVERIFY2(ShowsInFull(Status()), qPrintable(Status()->text())); };
        auto screenText = [&language](int section) { return InstructionText(language, section).replace("\r\n", "\n"); };
        QCOMPARE(Focused(), Instructions());
        QCOMPARE(Instructions()->toPlainText(), screenText(0));
        QCOMPARE(SoundsAsked(), QStringList{"Inst0.wav"});
        readable();
        Press(Qt::Key_F10);  // nothing to go back to while instructions are up
        QCOMPARE(BeepCount(), 0);
        Press(Qt::Key_Return);
        QCOMPARE(Instructions()->toPlainText(), screenText(1));
        QCOMPARE(SoundsAsked().last(), QString("Inst1.wav"));
        Press(Qt::Key_Tab);  // Tab leaves instructions like Enter

        QCOMPARE(Focused(), Question());
        QCOMPARE(Question()->toPlainText(), QString("1. Statement 1."));
        QCOMPARE(SoundsAsked().last(), QString("Q01.wav"));
        readable();
        Press(Qt::Key_F10);
        QCOMPARE(BeepCount(), 1);
        QVERIFY(Choice(1)->isVisible() && !Choice(2)->isVisible());
        Press(Qt::Key_Down);
        QCOMPARE(Focused(), Choice(0));
        QCOMPARE(SoundsAsked().last(), QString("Q01A1.wav"));
        readable();
        Press(Qt::Key_Up);  // back to the question, which is spoken again
        QCOMPARE(Focused(), Question());
        QCOMPARE(SoundsAsked().mid(SoundsAsked().size() - 2), (QStringList{"Q01A1.wav", "Q01.wav"}));
        Press(Qt::Key_Down, 2);
        QCOMPARE(Focused(), Choice(1));
        Press(Qt::Key_Tab);  // past the last answer the question comes again
        QCOMPARE(Focused(), Question());

        CHECKED(AnswerItems(1, 60));
        QCOMPARE(Focused(), Instructions());
        QCOMPARE(Instructions()->toPlainText(), screenText(2));
        QCOMPARE(SoundsAsked().last(), QString("Inst2.wav"));
        QVERIFY(!Child<QGroupBox>(form, "fraQuestions")->isVisible());
        Press(Qt::Key_Return);
        QCOMPARE(Question()->toPlainText(), QString("61. Statement 61."));
        QVERIFY(Choice(3)->isVisible() && !Choice(4)->isVisible());

        // Back to item 60 without instructions; answering it again leads to them once more.
        Press(Qt::Key_F10);
        QCOMPARE(Question()->toPlainText(), QString("60. Statement 60."));
        QCOMPARE(Focused(), Question());
        QVERIFY(!Child<QGroupBox>(form, "fraInstructions")->isVisible());
        CHECKED(Answer(1));
        QCOMPARE(Focused(), Instructions());
        CHECKED(AnswerItems(61, 64));

        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(program().InputAccepted);
        QCOMPARE(program().ClientCount, 3);
        QString expected = Expected();  // item 5 has its second answer: "2"
        expected[59] = '2';
        QCOMPARE(StoredRecord(3).Answers.text(), expected);
        QVERIFY(MsgBox::Shown().isEmpty());
        QVERIFY(SoundsPlayed().isEmpty());
    }

    void aFailedWriteAtTheEndLosesNoAnswer()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        CHECKED(Open("English", disk.path()));
        Press(Qt::Key_Return, 2);
        CHECKED(AnswerItems(1, 63));
        QVERIFY(disk.remountReadOnly());
        MsgBox::SetNextAnswer(MsgBox::Answer::Cancel);  // the operator gives up on the disk
        CHECKED(Answer(ChoiceFor(64)));
        QCOMPARE(LastMessage().title, QString("Data Disk Error"));
        QVERIFY(form->isVisible());
        QCOMPARE(Question()->toPlainText(), QString("64. Statement 64."));
        QCOMPARE(program().ClientCount, 2);

        QVERIFY(disk.remountWritable());
        CHECKED(Answer(ChoiceFor(64)));
        QVERIFY(!form->isVisible());
        QCOMPARE(program().ClientCount, 3);
        QCOMPARE(StoredRecord(3).Answers.text(), Expected());
    }

    void soundsGoThroughTheAudioLayer()
    {
        const QString folder = UseFakeDevice();
        for (const char* name : {"Inst0.wav", "Q01.wav", "Q01A2.wav"})
            CHECKED(WriteFileBytes(folder + name, ToneWave(0.1, 440)));
        CHECKED(Open("English"));
        QCOMPARE(SoundsPlayed(), QStringList{folder + "Inst0.wav"});
        Press(Qt::Key_Return, 2);  // Inst1.wav is missing: nothing is heard, nothing is said
        Press(Qt::Key_Down, 2);
        QCOMPARE(SoundsAsked().mid(1), (QStringList{"Inst1.wav", "Q01.wav", "Q01A1.wav", "Q01A2.wav"}));
        QCOMPARE(SoundsPlayed(), (QStringList{folder + "Inst0.wav", folder + "Q01.wav", folder + "Q01A2.wav"}));
        // With sound the answer's status text is longer, and still read in full.
        QVERIFY2(ShowsInFull(Status()), qPrintable(Status()->text()));
        // Each sound stops the one before.
        QCOMPARE(Device->log.mid(Device->log.lastIndexOf("Q01.wav") + 1), (QStringList{"close", "close", "Q01A2.wav"}));
        QVERIFY(MsgBox::Shown().isEmpty());
    }

    // A recording that is there but cannot be played is told once; the test goes on, and
    // the recordings that can be played are still heard.
    void aDamagedRecordingIsToldOnce_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray tone = ToneWave(0.2, 440);
        QByteArray noise(4000, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QByteArray huge = tone;  // a data block that claims 2 GB
        qToLittleEndian<quint32>(0x7FFFFFF0u, huge.data() + 40);
        QTest::newRow("random bytes") << noise;
        QTest::newRow("cut short") << tone.left(tone.size() / 2);
        QTest::newRow("bad header") << QByteArray(tone).replace("WAVE", "WAVX");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("2 GB data block") << huge;
    }
    void aDamagedRecordingIsToldOnce()
    {
        QFETCH(QByteArray, bytes);
        const QString folder = UseFakeDevice();
        CHECKED(WriteFileBytes(folder + "Q01.wav", ToneWave(0.1, 440)));
        for (const char* name : {"Q02.wav", "Q03.wav"})
            CHECKED(WriteFileBytes(folder + name, bytes));
        CHECKED(Open("English"));
        Press(Qt::Key_Return, 2);
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        CHECKED(Answer(0));
        QCOMPARE(MsgBox::Shown().size(), 1);
        QCOMPARE(LastMessage().title, QString("Sound Error"));
        QVERIFY2(LastMessage().text.startsWith("Error 321:") && LastMessage().text.contains(folder + "Q02.wav"),
                 qPrintable(LastMessage().text));
        CHECKED(Answer(0));
        QCOMPARE(Question()->toPlainText(), QString("3. Statement 3."));
        Press(Qt::Key_F10, 2);
        QCOMPARE(Question()->toPlainText(), QString("1. Statement 1."));
        QCOMPARE(MsgBox::Shown().size(), 1);
        QCOMPARE(SoundsPlayed(), (QStringList{folder + "Q01.wav", folder + "Q01.wav"}));
    }

    // A table that is not the whole test is refused before anything is shown.
    void aBankThatIsNotTheWholeTestIsRefused()
    {
        QList<QuestionItem> items = StandardTestItems();
        items.swapItemsAt(30, 31);
        CHECKED(WriteBank({{"English", items}}));
        frmPresentQA shortTest;
        shortTest.Language = "English";
        QVERIFY(!shortTest.Load());
        QVERIFY2(shortTest.LoadError().contains("Row 31 holds item 32"), qPrintable(shortTest.LoadError()));
    }
};

QTEST_MAIN(tst_PresentQA)
#include "tst_PresentQA.moc"
