// The texts of the port's error numbers and the message an EComPort carries.
#include "serial/comerror.h"

#include <iterator>

QString ComErrorText(int errorNumber)
{
    static const char* const texts[] = {
        "Unable to open com port",
        "WriteFile function failed",
        "ReadFile function failed",
        "Invalid Async parameter",
        "PurgeComm function failed",
        "Unable to get async status",
        "SetCommState function failed",
        "SetCommTimeouts failed",
        "SetupComm function failed",
        "ClearCommError function failed",
        "GetCommModemStatus function failed",
        "EscapeCommFunction function failed",
        "TransmitCommChar function failed",
        "Cannot set property while connected",
        "EnumPorts function failed",
        "Failed to store settings",
        "Failed to load settings",
        "Link (un)registration failed",
        "Cannot change led state if ComPort is selected",
        "Cannot wait for event if event thread is created",
        "WaitForEvent method failed",
        "A component is linked to OnRxBuf event",
        "Registry error",
    };
    if (errorNumber < 1 || errorNumber > static_cast<int>(std::size(texts)))
        return {};
    return QString::fromLatin1(texts[errorNumber - 1]);
}

namespace {
QString ComErrorMessage(int errorNumber, int systemError)
{
    QString text = ComErrorText(errorNumber);
    if (systemError != -1)
        text += QStringLiteral(" (win error code: %1)").arg(systemError);
    return text;
}
}  // namespace

EComPort::EComPort(int errorNumber, int systemError)
    : Exception(ComErrorMessage(errorNumber, systemError)), ErrorNumber(errorNumber), SystemError(systemError)
{
}
