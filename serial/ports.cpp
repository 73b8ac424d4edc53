#include "serial/ports.h"

#include "platform/ports_folder.h"
#include "serial/backend.h"
#include "serial/comport.h"

#include <algorithm>

void ListSerialPorts(QStringList& list)
{
    QStringList names;
    if (int e = comm::ListPlatformPorts(VirtualPortsFolder(), names))
        throw EComPort(ComError::RegistryError, e);
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    list = names;
}
