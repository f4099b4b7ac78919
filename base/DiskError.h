#pragma once
// A failure of the file system while reading or writing the data disk.
#include <exception>

#include <QString>

// Our own numbers for faults the operating system does not report itself.
enum : int {
    ErrDataFileShorter = 1001,  // the disk's data file has fewer records than the table
    ErrSlotOutOfRange = 1002,   // a record number outside 1..51
    ErrShortRead = 1003,        // the file ended while it was being read
    // 1004 is ErrNotRegularFile (base/RegularFile.h)
    ErrDifferentDisk = 1005,  // the data file is not the one the client table was read from
    ErrDataFileBusy = 1006,   // another writer kept the data file locked for too long
};

// The three kinds of reaction the operator sees.
enum class DiskErrorRow {
    NotFound,        // the disk is not there, not ready, or cannot be read
    WriteProtected,  // permission denied or read-only file system
    Other,           // anything else: "Error n:description"
};

class DiskError : public std::exception {
public:
    DiskError(int number, QString description, QString path);
    static DiskError FromErrno(int err, const QString& path);

    int number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& path() const { return path_; }
    DiskErrorRow row() const;
    // "Error " + number + ":" + description, the way the operator sees unexpected errors.
    QString errorText() const;
    const char* what() const noexcept override;

private:
    int number_;
    QString description_;
    QString path_;
    QByteArray what_;
};

DiskErrorRow ClassifyDiskError(int number);

// What the operator is told about a write-protected disk (title "Data Disk Error").
constexpr const char* WriteProtectedText =
    "Data disk write protected!\r\rSet the data disk to writable and replace in drive.";
