#pragma once
// The data files are Windows-1252 bytes; the user interface is Unicode.
// These two functions are the only place where one becomes the other.
#include <QByteArray>
#include <QString>

// One byte per code point; a character Windows-1252 cannot hold becomes "?".
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);
QString FromAnsi(const char* bytes, int length);
// True when the text survives the trip to the data file unchanged.
bool FitsAnsi(const QString& text);

// Cuts or blank-fills text to exactly `length` characters (code points),
// the way a fixed-length record field holds it.
QString FitToLength(const QString& text, int length);

// Removes leading and trailing blanks (spaces only, like the record readers).
QString TrimBlanks(const QString& text);

// Control characters (C0, DEL and C1) shown as \xHH, for messages that quote a bad value:
// an escape or form-feed byte must not act on the screen or the printer.
QString EscapeControls(const QString& text);
// The same characters each replaced by "?", one for one, so that a fixed-width column keeps its width.
QString ReplaceControls(const QString& text);
