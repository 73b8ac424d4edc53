#include "data/saved_file.h"

#include "platform/errors.h"
#include "platform/string_grid.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray LineEnd("\r\n");
const QByteArray FieldEnd("  ");
constexpr int FirstSavedColumn = 1;
constexpr int LastSavedColumn = 10;

[[noreturn]] void fail(int err)
{
    throw EInOutError::fromErrno(err);
}

// Writes every byte to `fd`; returns 0 or the errno of the failing write.
int writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

// Writes the file where it is: truncated and rewritten, or created. Its
// inode, owner, permissions and links stay; only a file this call created
// is removed again when the writing fails.
void writeInPlace(const QByteArray& path, const QByteArray& bytes)
{
    int fd = ::open(path.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool created = false;
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        created = fd >= 0;
    }
    if (fd < 0)
        fail(errno);
    int err = writeAll(fd, bytes);
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        if (created)
            ::unlink(path.constData());
        fail(err);
    }
}

// The folder refuses a new entry (permission, a read-only file system, a
// name too long for the temporary one): the file itself may still take
// the writing.
bool folderRefusesNewEntries(int err)
{
    return err == EACCES || err == EPERM || err == EROFS || err == ENAMETOOLONG;
}

// A rename over the file is refused (a sticky folder, a file mounted on
// its own), though the file itself may still take the writing.
bool renameRefused(int err)
{
    return err == EACCES || err == EPERM || err == EBUSY;
}

// A new file beside `path`, with a name no one else uses; -1 and errno set
// when the folder refuses it.
int createBeside(const QByteArray& path, QByteArray& created)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : path.left(slash + 1);
    const QByteArray name = path.mid(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = folder + '.' + name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(created.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// What the new file takes over from the one it replaces: owner, group and
// permissions (in that order, as a change of owner clears the set-id bits).
bool takeOver(int fd, const struct stat& old)
{
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

enum class Outcome { Replaced, WriteInPlace };

// Writes a new file beside `path` and renames it over `path`, so that a
// failed save leaves the old file whole and no partial file behind. Says
// when the folder or the old file does not allow that, and nothing was
// changed.
Outcome replaceThroughNewFile(const QByteArray& path, const QByteArray& bytes, const struct stat* old)
{
    QByteArray temporary;
    const int fd = createBeside(path, temporary);
    if (fd < 0) {
        if (folderRefusesNewEntries(errno))
            return Outcome::WriteInPlace;
        fail(errno);
    }
    auto discard = [&](int err) {
        ::close(fd);
        ::unlink(temporary.constData());
        return err;
    };
    if (old && !takeOver(fd, *old)) {
        // A replacement owned by someone else would take the file from
        // its owner.
        discard(0);
        return Outcome::WriteInPlace;
    }
    if (int err = writeAll(fd, bytes))
        fail(discard(err));
    if (::fsync(fd) != 0)
        fail(discard(errno));
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temporary.constData());
        fail(err);
    }
    if (::rename(temporary.constData(), path.constData()) != 0) {
        const int err = errno;
        ::unlink(temporary.constData());
        if (old && renameRefused(err))
            return Outcome::WriteInPlace;
        fail(err);
    }
    return Outcome::Replaced;
}

}  // namespace

QByteArray SavedFileTitleLine()
{
    QByteArray line = "FECHA       " " HORA     ";
    for (int ch = 1; ch <= 7; ++ch)
        line += "CH" + QByteArray::number(ch) + "   ";
    line += "CH8";
    return line;
}

QByteArray SavedFileBytes(const TStringGrid& grid, int dataRows)
{
    QByteArray out;
    out.reserve(80 + qsizetype(std::max(0, dataRows)) * 80);
    out += SavedFileTitleLine();
    out += LineEnd;
    out += LineEnd;
    for (int r = 1; r <= dataRows; ++r) {
        for (int c = FirstSavedColumn; c <= LastSavedColumn; ++c) {
            out += grid.Cells(c, r).toLatin1();
            out += FieldEnd;
        }
        out += LineEnd;
    }
    return out;
}

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QByteArray target = QFile::encodeName(path);
    // Through symbolic links to the file they name, which is the one replaced.
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = ::realpath(target.constData(), nullptr);
        if (!resolved) {
            // A link to a file not there yet: creating it through the link
            // puts it where the link points.
            writeInPlace(target, bytes);
            return;
        }
        target = resolved;
        std::free(resolved);
    }
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    // Devices and pipes are written as they are; a file with several names
    // stays one file under all of them.
    if (exists && (!S_ISREG(st.st_mode) || st.st_nlink > 1)) {
        writeInPlace(target, bytes);
        return;
    }
    if (exists) {
        // Only a file the user may write is replaced: a read-only one is
        // refused as writing it in place would be.
        const int probe = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
        if (probe < 0)
            fail(errno);
        ::close(probe);
    }
    if (replaceThroughNewFile(target, bytes, exists ? &st : nullptr) == Outcome::WriteInPlace)
        writeInPlace(target, bytes);
}
