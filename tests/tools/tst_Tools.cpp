// The small programs for offices and developers: zepdisk and zepdemo refuse a folder that holds
// clients, and on a disk that cannot take their files end with one line saying what was not
// written, and no half-made disk.
#include <QImage>

#include "app/Settings.h"
#include "base/Program.h"
#include "testing/Presentation.h"
#include "testing/QuestionBank.h"
#include "tests/support/TestSupport.h"

namespace {
int Run(const QString& program, const QStringList& args) { return RunTool(program, args).exitCode; }
}  // namespace

class tst_Tools : public QObject {
    Q_OBJECT

private slots:
    // An empty disk gets TID alone.
    void zepdiskPreparesAnEmptyDisk()
    {
        QTemporaryDir dir;
        const QString disk = dir.path() + QStringLiteral("/stick");
        QCOMPARE(Run(QStringLiteral(ZEPDISK), {disk}), 0);
        QCOMPARE(ReadFileBytes(disk + QStringLiteral("/TID")), QByteArray("ZEPSF\r\n"));
        QCOMPARE(QDir(disk).entryList(QDir::Files), QStringList{QStringLiteral("TID")});
    }

    void refusesADiskWithClients_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<bool>("withTid");
        QTest::newRow("zepdisk") << QStringLiteral(ZEPDISK) << false;
        QTest::newRow("zepdemo") << QStringLiteral(ZEPDEMO) << true;
    }
    // A folder whose data file holds seven clients is left exactly as it was, and zepdemo
    // changes no settings either.
    void refusesADiskWithClients()
    {
        QFETCH(QString, tool);
        QFETCH(bool, withTid);
        QTemporaryDir dir;
        const QString disk = dir.path() + QStringLiteral("/disk");
        QVERIFY(QDir().mkpath(disk));
        const QByteArray clients = Records(Names(QStringLiteral("Client"), 7));
        CHECKED(WriteFileBytes(disk + QStringLiteral("/DATA401.ZEP"), clients));
        if (withTid)
            CHECKED(TestProgram::MakeDataDisk(disk));
        const QStringList files = QDir(disk).entryList(QDir::Files);
        const QString programFolder = dir.path() + QStringLiteral("/program");
        const ToolRun run =
            RunTool(tool, tool == QLatin1String(ZEPDISK) ? QStringList{disk} : QStringList{programFolder, disk});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("already holds client records"), run.err.constData());
        QCOMPARE(ReadFileBytes(disk + QStringLiteral("/DATA401.ZEP")), clients);
        QCOMPARE(QDir(disk).entryList(QDir::Files), files);
        QVERIFY(!QFileInfo::exists(programFolder + QStringLiteral("/zeptest.ini")));
    }

    void zepdemoWritesADiskAndPointsTheSettingsAtIt()
    {
        QTemporaryDir dir;
        QCOMPARE(Run(QStringLiteral(ZEPDEMO),
                     {dir.path() + QStringLiteral("/program"), dir.path() + QStringLiteral("/disk")}),
                 0);
        const QByteArray data = ReadFileBytes(dir.path() + QStringLiteral("/disk/DATA401.ZEP"));
        QVERIFY(data.size() > 0 && data.size() % 154 == 0);
        program().IniPath = dir.path() + QStringLiteral("/program/zeptest.ini");
        QCOMPARE(GetINIFilePath(), dir.path() + QStringLiteral("/disk"));
        QCOMPARE(GetINISndPath(), dir.path() + QStringLiteral("/program"));
        QVERIFY(!GetPrintDOSSetting());  // a newcomer's first print is pages, not raw bytes
    }

    // One recording per audio name of the shipped bank, 16-bit PCM, as long as its text.
    void zepvoiceSpeaksTheShippedBank()
    {
        if (QStandardPaths::findExecutable("espeak-ng").isEmpty())
            QSKIP("espeak-ng is needed (package espeak-ng)");
        QTemporaryDir dir;
        const QString bankPath = QStringLiteral(ZEP_PROGRAM_DIR "/ZEPSF.db");
        QCOMPARE(Run(QStringLiteral(ZEPVOICE), {bankPath, dir.path()}), 0);
        program().MainWorkspace = "tst_Tools";
        QuestionBank bank(bankPath);
        for (const QString& language : {QString("English"), QString("Spanish")}) {
            QMap<QString, QString> texts;  // file name -> what it says
            for (int section = 0; section <= 2; ++section)
                texts[QString("Inst%1.wav").arg(section)] = InstructionText(language, section);
            QList<QuestionItem> items;
            QVERIFY(bank.ReadLanguage(language, items));
            for (const QuestionItem& item : items) {
                texts[item.QuestionAudio.trimmed() + ".wav"] = item.TestQuestion;
                for (int a = 0; a < 5; ++a)
                    if (!item.ChoiceAudio[a].trimmed().isEmpty())
                        texts[item.ChoiceAudio[a].trimmed() + ".wav"] = item.Answer[a];
            }
            const QDir folder(dir.path() + "/ZEPSF/sound/" + language);
            QCOMPARE(folder.entryList(QDir::Files), QStringList(texts.keys()));
            for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
                const QByteArray wav = ReadFileBytes(folder.filePath(it.key()));
                QVERIFY2(wav.size() > 44 && wav.startsWith("RIFF") && wav.mid(8, 4) == "WAVE", qPrintable(it.key()));
                QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 20), quint16(1));   // PCM
                QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 34), quint16(16));  // bits
                const double seconds = double(wav.size() - 44) / qFromLittleEndian<quint32>(wav.constData() + 28);
                const double chars = it.value().size();
                QVERIFY2(seconds > chars / 40 && seconds < chars / 6 + 1.5,
                         qPrintable(QString("%1: %2 s for %3 characters").arg(it.key()).arg(seconds).arg(chars)));
            }
        }
    }

    void renderformsDrawsEveryForm()
    {
        QTemporaryDir dir;
        QCOMPARE(Run(QStringLiteral(RENDERFORMS), {dir.path()}), 0);
        for (const char* form :
             {"frmMainMenu", "frmMyInputBox", "frmDriveSelect", "frmClientInfo", "frmCourtHistory", "frmSelectLanguage",
              "frmNewEntry", "frmAbout", "frmSelectEntryMethod", "frmPresentQA", "frmPresentQA-instructions"}) {
            QImage image(dir.path() + QLatin1Char('/') + QLatin1String(form) + QStringLiteral(".png"));
            QVERIFY2(!image.isNull(), form);
            QVERIFY(image.width() > 100);
        }
    }

    void failedWriteIsAFailure_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<bool>("settingsFail");
        QTest::addColumn<QString>("unwritten");
        QTest::newRow("zepdisk, full disk") << QStringLiteral(ZEPDISK) << false << QStringLiteral("TID");
        QTest::newRow("zepdemo, full disk") << QStringLiteral(ZEPDEMO) << false << QStringLiteral("DATA401.ZEP");
        QTest::newRow("zepdemo, read-only program folder")
            << QStringLiteral(ZEPDEMO) << true << QStringLiteral("zeptest.ini");
    }
    void failedWriteIsAFailure()
    {
        QFETCH(QString, tool);
        QFETCH(bool, settingsFail);
        QFETCH(QString, unwritten);
        TmpfsMount mount(QStringLiteral("size=16k"));
        REQUIRE_TMPFS(mount);
        QTemporaryDir other;
        const QString disk = settingsFail ? other.path() : mount.path();
        const QString programFolder = settingsFail ? mount.path() : other.path();
        if (settingsFail)
            QVERIFY(mount.remountReadOnly());
        else
            QVERIFY(QFileInfo(mount.fill()).size() > 0);
        const QStringList before = QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        const ToolRun run =
            RunTool(tool, tool == QLatin1String(ZEPDISK) ? QStringList{disk} : QStringList{programFolder, disk});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.contains(unwritten.toLocal8Bit()), run.err.constData());
        QVERIFY(!QFile::exists(programFolder + QStringLiteral("/zeptest.ini")));
        if (!settingsFail)
            QCOMPARE(QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    }
};

QTEST_GUILESS_MAIN(tst_Tools)
#include "tst_Tools.moc"
