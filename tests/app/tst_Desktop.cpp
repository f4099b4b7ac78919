// The real program on a real X server (Xvfb with a window manager): the titles the window
// manager shows, the keyboard's NumLock, a second copy started during the splash, coming
// back to the menu, where the keyboard is after a refused disk or a cancelled new client,
// and a test window the client cannot put away.
#include <csignal>

#include "tests/support/TestSupport.h"
#include "tools/PrintCatcher.h"

// X11 headers last: their macros clash with Qt names.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

// Windows come and go while the tree is walked; a vanished one is simply not listed.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

const QString MenuTitle = QStringLiteral("ZEP - Adult Probation Short Form");

// Every viewable window under `w` that has a title (what the window manager shows), by title.
void CollectTitles(Display* d, Window w, QMap<QString, Window>& out)
{
    XWindowAttributes attributes;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowAttributes(d, w, &attributes) && attributes.map_state == IsViewable &&
        XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after, &data) == Success &&
        data) {
        if (count > 0)
            out.insert(QString::fromUtf8(reinterpret_cast<char*>(data), int(count)), w);
        XFree(data);
    }
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n; ++i)
            CollectTitles(d, children[i], out);
        if (children)
            XFree(children);
    }
}

}  // namespace

class tst_Desktop : public QObject {
    Q_OBJECT

    QProcess xvfb, windowManager;
    QString display;
    Display* x = nullptr;
    std::unique_ptr<TestProgram> t;
    QList<QProcess*> programs;

    QMap<QString, Window> Titles()
    {
        QMap<QString, Window> titles;
        XSync(x, False);
        CollectTitles(x, DefaultRootWindow(x), titles);
        return titles;
    }

    bool WaitForTitle(const QString& title, bool shown = true, int ms = 15000)
    {
        return QTest::qWaitFor([&] { return Titles().contains(title) == shown; }, ms);
    }

    QList<Atom> AtomsOf(Window w, const char* property)
    {
        QList<Atom> atoms;
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x, w, XInternAtom(x, property, False), 0, 64, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success &&
            data) {
            if (format == 32)
                for (unsigned long i = 0; i < count; ++i)
                    atoms << reinterpret_cast<Atom*>(data)[i];
            XFree(data);
        }
        return atoms;
    }

    // The window the window manager shows active (grey titles everywhere when there is none).
    Window ActiveWindow()
    {
        const QList<Atom> active = AtomsOf(DefaultRootWindow(x), "_NET_ACTIVE_WINDOW");
        return active.isEmpty() ? None : Window(active[0]);
    }
    bool WaitForActive(const QString& title, int ms = 10000)
    {
        return QTest::qWaitFor([&] { return ActiveWindow() != None && ActiveWindow() == Titles().value(title, None); },
                               ms);
    }
    // The program's message boxes carry the main menu's title: one of them, not the menu, active.
    bool WaitForMessageBoxOver(Window menu)
    {
        return QTest::qWaitFor(
            [&] {
                QMap<QString, Window> titles;
                const Window active = ActiveWindow();
                CollectTitles(x, active, titles);
                return active != None && active != menu && titles.value(MenuTitle) == active;
            },
            10000);
    }

    // Returns once the window manager has handled every request sent before: it answers a
    // frame-extents request for a window of the test's own in turn.
    bool WindowManagerCaughtUp()
    {
        const Window probe = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = probe;
        request.xclient.message_type = XInternAtom(x, "_NET_REQUEST_FRAME_EXTENTS", False);
        request.xclient.format = 32;
        XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
        const bool answered = QTest::qWaitFor([&] { return !AtomsOf(probe, "_NET_FRAME_EXTENTS").isEmpty(); }, 5000);
        XDestroyWindow(x, probe);
        return answered;
    }

    // What the window manager sends when the window's close button or Alt+F4 is used.
    void CloseWindow(const QString& title)
    {
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = Titles().value(title);
        close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(x, close.xclient.window, False, NoEventMask, &close);
        XFlush(x);
    }

    // The window manager stopped for as long as this lives, as a busy machine may hold it.
    struct HeldWindowManager {
        qint64 pid;
        explicit HeldWindowManager(qint64 p) : pid(p)
        {
            Q_ASSERT(pid > 0);
            ::kill(pid_t(pid), SIGSTOP);
        }
        ~HeldWindowManager() { ::kill(pid_t(pid), SIGCONT); }
    };

    // A drop-down menu is open: the only windows that pass the window manager by.
    bool PopupShown()
    {
        Window root, parent, *children = nullptr;
        unsigned int n = 0;
        bool shown = false;
        if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &n)) {
            XWindowAttributes a;
            for (unsigned int i = 0; i < n && !shown; ++i)
                shown = XGetWindowAttributes(x, children[i], &a) && a.override_redirect && a.map_state == IsViewable;
            if (children)
                XFree(children);
        }
        return shown;
    }

    bool NumLockOn()
    {
        XkbStateRec state;
        XkbGetState(x, XkbUseCoreKbd, &state);
        return state.locked_mods & XkbKeysymToModifiers(x, XK_Num_Lock);
    }

    void SetNumLock(bool on)
    {
        const unsigned int mask = XkbKeysymToModifiers(x, XK_Num_Lock);
        XkbLockModifiers(x, XkbUseCoreKbd, mask, on ? mask : 0);
        XSync(x, False);
    }

    // Keys 120 ms apart; `settle`: then a moment for the program to act on them, before a
    // check or keys for another window.
    void Keys(const QStringList& keys, bool settle = true)
    {
        QProcess::execute("xdotool", QStringList{"key", "--delay", "120"} + keys);
        if (settle)
            QTest::qWait(300);
    }

    // A click at a point of a window's inside (its menu bar starts at the top left).
    void ClickInWindow(Window w, int dx, int dy)
    {
        int x0 = 0, y0 = 0;
        Window child;
        XTranslateCoordinates(x, w, DefaultRootWindow(x), 0, 0, &x0, &y0, &child);
        QProcess::execute("xdotool", {"mousemove", QString::number(x0 + dx), QString::number(y0 + dy), "click", "1"});
    }

    void Type(const QString& text) { QProcess::execute("xdotool", {"type", "--delay", "30", text}); }

    // A process that runs on this desktop, ended at the end of the test function.
    QProcess* Start(const QString& program)
    {
        const auto platform = qScopeGuard([old = qgetenv("QT_QPA_PLATFORM")] { qputenv("QT_QPA_PLATFORM", old); });
        qputenv("QT_QPA_PLATFORM", "xcb");  // the display is in DISPLAY already
        return programs.emplace_back(new RunningTool(program, {}, QProcess::ForwardedChannels));
    }
    QProcess* StartProgram() { return Start(t->programFolder() + "/zeptest"); }

    // The program with the question bank, started and waiting at its menu (the last of
    // `programs`).
    void StartAtMenu(const QByteArray& numLock = "False")
    {
        CHECKED(Prepare(numLock));
        QVERIFY(QFile::copy(QStringLiteral(ZEP_PROGRAM_DIR "/ZEPSF.db"), t->programFolder() + "/ZEPSF.db"));
        StartProgram();
        QVERIFY2(WaitForActive(MenuTitle, 15000) && WaitForTitle("Initializing...", false),
                 "the main menu did not become active");
    }

    // A new client's information and court history, each accepted with Enter on Information OK.
    void TypeClientInformation()
    {
        for (const char* field : {"Al Smith", "123-45-6789", "34", "1", "3", "12", "2", "n"}) {
            Type(field);
            Keys({"Return"}, false);
        }
        Keys({"Return"});
    }
    // One box after the other, as fast as within a box: each keeps to its own window.
    void TypeCourtHistory()
    {
        QStringList keys;
        for (int box = 0; box < 12; ++box)
            keys << "n"
                 << "Return";
        Keys(keys << "Return");
    }

    // A program folder with the program and settings, and a data disk with two clients.
    void Prepare(const QByteArray& numLock)
    {
        t = std::make_unique<TestProgram>();
        QVERIFY(QFile::copy(QStringLiteral(ZEP_PROGRAM_DIR "/zeptest"), t->programFolder() + "/zeptest"));
        CHECKED(WriteClients(t->disk(), {"Jane Doe", "John Roe"}));
        CHECKED(WriteFileBytes(t->programFolder() + "/zeptest.ini",
                               "[Settings]\r\nNumLock=" + numLock +
                                   "\r\nPrintDOS=False\r\n[Path]\r\nFilePath=" + t->disk().toUtf8() + "\r\n"));
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("Xvfb and xdotool are needed (packages xvfb, xdotool)");
        for (int n = 120; n < 200 && display.isEmpty(); ++n)
            if (!QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                display = QStringLiteral(":%1").arg(n);
        xvfb.start("Xvfb", {display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        QVERIFY(xvfb.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT((x = XOpenDisplay(display.toLatin1().constData())) != nullptr, 10000);
        qputenv("DISPLAY", display.toLatin1());
        XSetErrorHandler(IgnoreXError);
        if (!QStandardPaths::findExecutable("openbox").isEmpty()) {
            windowManager.start("openbox", {});
            QVERIFY2(QTest::qWaitFor(
                         [&] { return !AtomsOf(DefaultRootWindow(x), "_NET_SUPPORTING_WM_CHECK").isEmpty(); }, 10000),
                     "openbox did not take over the screen");
        }
    }

    void cleanup()
    {
        qDeleteAll(programs);  // each is killed and waited for
        programs.clear();
        t.reset();
    }

    void cleanupTestCase()
    {
        if (x)
            XCloseDisplay(x);
        windowManager.kill();
        windowManager.waitForFinished();
        xvfb.terminate();  // not killed: it removes its lock file
        xvfb.waitForFinished();
    }

    void aWorkingDayOnTheRealDesktop()
    {
        CHECKED(Prepare("False"));
        SetNumLock(false);
        StartProgram();
        QVERIFY(WaitForTitle("Initializing..."));

        // A second copy during the splash ends at once and shows nothing half-made.
        QProcess* second = StartProgram();
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitCode(), 0);
        for (int i = 0; i < 10 && Titles().contains("Initializing..."); ++i) {
            QVERIFY2(!Titles().contains(MenuTitle), "the main menu appeared during start-up");
            QTest::qWait(100);
        }

        QVERIFY(WaitForActive(MenuTitle) && WaitForTitle("Initializing...", false));
        for (const QString& title : Titles().keys())
            QVERIFY2(!title.contains(QStringLiteral(" — ")), qPrintable(title));

        // A disk that is not ours is refused; the keyboard is back in the client list.
        const QString wrong = t->disk() + "/wrong";
        QDir().mkpath(wrong);
        CHECKED(TestProgram::MakeDataDisk(wrong, "NOTZEP\r\n"));
        // With the mouse, as the menu bar invites: Options, then Select Drive.
        const Window menu = Titles().value(MenuTitle);
        ClickInWindow(menu, 75, 9);
        QVERIFY2(QTest::qWaitFor([&] { return PopupShown(); }, 5000), "the Options menu did not drop down");
        ClickInWindow(menu, 100, 32);
        QVERIFY(WaitForActive("Select Drive"));
        Keys({"ctrl+a"});
        Type(wrong);
        Keys({"Tab", "Return"});
        QVERIFY(WaitForActive("Data Disk Error"));
        Keys({"Return"});
        QVERIFY(WaitForTitle("Data Disk Error", false));
        QVERIFY(WaitForMessageBoxOver(menu));
        Keys({"Escape"});  // "Drive select unsuccessful, would you like to try again?" No
        QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), menu, 10000);
        Keys({"Down", "Tab", "Return"});
        QVERIFY2(WaitForTitle("Client Information", true, 5000), "the keyboard was not in the client list");
        Keys({"Escape"});
        QVERIFY(WaitForTitle("Client Information", false));

        // The about box closes when the operator comes back to the menu.
        Keys({"alt+a"});
        QVERIFY(WaitForTitle("About ZEP-Adult Probation Short Form"));
        QProcess::execute("xdotool", {"windowactivate", "--sync", QString::number(Titles().value(MenuTitle))});
        QVERIFY(WaitForTitle("About ZEP-Adult Probation Short Form", false));
        // Seconds at the menu have passed, each with a tick of the program's NumLock timer.
        QVERIFY2(!NumLockOn(), "NumLock switched on although the setting says False");
    }

    // The client forms' own tests, on this desktop: a drop-down list takes the focus
    // for real here.
    void clientFormTestsPassOnTheDesktop()
    {
        QProcess* forms = Start(QStringLiteral(ZEP_FIELD_ENTRY_TEST));
        QVERIFY(forms->waitForFinished(120000));
        QCOMPARE(forms->exitCode(), 0);
    }

    // The window manager's close (Alt+F4) neither ends the test nor the secret-code prompt.
    // The settings here want NumLock on, for the client's digits: the program switches it on.
    void aClientAtTheKeyboardCannotCloseTheWayOut()
    {
        SetNumLock(false);
        CHECKED(StartAtMenu("True"));
        QProcess* program = programs.back();
        QTRY_VERIFY_WITH_TIMEOUT(NumLockOn(), 3000);
        Keys({"Tab", "Return"});
        QVERIFY(WaitForTitle("Entry Method"));
        Keys({"Return"});
        QVERIFY(WaitForTitle("Client Information"));
        TypeClientInformation();
        QVERIFY(WaitForTitle("Court History"));
        TypeCourtHistory();
        QVERIFY(WaitForTitle("Select Presentation Language"));
        Keys({"Return"});
        QVERIFY(WaitForTitle("Onscreen Presentation"));
        Keys({"Return"});
        QVERIFY(WaitForActive("Question Presentation"));

        // Nor put it away: the test stays above other windows and asks for no minimise button
        // (the Motif hints' functions leave out "minimize"; openbox draws one all the same,
        // other window managers do not), and minimised anyway it is straight back with the
        // keyboard.
        if (windowManager.state() == QProcess::Running) {
            const Window test = Titles().value("Question Presentation");
            QVERIFY(AtomsOf(test, "_NET_WM_STATE").contains(XInternAtom(x, "_NET_WM_STATE_ABOVE", False)));
            const QList<Atom> motif = AtomsOf(test, "_MOTIF_WM_HINTS");  // flags, functions, ...
            QVERIFY(motif.size() >= 2 && (motif[0] & 1) && !(motif[1] & (1 | 8)));
            XIconifyWindow(x, test, DefaultScreen(x));
            QVERIFY(WindowManagerCaughtUp());
            QVERIFY2(WaitForActive("Question Presentation", 5000), "the minimised test stayed away");
        }

        Keys({"Return", "Return", "alt+F4", "Escape", "alt+x"});
        QVERIFY(WaitForTitle("Question Presentation"));
        QCOMPARE(program->state(), QProcess::Running);

        Keys({"shift+alt+F10"});
        QVERIFY(WaitForTitle("Question Presentation", false));
        QVERIFY(WaitForTitle("Secret Code"));
        Keys({"alt+F4"});
        QVERIFY(WindowManagerCaughtUp());
        QVERIFY(WaitForTitle("Secret Code"));
        Keys({SecretCodeText().toLower(), "Return", "Return"});
        QVERIFY(WaitForTitle("Secret Code", false));
        QVERIFY(WaitForTitle("Entry Method", false));
        QVERIFY(Titles().contains(MenuTitle));
        QCOMPARE(program->state(), QProcess::Running);
    }

    void everyWayBackGivesTheMenuTheKeyboard_data()
    {
        QTest::addColumn<bool>("answerSheet");            // the entry method: the answer sheet, or on screen
        QTest::addColumn<QString>("form");                // the form left
        QTest::addColumn<QStringList>("keys");            // that leave it; none: the window's close (Alt+F4)
        const QStringList cancel{"shift+Tab", "Return"};  // the last button of each form
        QTest::newRow("answer sheet, Cancel Input on Client Information") << true << "Client Information" << cancel;
        QTest::newRow("on screen, Cancel Input on Court History") << false << "Court History" << cancel;
        QTest::newRow("answer sheet, Cancel in Edit Client Responses") << true << "Edit Client Responses" << cancel;
        QTest::newRow("answer sheet, closing Edit Client Responses")
            << true << "Edit Client Responses" << QStringList();
    }

    // A new client given up on: the form and the entry method close one right after the other.
    // The window manager is held meanwhile, so that it finds both gone at once; it used to
    // leave no window active then.
    void everyWayBackGivesTheMenuTheKeyboard()
    {
        QFETCH(bool, answerSheet);
        QFETCH(QString, form);
        QFETCH(QStringList, keys);
        if (windowManager.state() != QProcess::Running)
            QSKIP("the window manager openbox is needed (package openbox)");
        CHECKED(StartAtMenu());
        Keys({"Tab", "Return"});
        QVERIFY(WaitForTitle("Entry Method"));
        Keys(answerSheet ? QStringList{"Tab", "Return"} : QStringList{"Return"});
        QVERIFY(WaitForTitle("Client Information"));
        if (form != "Client Information") {
            TypeClientInformation();
            QVERIFY(WaitForTitle("Court History"));
        }
        if (form == "Edit Client Responses")
            TypeCourtHistory();
        QVERIFY(WaitForActive(form));
        {
            const HeldWindowManager held(windowManager.processId());
            if (keys.isEmpty())
                CloseWindow(form);
            else
                Keys(keys);
            QVERIFY(WaitForTitle("Entry Method", false));
        }
        QVERIFY2(WaitForActive(MenuTitle), "the main menu is not the active window");
        Keys({"Down", "Tab", "Return"});
        QVERIFY2(WaitForTitle("Client Information", true, 5000), "the keyboard was not in the client list");
    }

    // Print all through the utilities: the secret code, the progress window and the jobs on a
    // real print system; afterwards the keyboard is back in the client list.
    void theSupervisorPrintsEveryReport()
    {
        PrintCatcher printers;
        if (!printers.Start())
            QSKIP(qPrintable(printers.Error()));
        CHECKED(Prepare("False"));
        for (const QString& name : QDir(QStringLiteral(ZEP_PROGRAM_DIR)).entryList({QStringLiteral("*.TXT")}))
            QVERIFY(QFile::copy(QStringLiteral(ZEP_PROGRAM_DIR "/") + name, t->programFolder() + "/" + name));
        qputenv("CUPS_SERVER", printers.Server().toUtf8());
        StartProgram();
        qunsetenv("CUPS_SERVER");
        QVERIFY(WaitForActive(MenuTitle) && WaitForTitle("Initializing...", false));
        Keys({"Tab", "Tab", "Return"});
        QVERIFY(WaitForTitle("Supervisor Options"));
        Keys({"Tab", "Down", "Down", "Tab", "Tab", "Tab", "Return"});
        QVERIFY(WaitForTitle("Secret Code"));
        Keys({SecretCodeText().toLower(), "Return", "Return"});
        QTRY_COMPARE_WITH_TIMEOUT(printers.Jobs.size(), 2, 30000);
        for (const QByteArray& job : printers.Jobs)
            QVERIFY(job.startsWith("%PDF") && job.size() > 1000);
        QVERIFY(WaitForTitle("Supervisor Options", false));
        Keys({"Down", "Tab", "Return"});
        QVERIFY2(WaitForTitle("Client Information", true, 5000), "the keyboard was not in the client list");
    }
};

QTEST_GUILESS_MAIN(tst_Desktop)
#include "tst_Desktop.moc"
