// The settings file: private-profile reading and writing, and the program's settings.
#include "app/Settings.h"
#include "base/PrivateProfile.h"
#include "base/Program.h"
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
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_Settings.moc"
