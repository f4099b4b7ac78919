#pragma once
// Connecting the program to a data disk: a drive (mount point or folder) whose root holds
// TID, DATA401.ZEP and room for the scratch file checkWriteTest.
#include <functional>
#include <optional>

#include <QString>

constexpr const char* TidFileName = "TID";
constexpr const char* TidText = "ZEPSF";
constexpr const char* WriteTestFileName = "checkWriteTest";

struct DriveSelectHooks {
    // Shows the drive chooser modally and returns the drive chosen in it; nothing when the
    // operator closed the chooser without choosing (Escape).
    std::function<std::optional<QString>()> chooseDrive;
    // Menu mode: clear and refill the main menu's client list, apply the capacity rule.
    std::function<void()> refreshMainMenu;
};

enum class DriveSelectResult {
    Connected,    // the chosen drive is connected and its clients are read
    Cancelled,    // menu mode: the chooser was closed before any disk was tried; nothing changed
    FellBack,     // menu mode: the previous drive was connected again
    Interrupted,  // the operator cancelled a write-protection message, or an unexpected error
    EndProgram,   // no usable data disk: the program must end
};

// Chooses and connects a data disk; at start-up the drive remembered in the settings is tried
// first without asking.
DriveSelectResult SelectDataDrive(bool atStartup, const DriveSelectHooks& hooks);

// Connects one drive: sets DataDrive and DataFilePath, checks TID, reads the clients and
// proves the disk writable. Returns false when the disk was refused (the operator has been
// told). File-system failures are thrown as DiskError.
bool OpenDataDisk(const QString& drive);

// The presence test: TID can be opened and read. Throws DiskError.
void CheckDrivePresence(const QString& drive);

// A file in the root of a drive; the empty drive means the root of the file system.
QString DriveFile(const QString& drive, const QString& name);
