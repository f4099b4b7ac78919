#include "app/Settings.h"

#include <QFileInfo>

#include "base/MsgBox.h"
#include "base/PrivateProfile.h"
#include "base/Program.h"

namespace {

// An on/off value keeps 9 characters, as it always has: only its first three count.
// A path is read whole; cut short it could name another disk. Blanks around it are gone
// already; blanks inside quotes belong to the folder's name.
constexpr int FlagBuffer = 10;
constexpr int WholeValue = 0;

QString ReadPath(const QString& key, const QString& defaultValue)
{
    return GetPrivateProfileString(QStringLiteral("Path"), key, defaultValue, WholeValue, program().IniPath);
}

bool ReadFlag(const QString& key)
{
    return IsOnValue(GetPrivateProfileString(QStringLiteral("Settings"), key, QStringLiteral("True"), FlagBuffer,
                                             program().IniPath));
}

bool WriteFlag(const QString& key, bool on, QString* error)
{
    return WritePrivateProfileString(QStringLiteral("Settings"), key,
                                     on ? QStringLiteral("True") : QStringLiteral("False"), program().IniPath, error);
}

// A menu toggle: the new value counts only once it is stored. Otherwise the operator is
// told why, and the stored value (the old one, since a failed write leaves the file whole)
// stays in force and on the menu.
bool ToggleFlag(const QString& key, const QString& menuText, bool current)
{
    QString error;
    if (WriteFlag(key, !current, &error))
        return !current;
    MsgBox::Show(QStringLiteral("The setting \"%1\" could not be saved, so it stays %2.\r\r%3")
                     .arg(menuText, current ? QStringLiteral("on") : QStringLiteral("off"), error),
                 MsgBox::Buttons::OkOnly, MsgBox::Icon::Exclamation, QStringLiteral("Settings Error"));
    return current;
}

}  // namespace

QString CreateUserSettings()
{
    const Program& p = program();
    const QFileInfo existing(p.IniPath);
    if (existing.exists() || existing.isSymLink())
        return {};
    const QString soundHome = QFileInfo(SuppliedFile(QStringLiteral("ZEPSF"))).path();
    QString error;
    if (WritePrivateProfileString(QStringLiteral("Path"), QStringLiteral("SndPath"), soundHome, p.IniPath, &error) &&
        WriteFlag(QStringLiteral("NumLock"), true, &error) && WriteFlag(QStringLiteral("PrintDOS"), true, &error))
        return {};
    return error;
}

bool IsOnValue(const QString& value) { return value.left(3) == QStringLiteral("Tru"); }

QString GetINIFilePath() { return ReadPath(QStringLiteral("FilePath"), QStringLiteral("a:")); }

bool SaveINIFilePath(const QString& drive, QString* error)
{
    return WritePrivateProfileString(QStringLiteral("Path"), QStringLiteral("FilePath"), drive, program().IniPath,
                                     error);
}

QString GetINISndPath() { return ReadPath(QStringLiteral("SndPath"), QStringLiteral("c:")); }
bool GetNumLockSetting() { return ReadFlag(QStringLiteral("NumLock")); }
bool SaveNumLockSetting(bool on) { return WriteFlag(QStringLiteral("NumLock"), on, nullptr); }
bool GetPrintDOSSetting() { return ReadFlag(QStringLiteral("PrintDOS")); }
bool SavePrintDOSSetting(bool on, QString* error) { return WriteFlag(QStringLiteral("PrintDOS"), on, error); }

bool ToggleNumLockSetting(bool current)
{
    return ToggleFlag(QStringLiteral("NumLock"), QStringLiteral("Num Lock Always On"), current);
}

bool TogglePrintDOSSetting(bool current)
{
    return ToggleFlag(QStringLiteral("PrintDOS"), QStringLiteral("Print to DOS port"), current);
}
