// Start-up from settings to main menu, the splash and about box, and the single running copy.
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QCryptographicHash>
#include <QListWidget>
#include <QLocalServer>
#include <QScopeGuard>

#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "base/Program.h"
#include "tests/support/TestSupport.h"

namespace {

sockaddr_un SocketAddress(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(path);
    std::memcpy(address.sun_path, p.constData(), std::min(size_t(p.size()), sizeof address.sun_path - 1));
    return address;
}

// The process that answers at a socket, or -1 when none does.
qint64 ListenerPid(const QString& path)
{
    const sockaddr_un address = SocketAddress(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ucred peer{};
    socklen_t size = sizeof peer;
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                          ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0;
    ::close(fd);
    return answered ? peer.pid : -1;
}

// A process of the user `uid` that will listen at `path`. It binds while still root, who
// alone may enter another user's private folder; a program that connects learns the user
// that called listen().
pid_t ListenAs(uid_t uid, const QString& path)
{
    const sockaddr_un address = SocketAddress(path);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::setgid(uid) != 0 || ::setuid(uid) != 0 || ::listen(fd, 128) != 0)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    return pid;
}

// The program copied into the test's program folder, with settings naming a disk that is not
// there: started, it waits at its question whether to try another drive.
QString ProgramWithoutDisk(const TestProgram& t)
{
    const QString exe = t.programFolder() + QStringLiteral("/zeptest");
    if (!QFile::exists(exe))
        QFile::copy(QStringLiteral(ZEP_PROGRAM_DIR "/zeptest"), exe);
    CHECKED(
        WriteFileBytes(t.programFolder() + QStringLiteral("/zeptest.ini"), "[Path]\r\nFilePath=/nowhere/at/all\r\n"),
        QString());
    return exe;
}

}  // namespace

class tst_StartUp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        frmAbout::RevealTickMs = 1;
        frmAbout::HoldTickMs = 5;
    }

    void startUpConnectsTheRememberedDiskAndSetsTheOptions()
    {
        TestProgram t;
        CHECKED(WriteClients(t.disk(), {QStringLiteral("Ann Lee"), QStringLiteral("Bo Smith-Jones")}));
        CHECKED(
            WriteFileBytes(program().IniPath, "[Settings]\r\nNumLock=true\r\nPrintDOS=Truly\r\n[Path]\r\nFilePath=" +
                                                  t.disk().toLocal8Bit() + "\r\nSndPath= /opt/sounds \r\n"));
        program().DataDrive.clear();
        program().EditMode = true;
        // What a killed bulk print leaves: confidential reports that must not outlive it.
        const QDir folder(t.programFolder());
        for (const char* name : {"temp1", "temp12", ".temp2.aB12cD", ".REPORT.PRN.Zz09Yy", "temp"})
            CHECKED(WriteFileBytes(folder.filePath(name), "CONFIDENTIAL REPORT\r\n"));

        frmMainMenu menu;
        QVERIFY(RunStartUp(menu));
        QVERIFY(MsgBox::Shown().isEmpty());
        QCOMPARE(folder.entryList({"temp*", ".temp*", ".REPORT*"}, QDir::Files | QDir::Hidden), QStringList{"temp"});
        const Program& p = program();
        QVERIFY(!p.EditMode && p.UnloadOthersOnActivate);
        QCOMPARE(p.ClientCount, 2);
        QCOMPARE(Child<QListWidget>(&menu, "lbNameDisplay")->count(), 2);
        QCOMPARE(p.SndPath, QStringLiteral("/opt/sounds"));
        QVERIFY(!p.NumLockOn && !Child<QAction>(&menu, "mnuOptionsNumLock")->isChecked());
        QVERIFY(p.PrintDOS && Child<QAction>(&menu, "mnuOptionsPrintDOS")->isChecked());
        QVERIFY(!Child<QPushButton>(&menu, "cmdMenuChoice", 0)->isEnabled());
    }

    void startUpEndsWhenNoDiskIsFound()
    {
        TestProgram t;
        frmMainMenu menu;
        MsgBox::SetNextAnswer(MsgBox::Answer::No);
        QVERIFY(!RunStartUp(menu));
        QVERIFY(LastMessage().text.startsWith("No test information found on drive A:"));
        QVERIFY(!QFile::exists(program().IniPath));
    }

    void aboutBoxClosesOnItsButtonAndWhenTheMenuIsActivated()
    {
        TestProgram t;
        frmMainMenu menu;
        CHECKED(ShowActive(&menu));
        Child<QAction>(&menu, "mnuHelpAbout")->trigger();
        QPointer<frmAbout> about = menu.findChild<frmAbout*>();
        QVERIFY(about && !about->isModal() && Child<QPushButton>(about, "cmdOK")->isVisible());
        QTRY_VERIFY(about->FadeDone());
        QTest::mouseClick(Child<QPushButton>(about, "cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(about.isNull());
        Child<QAction>(&menu, "mnuHelpAbout")->trigger();
        QPointer<frmAbout> second = menu.findChild<frmAbout*>();
        QVERIFY(second && second->isVisible());
        menu.Activate();  // coming back to the main menu closes an about box left open
        QTRY_VERIFY(second.isNull() || !second->isVisible());
    }

    void aSecondCopyRestoresTheFirstWindow()
    {
        TestProgram t;
        QWidget window;
        SingleInstance first(t.programFolder());
        QVERIFY(first.Listen(&window));

        // During start-up the main window is not ready: it must not appear.
        SingleInstance early(t.programFolder());
        QVERIFY(early.HandOverToRunningCopy());
        QTest::qWait(300);
        QVERIFY(!window.isVisible());

        first.StartUpFinished();
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        SingleInstance second(t.programFolder());
        QVERIFY(second.HandOverToRunningCopy());
        QTRY_VERIFY(!window.isMinimized());

        SingleInstance elsewhere(t.disk());  // another program folder is another program
        QVERIFY(!elsewhere.HandOverToRunningCopy());
    }

    void aSecondProgramEndsWithoutTouchingAnyFile()
    {
        TestProgram t;
        const QString exe = ProgramWithoutDisk(t);
        const QByteArray ini = ReadFileBytes(t.programFolder() + QStringLiteral("/zeptest.ini"));

        RunningTool first(exe);
        QVERIFY(first.waitForStarted());
        // The first copy answers later ones while it waits at its "no test information" question.
        QTRY_VERIFY_WITH_TIMEOUT(ListenerPid(SingleInstance(t.programFolder()).serverName()) == first.processId(),
                                 20000);
        const QStringList before = QDir(t.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        QCOMPARE(RunTool(exe, {}, 10000).exitCode, 0);
        QCOMPARE(QDir(t.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(ReadFileBytes(t.programFolder() + QStringLiteral("/zeptest.ini")), ini);
    }

    void aListenerNotOursCannotStopTheProgram_data()
    {
        QTest::addColumn<bool>("otherUser");
        QTest::newRow("at the name in /tmp that earlier versions used") << false;
        QTest::newRow("another user's, at the program's own name") << true;
    }

    // Someone else's socket where copies used to meet, or where they meet now, does not keep
    // the program from starting: it comes to answer at its own name.
    void aListenerNotOursCannotStopTheProgram()
    {
        QFETCH(bool, otherUser);
        if (otherUser && ::getuid() != 0)
            QSKIP("listening as another user needs root");
        TestProgram t;
        QTemporaryDir runtime;  // 0700, as a session's runtime folder is
        const auto xdg = SetEnvironment("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString exe = ProgramWithoutDisk(t);
        const QString name = SingleInstance(t.programFolder()).serverName();
        QVERIFY(name.startsWith(runtime.path() + QLatin1Char('/')));
        QLocalServer earlier;
        pid_t stranger = -1;
        const auto endStranger = qScopeGuard([&] {
            if (stranger > 0) {
                ::kill(stranger, SIGKILL);
                ::waitpid(stranger, nullptr, 0);
            }
        });
        if (otherUser) {
            stranger = ListenAs(65534, name);  // nobody
            QTRY_COMPARE(ListenerPid(name), qint64(stranger));
        } else {
            const QByteArray key = t.programFolder().toUtf8() + '#' + QByteArray::number(uint(::getuid()));
            QVERIFY(earlier.listen(
                QStringLiteral("zeptest-") +
                QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16))));
        }

        RunningTool program(exe);
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(program.state() != QProcess::Running || ListenerPid(name) == program.processId(),
                                 20000);
        QCOMPARE(program.state(), QProcess::Running);
    }

    void aFolderOthersMayUseIsToldAndTheProgramStarts_data()
    {
        QTest::addColumn<bool>("taken");
        QTest::newRow("a runtime folder others may enter") << false;
        QTest::newRow("the folder in the temporary folder, made by another user") << true;
    }

    // Where another user could answer in the program's place, no copy is looked for or
    // answered: the operator is told why, and the program starts.
    void aFolderOthersMayUseIsToldAndTheProgramStarts()
    {
        QFETCH(bool, taken);
        if (taken && ::getuid() != 0)
            QSKIP("making another user's folder needs root");
        TestProgram t;
        QTemporaryDir scratch;
        const QString folder = taken ? scratch.path() + QStringLiteral("/zeptest-%1").arg(::getuid()) : scratch.path();
        const auto runtime = SetEnvironment("XDG_RUNTIME_DIR", taken ? QByteArray() : QFile::encodeName(folder));
        const auto temporary = SetEnvironment("TMPDIR", taken ? QFile::encodeName(scratch.path()) : qgetenv("TMPDIR"));
        if (taken) {
            QVERIFY(QDir().mkdir(folder));
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        }
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), taken ? 0700 : 0755), 0);
        QWidget window;
        SingleInstance copy(t.programFolder());
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QVERIFY(!copy.HandOverToRunningCopy());
        QCOMPARE(MsgBox::Shown().size(), 1);
        QVERIFY2(LastMessage().text.contains(folder), qPrintable(LastMessage().text));
        QVERIFY(!copy.Listen(&window));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), QStringList());
    }
};

QTEST_MAIN(tst_StartUp)
#include "tst_StartUp.moc"
