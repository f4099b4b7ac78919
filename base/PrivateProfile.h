#pragma once
// The settings file format: "[Section]" lines and "Key=Value" lines, read and written
// the way the Windows private-profile functions do it.
#include <optional>

#include <QByteArray>
#include <QString>

// Returns the value of `key` in `section` (both matched without regard to case, blanks
// around the value and one pair of enclosing quotes removed), or `defaultValue` when the
// key is missing. A value that begins with the bytes EF BB BF is read as UTF-8. The result
// is cut to bufferSize - 1 characters, as a caller's buffer would; bufferSize 0 keeps it whole.
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue, int bufferSize,
                                const QString& fileName);

// Sets `key` in `section` to `value`, keeping every other line (comments included) as it
// was. Creates the file or the section when missing. Returns false, with the file name and
// the reason in `error`, when the file cannot be read or written; the old file is then left
// whole. A value Windows-1252 cannot hold is stored so that it reads back exactly (UTF-8
// after the byte order mark EF BB BF), and so is a value with blanks at either end or in
// enclosing quotes (within quotes of its own); a value with a line end in it is refused.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName, QString* error = nullptr);

// The same two on the bytes of a settings file already read: the value found, and the bytes
// with the value set (nothing for a value with a line end in it). The functions above are
// these with the file read first and, for writing, the result put in its place whole.
QString ProfileString(const QByteArray& file, const QString& section, const QString& key, const QString& defaultValue,
                      int bufferSize);
std::optional<QByteArray> ProfileWithString(const QByteArray& file, const QString& section, const QString& key,
                                            const QString& value);

// A value without the ASCII white space around it (a no-break space stays).
QString TrimValue(const QString& value);
