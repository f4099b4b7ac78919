#include "app/DriveSelect.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QRegularExpression>

#include "app/Settings.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "clients/DataAccess.h"

namespace {

// "a:" and the like are drive letters of the platform the data disks come from; here
// they name no folder, so they fail the presence test like an empty drive would.
void RefuseDriveLetter(const QString& drive, const QString& path)
{
    static const QRegularExpression letter(QStringLiteral("^[A-Za-z]:$"));
    if (letter.match(drive).hasMatch())
        throw DiskError::FromErrno(ENOENT, path);
}

QByteArray ReadHead(const QString& path, int maxBytes)
{
    QByteArray bytes;
    if (const int err = ReadRegularFileHead(path, maxBytes, bytes); err != 0)
        throw DiskError::FromErrno(err, path);
    return bytes;
}

bool TidIsOurs(const QString& drive)
{
    QByteArray head = ReadHead(DriveFile(drive, QLatin1String(TidFileName)), 256);
    const qsizetype nl = head.indexOf('\n');
    if (nl >= 0)
        head.truncate(nl);
    if (head.endsWith('\r'))
        head.chop(1);
    return head == TidText;
}

void RemoveIfPresent(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        throw DiskError::FromErrno(errno, path);
}

void WriteTest(const QString& drive)
{
    const QString path = DriveFile(drive, QLatin1String(WriteTestFileName));
    RemoveIfPresent(path);
    // Created anew (O_EXCL): whatever appears under the name meanwhile is not written through.
    const int fd = OpenRegularFile(path, O_WRONLY | O_CREAT | O_EXCL);
    if (fd < 0)
        throw DiskError::FromErrno(errno, path);
    int err = WriteAllAt(fd, QByteArrayLiteral("test\r\n"), 0);
    if (CloseFile(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlink(QFile::encodeName(path).constData());
        throw DiskError::FromErrno(err, path);
    }
    RemoveIfPresent(path);
}

const QString Title = QString::fromLatin1(AppTitle);

enum class StepOutcome { Done, TryAnother, GiveUp, Interrupted };

// Runs one step of the selection with the error handling of the selection: a write-protected
// disk may be retried as often as the operator likes.
template <typename F>
StepOutcome RunStep(const QString& drive, F&& step)
{
    for (;;) {
        try {
            step();
            return StepOutcome::Done;
        } catch (const DiskError& error) {
            switch (error.row()) {
            case DiskErrorRow::NotFound: {
                const auto answer =
                    MsgBox::Show(QStringLiteral("No test information found on drive %1, would you like to "
                                                "try another drive?")
                                     .arg(drive.toUpper()),
                                 MsgBox::Buttons::YesNo, MsgBox::Icon::None, Title);
                return answer == MsgBox::Answer::Yes ? StepOutcome::TryAnother : StepOutcome::GiveUp;
            }
            case DiskErrorRow::WriteProtected: {
                const auto answer = MsgBox::Show(QString::fromLatin1(WriteProtectedText), MsgBox::Buttons::OkCancel,
                                                 MsgBox::Icon::Critical, QStringLiteral("Data Disk Error"));
                if (answer == MsgBox::Answer::Ok)
                    continue;
                return StepOutcome::Interrupted;
            }
            case DiskErrorRow::Other:
                MsgBox::Show(error.errorText(), MsgBox::Buttons::OkOnly, MsgBox::Icon::None, Title);
                return StepOutcome::Interrupted;
            }
        }
    }
}

// "No" to trying again: at start-up the program ends; from the menu the previous drive
// is connected again, or the program ends when even that fails.
DriveSelectResult GiveUp(bool atStartup, const QString& previous, const DriveSelectHooks& hooks)
{
    if (atStartup)
        return DriveSelectResult::EndProgram;
    bool reconnected = false;
    try {
        reconnected = OpenDataDisk(previous) && LoadClientTable();
    } catch (const DiskError&) {
        reconnected = false;
    }
    if (!reconnected) {
        MsgBox::Show(QStringLiteral("Reload of original data disk failed, aborting Program"), MsgBox::Buttons::OkOnly,
                     MsgBox::Icon::None, Title);
        return DriveSelectResult::EndProgram;
    }
    if (hooks.refreshMainMenu)
        hooks.refreshMainMenu();
    return DriveSelectResult::FellBack;
}

}  // namespace

QString DriveFile(const QString& drive, const QString& name) { return drive + QLatin1Char('/') + name; }

void CheckDrivePresence(const QString& drive)
{
    const QString path = DriveFile(drive, QLatin1String(TidFileName));
    RefuseDriveLetter(drive, path);
    ReadHead(path, 64);
}

bool OpenDataDisk(const QString& drive)
{
    Program& p = program();
    p.DataDrive = drive;
    p.DataFilePath = DriveFile(drive, QLatin1String(DataFileName));
    RefuseDriveLetter(drive, DriveFile(drive, QLatin1String(TidFileName)));

    // The identification comes first, so that nothing is created on a disk that is not ours.
    if (!TidIsOurs(drive)) {
        MsgBox::Show(QStringLiteral("This is not an ZEP-Adult Probation Short Form data disk. Aborting program."),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QStringLiteral("Data Disk Error"));
        return false;
    }
    if (!LoadClientTable())
        return false;
    WriteTest(drive);
    return true;
}

DriveSelectResult SelectDataDrive(bool atStartup, const DriveSelectHooks& hooks)
{
    const QString previous = program().DataDrive;
    bool firstTry = true;
    for (;;) {
        const std::optional<QString> choice = (atStartup && firstTry) ? GetINIFilePath() : hooks.chooseDrive();
        if (!choice) {
            // Closing the chooser is no choice of a drive. Before any disk was tried nothing
            // has changed; afterwards it counts as not trying again.
            if (firstTry && !atStartup)
                return DriveSelectResult::Cancelled;
            return GiveUp(atStartup, previous, hooks);
        }
        const QString drive = *choice;
        firstTry = false;

        bool opened = false;
        StepOutcome outcome = RunStep(drive, [&] { CheckDrivePresence(drive); });
        if (outcome == StepOutcome::Done)
            outcome = RunStep(drive, [&] { opened = OpenDataDisk(drive); });
        if (outcome == StepOutcome::Done && opened) {
            QString error;
            // The disk is connected either way; the operator must know it will not be the
            // one tried first at the next start.
            if (!SaveINIFilePath(drive, &error))
                MsgBox::Show(QStringLiteral("The data disk %1 is in use, but it could not be remembered for the next "
                                            "start.\r\r%2")
                                 .arg(drive, error),
                             MsgBox::Buttons::OkOnly, MsgBox::Icon::Exclamation, QStringLiteral("Settings Error"));
            outcome = RunStep(drive, [&] { LoadClientTable(); });
            if (outcome == StepOutcome::Done) {
                if (!atStartup && hooks.refreshMainMenu)
                    hooks.refreshMainMenu();
                return DriveSelectResult::Connected;
            }
        }

        switch (outcome) {
        case StepOutcome::TryAnother: continue;
        case StepOutcome::GiveUp: return GiveUp(atStartup, previous, hooks);
        case StepOutcome::Interrupted: return DriveSelectResult::Interrupted;
        case StepOutcome::Done: break;  // refused disk: ask below
        }
        const auto again = MsgBox::Show(QStringLiteral("Drive select unsuccessful, would you like to try again?"),
                                        MsgBox::Buttons::YesNo, MsgBox::Icon::None, Title);
        if (again == MsgBox::Answer::Yes)
            continue;
        return GiveUp(atStartup, previous, hooks);
    }
}
