// The POSIX side of the file seam: every file system call of the saved file
// and of the client's output lives here.
#include "platform/file_system.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {
EntryInfo infoOf(const struct stat& st)
{
    EntryInfo info;
    info.isLink = S_ISLNK(st.st_mode);
    info.isRegular = S_ISREG(st.st_mode);
    info.links = static_cast<unsigned>(st.st_nlink);
    info.owner = st.st_uid;
    info.group = st.st_gid;
    info.mode = st.st_mode & 07777;
    return info;
}
}  // namespace

int EntryOf(const QByteArray& path, EntryInfo& info)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return errno;
    info = infoOf(st);
    return 0;
}

int FollowedEntryOf(const QByteArray& path, EntryInfo& info)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return errno;
    info = infoOf(st);
    return 0;
}

int ResolvedPath(const QByteArray& path, QByteArray& resolved)
{
    char* real = ::realpath(path.constData(), nullptr);
    if (!real)
        return errno;
    resolved = real;
    std::free(real);
    return 0;
}

WritableFile::~WritableFile()
{
    Close();
}

int WritableFile::OpenEmptied(const QByteArray& path)
{
    Close();
    fd_ = ::open(path.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    return fd_ < 0 ? errno : 0;
}

int WritableFile::CreateNew(const QByteArray& path)
{
    Close();
    fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd_ < 0 ? errno : 0;
}

int WritableFile::CreateOrEmpty(const QByteArray& path)
{
    Close();
    fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd_ < 0 ? errno : 0;
}

int WritableFile::OpenAtEnd(const QByteArray& path, qint64& size)
{
    Close();
    fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0)
        return errno;
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (end < 0)
        return errno;
    size = end;
    return 0;
}

int WritableFile::TruncateTo(qint64 size)
{
    if (::ftruncate(fd_, off_t(size)) != 0)
        return errno;
    return ::lseek(fd_, off_t(size), SEEK_SET) < 0 ? errno : 0;
}

int WriteAllTo(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

int WritableFile::WriteAll(QByteArrayView bytes)
{
    return WriteAllTo(fd_, bytes);
}

int WritableFile::Sync()
{
    return ::fsync(fd_) != 0 ? errno : 0;
}

int WritableFile::TakeOwnerAndMode(const EntryInfo& from)
{
    struct stat now {};
    if (::fstat(fd_, &now) != 0)
        return errno;
    if ((now.st_uid != from.owner || now.st_gid != from.group) && ::fchown(fd_, from.owner, from.group) != 0)
        return errno;
    return ::fchmod(fd_, from.mode) != 0 ? errno : 0;
}

int WritableFile::Close()
{
    if (fd_ < 0)
        return 0;
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc != 0 ? errno : 0;
}

int MayWrite(const QByteArray& path)
{
    // Opening for writing is the one test that counts: access() answers for
    // the real, not the effective, user and knows nothing of read-only mounts.
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

int Rename(const QByteArray& from, const QByteArray& to)
{
    return ::rename(from.constData(), to.constData()) != 0 ? errno : 0;
}

int Remove(const QByteArray& path)
{
    return ::unlink(path.constData()) != 0 ? errno : 0;
}

int MakeFolder(const QByteArray& path)
{
    if (::mkdir(path.constData(), 0777) == 0 || errno == EEXIST)
        return 0;
    return errno;
}

int SyncFolder(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int rc = ::fsync(fd) != 0 ? errno : 0;
    ::close(fd);
    return rc;
}

}  // namespace files
