#include "clients/DataAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "base/RegularFile.h"

namespace {

// Closes the descriptor on every path out of an operation.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }
    // Closing can report a delayed write error; it must not be ignored.
    int release()
    {
        int r = CloseFile(fd_);
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

// A data disk may be read-only; reading must still work then, like opening for
// "read/write, else read" did on the disks this file format comes from.
int OpenForLoad(const QString& path)
{
    int fd = OpenRegularFile(path, O_RDWR | O_CREAT);
    if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
        const int first = errno;
        fd = OpenRegularFile(path, O_RDONLY);
        if (fd < 0)
            errno = (errno == ENOENT) ? first : errno;
    }
    return fd;
}

QByteArray ReadAt(int fd, qint64 length, const QString& path)
{
    QByteArray bytes(length, '\0');
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(bytes.size() - done), done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw DiskError::FromErrno(errno, path);
        }
        if (n == 0)
            throw DiskError(ErrShortRead, QStringLiteral("The data file ended while it was being read"), path);
        done += n;
    }
    return bytes;
}

// The disk in the drive must be the one the client table came from: its data file holds
// exactly the records the table was read from (and those written since). Inode numbers
// cannot tell this, since a FAT stick gets new ones each time it is plugged in again;
// comparing at most 51 records of 154 bytes costs nothing next to the write itself.
// Returns the whole file, a partial record after the last whole one included.
QByteArray ReadSameDataFile(int fd, qint64 size, const QString& path)
{
    const Program& p = program();
    const QByteArray& known = p.LoadedRecords;
    const bool sameCount = p.LoadedDataFile == path && size / RecordLength == known.size() / RecordLength;
    const QByteArray content = sameCount ? ReadAt(fd, size, path) : QByteArray();
    if (!sameCount || !content.startsWith(known))
        throw DiskError(ErrDifferentDisk, QStringLiteral("The data file is not the one the client list was read from"),
                        path);
    return content;
}

// The lock covers one byte far past the end of any data file, not the records: a server that
// enforces locks against readers (SMB) goes on serving the records to everyone who reads them.
constexpr off_t LockedByte = off_t(1) << 30;

// An open file description lock: unlike a classic fcntl lock it is not dropped when some other
// descriptor of the file in the process closes, and two descriptions in one process exclude
// each other as two processes do. Returns 0, EAGAIN while another writer holds it, or errno.
int TryLock(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = LockedByte;
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    return errno == EACCES ? EAGAIN : errno;
}

// A file system that keeps no locks (a network folder without a lock service): there is
// nobody to wait for that the system would tell us about.
bool LocksUnsupported(int err) { return err == ENOLCK || err == EINVAL || err == EOPNOTSUPP || err == ENOSYS; }

void ReportPartialRecord(qint64 tailBytes)
{
    // Said once per file and length, not at each of the several reads of one connection.
    static QString lastWarned;
    const QString key = program().DataFilePath + QLatin1Char('#') + QString::number(tailBytes);
    if (key == lastWarned)
        return;
    lastWarned = key;
    MsgBox::Show(QStringLiteral("The data file %1 ends with %2 bytes that are not a whole client record."
                                "\r\rThese bytes are not a client and are not listed. The next new client "
                                "saved on this data disk will take their place.")
                     .arg(program().DataFilePath)
                     .arg(tailBytes),
                 MsgBox::Buttons::OkOnly, MsgBox::Icon::Exclamation, QStringLiteral("Data Disk Error"));
}

QString WriteFailureText(const DiskError& error)
{
    const QString lead = QStringLiteral("The client record could not be saved on the data disk.\r\r");
    const QString tail = QStringLiteral("\r\rPress OK to try again, or Cancel to leave the record unsaved.");
    switch (error.row()) {
    case DiskErrorRow::NotFound:
        return lead + QStringLiteral("Data disk not found!\r\rInsert the data disk (%1).").arg(program().DataDrive) +
               tail;
    case DiskErrorRow::WriteProtected: return lead + QString::fromLatin1(WriteProtectedText) + tail;
    case DiskErrorRow::Other: break;
    }
    if (error.number() == ErrDifferentDisk)
        return QStringLiteral("A different data disk is in the drive.\r\rThe client record was not saved: the data "
                              "file on this disk is not the one the client list was read from.\r\rPut the data disk "
                              "of this client list back in the drive and press OK, or press Cancel to leave the "
                              "record unsaved.\r\rIf another copy of the program has saved clients on this data disk "
                              "since, press Cancel and read the disk again with Options, Select Drive.");
    if (error.number() == ErrDataFileBusy)
        return QStringLiteral("The data disk is busy: another copy of the program is saving a client on it.\r\r"
                              "The client record was not saved. Press OK to try again, or Cancel to leave the record "
                              "unsaved.");
    return lead + error.errorText() + tail;
}

}  // namespace

bool LoadClientTable()
{
    Program& p = program();
    const QString path = p.DataFilePath;
    FileHandle file(OpenForLoad(path));
    if (file.get() < 0)
        throw DiskError::FromErrno(errno, path);

    struct stat st {};
    if (::fstat(file.get(), &st) != 0)
        throw DiskError::FromErrno(errno, path);
    const qint64 length = st.st_size;
    const qint64 records = length / RecordLength;
    const qint64 tail = length % RecordLength;

    if (records > MaxClients) {
        MsgBox::Show(QStringLiteral("This data disk holds more clients than the program can hold.\r\r"
                                    "%1 holds %2 client records; the program can hold %3. "
                                    "The data file has not been changed.")
                         .arg(path)
                         .arg(records)
                         .arg(MaxClients),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QStringLiteral("Data Disk Error"));
        return false;
    }

    const QByteArray bytes = ReadAt(file.get(), records * RecordLength, path);
    file.release();

    // Only now, with every record read, does the table change.
    p.LoadedDataFile = path;
    p.LoadedRecords = bytes;
    for (int slot = 1; slot <= records; ++slot)
        p.ClientTable[slot] = RecordFromBytes(bytes.constData() + (slot - 1) * RecordLength);
    p.ClientCount = qint16(records);
    p.CurrentClient = records > 0 ? 1 : 0;

    if (tail != 0)
        ReportPartialRecord(tail);
    return true;
}

void WriteRecordToFile(const QString& path, int slot, const QByteArray& bytes)
{
    if (slot < 1 || slot > MaxClients)
        throw DiskError(ErrSlotOutOfRange,
                        QStringLiteral("Record number %1 is outside 1 to %2").arg(slot).arg(MaxClients), path);

    const DataFileLock lock(path);
    struct stat st {};
    if (::fstat(lock.fd(), &st) != 0)
        throw DiskError::FromErrno(errno, path);
    const QByteArray content = ReadSameDataFile(lock.fd(), st.st_size, path);

    // A record must follow the ones before it; a hole would read back as a client of zero bytes.
    Program& p = program();
    const qint64 known = p.LoadedRecords.size();
    const qint64 offset = qint64(slot - 1) * RecordLength;
    if (offset > known)
        throw DiskError(ErrDataFileShorter,
                        QStringLiteral("The data file holds fewer records than expected; is this the same data disk?"),
                        path);

    // The new file is the old one with this record in place; a new client also takes the
    // place of a partial record after the last whole one. It is written whole beside the old
    // file and renamed over it, so that a kill at any moment leaves the old file or the new
    // one, and so does a power cut or a pulled stick where the file system renames in one
    // step. Written into the file itself, a record could stop at a page or sector boundary:
    // new bytes up to it, old ones after.
    QByteArray updated = content;
    if (updated.size() < offset + RecordLength)
        updated.resize(offset + RecordLength);
    updated.replace(offset, RecordLength, bytes);
    // Under the lock nobody else is staging this file: copies beside it were left by writers
    // killed before their rename, and they hold clients' names.
    StagedFile::RemoveLeftovers(path);
    StagedFile staged;
    if (const int err = staged.Stage(path, updated); err != 0)
        throw DiskError::FromErrno(err, path);
    int folderSyncError = 0;
    if (const int err = staged.Commit(&folderSyncError); err != 0)
        throw DiskError::FromErrno(err, path);
    p.LoadedRecords = updated.left(updated.size() / RecordLength * RecordLength);
    // The new file is in place but may not survive a power cut, so the record does not count
    // as saved; trying again writes the same file once more.
    if (folderSyncError != 0)
        throw DiskError::FromErrno(folderSyncError, path);
}

DataFileLock::DataFileLock(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    QDeadlineTimer deadline(DataFileLockWaitMs);
    for (;;) {
        const int fd = OpenRegularFile(path, O_RDWR);
        if (fd < 0)
            throw DiskError::FromErrno(errno, path);
        int err = TryLock(fd);
        while (err == EAGAIN && !deadline.hasExpired()) {
            QThread::msleep(20);
            err = TryLock(fd);
        }
        if (err != 0 && !LocksUnsupported(err)) {
            ::close(fd);
            if (err == EAGAIN)
                throw DiskError(ErrDataFileBusy, QStringLiteral("Another copy of the program is writing the data file"),
                                path);
            throw DiskError::FromErrno(err, path);
        }
        // While this one waited, the writer before it may have put a new file in place of the
        // one locked here, which keeps nobody out any more: then the new one is locked instead.
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) != 0 || ::lstat(name.constData(), &named) != 0) {
            const int lost = errno;
            ::close(fd);
            throw DiskError::FromErrno(lost, path);
        }
        if (held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            fd_ = fd;
            return;
        }
        ::close(fd);
    }
}

DataFileLock::~DataFileLock()
{
    // Nothing was written through this descriptor; closing it only ends the lock.
    ::close(fd_);
}

bool WriteClientRecord(int slot)
{
    Program& p = program();
    for (;;) {
        try {
            const QByteArray bytes =
                (slot >= 0 && slot <= MaxClients) ? RecordToBytes(p.ClientTable[slot]) : QByteArray();
            WriteRecordToFile(p.DataFilePath, slot, bytes);
            return true;
        } catch (const DiskError& error) {
            const auto answer = MsgBox::Show(WriteFailureText(error), MsgBox::Buttons::OkCancel, MsgBox::Icon::Critical,
                                             QStringLiteral("Data Disk Error"));
            if (answer != MsgBox::Answer::Ok)
                return false;
        }
    }
}

void ClearCurrentRecord()
{
    Program& p = program();
    if (p.CurrentClient >= 0 && p.CurrentClient <= MaxClients)
        p.ClientTable[p.CurrentClient] = ClientRecord{};
}

bool CompleteNewClient()
{
    Program& p = program();
    if (p.CurrentClient != p.ClientCount + 1 || p.CurrentClient > MaxClients)
        return false;
    if (!WriteClientRecord(p.CurrentClient))
        return false;
    ++p.ClientCount;
    return true;
}
