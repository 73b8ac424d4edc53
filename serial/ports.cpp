#include "serial/ports.h"

#include "platform/ports_folder.h"
#include "serial/backend.h"
#include "serial/comport.h"

#include <QCollator>

#include <algorithm>

void ListSerialPorts(QStringList& list)
{
    QStringList names;
    if (int e = comm::ListPlatformPorts(VirtualPortsFolder(), names))
        throw EComPort(ComError::RegistryError, e);
    // The user's own collation: "ábc" comes before "Zeta". Names that it
    // holds equal (differing in case only) keep one fixed order.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    list = names;
}
