// The small programs for offices and developers.
#include <QImage>
#include <QProcess>
#include <QtTest>

#include "app/Program.h"
#include "app/Settings.h"
#include "tests/support/TestSupport.h"

namespace {
int Run(const QString& program, const QStringList& args, QByteArray* err = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
} // namespace

class tst_Tools : public QObject {
    Q_OBJECT

private slots:
    void zepdiskPreparesAnEmptyDisk()
    {
        QTemporaryDir dir;
        const QString disk = dir.path() + QStringLiteral("/stick");
        QCOMPARE(Run(QStringLiteral(ZEPDISK), {disk}), 0);
        QCOMPARE(ReadFileBytes(disk + QStringLiteral("/TID")), QByteArray("ZEPSF\r\n"));
        QCOMPARE(QDir(disk).entryList(QDir::Files), QStringList{QStringLiteral("TID")});
    }

    void zepdiskRefusesADiskWithClients()
    {
        QTemporaryDir dir;
        WriteFileBytes(dir.path() + QStringLiteral("/DATA401.ZEP"), QByteArray(154, 'x'));
        WriteFileBytes(dir.path() + QStringLiteral("/TID"), "old\r\n");
        QByteArray err;
        QCOMPARE(Run(QStringLiteral(ZEPDISK), {dir.path()}, &err), 1);
        QVERIFY(err.contains("already holds client records"));
        QCOMPARE(ReadFileBytes(dir.path() + QStringLiteral("/TID")), QByteArray("old\r\n"));
        QCOMPARE(Run(QStringLiteral(ZEPDISK), {}), 2);
    }

    void zepdemoWritesADiskAndPointsTheSettingsAtIt()
    {
        QTemporaryDir dir;
        QCOMPARE(Run(QStringLiteral(ZEPDEMO), {dir.path() + QStringLiteral("/program"), dir.path() + QStringLiteral("/disk")}), 0);
        const QByteArray data = ReadFileBytes(dir.path() + QStringLiteral("/disk/DATA401.ZEP"));
        QVERIFY(data.size() > 0);
        QCOMPARE(data.size() % 154, 0);
        program().IniPath = dir.path() + QStringLiteral("/program/zeptest.ini");
        QCOMPARE(GetINIFilePath(), dir.path() + QStringLiteral("/disk"));
    }

    void renderformsDrawsEveryForm()
    {
        QTemporaryDir dir;
        QCOMPARE(Run(QStringLiteral(RENDERFORMS), {dir.path()}), 0);
        for (const char* form : {"frmMainMenu", "frmMyInputBox", "frmDriveSelect", "frmClientInfo", "frmCourtHistory",
                                 "frmSelectLanguage", "frmNewEntry", "frmAbout"}) {
            QImage image(dir.path() + QLatin1Char('/') + QLatin1String(form) + QStringLiteral(".png"));
            QVERIFY2(!image.isNull(), form);
            QVERIFY(image.width() > 100);
        }
    }
};

QTEST_GUILESS_MAIN(tst_Tools)
#include "tst_Tools.moc"
