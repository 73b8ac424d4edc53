#include "platform/errors.h"

#include <cerrno>
#include <cstring>

Exception::Exception(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}

SystemErrorKind KindOfSystemError(int err)
{
    switch (err) {
    case ENOENT:
        return SystemErrorKind::NotFound;
    case ENOTDIR:
        return SystemErrorKind::NotAFolder;
    case EEXIST:
        return SystemErrorKind::Exists;
    case ENAMETOOLONG:
        return SystemErrorKind::NameTooLong;
    case EMFILE:
    case ENFILE:
        return SystemErrorKind::TooManyFiles;
    case EACCES:
    case EPERM:
        return SystemErrorKind::AccessDenied;
    case EROFS:
        return SystemErrorKind::ReadOnly;
    case ENOSPC:
    case EDQUOT:
        return SystemErrorKind::DiskFull;
    case EBUSY:
    case EWOULDBLOCK:  // a lock someone else holds
        return SystemErrorKind::Busy;
    case ENOTTY:
        return SystemErrorKind::NotATerminal;
    case EIO:
    case ENXIO:
    case ENODEV:
        return SystemErrorKind::Gone;
    case EPIPE:
        return SystemErrorKind::ReaderGone;
    default:
        return SystemErrorKind::Other;
    }
}

bool IsUnsupportedOperation(int err)
{
    return err == ENOTTY || err == EINVAL;
}

QString SystemErrorText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

EInOutError EInOutError::fromErrno(int err)
{
    switch (KindOfSystemError(err)) {
    case SystemErrorKind::NotFound:
        return EInOutError(QStringLiteral("File not found"), err);
    case SystemErrorKind::NotAFolder:
        return EInOutError(QStringLiteral("Path not found"), err);
    case SystemErrorKind::TooManyFiles:
        return EInOutError(QStringLiteral("Too many open files"), err);
    case SystemErrorKind::AccessDenied:
    case SystemErrorKind::ReadOnly:
        return EInOutError(QStringLiteral("File access denied"), err);
    case SystemErrorKind::DiskFull:
        return EInOutError(QStringLiteral("Disk full"), err);
    default:
        return EInOutError(QStringLiteral("I/O error %1").arg(err), err);
    }
}
