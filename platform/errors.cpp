#include "platform/errors.h"

#include <cerrno>

Exception::Exception(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}

EInOutError EInOutError::fromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return EInOutError(QStringLiteral("File not found"), err);
    case ENOTDIR:
        return EInOutError(QStringLiteral("Path not found"), err);
    case EMFILE:
    case ENFILE:
        return EInOutError(QStringLiteral("Too many open files"), err);
    case EACCES:
    case EPERM:
    case EROFS:
        return EInOutError(QStringLiteral("File access denied"), err);
    case ENOSPC:
    case EDQUOT:
        return EInOutError(QStringLiteral("Disk full"), err);
    default:
        return EInOutError(QStringLiteral("I/O error %1").arg(err), err);
    }
}
