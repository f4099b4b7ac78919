#pragma once
// The settings kept in zeptest.ini beside the program, or in the user's own folder for an
// installed program (base/ProgramFolders.h). All of them use program().IniPath.
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

// An installed program's user starts with a settings file of their own: what a fresh program
// folder reads by default, and the recordings' folder (the office's, or the installed one).
// Nothing is written when the file exists. Empty, or why it could not be written.
QString CreateUserSettings();

// An on/off value is on exactly when it begins with "Tru" (case matters).
bool IsOnValue(const QString& value);
