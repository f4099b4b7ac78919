#include "clients/RegularFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include <QFile>

namespace {

int injectedSyncError = 0;
int injectedCloseError = 0;

QByteArray EncodedPath(const QString& path)
{
    return QFile::encodeName(path);
}

// Whether `path` names something that exists but is not a regular file (the link itself,
// not its target).
bool IsOtherThanRegularFile(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode);
}

int ReadUpTo(int fd, qint64 limit, QByteArray& bytes)
{
    bytes.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (bytes.size() + n > limit) {
            bytes.append(buffer, qsizetype(limit - bytes.size()));
            return EFBIG;
        }
        bytes.append(buffer, n);
    }
}

// What open() gives a new file: 0666 less the umask. The umask is read from the kernel's
// account of this process; setting it to learn it and putting it back would let a file that
// another thread creates meanwhile be made with none.
mode_t UsualNewFileMode()
{
    mode_t mask = 077;  // unknown: the safe side
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    mask = mode_t(value);
            }
    }
    return 0666 & ~mask;
}

int ReadFile(const QString& path, qint64 maxBytes, QByteArray& bytes, bool headOnly)
{
    bytes.clear();
    const int fd = OpenRegularFile(path, O_RDONLY);
    if (fd < 0)
        return errno;
    int err = ReadUpTo(fd, maxBytes, bytes);
    if (err == EFBIG && headOnly)
        err = 0;
    // Nothing was written, so closing cannot lose anything.
    ::close(fd);
    if (err != 0 && !headOnly)
        bytes.clear();
    return err;
}

} // namespace

QString FileErrorText(int err)
{
    if (err == ErrNotRegularFile)
        return QStringLiteral("Not a regular file (a link, a pipe, a device or a folder)");
    return QString::fromLocal8Bit(std::strerror(err));
}

int OpenRegularFile(const QString& path, int flags, mode_t mode)
{
    const QByteArray p = EncodedPath(path);
    // O_NONBLOCK keeps open() from waiting for the other end of a pipe; it is taken off
    // again once the file is known to be a regular file.
    int fd;
    do {
        fd = ::open(p.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        // A link refused by O_NOFOLLOW, or a pipe nobody reads: say what the name really is.
        errno = ((err == ELOOP || err == ENXIO) && IsOtherThanRegularFile(p)) ? ErrNotRegularFile : err;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = ErrNotRegularFile;
        return -1;
    }
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl < 0 || ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) < 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    return fd;
}

int ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes)
{
    return ReadFile(path, maxBytes, bytes, false);
}

int ReadRegularFileHead(const QString& path, qint64 maxBytes, QByteArray& bytes)
{
    return ReadFile(path, maxBytes, bytes, true);
}

int WriteAllAt(int fd, const QByteArray& bytes, off_t offset)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += n;
    }
    return 0;
}

int SyncFile(int fd)
{
    int r = ::fsync(fd);
    if (r == 0 && injectedSyncError != 0) {
        errno = std::exchange(injectedSyncError, 0);
        r = -1;
    }
    return r;
}

int CloseFile(int fd)
{
    int r = ::close(fd);
    if (r == 0 && injectedCloseError != 0) {
        errno = std::exchange(injectedCloseError, 0);
        r = -1;
    }
    return r;
}

void InjectFileFault(FileFault fault, int err)
{
    (fault == FileFault::Sync ? injectedSyncError : injectedCloseError) = err;
}

StagedFile::~StagedFile()
{
    if (!temp_.isEmpty())
        ::unlink(temp_.constData());
}

int StagedFile::Stage(const QString& path, const QByteArray& bytes, FileAccess access)
{
    if (!temp_.isEmpty()) {
        ::unlink(temp_.constData());
        temp_.clear();
    }
    path_ = path;
    const QByteArray target = EncodedPath(path);
    struct stat old {};
    const bool exists = ::lstat(target.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return ErrNotRegularFile;

    // Hidden beside the target: the rename must stay on the same file system.
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray name = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".XXXXXX";
    // Made 0600: whatever is written stays the owner's until the file has its own permissions.
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    temp_ = name;
    int err = WriteAllAt(fd, bytes, 0);
    const mode_t mode = access == FileAccess::OwnerOnly ? OwnerOnlyMode
                        : exists                         ? (old.st_mode & 07777)
                                                         : UsualNewFileMode();
    if (err == 0 && ::fchmod(fd, mode) != 0)
        err = errno;
    if (err == 0 && SyncFile(fd) != 0)
        err = errno;
    if (CloseFile(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp_.constData());
        temp_.clear();
    }
    return err;
}

int StagedFile::Commit()
{
    if (temp_.isEmpty())
        return EINVAL;
    const QByteArray target = EncodedPath(path_);
    if (::rename(temp_.constData(), target.constData()) != 0)
        return errno;
    temp_.clear();
    // Makes the rename itself durable. The new file is already in place whatever this
    // returns, so a failure here cannot be undone and is not reported as one.
    const QByteArray folder = target.lastIndexOf('/') >= 0 ? target.left(target.lastIndexOf('/') + 1) : QByteArray(".");
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

int ReplaceFile(const QString& path, const QByteArray& bytes, FileAccess access)
{
    StagedFile file;
    const int err = file.Stage(path, bytes, access);
    return err != 0 ? err : file.Commit();
}
