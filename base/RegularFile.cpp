#include "base/RegularFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include <QFile>

namespace {

// A fault waiting to strike: the error, after how many calls that work.
struct InjectedFault {
    int err = 0;
    int after = 0;
};
InjectedFault injectedSync;
InjectedFault injectedClose;
InjectedFault injectedFolderSync;

// Makes the call's result `r` a failure when the fault is due; returns the result.
int Strike(InjectedFault& fault, int r)
{
    if (r != 0 || fault.err == 0)
        return r;
    if (fault.after > 0) {
        --fault.after;
        return r;
    }
    errno = std::exchange(fault.err, 0);
    return -1;
}

QByteArray EncodedPath(const QString& path) { return QFile::encodeName(path); }

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

// The folder of an encoded path, with its trailing slash ("./" for a bare name).
QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash >= 0 ? path.left(slash + 1) : QByteArray("./");
}

// Syncs the folder that holds `path`, which makes a rename in it durable. A file system that
// cannot sync a folder (EINVAL), or a folder we may enter but not read, has nothing more to
// offer, and counts as synced.
int SyncFolderOf(const QByteArray& path)
{
    const int dir = ::open(FolderOf(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return errno == EACCES ? 0 : errno;
    int err = ::fsync(dir) == 0 || errno == EINVAL ? 0 : errno;
    ::close(dir);
    if (err == 0 && Strike(injectedFolderSync, 0) != 0)
        err = errno;
    return err;
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

}  // namespace

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

int SyncFile(int fd) { return Strike(injectedSync, ::fsync(fd)); }

int CloseFile(int fd) { return Strike(injectedClose, ::close(fd)); }

void InjectFileFault(FileFault fault, int err, int after)
{
    InjectedFault& injected = fault == FileFault::Sync    ? injectedSync
                              : fault == FileFault::Close ? injectedClose
                                                          : injectedFolderSync;
    injected = {err, after};
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
                        : exists                        ? (old.st_mode & 07777)
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

int StagedFile::Commit(int* folderSyncError)
{
    if (temp_.isEmpty())
        return EINVAL;
    const QByteArray target = EncodedPath(path_);
    if (::rename(temp_.constData(), target.constData()) != 0)
        return errno;
    temp_.clear();
    // Makes the rename itself durable. The new file is in place whatever this returns, so a
    // failure here cannot be undone; only a caller that asks is told.
    const int err = SyncFolderOf(target);
    if (folderSyncError)
        *folderSyncError = err;
    return 0;
}

void StagedFile::RemoveLeftovers(const QString& path)
{
    const QByteArray target = EncodedPath(path);
    const QByteArray prefix = '.' + target.mid(target.lastIndexOf('/') + 1) + '.';
    DIR* folder = ::opendir(FolderOf(target).constData());
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        const QByteArray name(entry->d_name);
        if (name.size() == prefix.size() + 6 && name.startsWith(prefix))
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

int ReplaceFile(const QString& path, const QByteArray& bytes, FileAccess access)
{
    StagedFile file;
    const int err = file.Stage(path, bytes, access);
    return err != 0 ? err : file.Commit();
}
