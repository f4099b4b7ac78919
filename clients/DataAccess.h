#pragma once
// The client data file DATA401.ZEP and the client table in memory.
// Every operation opens the file and closes it again: the disk may be pulled between two.
#include <QString>

#include "base/DiskError.h"

constexpr const char* DataFileName = "DATA401.ZEP";

// Reads the whole data file into ClientTable (an absent file is created empty) and sets
// ClientCount and CurrentClient. Throws DiskError when the file system fails. Returns false,
// after telling the operator, when the file holds more clients than the table can; the
// table and the file are then left as they were.
bool LoadClientTable();

// Writes slot `slot` as record number `slot`: the whole file is written anew beside the old one
// and put in its place, so that after any interruption each record is wholly old or wholly
// new. On a failure the operator may retry (OK) or give up (Cancel); returns true only once
// the record is on disk.
bool WriteClientRecord(int slot);

// Blanks every field of slot CurrentClient, in memory only.
void ClearCurrentRecord();

// The test-completion step for a new client: writes slot CurrentClient and counts the
// client only when the record really reached the disk.
bool CompleteNewClient();

// One attempt at writing a record, without asking anyone; throws DiskError.
void WriteRecordToFile(const QString& path, int slot, const QByteArray& bytes);

// How long a write waits for another writer of the same data file.
constexpr int DataFileLockWaitMs = 2000;

// The data file opened and locked against every other writer: another copy of the program on
// this computer, another user, or another computer where the file system passes locks on to
// its server. Held from the check that the disk is the one that was read until the new file
// is in place, so that two writers never both build on the same old file. Waits up to
// DataFileLockWaitMs for a writer that holds the lock, then throws DiskError ErrDataFileBusy;
// other failures throw DiskError too. The lock belongs to the descriptor: it ends with the
// object, or with the process however that ends, so a killed writer leaves no lock behind.
// A file system that keeps no locks at all (a network folder without a lock service) has
// nobody to wait for, and the file is then used unlocked.
class DataFileLock {
public:
    explicit DataFileLock(const QString& path);
    ~DataFileLock();
    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};
