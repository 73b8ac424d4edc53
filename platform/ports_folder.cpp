#include "platform/ports_folder.h"

#include <QDir>

#include <unistd.h>

QString VirtualPortsFolder()
{
    QString over = qEnvironmentVariable("VELTRA8_PORTS_DIR");
    if (!over.isEmpty())
        return QDir::cleanPath(over);
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir::cleanPath(runtime + QStringLiteral("/veltra8-ports"));
    return QStringLiteral("/tmp/veltra8-ports-%1").arg(getuid());
}
