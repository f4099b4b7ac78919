#pragma once
// The settings file format: "[Section]" lines and "Key=Value" lines, read and written
// the way the Windows private-profile functions do it.
#include <QString>

// Returns the value of `key` in `section` (both matched without regard to case, blanks
// around the value and one pair of enclosing quotes removed), or `defaultValue` when the
// key is missing. The result is cut to bufferSize - 1 characters, as a caller's buffer would.
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& fileName);

// Sets `key` in `section` to `value`, keeping every other line (comments included) as it
// was. Creates the file or the section when missing. Returns false when the file cannot
// be written; the old file is then left whole.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName);
