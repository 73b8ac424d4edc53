#include "platform/ports_folder.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

QString OwnPortsFolder(const QString& path, QString* why)
{
    const QByteArray name = QFile::encodeName(path);
    QString fault;
    struct stat st {};
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        fault = SystemErrorText(errno);
    else if (::lstat(name.constData(), &st) != 0)
        fault = SystemErrorText(errno);
    else if (!S_ISDIR(st.st_mode))
        fault = QStringLiteral("it is not a folder");
    else if (st.st_uid != ::getuid())
        fault = QStringLiteral("it belongs to another user");
    else if (st.st_mode & (S_IWGRP | S_IWOTH))
        fault = QStringLiteral("others may write to it");
    if (fault.isEmpty())
        return path;
    if (why)
        *why = path + QStringLiteral(": ") + fault;
    else
        std::fprintf(stderr, "%s: %s left out of the port list: %s (remove it, or set XDG_RUNTIME_DIR)\n", program_invocation_short_name,
                     name.constData(), fault.toLocal8Bit().constData());
    return QString();
}

QString VirtualPortsFolder(QString* why)
{
    QString over = qEnvironmentVariable("VELTRA8_PORTS_DIR");
    if (!over.isEmpty())
        return QDir::cleanPath(over);
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir::cleanPath(runtime + QStringLiteral("/veltra8-ports"));
    return OwnPortsFolder(QStringLiteral("/tmp/veltra8-ports-%1").arg(::getuid()), why);
}
