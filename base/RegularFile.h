#pragma once
// Opening, reading and replacing the files the program keeps: the data disk's files, the
// settings file, the scoring files and the report. Only regular files are used: a symbolic
// link is never followed (a write through it would land outside the disk or the program
// folder) and a pipe or device is refused at once instead of blocking the program.
// Results are errno numbers (0 for success) so that any caller can say why.
#include <sys/types.h>

#include <QByteArray>
#include <QString>

// Our own number for "this name is not a regular file" (a link, pipe, device or folder).
constexpr int ErrNotRegularFile = 1004;

// Who may read a file the program writes. A report names a client: it is readable by its
// owner alone, whatever the umask. Other files get what any new file of the user gets.
enum class FileAccess { Usual, OwnerOnly };
constexpr mode_t OwnerOnlyMode = 0600;

// The system's reason for an errno number, and ours for our own numbers.
QString FileErrorText(int err);

// Opens `path` with `flags` (O_RDONLY, O_WRONLY or O_RDWR, optionally O_CREAT, O_EXCL) and
// keeps it open only when it is a regular file. Returns the descriptor (blocking, close-on-exec),
// or -1 with errno set; a name that exists but is not a regular file gives ErrNotRegularFile.
int OpenRegularFile(const QString& path, int flags, mode_t mode = 0644);

// Reads a whole regular file; a file longer than maxBytes is refused with EFBIG.
int ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes);
// Reads at most maxBytes from the start of a regular file.
int ReadRegularFileHead(const QString& path, qint64 maxBytes, QByteArray& bytes);

// Writes all of `bytes` at `offset`. Returns 0 or errno.
int WriteAllAt(int fd, const QByteArray& bytes, off_t offset);

// fsync and close whose results count: a full or failing device may report a lost write
// only here. CloseFile releases the descriptor whatever it returns.
int SyncFile(int fd);
int CloseFile(int fd);

// A new version of a file written beside it and put in its place in one step, so that a
// reader finds the old file or the new one, never a part. Until Commit nothing but a hidden
// temporary file exists, and the destructor removes that. Only the owner can read that file
// while it is written; a process killed meanwhile leaves it behind, named "." + the file's
// name + "." + six letters or digits.
class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes, flushes and closes the new version. An existing `path` that is not a regular
    // file is refused (ErrNotRegularFile). With FileAccess::Usual the new version keeps the
    // permissions of the file it replaces, and a new file gets 0666 less the umask.
    // Returns 0 or errno.
    int Stage(const QString& path, const QByteArray& bytes, FileAccess access = FileAccess::Usual);
    // Renames the staged file over `path` and syncs the folder. Returns 0 or errno; 0 means the
    // new version is in place. When folderSyncError is given it receives the result of the
    // folder's sync (0 or errno): until that succeeded, a power loss may still bring the old
    // version back.
    int Commit(int* folderSyncError = nullptr);

    // Removes the staged versions of `path` that a process killed between Stage and Commit
    // left beside it. Only for a caller that knows nobody else is staging `path` now.
    static void RemoveLeftovers(const QString& path);

private:
    QString path_;
    QByteArray temp_;
};

// Stage and Commit in one call: `path` holds `bytes` afterwards, or is unchanged on failure.
int ReplaceFile(const QString& path, const QByteArray& bytes, FileAccess access = FileAccess::Usual);

// Test support: the next SyncFile or CloseFile, or sync of a folder by Commit, fails with `err`
// after doing its work, the way a device reports a write it could not complete; with `after`,
// the one after that many calls that work. No test file system does this on demand.
enum class FileFault { Sync, Close, FolderSync };
void InjectFileFault(FileFault fault, int err, int after = 0);
