#include "data/saved_file.h"

#include "platform/errors.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QByteArray LineEnd("\r\n");
const QByteArray FieldEnd("  ");

// Qt reports file failures as its own error kinds; the errno of the failing
// call is read right after it, and the kind only stands in when errno is lost.
EInOutError ioError(int err, QFileDevice::FileError kind)
{
    if (err == 0) {
        switch (kind) {
        case QFileDevice::OpenError:
        case QFileDevice::PermissionsError:
            err = EACCES;
            break;
        case QFileDevice::ResourceError:
            err = ENOSPC;
            break;
        default:
            err = EIO;
            break;
        }
    }
    return EInOutError::fromErrno(err);
}

// Devices such as a printer port or /dev/full are written as they are;
// replacing them with a regular file would be wrong.
void writeInPlace(const QString& path, const QByteArray& bytes)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        throw EInOutError::fromErrno(errno);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            throw EInOutError::fromErrno(err);
        }
        done += n;
    }
    if (::close(fd) != 0)
        throw EInOutError::fromErrno(errno);
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

void AppendSavedFileLine(QByteArray& out, const TableRow& row)
{
    out += row.Date.toLatin1();
    out += FieldEnd;
    out += row.Time.toLatin1();
    out += FieldEnd;
    for (const QString& t : row.Temperatures) {
        out += t.toLatin1();
        out += FieldEnd;
    }
    out += LineEnd;
}

QByteArray SavedFileBytes(const TableRows& rows)
{
    QByteArray out;
    out.reserve(80 + qsizetype(rows.size()) * 80);
    out += SavedFileTitleLine();
    out += LineEnd;
    out += LineEnd;
    for (const TableRow& row : rows)
        AppendSavedFileLine(out, row);
    return out;
}

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        writeInPlace(path, bytes);
        return;
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    errno = 0;
    // Unbuffered, so a failing write shows at the call that made it and its
    // errno is still the one to report.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ioError(errno, file.error());
    qsizetype done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const int err = errno;
            const auto kind = file.error();
            file.cancelWriting();
            throw ioError(err, kind);
        }
        done += n;
    }
    errno = 0;
    if (!file.commit())
        throw ioError(errno, file.error());
}
