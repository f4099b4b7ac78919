#include "app/Settings.h"

#include "app/PrivateProfile.h"
#include "app/Program.h"

namespace {

// Buffer sizes of the readers: an on/off value keeps 9 characters, a path 49.
constexpr int FlagBuffer = 10;
constexpr int PathBuffer = 50;

QString ReadPath(const QString& key, const QString& defaultValue)
{
    return GetPrivateProfileString(QStringLiteral("Path"), key, defaultValue, PathBuffer, program().IniPath).trimmed();
}

bool ReadFlag(const QString& key)
{
    return IsOnValue(
        GetPrivateProfileString(QStringLiteral("Settings"), key, QStringLiteral("True"), FlagBuffer, program().IniPath));
}

bool WriteFlag(const QString& key, bool on)
{
    return WritePrivateProfileString(QStringLiteral("Settings"), key, on ? QStringLiteral("True") : QStringLiteral("False"),
                                     program().IniPath);
}

} // namespace

bool IsOnValue(const QString& value)
{
    return value.left(3) == QStringLiteral("Tru");
}

QString GetINIFilePath() { return ReadPath(QStringLiteral("FilePath"), QStringLiteral("a:")); }

bool SaveINIFilePath(const QString& drive)
{
    return WritePrivateProfileString(QStringLiteral("Path"), QStringLiteral("FilePath"), drive, program().IniPath);
}

QString GetINISndPath() { return ReadPath(QStringLiteral("SndPath"), QStringLiteral("c:")); }
bool GetNumLockSetting() { return ReadFlag(QStringLiteral("NumLock")); }
bool SaveNumLockSetting(bool on) { return WriteFlag(QStringLiteral("NumLock"), on); }
bool GetPrintDOSSetting() { return ReadFlag(QStringLiteral("PrintDOS")); }
bool SavePrintDOSSetting(bool on) { return WriteFlag(QStringLiteral("PrintDOS"), on); }
