// The settings file: private-profile reading and writing, and the program's settings.
#include "app/Settings.h"
#include "base/PrivateProfile.h"
#include "base/Program.h"
#include "base/ProgramFolders.h"
#include "tests/support/TestSupport.h"

class tst_Settings : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { t.reset(); }

    void missingKeysGiveTheDefaults()
    {
        QVERIFY(GetNumLockSetting());  // no file at all
        CHECKED(WriteFileBytes(program().IniPath, "; nothing here\r\n[Other]\r\nx=1\r\n"));
        QVERIFY(GetNumLockSetting() && GetPrintDOSSetting());
        QCOMPARE(GetINIFilePath(), QStringLiteral("a:"));
        QCOMPARE(GetINISndPath(), QStringLiteral("c:"));
        CHECKED(WriteFileBytes(program().IniPath, "[Path]\r\nFilePath=\r\n"));
        QCOMPARE(GetINIFilePath(), QString());  // empty is no default: the root folder
        // Only the first section of a name is read.
        CHECKED(WriteFileBytes(program().IniPath, "[Path]\r\nSndPath=/s\r\n[Other]\r\n[path]\r\nFilePath=/second\r\n"));
        QCOMPARE(GetINIFilePath(), QStringLiteral("a:"));
    }

    void onOffValuesFollowTheTruRule()
    {
        // As Windows reads a file written by hand: blanks around the key, the "=" and the
        // value do not count; neither does the key's case.
        const QList<QPair<QByteArray, bool>> cases = {
            {"NUMLOCK=True", true},  {"NUMLOCK=true", false},    {"NUMLOCK=TRUE", false},
            {"NUMLOCK=Truly", true}, {"NUMLOCK=False", false},   {"NUMLOCK=1", false},
            {"NUMLOCK=Tr", false},   {"NUMLOCK= True ", true},   {"NUMLOCK=\"True\"", true},
            {"NUMLOCK=", false},     {"NumLock = False", false}, {" NumLock\t=False", false}};
        for (const auto& [line, on] : cases) {
            CHECKED(WriteFileBytes(program().IniPath, "[settings]\r\n" + line + "\r\n"));
            QVERIFY2(GetNumLockSetting() == on, line.constData());
        }
    }

    void writingKeepsEveryOtherLine()
    {
        const QByteArray before = "; ZEP settings\r\n[settings]\r\nnumlock=True\r\n; keep me\r\nPrintDOS=True\r\n\r\n"
                                  "[Path]\r\nFilePath=/old\r\n";
        CHECKED(WriteFileBytes(program().IniPath, before));
        QVERIFY(SaveNumLockSetting(false));
        QVERIFY(SaveINIFilePath(QStringLiteral("/media/usb")));
        QCOMPARE(ReadFileBytes(program().IniPath),
                 QByteArray("; ZEP settings\r\n[settings]\r\nnumlock=False\r\n; keep me\r\nPrintDOS=True\r\n\r\n"
                            "[Path]\r\nFilePath=/media/usb\r\n"));
        QVERIFY(!GetNumLockSetting());
    }

    void writingAddsMissingKeysSectionsAndFile()
    {
        QVERIFY(!QFile::exists(program().IniPath));
        QVERIFY(SavePrintDOSSetting(false));
        QVERIFY(SaveINIFilePath(QStringLiteral("/mnt/disk")));
        QVERIFY(SaveNumLockSetting(true));
        QCOMPARE(ReadFileBytes(program().IniPath),
                 QByteArray("[Settings]\r\nPrintDOS=False\r\nNumLock=True\r\n[Path]\r\nFilePath=/mnt/disk\r\n"));

        // A key goes in after the last entry of its section, before the blank line.
        CHECKED(WriteFileBytes(program().IniPath, "[Path]\nSndPath=/snd\n\n[Settings]\nNumLock=True"));
        QVERIFY(SaveINIFilePath(QStringLiteral("/d")));
        QVERIFY(SavePrintDOSSetting(true));
        QCOMPARE(ReadFileBytes(program().IniPath),
                 QByteArray("[Path]\nSndPath=/snd\nFilePath=/d\n\n[Settings]\nNumLock=True\nPrintDOS=True\n"));
    }

    void bufferCutAppliesToDefaultsToo()
    {
        QCOMPARE(GetPrivateProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("0123456789abc  "),
                                         10, program().IniPath),
                 QStringLiteral("012345678"));
    }

    void installedProgramsWriteInTheUsersFolders_data()
    {
        QTest::addColumn<QString>("folder");  // READONLY: a read-only file system, TEMP: a writable folder
        QTest::addColumn<bool>("installed");
        QTest::newRow("under /usr") << "/usr/lib/zep" << true;
        QTest::newRow("/usr itself") << "/usr" << true;
        QTest::newRow("read-only, even for root") << "READONLY" << true;
        QTest::newRow("a build folder") << "TEMP" << false;
        QTest::newRow("a folder merely named usr") << "TEMP/usr" << false;
    }
    // The rule, and what an installed program does about it: settings and reports in the
    // user's own folders (made for the user alone), the office's copies of supplied files
    // read first, and a first settings file with the defaults and the recordings' folder.
    void installedProgramsWriteInTheUsersFolders()
    {
        QFETCH(QString, folder);
        QFETCH(bool, installed);
        TmpfsMount readOnly;
        QTemporaryDir home, site;
        if (folder == QLatin1String("READONLY")) {
            REQUIRE_TMPFS(readOnly);
            QVERIFY(readOnly.remountReadOnly());
            folder = readOnly.path();
        }
        folder.replace(QStringLiteral("TEMP"), t->programFolder());
        if (!folder.startsWith(QLatin1String("/usr")))
            QVERIFY(QDir().mkpath(folder));
        SetStartUpDefaults(folder);
        QCOMPARE(IsInstalledProgramFolder(folder), installed);

        const auto homeSet = SetEnvironment("HOME", QFile::encodeName(home.path()));
        const auto configSet = SetEnvironment("XDG_CONFIG_HOME", "relative/is/ignored");
        const auto stateSet =
            SetEnvironment("XDG_STATE_HOME", QFile::encodeName(home.path() + QStringLiteral("/state")));
        const auto siteSet = SetEnvironment("ZEP_SITE_DIR", QFile::encodeName(site.path()));
        CHECKED(WriteFileBytes(site.path() + QStringLiteral("/ZEPSF.db"), "the office's question bank"));
        QCOMPARE(UseFoldersOfProgram(), QString());
        QCOMPARE(program().DatabasePath, (installed ? site.path() : folder) + QStringLiteral("/ZEPSF.db"));
        const QString config = home.path() + QStringLiteral("/.config/zep");
        const QString state = home.path() + QStringLiteral("/state/zep");
        QCOMPARE(program().IniPath, installed ? config + QStringLiteral("/zeptest.ini") : folder + "/zeptest.ini");
        QCOMPARE(StateFile(QStringLiteral("REPORT.PRN")), (installed ? state : folder) + QStringLiteral("/REPORT.PRN"));
        QCOMPARE(FileMode(config), installed ? 0700 : -1);
        QCOMPARE(FileMode(state), installed ? 0700 : -1);

        CHECKED(WriteFileBytes(site.path() + QStringLiteral("/zepsfb.TXT"), "the office's own\r\n"));
        QVERIFY(QDir(site.path()).mkdir(QStringLiteral("ZEPSF")));
        QCOMPARE(SuppliedFile(QStringLiteral("zepsfb.TXT")),
                 (installed ? site.path() : folder) + QStringLiteral("/zepsfb.TXT"));
        QCOMPARE(SuppliedFile(QStringLiteral("ZEPINVAL.TXT")), folder + QStringLiteral("/ZEPINVAL.TXT"));
        if (installed) {
            QCOMPARE(CreateUserSettings(), QString());
            QCOMPARE(GetINISndPath(), site.path());
            QVERIFY(GetNumLockSetting() && GetPrintDOSSetting());
            QVERIFY(SaveNumLockSetting(false));
            QCOMPARE(CreateUserSettings(), QString());  // an existing file is the user's
            QVERIFY(!GetNumLockSetting());
        }
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_Settings.moc"
