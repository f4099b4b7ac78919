// zepdisk and zepdemo on a disk that cannot take their files: a non-zero exit, one line
// saying what was not written, and no half-made disk.

#include "tests/support/TestSupport.h"

class tst_ToolFaults : public QObject {
    Q_OBJECT

private slots:
    void failedWriteIsAFailure_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<bool>("settingsFail");
        QTest::addColumn<QString>("unwritten");
        QTest::newRow("zepdisk, full disk") << QStringLiteral(ZEPDISK) << false << QStringLiteral("TID");
        QTest::newRow("zepdemo, full disk") << QStringLiteral(ZEPDEMO) << false << QStringLiteral("DATA401.ZEP");
        QTest::newRow("zepdemo, read-only program folder") << QStringLiteral(ZEPDEMO) << true << QStringLiteral("zeptest.ini");
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

        QProcess p;
        p.start(tool, tool == QLatin1String(ZEPDISK) ? QStringList{disk} : QStringList{programFolder, disk});
        QVERIFY(p.waitForFinished(30000));
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(err.count('\n'), 1);
        QVERIFY2(err.contains(unwritten.toLocal8Bit()), err.constData());
        QVERIFY(!QFile::exists(programFolder + QStringLiteral("/zeptest.ini")));
        if (!settingsFail)
            QCOMPARE(QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    }
};

QTEST_GUILESS_MAIN(tst_ToolFaults)
#include "tst_ToolFaults.moc"
