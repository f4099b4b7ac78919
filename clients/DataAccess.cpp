#include "clients/DataAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/MsgBox.h"
#include "app/Program.h"

namespace {

// Closes the descriptor on every path out of an operation.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() { if (fd_ >= 0) ::close(fd_); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }
    // Closing can report a delayed write error; it must not be ignored.
    int release() { int r = ::close(fd_); fd_ = -1; return r; }
private:
    int fd_;
};

QByteArray EncodedPath(const QString& path)
{
    return path.toLocal8Bit();
}

// A data disk may be read-only; reading must still work then, like opening for
// "read/write, else read" did on the disks this file format comes from.
int OpenForLoad(const QString& path)
{
    const QByteArray p = EncodedPath(path);
    int fd = ::open(p.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
        const int first = errno;
        fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            errno = (errno == ENOENT) ? first : errno;
    }
    return fd;
}

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
        return lead + QStringLiteral("Data disk not found!\r\rInsert the data disk (%1).").arg(program().DataDrive) + tail;
    case DiskErrorRow::WriteProtected:
        return lead + QString::fromLatin1(WriteProtectedText) + tail;
    case DiskErrorRow::Other:
        break;
    }
    return lead + error.errorText() + tail;
}

} // namespace

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

    QByteArray bytes(records * RecordLength, '\0');
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(file.get(), bytes.data() + done, size_t(bytes.size() - done), done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw DiskError::FromErrno(errno, path);
        }
        if (n == 0)
            throw DiskError(ErrShortRead, QStringLiteral("The data file ended while it was being read"), path);
        done += n;
    }
    file.release();

    // Only now, with every record read, does the table change.
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
        throw DiskError(ErrSlotOutOfRange, QStringLiteral("Record number %1 is outside 1 to %2").arg(slot).arg(MaxClients), path);

    FileHandle file(::open(EncodedPath(path).constData(), O_WRONLY | O_CLOEXEC));
    if (file.get() < 0)
        throw DiskError::FromErrno(errno, path);

    // A record must follow the ones before it; a hole would read back as a client of zero bytes.
    struct stat st {};
    if (::fstat(file.get(), &st) != 0)
        throw DiskError::FromErrno(errno, path);
    const off_t offset = off_t(slot - 1) * RecordLength;
    if (st.st_size < offset)
        throw DiskError(ErrDataFileShorter,
                        QStringLiteral("The data file holds fewer records than expected; is this the same data disk?"),
                        path);

    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(file.get(), bytes.constData() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw DiskError::FromErrno(errno, path);
        }
        done += n;
    }
    if (::fsync(file.get()) != 0)
        throw DiskError::FromErrno(errno, path);
    if (file.release() != 0)
        throw DiskError::FromErrno(errno, path);
}

bool WriteClientRecord(int slot)
{
    Program& p = program();
    for (;;) {
        try {
            const QByteArray bytes = (slot >= 0 && slot <= MaxClients) ? RecordToBytes(p.ClientTable[slot]) : QByteArray();
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
