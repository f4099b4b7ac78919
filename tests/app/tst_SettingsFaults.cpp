// The settings file under real faults, folder names in any script, and what the operator
// sees when a menu toggle cannot be stored.
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>

#include "app/DriveSelect.h"
#include "app/Settings.h"
#include "app/frmMainMenu.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "tests/support/TestSupport.h"

const QByteArray OldSettings = "[Settings]\r\nNumLock=True\r\nPrintDOS=True\r\n[Path]\r\nFilePath=/media/old\r\n"
                               "SndPath=/snd\r\n";

class tst_SettingsFaults : public QObject {
    Q_OBJECT

private slots:
    void failedSaveLeavesTheOldFileWhole_data()
    {
        QTest::addColumn<QString>("fault");
        for (const char* fault : {"read-only disk", "full disk", "fsync fails", "close fails", "file is a link",
                                  "file is a pipe", "file too large to read"})
            QTest::newRow(fault) << QString::fromLatin1(fault);
    }

    // Whatever stops the write, the caller hears false, every setting stays as it was and
    // nothing is left beside the file.
    void failedSaveLeavesTheOldFileWhole()
    {
        QFETCH(QString, fault);
        ::alarm(20);  // a pipe must not hang the test
        TestProgram t;
        const bool large = fault == "file too large to read", link = fault == "file is a link";
        TmpfsMount folder(large ? "size=4m" : "size=16k");
        REQUIRE_TMPFS(folder);
        QTemporaryDir elsewhere;
        const QString ini = program().IniPath = folder.path() + "/zeptest.ini";
        const QString target = elsewhere.path() + "/zeptest.ini";
        // Rewritten from what could be read, a file read in part would lose the rest.
        const QByteArray old = large ? OldSettings + QByteArray(2 << 20, ';') : OldSettings;
        if (fault == "file is a pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0644), 0);
        else
            CHECKED(WriteFileBytes(link ? target : ini, old));
        if (link)
            QVERIFY(QFile::link(target, ini));
        if (fault == "full disk")
            folder.fill();
        InjectFileFault(FileFault::Sync, fault == "fsync fails" ? EIO : 0);
        InjectFileFault(FileFault::Close, fault == "close fails" ? EIO : 0);
        if (fault == "read-only disk")
            QVERIFY(folder.remountReadOnly());
        const auto entries = [&] {
            return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        };
        const QStringList before = entries();

        QString error;
        QVERIFY(!SaveINIFilePath("/media/new", &error));
        QVERIFY2(error.contains(ini), qPrintable(error));
        InjectFileFault(FileFault::Sync, 0);
        InjectFileFault(FileFault::Close, 0);
        ::alarm(0);
        QCOMPARE(entries(), before);
        if (fault != "file is a pipe")
            QCOMPARE(ReadFileBytes(link ? target : ini), old);
        QVERIFY(!link || QFileInfo(ini).isSymLink());
    }

    void folderNamesReadBackExactly_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("Windows-1252 stays as it was") << QStringLiteral("/media/Ren\u00e9e \u20ac")
                                                      << QByteArray("/media/Ren\xe9"
                                                                    "e \x80");
        QTest::newRow("Cyrillic") << QStringLiteral("/media/\u0430\u043d\u043d\u0430/\u0417\u0415\u041f")
                                  << QByteArray("\xef\xbb\xbf") +
                                         QStringLiteral("/media/\u0430\u043d\u043d\u0430/\u0417\u0415\u041f").toUtf8();
        QTest::newRow("outside the first plane")
            << QStringLiteral("/media/\U0001F600") << QByteArray("\xef\xbb\xbf/media/\xf0\x9f\x98\x80");
        QTest::newRow("begins like the mark") << QStringLiteral("\u00ef\u00bb\u00bfdisk")
                                              << QByteArray("\xef\xbb\xbf\xc3\xaf\xc2\xbb\xc2\xbf"
                                                            "disk");
        // UTF-8 of a final "à" ends in byte A0, which reads as a no-break space.
        QTest::newRow("ends in an accent beyond Windows-1252")
            << QStringLiteral("/media/\u0141ukasz/voil\u00e0")
            << QByteArray("\xef\xbb\xbf") + QStringLiteral("/media/\u0141ukasz/voil\u00e0").toUtf8();
        QTest::newRow("ends in a no-break space") << QStringLiteral("/media/usb\u00a0") << QByteArray("/media/usb\xa0");
        const QString longPath = QStringLiteral("/media/operator/") + QString(60, QChar(0x0416));
        QTest::newRow("longer than 49") << longPath << QByteArray("\xef\xbb\xbf") + longPath.toUtf8();
        // What the reader takes off, as Windows does, is put around such a name in quotes.
        QTest::newRow("begins with a blank") << QStringLiteral(" disk") << QByteArray("\" disk\"");
        QTest::newRow("ends in a tab") << QStringLiteral("/media/usb\t") << QByteArray("\"/media/usb\t\"");
        QTest::newRow("in quotes") << QStringLiteral("\"/media/usb\"") << QByteArray("\"\"/media/usb\"\"");
        QTest::newRow("in single quotes") << QStringLiteral("'usb'") << QByteArray("\"'usb'\"");
        QTest::newRow("a blank in quotes") << QStringLiteral("\" \"") << QByteArray("\"\" \"\"");
        QTest::newRow("Cyrillic, ending in a blank")
            << QStringLiteral("\u0416 ") << QByteArray("\"\xef\xbb\xbf\xd0\x96 \"");
        QTest::newRow("a quote inside stays as it is") << QStringLiteral("\"usb") << QByteArray("\"usb");
    }

    // The remembered disk is the disk chosen, in any script and with blanks or quotes at the
    // ends of its name; names Windows-1252 can hold keep the bytes older settings files have.
    void folderNamesReadBackExactly()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, stored);
        TestProgram t;
        QVERIFY(SaveINIFilePath(path));
        QCOMPARE(ReadFileBytes(program().IniPath), QByteArray("[Path]\r\nFilePath=") + stored + "\r\n");
        QCOMPARE(GetINIFilePath(), path);
    }

    void menuToggleThatCannotBeStoredIsTold_data()
    {
        QTest::addColumn<QString>("key");  // also names the menu action "mnuOptions<key>"
        QTest::newRow("Num Lock") << QStringLiteral("NumLock");
        QTest::newRow("DOS port") << QStringLiteral("PrintDOS");
    }

    // On a read-only program folder each click tells the operator once, and the tick and the
    // option stay what the file holds; once writable, the click changes both.
    void menuToggleThatCannotBeStoredIsTold()
    {
        QFETCH(QString, key);
        TestProgram t;
        TmpfsMount folder;
        REQUIRE_TMPFS(folder);
        program().IniPath = folder.path() + QStringLiteral("/zeptest.ini");
        CHECKED(WriteFileBytes(program().IniPath, OldSettings));
        frmMainMenu menu;
        QAction* toggle = menu.findChild<QAction*>("mnuOptions" + key);
        QVERIFY(toggle);
        toggle->setChecked(true);
        auto option = [&] { return key == QLatin1String("NumLock") ? program().NumLockOn : program().PrintDOS; };
        QVERIFY(option());
        QVERIFY(folder.remountReadOnly());

        for (int click = 1; click <= 2; ++click) {
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            toggle->trigger();
            QCOMPARE(MsgBox::Shown().size(), click);
            QVERIFY2(LastMessage().text.contains(program().IniPath), qPrintable(LastMessage().text));
            QVERIFY(option() && toggle->isChecked());
        }
        QVERIFY(folder.remountWritable());
        toggle->trigger();
        QCOMPARE(MsgBox::Shown().size(), 2);
        QVERIFY(!option() && !toggle->isChecked());
        QVERIFY(ReadFileBytes(program().IniPath).contains(key.toLatin1() + "=False"));
    }

    // A disk chosen in the menu is used even when the program folder is read-only, and the
    // operator hears that it will not be the one tried at the next start.
    void aDiskThatCannotBeRememberedIsTold()
    {
        TestProgram t;
        TmpfsMount folder;
        REQUIRE_TMPFS(folder);
        program().IniPath = folder.path() + QStringLiteral("/zeptest.ini");
        CHECKED(WriteFileBytes(program().IniPath, OldSettings));
        CHECKED(WriteClients(t.disk(), {QStringLiteral("Jane Doe")}));
        QVERIFY(folder.remountReadOnly());
        DriveSelectHooks hooks;
        hooks.chooseDrive = [&] { return t.disk(); };
        MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
        QCOMPARE(SelectDataDrive(false, hooks), DriveSelectResult::Connected);
        QCOMPARE(program().ClientCount, qint16(1));
        QVERIFY(LastMessage().text.contains(program().IniPath));
        QCOMPARE(ReadFileBytes(program().IniPath), OldSettings);
    }
};

QTEST_MAIN(tst_SettingsFaults)
#include "tst_SettingsFaults.moc"
