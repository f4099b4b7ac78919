#pragma once
// The settings kept in zeptest.ini beside the program. All of them use program().IniPath.
#include <QString>

QString GetINIFilePath();
bool SaveINIFilePath(const QString& drive);
QString GetINISndPath();
bool GetNumLockSetting();
bool SaveNumLockSetting(bool on);
bool GetPrintDOSSetting();
bool SavePrintDOSSetting(bool on);

// An on/off value is on exactly when it begins with "Tru" (case matters).
bool IsOnValue(const QString& value);
