#pragma once
// The settings kept in zeptest.ini beside the program. All of them use program().IniPath.
#include <QString>

QString GetINIFilePath();
// The Save functions return false when the settings file could not be written (the old
// file is then left whole); `error` gets the file name and the reason.
bool SaveINIFilePath(const QString& drive, QString* error = nullptr);
QString GetINISndPath();
bool GetNumLockSetting();
bool SaveNumLockSetting(bool on);
bool GetPrintDOSSetting();
bool SavePrintDOSSetting(bool on, QString* error = nullptr);

// The menu toggles: store the opposite of `current` and return the value now stored. When
// the write fails the operator is told, once, and `current` is returned.
bool ToggleNumLockSetting(bool current);
bool TogglePrintDOSSetting(bool current);

// An on/off value is on exactly when it begins with "Tru" (case matters).
bool IsOnValue(const QString& value);
